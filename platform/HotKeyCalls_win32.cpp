// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HotKeyCalls_win32.h"

#include <windows.h>

namespace tolvane::win32 {

bool registerShiftT(void* window, int id) {
    return RegisterHotKey(static_cast<HWND>(window), id, MOD_SHIFT, 'T') != 0;
}

bool unregisterHotKey(void* window, int id) {
    return UnregisterHotKey(static_cast<HWND>(window), id) != 0;
}

int hotKeyId(const void* message) {
    const MSG* msg = static_cast<const MSG*>(message);
    return msg->message == WM_HOTKEY ? static_cast<int>(msg->wParam) : 0;
}

}  // namespace tolvane::win32
