// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QCoreApplication;

namespace tolvane {

// Ends app's event loop (with status 0) when the system asks the program to end: SIGTERM,
// SIGINT, SIGHUP (platform/TerminationSignals); on Windows the console's Ctrl+C, Ctrl+Break and
// closing. heard is told the signal's name first. The caller then ends as by its own exit paths.
void quitOnTerminationSignals(QCoreApplication& app, std::function<void(const char* name)> heard);

}  // namespace tolvane
