// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system's own log beside the ring log file: the systemd journal on Linux, each line with
// fields of its own (the bell's time, how late it was heard), where `journalctl -t tolvane` finds
// it. Windows has none here: the ring log file is all there is.

#include <string>
#include <vector>

namespace tolvane {

// Whether this build has a system journal to send to.
bool hasSystemJournal();

// Sends one entry: fields as "NAME=value", MESSAGE among them; a warning goes with priority 4, any
// other line with 6. Dropped when no journal runs. Any thread.
void sendToSystemJournal(std::vector<std::string> fields, bool warning);

}  // namespace tolvane
