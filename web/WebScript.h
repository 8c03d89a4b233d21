// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tolvane {

// The page's one script, served from the program itself like its style sheet: it sends an MP3
// chosen for the 铃声库 as it is (no form encoding), refusing one too large before it is sent,
// and shows the library again with what the bell computer said.
const std::string& webUploadScript();
// Keeps the today page live: its clock and the next bell's countdown tick from the school's time
// the page was served with, and the ringer's part is fetched again every few seconds (at once
// when the next bell is due), left alone while someone uses one of its buttons.
const std::string& webTodayScript();

}  // namespace tolvane
