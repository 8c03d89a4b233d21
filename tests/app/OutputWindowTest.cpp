// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and the Settings window with a real ringer on a real PulseAudio server (started
// by output_window_test.sh, with a null sink "bells" as the default): the output's problem on the
// bottom line, the fix button, 对时 and 试听. The clock is the system's.

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/MainWindow.h"
#include "ringer/Ringer.h"
#include "schedule/core/Schema.h"
#include "settings/core/ProgramOptions.h"
#include "settings/ui/SettingsWindow.h"
#include "tests/support/Recorders.h"
#include "tests/support/TempDir.h"
#include "ui_MainWindow.h"
#include "ui_SettingsWindow.h"

using namespace tolvane;

namespace {

QString pactl(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("pactl"), arguments);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A bell every day at the system's time now + seconds.
BellRecord bellIn(int seconds, const std::string& music) {
    const SystemClock clock;
    const LocalTime t = clock.toLocal(clock.nowMs() / 1000 + seconds);
    char start[16];
    std::snprintf(start, sizeof start, "%02d:%02d:%02d", t.hour % 24, t.minute % 60, t.second % 60);
    return {start,
            "",
            music,
            {true, true, true, true, true, true, true},
            t.hour * 3600 + t.minute * 60 + t.second};
}

}  // namespace

class OutputWindowTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    test::RecordingSound m_off;
    ClockSync m_clockSync{true, true, {}};
    std::unique_ptr<Ringer> m_ringer;
    std::unique_ptr<MainWindow> m_window;
    const std::string m_tones = qEnvironmentVariable("TONES").toStdString();

    void addBell(const BellRecord& bell) {
        TableDatabase db;
        openOrCreateTables(db, m_dir.path());
        db.select(schema::kBellAlias);
        QVERIFY(db.append(bellValues(bell)).isOk());
    }
    QString log() { return QString::fromStdString(test::readFile(m_dir.file("tolvane.log"))); }

