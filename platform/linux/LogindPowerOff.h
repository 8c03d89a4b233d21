#pragma once

#include "ClockTick.h"

namespace tolvane {

// Power-off through systemd-logind on the system D-Bus: Manager.PowerOff(false), which needs no
// prompt. Sent without waiting for the answer; without a bus or permission nothing happens.
class LogindPowerOff final : public PowerOff {
public:
    void requestPowerOff() override;
};

}  // namespace tolvane
