// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One ringer per folder of tables: a lock on the folder itself and on tolvane.lock in it, held for
// the ringer's lifetime (the system releases them when the process ends, crash or not), with the
// holder's process id written in the file so that a second ringer can say which process rings.
// The folder's lock holds whatever a synchronisation tool does to the files (another computer's
// tolvane.lock put in place of this one's); the file's lock keeps out older copies of the
// program, which lock only the file. The desktop program and the headless ringer take the same,
// and neither rings without it: a folder that does not exist yet is made first, so that a ringer
// started before its folder (at boot, say) holds the same lock as one started after.

#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace tolvane {

class RingerLock {
public:
    static constexpr char kFile[] = "tolvane.lock";
    enum class Outcome {
        kTaken,
        kHeldElsewhere,
        kUnavailable,  // no lock can be had here (problem() says why): do not ring
    };

    Outcome take(const std::string& folder);
    // Why the lock could not be had; with kTaken, what it leaves out (older copies, where the
    // lock file cannot be made in a folder nobody may write but the folder's own lock holds).
    const std::string& problem() const { return m_problem; }
    // The process id written by the holder; empty when none is known.
    static std::string holder(const std::string& folder);

private:
    std::unique_ptr<FileLock> m_folderLock;
    std::unique_ptr<FileLock> m_lock;
    std::string m_problem;
};

}  // namespace tolvane
