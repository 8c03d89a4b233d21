// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/RingLogFiles.h"

#include <fstream>

#include "base/PathText.h"

namespace tolvane {

namespace {
// Rotated files are numbered from the newest: tolvane.1.log is the one before tolvane.log.
constexpr int kRotatedFiles = 4;

std::string rotatedName(int n) {
    return n == 0 ? std::string(kRingLogFile) : "tolvane." + std::to_string(n) + ".log";
}
}  // namespace

std::vector<std::string> readRingLog(const std::string& folder, const std::string& day) {
    std::vector<std::string> lines;
    const std::string prefix = day.empty() ? std::string() : "[" + day + " ";
    for (int n = kRotatedFiles; n >= 0; --n) {
        std::ifstream in(pathFromUtf8(joinPath(folder, rotatedName(n))), std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (prefix.empty() || line.rfind(prefix, 0) == 0) lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace tolvane
