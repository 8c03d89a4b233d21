// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RingCommand.h"

#include <QCoreApplication>
#include <QTimer>
#include <iostream>
#include <utility>

#include "base/UiText.h"
#include "bells/core/RingerLock.h"
#include "bells/log/FileRingLog.h"
#include "language/Language.h"
#include "platform/PowerOff.h"
#include "platform/StartupMemory.h"
#include "ringer/QuitOnSignals.h"
#include "ringer/Ringer.h"

namespace tolvane::cli {

namespace {

bool takeLock(RingerLock& lock, const std::string& dir) {
    switch (lock.take(dir)) {
        case RingerLock::Outcome::kHeldElsewhere: {
            const std::string pid = RingerLock::holder(dir);
            std::cerr << "tolvanectl: " << dir << ": "
                      << (pid.empty() ? "another process" : "process " + pid)
                      << " already rings the bells of this folder\n";
            return false;
        }
        case RingerLock::Outcome::kUnavailable:
            // Two ringers on one folder ring every bell twice: better none, said at once.
            std::cerr << "tolvanectl: will not ring from " << dir
                      << ": no other copy could be kept from ringing it too: " << lock.problem()
                      << "\n";
            return false;
        case RingerLock::Outcome::kTaken:
            if (!lock.problem().empty())
                std::cerr << "tolvanectl: " << uiText("tolvanectl", "警告：") << dir << ": "
                          << lock.problem() << "\n";
            break;
    }
    return true;
}

}  // namespace

void EndRequest::ask(const std::string& why) {
    std::lock_guard lock(m_mutex);
    if (m_handler)
        m_handler(why);
    else
        m_pending = why;
}

void EndRequest::setHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
    if (m_handler && m_pending) m_handler(*std::exchange(m_pending, std::nullopt));
}

int ringFolder(QCoreApplication& app, const std::string& dir, const RingFront& front) {
    RingerLock lock;
    if (!takeLock(lock, dir)) return 1;
    auto log = std::make_unique<FileRingLog>(FileRingLog::Options{dir, front.echoLog});
    if (!log->fileProblem().empty())
        std::cerr << "tolvanectl: the ring log file cannot be written: " << log->fileProblem()
                  << "\n";
    SystemPowerOff powerOff;
    Ringer::Options ringing{dir, powerOff, nullptr, std::move(log)};
    ringing.webEnglish = englishUiTexts();
    Ringer ringer(std::move(ringing));
    ringer.log().note(front.startNote + "：Tolvane " TOLVANE_VERSION "，文件夹 " + dir);
    const OpenedTables opened = ringer.openTables();
    if (!opened.usable()) {
        for (const std::string& e : opened.errors) std::cerr << "tolvanectl: " << e << "\n";
        ringer.shutDown(front.endNote + "：铃声计划不能打开");
        return 1;
    }
    // Settings that cannot be read leave the defaults: ringing matters more than an option.
    if (auto settings = ringer.applySettings(); !settings.isOk())
        ringer.log().warn("设置不能读取，仍用原来的：" + settings.status().message());
    const Subscription endOnFatal = ringer.onFatal.add([&app](const Status&) { app.exit(1); });
    quitOnTerminationSignals(app, [&ringer](const char* name) {
        ringer.log().note(std::string("收到结束信号 ") + name);
    });
    // Asked on another thread: the note and the end happen on the ringer's, and an end asked
    // after the ringer is gone touches nothing of it.
    struct Forget {
        EndRequest* request;
        ~Forget() {
            if (request) request->setHandler(nullptr);
        }
    } forget{front.endAsked};
    if (front.endAsked) {
        front.endAsked->setHandler([&app, &ringer](const std::string& why) {
            QMetaObject::invokeMethod(&app, [&app, &ringer, why] {
                ringer.log().note(why);
                app.exit(0);
            });
        });
    }
    ringer.setPlan(PlanState::kRunning);
    if (front.ringing) front.ringing();
    QTimer::singleShot(kStartupSettledMs,
                       [] { releaseStartupMemoryInBackground(loadAudioOutput); });
    const int status = app.exec();
    ringer.shutDown(front.endNote);
    return status;
}

int ringCommand(int argc, char** argv, const std::string& dir) {
    QCoreApplication app(argc, argv);
    RingFront front;
    front.echoLog = true;
    return ringFolder(app, dir, front);
}

}  // namespace tolvane::cli
