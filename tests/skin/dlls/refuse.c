// SPDX-License-Identifier: GPL-3.0-or-later
// DllMain refuses to attach.
#include <windows.h>

__declspec(dllexport) int __stdcall Nothing(void) {
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE h, DWORD reason, LPVOID r) {
    (void)h;
    (void)r;
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
}