private slots:
    void initTestCase() {
        Ringer::Options options{m_dir.path(), m_off};
        // This machine's clock may well be unsynchronised; the clock is not what is tested here.
        options.readClockSync = [this] { return m_clockSync; };
        m_ringer = std::make_unique<Ringer>(std::move(options));
        m_window = std::make_unique<MainWindow>(*m_ringer);
        m_window->showMessage = [](const FlowMessage& m, QMessageBox::Icon) {
            QFAIL(m.text.c_str());
        };
        m_window->runCreatedHandler();
    }
    void cleanupTestCase() {
        m_window.reset();
        m_ringer->shutDown("end");
        m_ringer.reset();
    }

    void anUnsynchronisedClockOffersTheSystemsTimeSynchronisation() {
        Ui::MainWindow& ui = m_window->ui();
        m_clockSync = {true, false, "没有时间同步（NTP）在校正系统时钟"};
        m_ringer->checkClock();
        QTRY_VERIFY_WITH_TIMEOUT(ui.修复按钮->isVisibleTo(m_window.get()), 2000);
        QCOMPARE(ui.修复按钮->text(), QStringLiteral("开启时间同步"));
        QVERIFY(ui.状态标签->geometry().right() < ui.修复按钮->x());
        ui.修复按钮->click();
        const auto ntpOn = [] {
            QProcess gdbus;
            gdbus.start("gdbus",
                        {"call", "--system", "-d", "org.freedesktop.timedate1", "-o",
                         "/org/freedesktop/timedate1", "-m", "org.freedesktop.DBus.Properties.Get",
                         "org.freedesktop.timedate1", "NTP"});
            gdbus.waitForFinished(5000);
            return gdbus.readAllStandardOutput().contains("true");
        };
        QTRY_VERIFY_WITH_TIMEOUT(ntpOn(), 2000);
        QTRY_VERIFY(!ui.修复按钮->isVisibleTo(m_window.get()));
        QTRY_VERIFY(log().contains("系统的时间同步（NTP）已按用户的要求开启"));
        // Until the clock is synchronised, the line still says so.
        QVERIFY(ui.状态标签->isVisibleTo(m_window.get()));
        m_clockSync = {true, true, {}};
        m_ringer->checkClock();
        QVERIFY(!ui.状态标签->isVisibleTo(m_window.get()));
    }

    void aMutedQuietOutputIsSaidAndFixedOnRequest() {
        Ui::MainWindow& ui = m_window->ui();
        QVERIFY(!ui.状态标签->isVisibleTo(m_window.get()));
        {
            // The window says it in its reader's language (English here), the log in its own.
            const UiTextTranslator english = [](const char*, const char* source) -> std::string {
                const std::string text = source;
                if (text == "声音输出 %1 听不到：%2")
                    return "Nobody can hear the sound output %1: %2";
                if (text == "输出已静音") return "the output is muted";
                return {};
            };
            const UiTextLanguage reader(&english);
            pactl({"set-sink-mute", "bells", "1"});
            pactl({"set-sink-volume", "bells", "5%"});
            QTRY_VERIFY_WITH_TIMEOUT(ui.状态标签->toolTip().contains("bells"), 1000);
            QVERIFY2(ui.状态标签->toolTip().contains(
                         "Nobody can hear the sound output bells: the output is muted"),
                     qPrintable(ui.状态标签->toolTip()));
        }
        QTRY_VERIFY(log().contains("声音输出 bells 听不到：输出已静音"));
        QVERIFY(ui.状态标签->isVisibleTo(m_window.get()));
        // The tray's icon bears a mark, and its tip says why.
        const QImage plain = m_window->windowIcon().pixmap(64, 64).toImage();
        QVERIFY(m_window->tray()->icon().pixmap(64, 64).toImage() != plain);
        QVERIFY(m_window->tray()->toolTip().contains("铃声听不到"));
        QVERIFY(ui.修复按钮->isVisibleTo(m_window.get()));
        // The line ends before the button, which stays clear of the corner.
        QVERIFY(ui.状态标签->geometry().right() < ui.修复按钮->x());

        ui.修复按钮->click();
        QVERIFY(pactl({"get-sink-mute", "bells"}).contains("no"));
        QVERIFY(pactl({"get-sink-volume", "bells"}).contains(" 20%"));
        QTRY_VERIFY2_WITH_TIMEOUT(!ui.状态标签->isVisibleTo(m_window.get()),
                                  qPrintable(ui.状态标签->toolTip()), 1000);
        QVERIFY(!ui.修复按钮->isVisibleTo(m_window.get()));
        QCOMPARE(m_window->tray()->icon().pixmap(64, 64).toImage(), plain);
        QTRY_VERIFY(log().contains("声音输出已按用户的要求取消静音"));

        // The next bell is heard.
        const BellRecord bell = bellIn(2, m_tones + "/a440.mp3");
        addBell(bell);
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(QString::fromStdString("铃声响起：" + bell.start)),
                                 5000);
        pactl({"set-sink-volume", "bells", "100%"});
    }

    void matchingTheClockAndTryingTheNextBell() {
        // Only this bell: the one heard before is nearer.
        std::filesystem::remove(m_dir.file("db.edb"));
        const BellRecord bell = bellIn(37, m_tones + "/long440.mp3");
        addBell(bell);
        int shownOffset = 0, keptOffset = 0;
        bool outputListed = false, agree = false;
        QStringList asked;
        m_window->prepareWindow = [&](QDialog& dialog) {
            auto& settings = dynamic_cast<SettingsWindow&>(dialog);
            settings.showMessage = [](const FlowMessage& m, QMessageBox::Icon) {
                qWarning("%s", m.text.c_str());
            };
            settings.confirm = [&](const QString& question) {
                asked << question;
                return agree;
            };
            QTimer::singleShot(0, &settings, [&] {
                Ui::SettingsWindow& ui = settings.ui();
                // From -40 s, matching would move the clock 77 s: asked first, and refused.
                ui.偏移框->setValue(-40);
                ui.对时按钮->click();
                keptOffset = ui.偏移框->value();
                // Pressed as the school's old bell (37 s ahead of the system's clock) rings.
                agree = true;
                ui.对时按钮->click();
                shownOffset = ui.偏移框->value();
                outputListed = ui.输出框->findData(QStringLiteral("bells")) > 0;
                ui.试听按钮->click();
                settings.close();
            });
        };
        m_window->onSettings();
        QCOMPARE(keptOffset, -40);
        QCOMPARE(asked.size(), 2);
        QVERIFY2(asked[0].contains(QString::fromStdString(bell.start)), qPrintable(asked[0]));
        QVERIFY2(std::abs(shownOffset - 37) <= 1, QByteArray::number(shownOffset));
        QVERIFY(outputListed);
        const auto options = readProgramOptions(*FileSystem::platform(), m_dir.path());
        QVERIFY(options.isOk());
        QCOMPARE(m_ringer->clockOffsetSeconds(), options.value().clockOffsetSeconds);
        QVERIFY(std::abs(m_ringer->clockOffsetSeconds() - 37) <= 1);
        // 试听: a bell's stream on the output now, cut after five seconds.
        QTRY_VERIFY_WITH_TIMEOUT(pactl({"list", "sink-inputs"}).contains("media.role = \"alarm\""),
                                 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!pactl({"list", "sink-inputs"}).contains("media.role = \"alarm\""),
                                 7000);
        // The face's tip says the system's time and the offset.
        QTRY_VERIFY_WITH_TIMEOUT(m_window->ui().画板2->toolTip().contains("系统时间"), 2000);
        QVERIFY(log().contains("时钟偏移改为 +"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(assets);
    OutputWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "OutputWindowTest.moc"
