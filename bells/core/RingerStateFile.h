// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The state a running ringer publishes beside its tables (tolvane.state), written anew whenever
// it changes and removed when the ringer ends, so that tolvanectl status, another process, says
// what the ringer knows instead of guessing it again. In the ring log's words; the next bell is
// not kept (it moves with the clock: the reader works it out at its own moment).

#include <array>
#include <string>
#include <utility>

#include "base/Status.h"
#include "bells/core/RingerState.h"
#include "platform/FileSystem.h"

namespace tolvane {

constexpr char kRingerStateFile[] = "tolvane.state";

// Each kind of problem with the name the state file and the metrics give it.
inline constexpr size_t kProblemKinds = 9;
const std::array<std::pair<RingerProblemKind, const char*>, kProblemKinds>& problemKindNames();

// Replaces the folder's state file at once (a reader never finds half of one). pid: the ringer's
// process, as its tolvane.lock names it.
Status writeRingerState(FileSystem& fs, const std::string& folder, const std::string& pid,
                        const RingerState& state);
// The state the ringer of process pid published. kNotFound when it published none (an older copy
// of the program rings), or the file is another process's: a synchronised folder may bring
// another computer's, and a crashed ringer leaves its own.
Result<RingerState> readRingerState(FileSystem& fs, const std::string& folder,
                                    const std::string& pid);
// The ringer ended: what it said no longer holds.
void removeRingerState(FileSystem& fs, const std::string& folder);

}  // namespace tolvane
