// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading a secret from the terminal, as `tolvanectl password` does.

#include <optional>
#include <string>

namespace tolvane {

// Whether standard input is a terminal (a person typing), not a pipe or a file.
bool inputIsTerminal();

// Writes prompt to standard error and reads one line from standard input without echoing it
// when it is a terminal; nullopt at the end of input.
std::optional<std::string> readSecretLine(const std::string& prompt);

}  // namespace tolvane
