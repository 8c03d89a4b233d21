#include <windows.h>

#include "base/PathText.h"
#include "platform/HostNames.h"

namespace tolvane {

// The machine's addresses (GetAdaptersAddresses) are not read yet: its name and localhost.
std::vector<std::string> thisMachinesNames() {
    std::vector<std::string> names{"localhost", "127.0.0.1"};
    wchar_t host[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (GetComputerNameW(host, &size)) names.push_back(utf8FromPath(std::filesystem::path(host)));
    return names;
}

}  // namespace tolvane
