// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The ring log as its reader reads it. Its lines are stored in Chinese, as every copy of the
// program writes and reads them (tolvanectl status finds "铃声响起" in them); a window or page in
// another language shows the program's own phrases in that language, and what they name (a time,
// a music's path, the system's own words) as it stands.

#include <string>
#include <utility>
#include <vector>

namespace tolvane {

class RingLogWords {
public:
    // The phrases in this thread's language, looked up once.
    RingLogWords();
    std::string inReaderWords(const std::string& line) const;

private:
    std::vector<std::pair<std::string, std::string>> m_phrases;  // stored, read; longest first
};

}  // namespace tolvane
