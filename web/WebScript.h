// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tolvane {

// The page's one script, served from the program itself like its style sheet: it sends an MP3
// chosen for the 铃声库 as it is (no form encoding), refusing one too large before it is sent,
// and shows the library again with what the bell computer said.
const std::string& webUploadScript();

}  // namespace tolvane
