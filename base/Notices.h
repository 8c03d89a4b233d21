// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What Tolvane is licensed under, and the libraries this build of it contains or links, each with
// its licence: what the About window and `tolvanectl licences` show, what the Debian package's
// copyright file names, and the names of the licence texts the Windows program folder carries
// (licenses/NAME.txt, gathered by scripts/windows-licences.sh). A library added to the build is
// added here, and the tests find its text missing until it is carried.

#include <span>

namespace tolvane {

inline constexpr char kProgramName[] = "Tolvane";
inline constexpr char kProgramLicence[] = "GPL-3.0-or-later";

struct LibraryNotice {
    const char* name;     // as a file name, too: no spaces or slashes
    const char* licence;  // an SPDX licence expression
    const char* use;      // what Tolvane uses it for, in Chinese (context "Notices")
};

std::span<const LibraryNotice> libraryNotices();

}  // namespace tolvane
