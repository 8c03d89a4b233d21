// SPDX-License-Identifier: GPL-3.0-or-later
// tolvanectl: the command-line companion of Tolvane, on the same core as the program.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "cli/PlanCommand.h"
#ifdef TOLVANE_HAVE_STATUS
#include "bells/audio/Mp3Decoder.h"
#include "cli/StatusCommand.h"
#endif
#include "cli/ScheduleCommands.h"
#include "platform/Process.h"
#ifdef TOLVANE_HAVE_PLAY
#include "cli/PlayCommand.h"
#endif
#include "base/Notices.h"
#include "base/PathText.h"
#include "base/UiText.h"
#include "cli/CalendarCommands.h"
#include "cli/OptionCommand.h"
#include "cli/PasswordCommand.h"
#include "cli/RingCommand.h"
#include "cli/RingNowCommand.h"
#include "cli/SpeechCommands.h"
#include "cli/TableCommands.h"
#include "cli/TimetableCommands.h"
#ifdef TOLVANE_HAVE_LANGUAGE
#include "language/Language.h"
#endif
#include "platform/ProgramFolder.h"
#include "platform/TextCodec.h"

namespace {

// What tolvanectl says on standard error names files, music and tables as given: a control
// character among them (a newline, an escape sequence, a direction mark) must not reach the
// terminal or a log that reads it as its own. Written out line by line, each escaped.
class EscapingBuffer final : public std::streambuf {
public:
    explicit EscapingBuffer(std::streambuf* out) : m_out(out) {}

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) m_pending += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize n) override {
        m_pending.append(text, static_cast<size_t>(n));
        return n;
    }
    int sync() override {
        for (size_t at = 0; at < m_pending.size();) {
            const size_t end = std::min(m_pending.find('\n', at), m_pending.size());
            const std::string line =
                tolvane::withControlsEscaped(std::string_view(m_pending).substr(at, end - at));
            m_out->sputn(line.data(), static_cast<std::streamsize>(line.size()));
            if (end < m_pending.size()) m_out->sputc('\n');
            at = end + 1;
        }
        m_pending.clear();
        return m_out->pubsync();
    }

private:
    std::streambuf* m_out;
    std::string m_pending;
};

constexpr char kUsage[] =
    "usage: tolvanectl init DIR          open or create px.edb and db.edb in DIR\n"
    "       tolvanectl dump FILE [--json] show a table file's layout and records\n"
    "       tolvanectl check FILE         check a table file without changing it\n"
    "       tolvanectl repair FILE        keep the complete records of a damaged table file\n"
    "       tolvanectl plan DIR --from \"YYYY-MM-DD HH:MM:SS\" --to \"YYYY-MM-DD HH:MM:SS\"\n"
    "                                     dry-run the schedule in DIR, one tick a second of the\n"
    "                                     system clock (the school's with clock_offset)\n"
    "       tolvanectl play PATH           play a file or folder bell to its end (Ctrl+C stops)\n"
    "       tolvanectl list DIR [--json]   the schedule in DIR, in the order the window lists it\n"
    "       tolvanectl add DIR --start H:M:S [--end H:M:S] --music PATH [--days LIST]\n"
    "                                     [--say TEXT]: the bell says TEXT after its music\n"
    "       tolvanectl change DIR OLD_START [--start H:M:S] [--end H:M:S | --no-end] [--music "
    "PATH]\n"
    "                                     [--days LIST] [--say TEXT | --no-say]\n"
    "       tolvanectl delete DIR START\n"
    "         list, add, change and delete take --timetable NAME: that 作息表's bells (default:\n"
    "         常规作息, db.edb)\n"
    "       tolvanectl timetable DIR [add|rename|delete|season|rotate|generate|import|export …]\n"
    "                                     the school's 作息表 (tolvanectl timetable --help)\n"
    "       tolvanectl ring DIR            ring the schedule in DIR without a window (until "
    "SIGTERM)\n"
    "       tolvanectl ring-now DIR MUSIC [--repeat]  the ringer on DIR plays MUSIC at once\n"
    "                                     (--repeat: again and again, a drill or lockdown)\n"
    "       tolvanectl stop DIR            the ringer on DIR silences what plays\n"
    "       tolvanectl say DIR TEXT [--save NAME]  the ringer on DIR says TEXT at once; with\n"
    "                                     --save, TEXT said is kept as media/NAME.mp3\n"
    "       tolvanectl voices DIR [--use NAME | --default] [--rate N]  the Chinese voices bells\n"
    "                                     speak with (* the one used), their rate (-10..10)\n"
    "       tolvanectl service install [DIR] | remove   (Windows) ring DIR as a service from\n"
    "                                     boot, with nobody logged in; or no longer\n"
    "       tolvanectl service start | stop | status   (Windows) the installed service\n"
    "       tolvanectl log DIR [--day YYYY-MM-DD]  the ring log: what rang, when, how late\n"
    "       tolvanectl status DIR [--json] the ringer, next bell, clock, sound output, problems\n"
    "       tolvanectl calendar DIR [--from YYYY-MM-DD] [--to YYYY-MM-DD]  the school calendar\n"
    "       tolvanectl holiday DIR FROM [TO] [--note TEXT]    days without bells\n"
    "       tolvanectl workday DIR DATE [--as DAY] [--timetable NAME] [--note TEXT]\n"
    "                                     a day ringing as DAY (调休), or by another 作息表\n"
    "                                     (its bells of DAY; 周一 when --as is not given)\n"
    "       tolvanectl normal DIR FROM [TO]                   the days ring as their own weekday\n"
    "       tolvanectl calendar-import DIR FILE.ics [--as DAY] a published holiday plan\n"
    "       tolvanectl option DIR [NAME [VALUE]]  options beside the tables: clock_offset\n"
    "                                     (seconds, -300..300), output (a sound output's name,\n"
    "                                     empty for the default), volume (0..100 %),\n"
    "                                     web_port (the web page's HTTPS port, 0 for none),\n"
    "                                     web_certificate, web_key (the school's own PEM files),\n"
    "                                     metrics_dir (where tolvane.prom goes, empty for none)\n"
    "       tolvanectl password DIR [--clear]  set (typed twice without echo, or one line\n"
    "                                     from a pipe) or clear the program's password\n"
    "       tolvanectl licences            the licences of Tolvane and of the libraries in it\n"
    "       tolvanectl --version\n"
    "  LIST: comma-separated 周一..周日 or mon..sun, or none (add: mon..fri when not given)\n"
    "  DIR may be left out: the folder the program keeps its tables in (for an installed\n"
    "  program ~/.local/share/tolvane).\n";

