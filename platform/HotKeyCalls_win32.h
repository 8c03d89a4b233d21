// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Win32 calls under HotKey_win32.cpp: RegisterHotKey for a window, WM_HOTKEY delivered to it.
// Qt-free, so that they are cross-built and proven under Wine on their own;
// HotKey_win32.cpp passes the native messages to hotKeyId.

namespace tolvane::win32 {

// Registers Shift+T for the window (an HWND) under id; false when it cannot, for example
// because another program holds Shift+T (ERROR_HOTKEY_ALREADY_REGISTERED).
bool registerShiftT(void* window, int id);
bool unregisterHotKey(void* window, int id);
// The hot-key id a message (a MSG) carries when it is WM_HOTKEY; 0 otherwise.
int hotKeyId(const void* message);

}  // namespace tolvane::win32
