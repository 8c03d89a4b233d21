// SPDX-License-Identifier: GPL-3.0-or-later
#include <termios.h>
#include <unistd.h>

#include <iostream>

#include "platform/Terminal.h"

namespace tolvane {

bool inputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

std::optional<std::string> readSecretLine(const std::string& prompt) {
    std::cerr << prompt << std::flush;
    termios before{};
    const bool terminal = inputIsTerminal() && ::tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        termios quiet = before;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
        std::cerr << "\n";
    }
    if (!read) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace tolvane
