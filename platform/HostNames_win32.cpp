// SPDX-License-Identifier: GPL-3.0-or-later
// Winsock's headers before windows.h, which would bring the older Winsock otherwise.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>
// clang-format on

#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/PathText.h"
#include "platform/HostNames.h"

namespace tolvane {

namespace {

std::string textOf(const sockaddr* address) {
    if (address->sa_family == AF_INET)
        return addressText(reinterpret_cast<const unsigned char*>(
                               &reinterpret_cast<const sockaddr_in*>(address)->sin_addr),
                           4);
    if (address->sa_family == AF_INET6)
        return addressText(reinterpret_cast<const unsigned char*>(
                               &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr),
                           16);
    return {};
}

// Every unicast address of every adapter, as GetAdaptersAddresses lists them; empty when it
// cannot (the names then still hold localhost and the computer's name).
std::vector<std::string> adapterAddresses() {
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    // The list may grow between the call that sizes it and the one that fills it.
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        result =
            GetAdaptersAddresses(AF_UNSPEC, flags, nullptr,
                                 reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    std::vector<std::string> addresses;
    if (result != NO_ERROR) return addresses;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter;
         adapter = adapter->Next)
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next)
            addresses.push_back(textOf(unicast->Address.lpSockaddr));
    return addresses;
}

}  // namespace

std::vector<std::string> thisMachinesNames() {
    std::vector<std::string> names{"localhost", "127.0.0.1"};
    wchar_t host[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (GetComputerNameW(host, &size)) names.push_back(utf8FromPath(std::filesystem::path(host)));
    for (const std::string& address : adapterAddresses())
        if (!address.empty() && address.rfind("fe80", 0) != 0 &&
            std::find(names.begin(), names.end(), address) == names.end())
            names.push_back(address);
    return names;
}

}  // namespace tolvane
