// SPDX-License-Identifier: GPL-3.0-or-later
// Imports routines from kernel32 and user32.
#include <windows.h>

__declspec(dllexport) DWORD __stdcall Ticks(void) {
    return GetTickCount();
}
__declspec(dllexport) int __stdcall Ask(void) {
    return MessageBoxA(NULL, "x", "y", MB_OK);
}

BOOL WINAPI DllMain(HINSTANCE h, DWORD reason, LPVOID r) {
    (void)h;
    (void)reason;
    (void)r;
    return TRUE;
}
