// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in skin engine of our own: 23 exports by name and ordinal; the sixth, SkinH_AttachRes,
// takes six arguments like a Windows API routine. DllMain counts attach and detach.
#include <windows.h>

volatile LONG g_attached = 0, g_detached = 0;
volatile DWORD g_lastArgs[6];

// The counts also go to an environment variable, which outlives the unloaded image.
static void publishCounts(void) {
    char text[16];
    text[0] = (char)('0' + g_attached);
    text[1] = ',';
    text[2] = (char)('0' + g_detached);
    text[3] = 0;
    SetEnvironmentVariableA("SKIN_ENGINE_COUNTS", text);
}

BOOL WINAPI DllMain(HINSTANCE h, DWORD reason, LPVOID r) {
    (void)h;
    (void)r;
    if (reason == DLL_PROCESS_ATTACH) g_attached++;
    if (reason == DLL_PROCESS_DETACH) g_detached++;
    publishCounts();
    return TRUE;
}

int __stdcall SkinH_AdjustAero(void) {
    return 1;
}
int __stdcall SkinH_AdjustHSV(void) {
    return 2;
}
int __stdcall SkinH_Attach(void) {
    return 3;
}
int __stdcall SkinH_AttachEx(void) {
    return 4;
}
int __stdcall SkinH_AttachExt(void) {
    return 5;
}
int __stdcall SkinH_AttachRes(const void* data, int size, const char* password, int a, int b,
                              int c) {
    g_lastArgs[0] = (DWORD)data;
    g_lastArgs[1] = size;
    g_lastArgs[2] = (DWORD)password;
    g_lastArgs[3] = a;
    g_lastArgs[4] = b;
    g_lastArgs[5] = c;
    return 6;
}
int __stdcall SkinH_AttachResEx(void) {
    return 7;
}
int __stdcall SkinH_Detach(void) {
    return 8;
}
int __stdcall SkinH_DetachEx(void) {
    return 9;
}
int __stdcall SkinH_GetColor(void) {
    return 10;
}
int __stdcall SkinH_LockUpdate(void) {
    return 11;
}
int __stdcall SkinH_Map(void) {
    return 12;
}
int __stdcall SkinH_NineBlt(void) {
    return 13;
}
int __stdcall SkinH_SetAero(void) {
    return 14;
}
int __stdcall SkinH_SetBackColor(void) {
    return 15;
}
int __stdcall SkinH_SetFont(void) {
    return 16;
}
int __stdcall SkinH_SetFontEx(void) {
    return 17;
}
int __stdcall SkinH_SetForeColor(void) {
    return 18;
}
int __stdcall SkinH_SetMenuAlpha(void) {
    return 19;
}
int __stdcall SkinH_SetTitleMenuBar(void) {
    return 20;
}
int __stdcall SkinH_SetWindowAlpha(void) {
    return 21;
}
int __stdcall SkinH_SetWindowMovable(void) {
    return 22;
}
int __stdcall SkinH_VerifySign(void) {
    return 23;
}
LONG __stdcall Counts(void) {
    return g_attached * 100 + g_detached;
}
