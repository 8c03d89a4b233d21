#pragma once

#include <cstdint>
#include <functional>

#include "ClockTick.h"

namespace tolvane {

// Power-off on Windows: enable the shutdown privilege, then ExitWindowsEx(EWX_POWEROFF |
// EWX_FORCE, 0). Silent on failure.
class Win32PowerOff final : public PowerOff {
public:
    void requestPowerOff() override;

    // The last step; tests put a recorder here so that the session survives the test.
    std::function<bool(unsigned flags, unsigned long reason)> exitWindows;
};

}  // namespace tolvane
