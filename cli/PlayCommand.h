// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tolvane::cli {

// Plays a file or folder bell (as its `音乐` value would) until it ends or Ctrl+C.
int playCommand(int argc, char** argv, const std::string& music);

// Ends the process at once with status, after flushing the standard streams.
[[noreturn]] void endProcess(int status);

}  // namespace tolvane::cli
