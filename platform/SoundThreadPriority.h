// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The thread that hands a bell's samples to the sound output, scheduled ahead of the machine's
// ordinary work where the system gives it: on a busy machine a bell's tone then stays whole.

#include <string>

namespace tolvane {

struct SoundThreadPriority {
    bool raised = false;
    std::string how;  // how the thread is scheduled now, or why it could not be raised
};

// Called once on the sound thread itself. Linux: RealtimeKit's round-robin real-time priority
// over the system bus, or its raised nice level where real time is refused (a thread that would
// run too long without sleeping is put back to normal scheduling, never killed). Windows: the
// "Pro Audio" task of the multimedia class scheduler. Waits at most half a second for an answer.
SoundThreadPriority raiseThisSoundThread();

}  // namespace tolvane
