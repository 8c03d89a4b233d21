#include <winsock2.h>
#include <ws2tcpip.h>
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

std::string addressText(const unsigned char* bytes, size_t length) {
    if (length != 4 && length != 16) return {};
    char text[INET6_ADDRSTRLEN] = {};
    return inet_ntop(length == 4 ? AF_INET : AF_INET6, bytes, text, sizeof text) ? text : "";
}

}  // namespace tolvane
