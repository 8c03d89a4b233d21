// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the system clock is kept right by time synchronisation: a PC without it drifts seconds
// a day, and one whose CMOS battery is dead starts years off. Only read: the program never sets
// the clock.

#include <string>

namespace tolvane {

struct ClockSync {
    bool known = false;  // the system told; nothing is said of a clock it does not tell about
    bool synchronised = false;
    // Why it is not, in the ring log's words (one of a few fixed texts, which clockProblem
    // translates); empty when it is.
    std::string why;
};

// "时钟未同步：" and why, in this thread's language; empty while the clock is kept right or
// nothing is told.
std::string clockProblem(const ClockSync& sync);

// Linux: the kernel's clock discipline (adjtimex without modes): synchronised while its maximum
// error is below 16 s, the rule systemd-timedated's NTPSynchronized uses, whichever time daemon
// disciplines the clock. Windows: not told yet.
ClockSync readClockSync();

}  // namespace tolvane
