// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PasswordCommand.h"

#include <ostream>

#include "platform/Terminal.h"
#include "schedule/core/Schema.h"
#include "settings/core/Password.h"

namespace tolvane::cli {

namespace {

// The new password: typed twice at a terminal, or one line from a pipe.
std::optional<std::string> readNewPassword(std::ostream& err) {
    auto first = readSecretLine("New password: ");
    if (!first || first->empty()) {
        err << "tolvanectl: no password given; nothing changed\n";
        return std::nullopt;
    }
    if (!inputIsTerminal()) return first;
    auto again = readSecretLine("The same again: ");
    if (!again || *again != *first) {
        err << "tolvanectl: the two passwords differ; nothing changed\n";
        return std::nullopt;
    }
    return first;
}

}  // namespace

int passwordCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool clear = args.size() == 2 && args[1] == "--clear";
    if (args.empty() || args.size() > 2 || (args.size() == 2 && !clear)) {
        err << "usage: tolvanectl password [DIR] [--clear]\n";
        return 2;
    }
    if (!clear && !passwordsSupported()) {
        err << "tolvanectl: this build cannot make passwords (no libsodium)\n";
        return 1;
    }
    TableDatabase db;
    if (const OpenedTables opened = openOrCreateTables(db, args[0]); !opened.usable()) {
        err << "tolvanectl: " << (opened.errors.empty() ? args[0] : opened.errors.front()) << "\n";
        return 1;
    }
    std::optional<std::string> password;
    if (!clear && !(password = readNewPassword(err))) return 1;
    const Status s = clear ? clearPassword(db) : setPassword(db, *password);
    if (!s.isOk()) {
        err << "tolvanectl: " << args[0] << ": " << s.message() << "\n";
        return 1;
    }
    out << (clear ? "password cleared\n" : "password set\n");
    return 0;
}

}  // namespace tolvane::cli
