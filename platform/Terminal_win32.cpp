// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <iostream>

#include "platform/Terminal.h"

namespace tolvane {

bool inputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

std::optional<std::string> readSecretLine(const std::string& prompt) {
    std::cerr << prompt << std::flush;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD before = 0;
    const bool console = GetConsoleMode(input, &before) != 0;
    if (console) SetConsoleMode(input, before & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (console) {
        SetConsoleMode(input, before);
        std::cerr << "\n";
    }
    if (!read) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace tolvane
