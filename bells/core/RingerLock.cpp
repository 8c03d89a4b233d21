// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/RingerLock.h"

#include <filesystem>
#include <fstream>

#include "base/PathText.h"
#include "platform/Process.h"

namespace tolvane {

RingerLock::Outcome RingerLock::take(const std::string& folder) {
    const std::string path = joinPath(folder, kFile);
    FileSystem& fs = *FileSystem::platform();
    std::error_code made;
    std::filesystem::create_directories(pathFromUtf8(folder), made);
    if (made) {
        m_problem = "cannot make the folder: " + made.message();
        return Outcome::kUnavailable;
    }
    auto folderLock = fs.lockFolder(folder);
    if (!folderLock.isOk()) {
        m_problem = folderLock.status().message();
        return Outcome::kUnavailable;
    }
    if (!folderLock.value()) return Outcome::kHeldElsewhere;
    auto lock = fs.lock(path, 0);
    if (lock.isOk() && !lock.value()) return Outcome::kHeldElsewhere;
    if (!lock.isOk()) {
        m_problem = lock.status().message();
        if (!fs.locksFolders()) return Outcome::kUnavailable;
        m_problem = "older copies of the program are not kept out: " + m_problem;
        m_folderLock = std::move(folderLock).value();
        return Outcome::kTaken;
    }
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
