#include "cli/RingCommand.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <iostream>

#include "platform/PowerOff.h"
#include "platform/SleepInhibitor.h"
#include "platform/StartupMemory.h"
#include "ringing/audio/AudioPlayback.h"
#include "ringing/core/RingerLock.h"
#include "ringing/log/FileRingLog.h"
#include "ringing/qt/RingController.h"
#include "ringing/qt/TableFollower.h"
#include "schedule/core/Schema.h"

namespace tolvane::cli {

namespace {

int g_signalSocket[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe calls here: the event loop reads the byte and ends the run.
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[1], &byte, 1);
}

// Ends the event loop on SIGTERM and SIGINT.
void quitOnSignals(QCoreApplication& app, QObject& owner) {
    ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSocket);
    auto* notifier = new QSocketNotifier(g_signalSocket[0], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

uint64_t millisecondTicks() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The settings the ringing uses: the power-off time and flag, random play.
void applySettings(TableDatabase& db, RingController& ring, PlaylistBellSound& sound,
                   RingLog& log) {
    Status s = selectSettingsRecord(db);
    auto settings = s.isOk() ? readSettings(db) : Result<SettingsRecord>(s);
    if (!settings.isOk()) {
        log.warn("设置不能读取，仍用原来的：" + settings.status().message());
        return;
    }
    ring.shutdownPlan() = {settings.value().autoShutdown, settings.value().shutdownTime};
    sound.setRandomPlay(settings.value().randomPlay);
}

}  // namespace

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
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, dir);
    if (!opened.usable()) {
        for (const std::string& e : opened.errors) std::cerr << "tolvanectl: " << e << "\n";
        return 1;
    }
    FileRingLog log({dir, /*echoToStdout=*/true});
    if (!log.fileProblem().empty())
        std::cerr << "tolvanectl: the ring log file cannot be written: " << log.fileProblem()
                  << "\n";
    log.note("无窗口打铃启动：Tolvane " TOLVANE_VERSION "，文件夹 " + dir);
    for (const std::string& moved : opened.setAside) log.warn("损坏的表文件已改名保存为 " + moved);
    for (const std::string& reason : opened.readOnly) log.warn("铃声计划只能读取：" + reason);

    LogindPowerOff powerOff;
    powerOff.onAnswer = [&log](const std::string& answer) {
        log.note("自动关机：系统回答：" + answer);
    };
    std::atomic<RingEngine*> engine{nullptr};
    AudioPlayback playback(audioSinkFactory(), engineHooks([&engine] { return engine.load(); }));
    PlaylistBellSound sound(playback, millisecondTicks);
    SystemClock clock;
    RingController ring(db, clock, sound, powerOff);
    ring.engine().setLog(log);
    engine = &ring.engine();
    applySettings(db, ring, sound, log);

    TableFollower follower(db, dir);
    follower.onReloaded = [&](const ReloadedTables& r) {
        for (const std::string& e : r.errors) log.warn("表文件被更改但不能读取，仍用原来的：" + e);
        if (r.bells) log.note(std::string(schema::kBellFile) + " 被更改：重新读取铃声计划");
        if (r.calendar) {
            log.note(std::string(schema::kCalendarFile) + " 被更改：重新读取校历");
            ring.engine().forgetCalendarDay();
        }
        if (r.settings) {
            log.note(std::string(schema::kSettingsFile) + " 被更改：重新读取设置");
            applySettings(db, ring, sound, log);
        }
    };
    ring.beforeTick = [&follower] { follower.check(); };
    QObject::connect(&ring, &RingController::fatalError, &app, [&](int, const QString& message) {
        log.warn("运行时出错：" + message.toStdString());
        app.exit(1);
    });
    QObject owner;
    quitOnSignals(app, owner);

    SystemSleepInhibitor inhibitor;
    inhibitor.onAnswer = [&log](const std::string& answer) { log.note(answer); };
    inhibitor.hold();
    ring.setRunning(true);
    QTimer::singleShot(kStartupSettledMs,
                       [] { releaseStartupMemoryInBackground(loadAudioOutput); });
    const int status = app.exec();
    ring.setRunning(false);
    engine = nullptr;
    playback.stop();
    inhibitor.release();
    log.note("无窗口打铃结束");
    log.flush();
    return status;
}

}  // namespace tolvane::cli
