// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The options px.edb's fixed record has no room for, in tolvane.conf beside the tables (INI, in
// the section [tolvane]). Older copies of the program never read it; a key this copy does not
// know, and every comment, stays as it stands when this copy writes the file.

#include <string>
#include <vector>

#include "base/Status.h"
#include "platform/FileSystem.h"

namespace tolvane {

inline constexpr char kOptionsFile[] = "tolvane.conf";

// The school's clock may run this far from the system's, either way.
constexpr int kMaxClockOffsetSeconds = 300;

struct ProgramOptions {
    // The school's time is the system clock plus this: every bell, end and power-off follows it.
    int clockOffsetSeconds = 0;
    // The sound server's output the bells play on, by name; empty for the server's default.
    std::string output;
    // The bell stream's own volume, percent of the output's; the output's volume is left alone.
    int volumePercent = 100;
    // The web page's port; 0: no page.
    int webPort = 0;
    // The school's own certificate (PEM, its chain) and key for the page; both empty: one made
    // for this computer beside the tables.
    std::string webCertificate;
    std::string webKey;
    // Where the ringer keeps tolvane.prom for a district's monitoring; empty: no metrics.
    std::string metricsDir;

    bool operator==(const ProgramOptions&) const = default;
};

// The names `tolvanectl option` takes, as the file spells its keys.
const std::vector<std::string>& programOptionNames();
// An option's value as the file and `tolvanectl option` write it; empty for an unknown name.
std::string programOptionText(const ProgramOptions& options, const std::string& name);
// Checks value and puts it into options; an unknown name or a bad value changes nothing and says
// what is allowed.
Status setProgramOption(ProgramOptions* options, const std::string& name, const std::string& value);

// The folder's options: the defaults where the file or a key is missing. A bad value (a file
// edited by hand) is an error naming the key, so the options in use can stay.
Result<ProgramOptions> readProgramOptions(FileSystem& fs, const std::string& folder);
// Sets one option in the folder's file, checked first: written whole to a scratch file and put in
// place by rename, under the file's lock (tolvane.conf.lock), so a reader sees the old file or the
// new one and two writers never lose each other's change.
Status writeProgramOption(FileSystem& fs, const std::string& folder, const std::string& name,
                          const std::string& value);

}  // namespace tolvane
