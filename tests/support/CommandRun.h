// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs one of tolvanectl's commands in the test's process, as its main would, and keeps what it
// said on each stream.

#include <sstream>
#include <string>
#include <vector>

namespace tolvane::test {

struct CommandResult {
    int status;
    std::string out, err;
};

template <typename Command>
CommandResult run(Command command, std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace tolvane::test
