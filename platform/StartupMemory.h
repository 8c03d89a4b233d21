// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a program that then rests for days gives back once it is up: the allocator's free memory.
// Starting allocates much that it frees again (the window's first layout and paint, images
// decoded, fonts measured, the tables read), and the C library keeps freed heap pages as its own
// until told otherwise. Given back, they are memory the system can use for others; nothing the
// program needs is dropped (the pages of libraries and files are the system's to reclaim when
// memory is short, and it prefers to keep what runs, such as the code that rings a bell).

#include <functional>

namespace tolvane {

// How long after its start a program is up and resting: then is the time to hand back.
constexpr int kStartupSettledMs = 2000;

// Hands the allocator's free memory back to the system (glibc: malloc_trim; Windows trims the
// working sets of programs that rest by itself). Any thread.
void releaseStartupMemory();

// The same on a thread of its own, so that it never holds up the timer that rings the bells;
// loadFirst runs there before it: what a program loads once it is up rather than at its start.
void releaseStartupMemoryInBackground(std::function<void()> loadFirst = {});

}  // namespace tolvane
