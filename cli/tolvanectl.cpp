// tolvanectl: the command-line companion of Tolvane, on the same core as the program.

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "PlanCommand.h"
#ifdef TOLVANE_HAVE_PLAY
#include "PlayCommand.h"
#endif
#include "TableCommands.h"

namespace {

constexpr char kUsage[] =
    "usage: tolvanectl init DIR          open or create px.edb and db.edb in DIR\n"
    "       tolvanectl dump FILE [--json] show a table file's layout and records\n"
    "       tolvanectl check FILE         check a table file without changing it\n"
    "       tolvanectl plan DIR --from \"YYYY-MM-DD HH:MM:SS\" --to \"YYYY-MM-DD HH:MM:SS\"\n"
    "                                     dry-run the schedule in DIR, one tick a second\n"
    "       tolvanectl play PATH           play a file or folder bell to its end (Ctrl+C stops)\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "init" && args.size() == 2)
        return tolvane::cli::initCommand(args[1], std::cout, std::cerr);
    if (command == "dump" && (args.size() == 2 || (args.size() == 3 && args[2] == "--json")))
        return tolvane::cli::dumpCommand(args[1], args.size() == 3, std::cout, std::cerr);
    if (command == "check" && args.size() == 2)
        return tolvane::cli::checkCommand(args[1], std::cout, std::cerr);
#ifdef TOLVANE_HAVE_PLAY
    if (command == "play" && args.size() == 2)
        tolvane::cli::endProcess(tolvane::cli::playCommand(argc, argv, args[1]));
#endif
    if (command == "plan" && args.size() == 6 && args[2] == "--from" && args[4] == "--to")
        return tolvane::cli::planCommand(args[1], args[3], args[5], std::cout, std::cerr);
    return usage();
}
