#pragma once

#include <string>

namespace tolvane {

// The folder of the running program's executable, as UTF-8 in the platform's own form (with
// backslashes on Windows); empty when the system does not say.
std::string programFolder();

}  // namespace tolvane
