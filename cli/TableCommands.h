// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

namespace tolvane::cli {

// Each returns the process exit status; errors go to err as one line naming the file.
int initCommand(const std::string& dir, std::ostream& out, std::ostream& err);
int dumpCommand(const std::string& file, bool json, std::ostream& out, std::ostream& err);
int checkCommand(const std::string& file, std::ostream& out, std::ostream& err);
// Makes a damaged table file's count agree with the complete records it holds, having kept the
// file as it was beside it (FILE.damaged): what no program does on its own.
int repairCommand(const std::string& file, std::ostream& out, std::ostream& err);

}  // namespace tolvane::cli
