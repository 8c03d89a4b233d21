// SPDX-License-Identifier: GPL-3.0-or-later
// The part of the host names both systems share: an address as text, by the system's inet_ntop
// (whose header is all that differs).

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#endif

#include "platform/HostNames.h"

namespace tolvane {

std::string addressText(const unsigned char* bytes, size_t length) {
    if (length != 4 && length != 16) return {};
    char text[INET6_ADDRSTRLEN] = {};
    return inet_ntop(length == 4 ? AF_INET : AF_INET6, bytes, text, sizeof text) ? text : "";
}

}  // namespace tolvane
