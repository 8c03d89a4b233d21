// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemJournal.h"

#define SD_JOURNAL_SUPPRESS_LOCATION
#include <sys/uio.h>
#include <systemd/sd-journal.h>

namespace tolvane {

bool hasSystemJournal() {
    return true;
}

void sendToSystemJournal(std::vector<std::string> fields, bool warning) {
    fields.push_back(warning ? "PRIORITY=4" : "PRIORITY=6");
    fields.push_back("SYSLOG_IDENTIFIER=tolvane");
    std::vector<iovec> parts;
    for (std::string& f : fields) parts.push_back({f.data(), f.size()});
    sd_journal_sendv(parts.data(), static_cast<int>(parts.size()));  // no journal: dropped
}

}  // namespace tolvane
