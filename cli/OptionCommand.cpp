// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OptionCommand.h"

#include <ostream>

#include "settings/core/ProgramOptions.h"

namespace tolvane::cli {

namespace {

int printOptions(const ProgramOptions& options, const std::vector<std::string>& names,
                 std::ostream& out) {
    for (const auto& name : names)
        out << (names.size() > 1 ? name + " = " : "") << programOptionText(options, name) << "\n";
    return 0;
}

}  // namespace

int optionCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args.size() > 3) {
        err << "usage: tolvanectl option [DIR] [NAME [VALUE]]\n";
        return 2;
    }
    FileSystem& fs = *FileSystem::platform();
    const std::string& dir = args[0];
    if (args.size() == 3) {
        if (Status s = writeProgramOption(fs, dir, args[1], args[2]); !s.isOk()) {
            err << "tolvanectl: " << s.message() << "\n";
            return s.code() == Status::Code::kInvalidArgument ? 2 : 1;
        }
    }
    auto options = readProgramOptions(fs, dir);
    if (!options.isOk()) {
        err << "tolvanectl: " << options.status().message() << "\n";
        return 1;
    }
    if (args.size() == 1) return printOptions(options.value(), programOptionNames(), out);
    ProgramOptions scratch;
    if (Status s = setProgramOption(&scratch, args[1], programOptionText(scratch, args[1]));
        !s.isOk()) {
        err << "tolvanectl: " << s.message() << "\n";
        return 2;
    }
    return printOptions(options.value(), {args[1]}, out);
}

}  // namespace tolvane::cli
