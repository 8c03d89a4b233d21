// SPDX-License-Identifier: GPL-3.0-or-later
// Tolvane: rings a school's or factory's bells on schedule.

#include <QApplication>
#include <QDateTime>
#include <QFontDatabase>
#include <QMessageBox>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/EarlyStart.h"
#include "app/FirstPaintReporter.h"
#include "app/HotKeyToggle.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "app/SkinStartup.h"
#include "app/StatePresenter.h"
#include "bells/audio/PcmSink.h"
#include "bells/core/RingerLock.h"
#include "bells/core/RingerStateFile.h"
#include "language/Language.h"
#include "platform/DisplaySession.h"
#include "platform/PowerOff.h"
#include "platform/ProgramFolder.h"
#include "platform/StartupMemory.h"
#include "ringer/QuitOnSignals.h"
#include "ringer/Ringer.h"

namespace {

std::string executableFolder() {
    const std::string folder = tolvane::programFolder();
    return folder.empty() ? QCoreApplication::applicationDirPath().toStdString() : folder;
}

// What the ringer that already rings the folder (the Windows service, tolvanectl ring, another
// user's program) publishes, in the window's words; empty when it publishes nothing.
QString otherRingerSays(const std::string& folder) {
    const std::string pid = tolvane::RingerLock::holder(folder);
    auto state = tolvane::readRingerState(*tolvane::FileSystem::platform(), folder, pid);
    if (!state.isOk()) return {};
    return QStringLiteral("\n\n") + tolvane::StatePresenter::summary(state.value());
}

void warnWithoutChineseFont() {
    if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        std::fprintf(stderr,
                     "tolvane: no Chinese font is installed, texts may show as boxes "
                     "(install fonts-wqy-zenhei)\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tolvane %s\n", TOLVANE_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--toggle") == 0) {
        QCoreApplication app(argc, argv);
        const std::string dataFolder =
            tolvane::chooseDataFolder(executableFolder(), tolvane::userDataHome());
        if (tolvane::SingleInstance::askRunningToToggle(dataFolder)) return 0;
        std::fprintf(stderr, "tolvane: no running program rings from %s to show or hide\n",
                     dataFolder.c_str());
        return 1;
    }
    if (!tolvane::hasDisplay()) {
        std::fprintf(stderr,
                     "tolvane: no display to show its window on; start it under Xvfb with: "
                     "xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    tolvane::prepareDisplayConnection();
    Q_INIT_RESOURCE(assets);  // the pictures live in a static library
    tolvane::EarlyStart early;
    QApplication app(argc, argv);
    early.applicationMade();
    tolvane::useDesktopLanguage(&app);
    // The skin-engine loader exists before any window and is destroyed with the program.
    auto skin = std::make_unique<tolvane::SkinStartup>();
    QApplication::setApplicationName(QStringLiteral("Tolvane"));

    const std::string dataFolder =
        tolvane::chooseDataFolder(executableFolder(), tolvane::userDataHome());
    tolvane::SingleInstance instance(dataFolder);
    const tolvane::SingleInstance::Claim claim = instance.claim();
    if (claim != tolvane::SingleInstance::Claim::kFirst) early.finish();
    switch (claim) {
        case tolvane::SingleInstance::Claim::kFirst:
            break;
        case tolvane::SingleInstance::Claim::kShownOther:
            return 0;
        case tolvane::SingleInstance::Claim::kOtherUnknown:
            QMessageBox::information(
                nullptr, QCoreApplication::translate("main", "信息："),
                QCoreApplication::translate(
                    "main",
                    "打铃程序已经在运行（进程 %1，可能是另一位用户或无窗口打铃启动的），"
                    "同一个文件夹只能有一个打铃程序。\n%2")
                        .arg(QString::fromStdString(tolvane::RingerLock::holder(dataFolder)),
                             QString::fromStdString(dataFolder)) +
                    otherRingerSays(dataFolder));
            return 0;
        case tolvane::SingleInstance::Claim::kNoLock:
            // Two ringers on one folder ring every bell twice: better none, said at once.
            QMessageBox::critical(
                nullptr, QCoreApplication::translate("main", "错误："),
                QCoreApplication::translate(
                    "main", "不能确定没有别的打铃程序在用这个文件夹，所以不打铃。\n%1\n%2")
                    .arg(QString::fromStdString(dataFolder),
                         QString::fromStdString(instance.lockProblem())));
            return 1;
    }
    if (!instance.lockProblem().empty())
        std::fprintf(stderr, "tolvane: warning: %s: %s\n", dataFolder.c_str(),
                     instance.lockProblem().c_str());
    // Bells ring with every window hidden: only the program's own exit paths end it.
    QApplication::setQuitOnLastWindowClosed(false);

    tolvane::SystemPowerOff powerOff;
    int code;
    {
        tolvane::Ringer::Options ringing{dataFolder, powerOff};
        ringing.webEnglish = tolvane::englishUiTexts();
        tolvane::Ringer ringer(std::move(ringing));
        tolvane::MainWindow window(ringer);
        window.attachSkin = [&skin] { skin->attach(); };
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = window.frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            window.move(frame.topLeft());
        }
        tolvane::FirstPaintReporter reporter;
        if (std::getenv("TOLVANE_REPORT_FIRST_PAINT"))
            window.findChild<QWidget*>(QStringLiteral("画板2"))->installEventFilter(&reporter);
        instance.onShowRequested = [&window] { window.restoreWindow(); };
        instance.onToggleRequested = [&window] { tolvane::toggleWindow(window); };
        ringer.log().note("程序启动：Tolvane " TOLVANE_VERSION "，文件夹 " + dataFolder);
        // Log-out, shutdown and `systemctl stop` end the program as its own exit paths do.
        tolvane::quitOnTerminationSignals(app, [&ringer](const char* name) {
            ringer.log().note(std::string("收到结束信号 ") + name);
        });
        // Windows ends a session (log-off, shutdown, an update's restart) by messages to the
        // windows and ends the process soon after they are answered, before exec() returns: the
        // ring log's last line and the releases are done while the toolkit hears of it.
        bool sessionEnding = false;
        QObject::connect(&app, &QGuiApplication::commitDataRequest,
                         [&sessionEnding, &window](QSessionManager&) {
                             sessionEnding = true;
                             window.endWithSession();
                         });
        QObject::connect(&app, &QCoreApplication::aboutToQuit, [&sessionEnding, &ringer] {
            if (!sessionEnding) return;
            ringer.log().note("系统结束会话（注销、关机或重启）");
            ringer.shutDown("程序退出（会话结束）");
        });
        // For the follow benchmark: the wall clock (ms) when changed tables have been read again.
        tolvane::Subscription reportReload;
        if (std::getenv("TOLVANE_REPORT_RELOAD"))
            reportReload =
                ringer.onReloaded.add([](const tolvane::ReloadedTables&, const tolvane::Status&) {
                    std::fprintf(stderr, "reload-ms %lld\n",
                                 static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
                });
        window.runCreatedHandler();
        // Start-up's scratch memory and the file pages only starting read go back to the system
        // once the window is up: the program then rests for days.
        // The sound output's library is loaded then too, ready for the first bell.
        QTimer::singleShot(tolvane::kStartupSettledMs, [] {
            tolvane::releaseStartupMemoryInBackground(tolvane::loadAudioOutput);
        });
        // Looking through every installed font takes milliseconds: well after the first paint.
        QTimer::singleShot(tolvane::kStartupSettledMs, warnWithoutChineseFont);
        code = app.exec();
        ringer.shutDown("程序退出（" + std::to_string(code) + "）");
    }
    skin.reset();  // the exit clean-up: the skin engine sees its detach
    // End here, after our own clean-up: what matters is flushed and closed, and no library's
    // teardown among the static destructors can then hang or abort the exit.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}
