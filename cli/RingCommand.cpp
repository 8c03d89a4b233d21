#include "cli/RingCommand.h"

#include <QCoreApplication>
#include <QTimer>
#include <iostream>

#include "language/Language.h"
#include "platform/PowerOff.h"
#include "platform/StartupMemory.h"
#include "ringer/QuitOnSignals.h"
#include "ringer/Ringer.h"
#include "ringing/core/RingerLock.h"
#include "ringing/log/FileRingLog.h"

namespace tolvane::cli {

int ringCommand(int argc, char** argv, const std::string& dir) {
    QCoreApplication app(argc, argv);
    RingerLock lock;
    switch (lock.take(dir)) {
        case RingerLock::Outcome::kHeldElsewhere: {
            const std::string pid = RingerLock::holder(dir);
            std::cerr << "tolvanectl: " << dir << ": "
                      << (pid.empty() ? "another process" : "process " + pid)
                      << " already rings the bells of this folder\n";
            return 1;
        }
        case RingerLock::Outcome::kUnavailable:
            std::cerr << "tolvanectl: cannot make sure no other copy rings from " << dir << ": "
                      << lock.problem() << "\n";
            break;
        case RingerLock::Outcome::kTaken:
            break;
    }
    auto log = std::make_unique<FileRingLog>(FileRingLog::Options{dir, /*echoToStdout=*/true});
    if (!log->fileProblem().empty())
        std::cerr << "tolvanectl: the ring log file cannot be written: " << log->fileProblem()
                  << "\n";
    LogindPowerOff powerOff;
    Ringer::Options ringing{dir, powerOff, nullptr, std::move(log)};
    ringing.webEnglish = englishUiTexts();
    Ringer ringer(std::move(ringing));
    ringer.log().note("无窗口打铃启动：Tolvane " TOLVANE_VERSION "，文件夹 " + dir);
    const OpenedTables opened = ringer.openTables();
    if (!opened.usable()) {
        for (const std::string& e : opened.errors) std::cerr << "tolvanectl: " << e << "\n";
        ringer.shutDown("无窗口打铃结束：铃声计划不能打开");
        return 1;
    }
    // Settings that cannot be read leave the defaults: ringing matters more than an option.
    if (auto settings = ringer.applySettings(); !settings.isOk())
        ringer.log().warn("设置不能读取，仍用原来的：" + settings.status().message());
    const Subscription endOnFatal = ringer.onFatal.add([&app](const Status&) { app.exit(1); });
    quitOnTerminationSignals(app, [&ringer](const char* name) {
        ringer.log().note(std::string("收到结束信号 ") + name);
    });
    ringer.setPlan(PlanState::kRunning);
    QTimer::singleShot(kStartupSettledMs,
                       [] { releaseStartupMemoryInBackground(loadAudioOutput); });
    const int status = app.exec();
    ringer.shutDown("无窗口打铃结束");
    return status;
}

}  // namespace tolvane::cli
