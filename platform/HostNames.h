// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The names this machine answers to on the network: what a certificate made for its web page
// names, and what the page accepts as a request's Host.

#include <cstddef>
#include <string>
#include <vector>

namespace tolvane {

// "localhost", the host name and the machine's addresses (IPv4 and IPv6, link-local ones left
// out).
std::vector<std::string> thisMachinesNames();

// An address of 4 (IPv4) or 16 (IPv6) bytes as text ("192.168.1.20", "2001:db8::1"); empty for
// another length.
std::string addressText(const unsigned char* bytes, size_t length);

}  // namespace tolvane
