#pragma once

#include <string>

namespace tolvane::cli {

// Rings the schedule in dir without a window until SIGTERM or Ctrl+C: the program's clock tick,
// play lists, playback, power-off and sleep inhibitor, under the folder's one-ringer lock,
// following table changes, the ring log echoed to stdout.
int ringCommand(int argc, char** argv, const std::string& dir);

// The ring log of dir, oldest first; only the lines of day ("YYYY-MM-DD") when given.
int logCommand(const std::string& dir, const std::string& day);

}  // namespace tolvane::cli
