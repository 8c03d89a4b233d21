#include <arpa/inet.h>
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
        const void* raw =
            family == AF_INET
                ? static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr)
                : &reinterpret_cast<sockaddr_in6*>(a->ifa_addr)->sin6_addr;
        char text[INET6_ADDRSTRLEN] = {};
        if (inet_ntop(family, raw, text, sizeof text) && std::string(text).rfind("fe80", 0) != 0)
            names.emplace_back(text);
    }
    freeifaddrs(addresses);
    return names;
}

}  // namespace tolvane
