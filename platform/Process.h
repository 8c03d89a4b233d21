// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// This process: its number, written into the one-ringer lock so that a second ringer can say
// which process rings; and its command-line arguments.

#include <string>
#include <vector>

namespace tolvane {

long currentProcessId();

// Puts the calling thread below the ringer's priority, for work that must never delay a bell (the
// web page's password hashing): nice 10 on Linux, below normal on Windows. False when the system
// refused.
bool lowerThisThreadsPriority();

// Whether a process numbered pid runs now (of this user or another).
bool processIsRunning(long pid);

// The arguments after the program's name, as UTF-8. On Windows argv holds them in the ANSI code
// page, which loses what it lacks: they are read again from the wide command line, and the
// console is switched to UTF-8 output. On Linux they are argv as given.
std::vector<std::string> utf8Arguments(int argc, char** argv);

}  // namespace tolvane
