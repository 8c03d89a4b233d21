// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tolvane::cli {

// `password DIR [--clear]`: sets the program's password (read without echo, twice at a terminal,
// once from a pipe) or clears it. Its hash goes into px.edb, never the password.
int passwordCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tolvane::cli
