// SPDX-License-Identifier: GPL-3.0-or-later
// Linked at an image base the loader is not given, so its pointers must be relocated.
#include <windows.h>

int g_target[4] = {1, 2, 3, 4};
int* g_pointer = &g_target[2];
const char* g_text = "relocated";

BOOL WINAPI DllMain(HINSTANCE h, DWORD reason, LPVOID r) {
    (void)h;
    (void)reason;
    (void)r;
    return TRUE;
}
