#include "platform/ProgramFolder.h"

#include <filesystem>
#include <system_error>

namespace tolvane {

std::string programFolder() {
    std::error_code ec;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : executable.parent_path().string();
}

}  // namespace tolvane
