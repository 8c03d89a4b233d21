// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system's own words for one of its error codes (errno on Linux; a Win32 or Winsock code on
// Windows), in UTF-8. The standard library and Asio ask Windows through its narrow calls, which
// answer in the ANSI code page (GBK on a Chinese Windows), so a reason written into the UTF-8
// ring log came out garbled; here it is asked through the wide call and converted once.

#include <string>

namespace tolvane {

// fallback: the library's own text, said when the system has none for code.
std::string systemErrorText(int code, const std::string& fallback);

}  // namespace tolvane
