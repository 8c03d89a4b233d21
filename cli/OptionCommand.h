// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tolvane::cli {

// `option DIR [NAME [VALUE]]`: every option, one option's value, or sets it (a bad value is
// refused and nothing is written). Returns the exit status.
int optionCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tolvane::cli
