// SPDX-License-Identifier: GPL-3.0-or-later
// tolvanectl service: the headless ringer as a Windows service, so that a school's PC rings from
// boot with nobody logged in. The installer offers it; the desktop program started later finds
// the folder's one-ringer lock held by the service and does not ring a second time.

#include <QCoreApplication>
#include <iostream>

#include "cli/RingCommand.h"
#include "platform/ProgramFolder.h"
#include "platform/WindowsService.h"

namespace tolvane::cli {

namespace {

int runAsService(int argc, char** argv, const std::string& dir) {
    EndRequest end;
    ServiceSession session;
    if (!session.connect([&end](const std::string& why) { end.ask(why); })) {
        std::cerr << "tolvanectl: service run is started by Windows' service manager (sc start "
                     "Tolvane); from a terminal, tolvanectl ring DIR rings the folder\n";
        return 2;
    }
    QCoreApplication app(argc, argv);
    RingFront front;
    front.startNote = "打铃服务启动";
    front.endNote = "打铃服务结束";
    front.endAsked = &end;
    front.ringing = [&session] { session.running(); };
    const int status = ringFolder(app, dir, front);
    session.stopped(status);
    return status;
}

std::string thisProgram(char** argv) {
    const std::string folder = programFolder();
    return folder.empty() ? std::string(argv[0]) : folder + "\\tolvanectl.exe";
}

}  // namespace

int serviceCommand(int argc, char** argv, const std::vector<std::string>& args) {
    if (args.size() == 3 && args[1] == "run") return runAsService(argc, argv, args[2]);
    if ((args.size() == 2 || args.size() == 3) && args[1] == "install") {
        const std::string dir = args.size() == 3 ? args[2] : defaultDataFolder();
        const ServiceInstall service = installService(thisProgram(argv), dir);
        if (!service.installed.isOk()) {
            std::cerr << "tolvanectl: " << service.installed.message() << "\n";
            return 1;
        }
        std::cout << "installed: the service Tolvane rings " << dir
                  << " from each start of Windows, with nobody logged in\n";
        if (!service.started.isOk()) {
            std::cerr << "tolvanectl: " << service.started.message()
                      << "; it rings from the next start of Windows\n";
            return 1;
        }
        std::cout << "started: the service rings now\n";
        return 0;
    }
    if (args.size() == 2 && args[1] == "remove") {
        const Status removed = removeService();
        if (!removed.isOk()) {
            std::cerr << "tolvanectl: " << removed.message() << "\n";
            return 1;
        }
        std::cout << "removed: the service Tolvane\n";
        return 0;
    }
    if (args.size() == 2 && (args[1] == "start" || args[1] == "stop")) {
        const bool starting = args[1] == "start";
        const Status done = starting ? startService() : stopService();
        if (!done.isOk()) {
            std::cerr << "tolvanectl: " << done.message() << "\n";
            return 1;
        }
        std::cout << (starting ? "started: the service Tolvane rings\n"
                               : "stopped: the service Tolvane; it starts again with Windows\n");
        return 0;
    }
    if (args.size() == 2 && args[1] == "status") {
        const auto state = serviceState();
        if (!state.isOk()) {
            std::cout << "service Tolvane: not installed\n";
            return state.status().code() == Status::Code::kNotFound ? 3 : 1;
        }
        std::cout << "service Tolvane: " << state.value() << "\n";
        return state.value() == "running" ? 0 : 3;
    }
    std::cerr << "usage: tolvanectl service install [DIR] | remove | start | stop | status | run "
                 "DIR\n";
    return 2;
}

}  // namespace tolvane::cli
