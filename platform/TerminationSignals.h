// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a program hears that the system wants it to end (log-out, shutdown, `systemctl stop`,
// Ctrl+C), so that it ends as it would by its own exit paths: the ring log's last line written,
// the sleep inhibitor and the folder's lock released.

#include <functional>

namespace tolvane {

// Linux: from now on SIGTERM, SIGINT and SIGHUP no longer end the process; each writes its signal
// number as one byte to the descriptor returned, for the event loop to read. Call once. Returns -1
// where the system has no such signals (Windows, whose session end reaches the window as a
// message) or the descriptor could not be made, and then changes nothing.
int watchTerminationSignals();

// Windows: the console's Ctrl+C, Ctrl+Break and closing call heard, on a thread of the system's,
// with the event's name. A closing console then waits for the process to end by itself, which
// Windows allows for 5 s, so that the ring log's last line is written. Call once. Returns false
// where the system has no console control (Linux, whose signals come by the descriptor above).
bool watchConsoleControl(std::function<void(const char* name)> heard);

// The signal that made the descriptor readable (it reads the byte); 0 when none was waiting.
int takeTerminationSignal();

// For a loop without an event loop (tolvanectl play where Qt is not carried): from now on Ctrl+C
// and SIGTERM set a flag that interrupted() reads instead of ending the process. Windows: the
// console's control handler.
void catchInterrupt();
bool interrupted();

// The signal's name for the ring log ("SIGTERM"); "signal" for any other.
const char* terminationSignalName(int signal);

}  // namespace tolvane
