#pragma once

#include "ClockTick.h"

namespace tolvane {

class Win32PowerOff final : public PowerOff {
public:
    void requestPowerOff() override;
};

}  // namespace tolvane
