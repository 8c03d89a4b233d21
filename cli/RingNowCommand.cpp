// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RingNowCommand.h"

#include <chrono>
#include <ostream>
#include <thread>

#include "base/Clock.h"
#include "base/PathText.h"
#include "bells/core/RingRequest.h"
#include "bells/core/RingerLock.h"
#include "cli/ScheduleCommands.h"
#include "platform/Process.h"
#include "platform/TextCodec.h"
#include "schedule/core/BellLibrary.h"
#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"

namespace tolvane::cli {

namespace {

constexpr auto kTakenWithin = std::chrono::seconds(3);

// The process that rings the folder, when one runs.
std::string runningRinger(const std::string& folder) {
    const std::string pid = RingerLock::holder(folder);
    if (pid.empty()) return {};
    try {
        return processIsRunning(std::stol(pid)) ? pid : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

// Leaves the request for the ringer, and waits until it took it.
int ask(const std::string& folder, const RingRequest& request, std::ostream& err) {
    const std::string pid = runningRinger(folder);
    if (pid.empty()) {
        err << "tolvanectl: no ringer runs on " << folder
            << " (start the program, or tolvanectl ring " << folder << ")\n";
        return 1;
    }
    FileSystem& fs = *FileSystem::platform();
    if (Status s = putRingRequest(fs, folder, pid, SystemClock().nowMs(), request); !s.isOk()) {
        err << "tolvanectl: " << s.message() << "\n";
        return 1;
    }
    const auto deadline = std::chrono::steady_clock::now() + kTakenWithin;
    while (ringRequestWaiting(fs, folder)) {
        if (std::chrono::steady_clock::now() > deadline) {
            // Never left for a ringer started later, at a moment nobody chose.
            fs.remove(joinPath(folder, kRingRequestFile));
            err << "tolvanectl: the ringer (process " << pid
                << ") did not take the request within 3 s; nothing was played or stopped\n";
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

}  // namespace

int ringNowCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool repeat = args.size() == 3 && args[2] == "--repeat";
    if (args.size() != 2 && !repeat) {
        err << "usage: tolvanectl ring-now DIR MUSIC [--repeat]\n";
        return 2;
    }
    const std::string& music = args[1];
    if (const std::string why = unstorableTextReason(music); !why.empty()) {
        err << "tolvanectl: " << why << "\n";
        return 1;
    }
    if (const std::string why = musicUnplayableHere(music); !why.empty()) {
        err << "tolvanectl: the music cannot play on this computer: " << music << " (" << why
            << ")\n";
        return 1;
    }
    {
        // Said here as the ringer would say it in its log, where nobody asking would see it.
        TableDatabase db;
        if (openTablesForReading(db, args[0]).isOk())
            if (const std::string why = ringNowMusicProblem(db, args[0], music); !why.empty()) {
                err << "tolvanectl: " << why << "\n";
                return 1;
            }
    }
    const int status =
        ask(args[0], {RingRequest::Kind::kRingNow, music, repeat, "tolvanectl"}, err);
    if (status == 0)
        out << "ringing now: " << music << (repeat ? " (again and again until stopped)" : "")
            << "\n";
    return status;
}

int stopCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: tolvanectl stop DIR\n";
        return 2;
    }
    const int status = ask(args[0], {RingRequest::Kind::kStop, "", false, "tolvanectl"}, err);
    if (status == 0) out << "stopped\n";
    return status;
}

}  // namespace tolvane::cli