// The commands whose first argument is the folder of the tables.
bool takesFolder(const std::string& command) {
    for (const char* c : {"init", "plan", "list", "add", "change", "delete", "ring", "log",
                          "status", "option", "password", "calendar", "holiday", "workday",
                          "normal", "calendar-import", "stop", "timetable", "voices"})
        if (command == c) return true;
    return false;
}

// Whether what follows the command names the folder: an existing folder, or a path that is not
// an existing file (a folder init is to make). Times, dates and options are never paths, and a
// file argument (calendar-import's .ics) is a file, so a left-out DIR is not mistaken.
bool namesFolder(const std::string& argument) {
    std::error_code ec;
    const std::filesystem::path path = tolvane::pathFromUtf8(argument);
    if (std::filesystem::is_directory(path, ec)) return true;
    return argument.find_first_of("/\\") != std::string::npos &&
           !std::filesystem::is_regular_file(path, ec);
}

int licences() {
    std::cout << tolvane::kProgramName << " " TOLVANE_VERSION ": " << tolvane::kProgramLicence
              << "\n";
    for (const tolvane::LibraryNotice& library : tolvane::libraryNotices())
        std::cout << library.name << ": " << library.licence << " ("
                  << tolvane::uiText("Notices", library.use) << ")\n";
    return 0;
}

int usage() {
    std::cerr << kUsage;
    return 2;
}

}  // namespace

namespace tolvane::cli {

void endProcess(int status) {
    // Nothing of ours needs the static destructors, and no library's teardown among them can then
    // hang or abort the exit: end the process without running them.
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(status);
}

}  // namespace tolvane::cli

