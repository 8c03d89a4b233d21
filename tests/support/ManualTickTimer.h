// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A clock timer that only records what it was asked; the test fires it as Qt would, after moving
// a manual clock, so each case is exact and nothing waits on the wall clock.

#include "bells/qt/RingController.h"

namespace tolvane::test {

class ManualTickTimer final : public TickTimer {
public:
    void start(int ms) override { armedMs = ms; }
    void stop() override { armedMs = -1; }
    int armedMs = -1;  // -1 when not armed
};

}  // namespace tolvane::test
