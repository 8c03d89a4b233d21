#pragma once

// One ringer per folder of tables: a lock on the folder itself and on tolvane.lock in it, held for
// the ringer's lifetime (the system releases them when the process ends, crash or not), with the
// holder's process id written in the file so that a second ringer can say which process rings.
// The folder's lock holds whatever a synchronisation tool does to the files (another computer's
// tolvane.lock put in place of this one's); the file's lock keeps out older copies of the
// program, which lock only the file. The desktop program and the headless ringer take the same.

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
        kUnavailable,  // no lock file can be made here (problem() says why)
    };

    Outcome take(const std::string& folder);
    const std::string& problem() const { return m_problem; }
    // The process id written by the holder; empty when none is known.
    static std::string holder(const std::string& folder);

private:
    std::unique_ptr<FileLock> m_folderLock;
    std::unique_ptr<FileLock> m_lock;
    std::string m_problem;
};

}  // namespace tolvane