int main(int argc, char** argv) {
    // Never deleted: the streams are flushed at exit after every static object is gone.
    std::cerr.rdbuf(new EscapingBuffer(std::cerr.rdbuf()));
#ifdef TOLVANE_HAVE_LANGUAGE
    // The program's messages that tolvanectl passes on, in the desktop's language.
    tolvane::useDesktopLanguage(nullptr);
#endif
#ifdef TOLVANE_HAVE_STATUS
    // add and change decode a bell's file, as a bell would, before saying it will not play.
    tolvane::cli::judgeMusicFilesWith(tolvane::unplayableBecause);
#endif
    std::vector<std::string> args = tolvane::utf8Arguments(argc, argv);
    if (args.empty()) return usage();
    const std::string command = args[0];
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "tolvanectl " TOLVANE_VERSION "\n";
        return 0;
    }
    if (command == "licences" && args.size() == 1) return licences();
    if (takesFolder(command) && (args.size() == 1 || !namesFolder(args[1])))
        args.insert(args.begin() + 1, tolvane::defaultDataFolder());
    // ring-now's MUSIC may be a folder too: DIR is left out when MUSIC is all there is.
    if (command == "ring-now" &&
        std::count_if(args.begin() + 1, args.end(),
                      [](const std::string& a) { return a[0] != '-'; }) == 1)
        args.insert(args.begin() + 1, tolvane::defaultDataFolder());
    if (command == "init" && args.size() == 2)
        return tolvane::cli::initCommand(args[1], std::cout, std::cerr);
    if (command == "dump" && (args.size() == 2 || (args.size() == 3 && args[2] == "--json")))
        return tolvane::cli::dumpCommand(args[1], args.size() == 3, std::cout, std::cerr);
    if (command == "check" && args.size() == 2)
        return tolvane::cli::checkCommand(args[1], std::cout, std::cerr);
    if (command == "repair" && args.size() == 2)
        return tolvane::cli::repairCommand(args[1], std::cout, std::cerr);
#ifdef TOLVANE_HAVE_PLAY
    if (command == "play" && args.size() == 2)
        tolvane::cli::endProcess(tolvane::cli::playCommand(argc, argv, args[1]));
#endif
#ifdef TOLVANE_HAVE_RING
    if (command == "ring" && args.size() == 2)
        tolvane::cli::endProcess(tolvane::cli::ringCommand(argc, argv, args[1]));
#else
    // Listed by the usage all the same: the same commands everywhere, each saying what it lacks.
    if (command == "ring" && args.size() == 2) {
        std::cerr << "tolvanectl: this build cannot ring without a window (it is built without "
                     "the ringer); the program tolvane rings the folder\n";
        return 1;
    }
#endif
#ifdef TOLVANE_HAVE_SERVICE
    if (command == "service")
        tolvane::cli::endProcess(tolvane::cli::serviceCommand(argc, argv, args));
#else
    if (command == "service") {
        std::cerr << "tolvanectl: this build cannot ring as a Windows service; on Linux the "
                     "systemd user unit rings from boot (systemctl --user enable --now "
                     "tolvane-ring, and loginctl enable-linger)\n";
        return 1;
    }
#endif
#ifdef TOLVANE_HAVE_STATUS
    if (command == "status" && (args.size() == 2 || (args.size() == 3 && args[2] == "--json")))
        return tolvane::cli::statusCommand(args[1], args.size() == 3, std::cout, std::cerr);
#endif
    if (command == "log" && (args.size() == 2 || (args.size() == 4 && args[2] == "--day")))
        return tolvane::cli::logCommand(args[1], args.size() == 4 ? args[3] : "");
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "timetable") return tolvane::cli::timetableCommand(rest, std::cout, std::cerr);
    if (command == "list") return tolvane::cli::listCommand(rest, std::cout, std::cerr);
    if (command == "add") return tolvane::cli::addCommand(rest, std::cout, std::cerr);
    if (command == "change") return tolvane::cli::changeCommand(rest, std::cout, std::cerr);
    if (command == "delete") return tolvane::cli::deleteCommand(rest, std::cout, std::cerr);
    if (command == "password") return tolvane::cli::passwordCommand(rest, std::cout, std::cerr);
    if (command == "option") return tolvane::cli::optionCommand(rest, std::cout, std::cerr);
    if (command == "calendar") return tolvane::cli::calendarCommand(rest, std::cout, std::cerr);
    if (command == "holiday") return tolvane::cli::holidayCommand(rest, std::cout, std::cerr);
    if (command == "workday") return tolvane::cli::workdayCommand(rest, std::cout, std::cerr);
    if (command == "normal") return tolvane::cli::normalCommand(rest, std::cout, std::cerr);
    if (command == "ring-now") return tolvane::cli::ringNowCommand(rest, std::cout, std::cerr);
    if (command == "stop") return tolvane::cli::stopCommand(rest, std::cout, std::cerr);
    if (command == "say") return tolvane::cli::sayCommand(rest, std::cout, std::cerr);
    if (command == "voices") return tolvane::cli::voicesCommand(rest, std::cout, std::cerr);
    if (command == "calendar-import")
        return tolvane::cli::calendarImportCommand(rest, std::cout, std::cerr);
    if (command == "plan" && args.size() == 6 && args[2] == "--from" && args[4] == "--to")
        return tolvane::cli::planCommand(args[1], args[3], args[5], std::cout, std::cerr);
    return usage();
}
