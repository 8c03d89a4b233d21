#include "ringing/core/RingerLock.h"

#include <fstream>

#include "base/PathText.h"
#include "platform/Process.h"

namespace tolvane {

RingerLock::Outcome RingerLock::take(const std::string& folder) {
    const std::string path = joinPath(folder, kFile);
    FileSystem& fs = *FileSystem::platform();
    auto folderLock = fs.lockFolder(folder);
    if (!folderLock.isOk()) {
        m_problem = folderLock.status().message();
        return Outcome::kUnavailable;
    }
    if (!folderLock.value()) return Outcome::kHeldElsewhere;
    auto lock = fs.lock(path, 0);
    if (!lock.isOk()) {
        m_problem = lock.status().message();
        return Outcome::kUnavailable;
    }
    if (!lock.value()) return Outcome::kHeldElsewhere;
    m_folderLock = std::move(folderLock).value();
    m_lock = std::move(lock).value();
    std::ofstream(pathFromUtf8(path), std::ios::binary | std::ios::trunc)
        << currentProcessId() << "\n";
    return Outcome::kTaken;
}

std::string RingerLock::holder(const std::string& folder) {
    std::ifstream in(pathFromUtf8(joinPath(folder, kFile)), std::ios::binary);
    std::string pid;
    in >> pid;
    return pid;
}

}  // namespace tolvane
