// SPDX-License-Identifier: GPL-3.0-or-later
// Runs under Wine with an X server: registers Shift+T for a window of its own, checks that a
// second registration of the same keys fails with ERROR_HOTKEY_ALREADY_REGISTERED, prints
// "ready", and waits (at most 20 s) for the WM_HOTKEY that xdotool's Shift+T brings.

#include <windows.h>

#include <cstdio>

#include "platform/HotKeyCalls_win32.h"

int main() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TolvaneHotKeyTest";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowA("TolvaneHotKeyTest", "TolvaneHotKeyTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                      0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!tolvane::win32::registerShiftT(window, 33001)) {
        std::printf("FAILED: Shift+T registers\n");
        return 1;
    }
    const bool second = tolvane::win32::registerShiftT(window, 33002);
    const DWORD error = GetLastError();
    std::printf("%s: a second registration fails with ERROR_HOTKEY_ALREADY_REGISTERED\n",
                !second && error == ERROR_HOTKEY_ALREADY_REGISTERED ? "ok" : "FAILED");
    if (second || error != ERROR_HOTKEY_ALREADY_REGISTERED) return 1;
    SetForegroundWindow(window);
    std::printf("ready\n");
    std::fflush(stdout);

    SetTimer(window, 1, 20000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (tolvane::win32::hotKeyId(&msg) == 33001) {
            std::printf("ok: WM_HOTKEY arrives with id 33001\n");
            tolvane::win32::unregisterHotKey(window, 33001);
            return 0;
        }
        if (msg.message == WM_TIMER) break;
        DispatchMessageA(&msg);
    }
    std::printf("FAILED: no WM_HOTKEY\n");
    return 1;
}
