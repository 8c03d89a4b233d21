// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/SleepInhibitor.h"

namespace tolvane {

Win32SleepInhibitor::~Win32SleepInhibitor() {
    release();
}

void Win32SleepInhibitor::hold() {
    if (m_held) return;
    if (SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) == 0)
        return onAnswer("保持唤醒：SetThreadExecutionState 失败");
    m_held = true;
    onAnswer("保持唤醒：已阻止休眠");
}

void Win32SleepInhibitor::release() {
    if (!m_held) return;
    SetThreadExecutionState(ES_CONTINUOUS);
    m_held = false;
    onAnswer("保持唤醒：已允许休眠");
}

}  // namespace tolvane
