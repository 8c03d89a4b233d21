#include <filesystem>
#include <system_error>

#include "platform/ProgramFolder.h"

namespace tolvane {

std::string programFolder() {
    std::error_code ec;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : executable.parent_path().string();
}

}  // namespace tolvane
