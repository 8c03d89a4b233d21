// SPDX-License-Identifier: GPL-3.0-or-later
#include <ifaddrs.h>
#include <netinet/in.h>
#include <unistd.h>

#include "platform/HostNames.h"

namespace tolvane {

std::vector<std::string> thisMachinesNames() {
    std::vector<std::string> names{"localhost"};
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0 && host[0] && std::string(host) != "localhost")
        names.emplace_back(host);
    ifaddrs* addresses = nullptr;
    if (::getifaddrs(&addresses) != 0) return names;
    for (ifaddrs* a = addresses; a; a = a->ifa_next) {
        if (!a->ifa_addr) continue;
        const int family = a->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) continue;
        const std::string text =
            family == AF_INET
                ? addressText(reinterpret_cast<const unsigned char*>(
                                  &reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr),
                              4)
                : addressText(reinterpret_cast<const unsigned char*>(
                                  &reinterpret_cast<sockaddr_in6*>(a->ifa_addr)->sin6_addr),
                              16);
        if (!text.empty() && text.rfind("fe80", 0) != 0) names.push_back(text);
    }
    freeifaddrs(addresses);
    return names;
}

}  // namespace tolvane
