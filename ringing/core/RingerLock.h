#pragma once

// One ringer per folder of tables: tolvane.lock there, held for the ringer's lifetime (the system
// releases it when the process ends, crash or not), with the holder's process id written in it so
// that a second ringer can say which process rings. The desktop program and the headless ringer
// take the same lock.

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
    std::unique_ptr<FileLock> m_lock;
    std::string m_problem;
};

}  // namespace tolvane
