// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as a user without a mouse, or reading English, meets them: on a real X server
// (Xvfb) with the real fonts, in the language the environment asks for (LANGUAGE/LANG).
// Screenshots of each window go to the folder in TOLVANE_SCREENSHOTS when it is set.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "app/MainWindow.h"
#include "app/RingLogWindow.h"
#include "app/SkinStartup.h"
#include "bells/qt/RingController.h"
#include "bells/qt/TableFollower.h"
#include "language/Language.h"
#include "ringer/Ringer.h"
#include "schedule/core/BellEditing.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Schema.h"
#include "schedule/ui/AddBellWindow.h"
#include "schedule/ui/CalendarWindow.h"
#include "schedule/ui/ChangeBellWindow.h"
#include "schedule/ui/GenerateTimetableWindow.h"
#include "settings/core/Password.h"
#include "settings/ui/SettingsWindow.h"
#include "storage/TableDatabase.h"
#include "tests/support/Recorders.h"
#include "tests/support/SilentBell.h"
#include "tests/support/TempDir.h"
#include "ui/BalloonTip.h"
#include "ui_AddBellWindow.h"
#include "ui_MainWindow.h"

using namespace tolvane;

namespace {

// A sound output that takes the sound and never ends it: a bell plays until it is stopped.
// The controls whose text is cut: the text's width against the room its control gives it.
QStringList cutTexts(QWidget* window) {
    QStringList cut;
    const auto check = [&](const QWidget* w, const QString& text, int room) {
        const int needed = w->fontMetrics().horizontalAdvance(text);
        if (!text.isEmpty() && needed > room)
            cut << QStringLiteral("%1/%2 \"%3\": %4 px in %5 (of %6)")
                       .arg(w->window()->metaObject()->className(), w->objectName(), text)
                       .arg(needed)
                       .arg(room)
                       .arg(w->width());
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        if (auto* box = qobject_cast<QCheckBox*>(w)) {
            const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                                  box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
            check(box, box->text(), box->width() - indicator);
        } else if (auto* push = qobject_cast<QPushButton*>(w)) {
            // The room inside the look's border and padding.
            QStyleOptionButton option;
            option.initFrom(push);
            option.text = push->text();
            check(push, push->text(),
                  push->style()
                      ->subElementRect(QStyle::SE_PushButtonContents, &option, push)
                      .width());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            check(button, button->text(), button->width() - 4);
        } else if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) {
            for (const QString& line : label->text().split(QLatin1Char('\n')))
                check(label, line, label->contentsRect().width());
        } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
            if (auto* edit = spin->findChild<QLineEdit*>())
                check(spin, spin->text(), edit->width() - 4);
        } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable()) {
            const int arrow = combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            check(combo, combo->currentText(), combo->width() - arrow - 8);
        } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
            for (int c = 0; c < tree->columnCount(); ++c)
                if (!tree->isColumnHidden(c))
                    check(tree->header(), tree->headerItem()->text(c), tree->columnWidth(c) - 6);
        }
    }
    return cut;
}

// The controls Tab can land on.
QList<QWidget*> focusable(QWidget* window) {
    QList<QWidget*> all;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisibleTo(window) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !w->focusProxy())
            all << w;
    return all;
}

// The controls Tab visits, from the first focused one round to it again.
QSet<QWidget*> tabRound(QWidget* window, int most) {
    QSet<QWidget*> seen;
    for (int i = 0; i < most; ++i) {
        if (QWidget* now = QApplication::focusWidget()) seen << now;
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window,
                        Qt::Key_Tab);
    }
    return seen;
}

QString accessibleName(QWidget* w) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name) : QString();
}

void saveScreenshot(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("TOLVANE_SCREENSHOTS");
    if (!folder.isEmpty()) window->grab().save(folder + QLatin1Char('/') + name + ".png");
}

}  // namespace

class InterfaceTest : public QObject {
    Q_OBJECT

    test::TempDir* m_dir = nullptr;
    test::RecordingSound m_off;
    std::unique_ptr<Ringer> m_ringer;
    std::unique_ptr<MainWindow> m_window;
    QStringList m_opened;

    void start() {
        // The clock said to be unsynchronised: its line on the window must fit too.
        m_ringer = std::make_unique<Ringer>(Ringer::Options{
            m_dir->path(), m_off,
            [](const PcmFormat&) { return std::unique_ptr<PcmSink>(new test::EndlessSink); },
            nullptr, nullptr, nullptr, nullptr,
            [] {
                return ClockSync{true, false, "没有时间同步（NTP）在校正系统时钟"};
            }});
        m_window = std::make_unique<MainWindow>(*m_ringer);
        m_window->exitProgram = [](int) {};
        m_window->showMessage = [](const FlowMessage&, QMessageBox::Icon) {};
        m_window->runCreatedHandler();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void addBell(const char* start) {
        TableDatabase db;
        openOrCreateTables(db, m_dir->path());
        db.select(schema::kBellAlias);
        db.append(bellValues({start, "", "/music/bell.mp3", {true}, 0}));
        // Read now: the folder's notification that follows finds the table as it is, and leaves
        // the list alone.
        m_ringer->follower().check();
    }
    QTreeWidget* list() { return m_window->ui().超级列表框1; }
    // Runs check on every secondary window while it is open, then closes it with Esc: a window
    // that Esc leaves open is closed after 2 s and reported.
    void visitSecondaryWindows(const std::function<void(QDialog&)>& check) {
        QStringList leftOpen;
        m_window->prepareWindow = [&](QDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                dialog.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&dialog));
                check(dialog);
                QTest::keyClick(&dialog, Qt::Key_Escape);
            });
            QTimer::singleShot(2000, &dialog, [&] {
                leftOpen << dialog.metaObject()->className();
                dialog.reject();
            });
        };
        addBell("07:00:00");
        list()->setCurrentItem(list()->topLevelItem(0));
        m_window->onAddBell();
        m_window->onChangeBell();
        m_window->onSettings();
        m_window->onSchoolCalendar();
        m_window->onTimetables();
        m_window->onRingLog();
        m_window->onAbout();
        // The generator opens from the 作息表 window, modal over it.
        GenerateTimetableWindow generator(m_dir->path());
        m_window->prepareWindow(generator);
        generator.exec();
        QVERIFY2(leftOpen.isEmpty(), qPrintable(leftOpen.join(", ")));
    }

private slots:
    void init() {
        m_dir = new test::TempDir;
        m_opened.clear();
        start();
    }
    void cleanup() {
        m_window.reset();
        m_ringer.reset();
        delete m_dir;
    }

    void everyTextFitsItsControl() {
        const QString language = interfaceLocale().language() == QLocale::English ? "en" : "zh";
        QStringList cut = cutTexts(m_window.get());
        saveScreenshot(m_window.get(), language + "-main");
        visitSecondaryWindows([&](QDialog& dialog) {
            cut << cutTexts(&dialog);
            saveScreenshot(&dialog, language + "-" +
                                        QString::fromLatin1(dialog.metaObject()->className())
                                            .section(QStringLiteral("::"), -1));
        });
        // With a password set, Settings offers 修改密码, the longest of its captions in English.
        QVERIFY(setPassword(m_ringer->db(), "门卫").isOk());
        m_window->askPassword = [](const QString&) {
            return std::optional<QString>(QStringLiteral("门卫"));
        };
        m_window->prepareWindow = [&](QDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                cut << cutTexts(&dialog);
                dialog.reject();
            });
        };
        m_window->onSettings();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    // The main window in each state a caretaker meets: every text whole (or cut with the whole in
    // its tip), one screenshot each.
    void everyStateOfTheMainWindowFits() {
        const QString language = interfaceLocale().language() == QLocale::English ? "en" : "zh";
        QStringList cut;
        const auto look = [&](const QString& state) {
            QApplication::processEvents();
            for (const QString& c : cutTexts(m_window.get())) cut << state + ": " + c;
            saveScreenshot(m_window.get(), language + "-main-" + state);
        };
        // A bell with a long music path, ringing now until its end time.
        const SystemClock clock;
        const LocalTime now = clock.toLocal(clock.nowMs() / 1000 + 1);
        const LocalTime end = clock.toLocal(clock.nowMs() / 1000 + 30);
        char start[16], until[16];
        std::snprintf(start, sizeof start, "%02d:%02d:%02d", now.hour, now.minute, now.second);
        std::snprintf(until, sizeof until, "%02d:%02d:%02d", end.hour, end.minute, end.second);
        const std::string music =
            m_dir->path() + "/学校的铃声/上午第一节课上课铃声（教学楼与实验楼）/上课.mp3";
        test::writeSilentMp3(music, 40);
        {
            TableDatabase db;
            openOrCreateTables(db, m_dir->path());
            db.select(schema::kBellAlias);
            db.append(bellValues({start,
                                  until,
                                  music,
                                  {true, true, true, true, true, true, true},
                                  now.hour * 3600 + now.minute * 60 + now.second}));
            m_ringer->follower().check();
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_ringer->ring().engine().bellPlaying(), 3000);
        QTRY_VERIFY(m_window->ui().状态标签->toolTip().contains(QString::fromLatin1(until)));
        look("playing");
        m_window->onStopClicked();
        QVERIFY(!m_window->ui().状态标签->toolTip().contains(QString::fromLatin1(until)));

        m_window->onPauseClicked();
        QVERIFY(m_window->ui().画板2->dimmed());
        look("paused");
        m_window->onPauseClicked();
        QVERIFY(!m_window->ui().画板2->dimmed());

        // Today by the school calendar: a holiday, then a day ringing as Thursday.
        const std::string today = dateText(clock.toLocal(clock.nowMs() / 1000));
        for (const auto& [ringDay, state] :
             {std::pair{0, "holiday"}, std::pair{4, "as-thursday"}}) {
            TableDatabase db;
            openOrCreateTables(db, m_dir->path());
            QVERIFY(setCalendarDays(db, today, today, ringDay, "").isOk());
            m_ringer->follower().check();
            look(QString::fromLatin1(state));
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    void tabReachesEveryControlAndEveryOneHasAName() {
        QStringList missed, unnamed;
        const auto walk = [&](QWidget* window) {
            const QList<QWidget*> all = focusable(window);
            QVERIFY(!all.isEmpty());
            const QSet<QWidget*> seen = tabRound(window, 2 * int(all.size()) + 2);
            for (QWidget* w : all) {
                const QString what = QStringLiteral("%1/%2 (%3)")
                                         .arg(window->metaObject()->className(), w->objectName(),
                                              w->metaObject()->className());
                if (!seen.contains(w)) missed << what;
                if (accessibleName(w).isEmpty()) unnamed << what;
            }
        };
        list()->setFocus();
        walk(m_window.get());
        visitSecondaryWindows([&](QDialog& dialog) { walk(&dialog); });
        QVERIFY2(missed.isEmpty(), qPrintable("not reached by Tab: " + missed.join(", ")));
        QVERIFY2(unnamed.isEmpty(), qPrintable("no accessible name: " + unnamed.join(", ")));
    }

    void systemMenuOpensWithF10AndWithAltAlone() {
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_F10);
        QTRY_VERIFY(m_window->systemMenu()->isVisible());
        QTest::keyClick(m_window->systemMenu(), Qt::Key_Escape);
        QTRY_VERIFY(!m_window->systemMenu()->isVisible());

        QTest::keyPress(list(), Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(list(), Qt::Key_Alt);
        QTRY_VERIFY(m_window->systemMenu()->isVisible());
        QTest::keyClick(m_window->systemMenu(), Qt::Key_Escape);
        QTRY_VERIFY(!m_window->systemMenu()->isVisible());

        // Alt held for another key is not the menu key.
        QTest::keyPress(list(), Qt::Key_Alt, Qt::AltModifier);
        QTest::keyClick(list(), Qt::Key_Down, Qt::AltModifier);
        QTest::keyRelease(list(), Qt::Key_Alt);
        QTest::qWait(50);
        QVERIFY(!m_window->systemMenu()->isVisible());
    }

    void qtsOwnButtonsSpeakTheInterfacesLanguage() {
        QMessageBox box(QMessageBox::Question, "?", "?", QMessageBox::Yes | QMessageBox::No);
        const bool english = interfaceLocale().language() == QLocale::English;
        QVERIFY2(box.button(QMessageBox::No)->text().contains(english ? "No" : "否"),
                 qPrintable(box.button(QMessageBox::No)->text()));
    }

    // The Add window's tips: one at a time, each covering no control; a click shows the next.
    // 试听 toggles, and the window going stops it.
    void addWindowTipsAndTestPlay() {
        const std::string music = m_dir->path() + "/media/test.mp3";
        test::writeSilentMp3(music, 40);
        QStringList seen, covering;
        bool toggled = false, stoppedByClosing = false;
        m_window->prepareWindow = [&](QDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                auto& add = dynamic_cast<AddBellWindow&>(dialog);
                for (int i = 0; i < 3; ++i) {
                    QList<BalloonTip*> shown;
                    QTRY_VERIFY([&] {
                        shown.clear();
                        for (BalloonTip* t : add.findChildren<BalloonTip*>())
                            if (t->isVisible() && !seen.contains(t->text())) shown << t;
                        return shown.size() == 1;
                    }());
                    BalloonTip* tip = shown.first();
                    seen << tip->text();
                    const QRect at = tip->frameGeometry();
                    for (QWidget* w : add.findChildren<QWidget*>())
                        if (w->isVisible() && !w->isWindow() &&
                            (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QListWidget*>(w) || qobject_cast<QComboBox*>(w)) &&
                            QRect(w->mapToGlobal(QPoint(0, 0)), w->size()).intersects(at))
                            covering << tip->text().left(8) + " covers " + w->objectName();
                    QTest::mouseClick(tip, Qt::LeftButton);
                }
                Ui::AddBellWindow& ui = add.ui();
                ui.编辑框4->setText(QString::fromStdString(music));
                const QString caption = ui.按钮2->text();
                ui.按钮2->click();
                QTRY_VERIFY(m_ringer->playback().playing());
                const bool stopShown = ui.按钮2->text() != caption;
                ui.按钮2->click();
                QTRY_VERIFY(!m_ringer->playback().playing());
                toggled = stopShown && ui.按钮2->text() == caption;
                ui.按钮2->click();
                QTRY_VERIFY(m_ringer->playback().playing());
                add.reject();
                QTRY_VERIFY(!m_ringer->playback().playing());
                stoppedByClosing = true;
            });
        };
        m_window->onAddBell();
        QCOMPARE(seen.size(), 3);
        QVERIFY2(covering.isEmpty(), qPrintable(covering.join("; ")));
        QVERIFY(toggled);
        QVERIFY(stoppedByClosing);
    }

    // A bell whose file is not there is stored, and the Add window says at once that it will
    // ring silence here; the ringer's count of such bells follows without an outside change.
    void addingMusicThatWillNotPlayIsSaidAtOnce() {
        const QString missing = QString::fromStdString(m_dir->path() + "/没有/上课.mp3");
        QStringList said;
        m_window->prepareWindow = [&](QDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                auto& add = dynamic_cast<AddBellWindow&>(dialog);
                add.showMessage = [&](const FlowMessage& m, QMessageBox::Icon) {
                    said << QString::fromStdString(m.text);
                };
                add.ui().编辑框4->setText(missing);
                add.ui().按钮1->click();
                add.reject();
            });
        };
        const size_t before = m_ringer->unplayableMusic().size();
        m_window->onAddBell();
        QCOMPARE(said.size(), 1);
        // The success, then the warning naming the file (in either language).
        QVERIFY2(said[0].section('\n', 1).contains(missing), qPrintable(said[0]));
        QTRY_COMPARE(m_ringer->unplayableMusic().size(), before + 1);
    }

    // With 软件密码 set, every change, pause, stop and the exit ask for it first; a wrong one is
    // refused and said, five wrong ones make the next try wait.
    void aPasswordGuardsChangesAndTheExit() {
        if (!passwordsSupported()) QSKIP("a build without libsodium");
        QVERIFY(setPassword(m_ringer->db(), "门卫").isOk());
        addBell("07:00:00");
        list()->setCurrentItem(list()->topLevelItem(0));
        QStringList asked, said;
        QString answer = "wrong";
        m_window->askPassword = [&](const QString& prompt) -> std::optional<QString> {
            asked << prompt;
            return answer;
        };
        m_window->showMessage = [&](const FlowMessage& m, QMessageBox::Icon) {
            said << QString::fromStdString(m.text);
        };
        QStringList opened;
        m_window->prepareWindow = [&](QDialog& dialog) {
            opened << dialog.metaObject()->className();
            QTimer::singleShot(0, &dialog, &QDialog::reject);
        };
        int exits = 0;
        m_window->exitProgram = [&](int) { ++exits; };
        m_window->confirm = [](const QString&) { return true; };

        QElapsedTimer sinceFirstWrong;
        sinceFirstWrong.start();
        m_window->onAddBell();
        m_window->onDeleteBell();
        m_window->onSettings();
        m_window->onQuit();
        QCOMPARE(asked.size(), 4);
        QVERIFY(opened.isEmpty());
        QCOMPARE(list()->topLevelItemCount(), 1);
        QCOMPARE(exits, 0);
        QCOMPARE(said.size(), 4);

        // The fifth wrong one in a row; then even the right one waits.
        m_window->onPauseClicked();
        QCOMPARE(m_ringer->plan(), PlanState::kRunning);
        answer = "门卫";
        m_window->onAddBell();
        QVERIFY(opened.isEmpty());
        // The wait lasts until the first wrong one is a minute old (each wrong one took a hash's
        // time, more on a busy machine).
        const qint64 left = 60 - sinceFirstWrong.elapsed() / 1000;
        QVERIFY2(said.last().contains(QString::number(left)) ||
                     said.last().contains(QString::number(left + 1)) ||
                     said.last().contains(QString::number(left - 1)),
                 qPrintable(said.last() + " (" + QString::number(left) + " s expected)"));

        // Right, after the wait: open, and open without asking for the next five minutes.
        m_window = nullptr;  // a fresh window has a fresh lock, as after a restart
        m_window = std::make_unique<MainWindow>(*m_ringer);
        m_window->askPassword = [&](const QString& prompt) -> std::optional<QString> {
            asked << prompt;
            return answer;
        };
        m_window->prepareWindow = [&](QDialog& dialog) {
            opened << dialog.metaObject()->className();
            QTimer::singleShot(0, &dialog, &QDialog::reject);
        };
        asked.clear();
        m_window->onAddBell();
        m_window->onSettings();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(opened, QStringList({"tolvane::AddBellWindow", "tolvane::SettingsWindow"}));
        QVERIFY(!test::readFile(m_dir->file("px.edb")).empty());
        QVERIFY(test::readFile(m_dir->file("px.edb")).find("门卫") == std::string::npos);
    }

    void escExitAndCloseAskWhileBellsAreDueToday() {
        QStringList questions;
        bool answer = false;
        m_window->confirm = [&](const QString& question) {
            questions << question;
            return answer;
        };
        int exits = 0;
        m_window->exitProgram = [&](int) { ++exits; };
        {  // every day at 23:59:59: still due today, unless the test runs in the day's last second
            TableDatabase db;
            openOrCreateTables(db, m_dir->path());
            db.select(schema::kBellAlias);
            db.append(bellValues({"23:59:59",
                                  "",
                                  "/music/bell.mp3",
                                  {true, true, true, true, true, true, true},
                                  86399}));
            m_ringer->follower().check();
        }
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Escape);
        m_window->ui().图形按钮8->click();  // the close button
        m_window->onQuit();
        QCOMPARE(questions.size(), 3);
        QVERIFY(questions[0].contains(QLatin1Char('1')));
        QCOMPARE(exits, 0);
        QVERIFY(m_window->isVisible());
        answer = true;
        QTest::keyClick(list(), Qt::Key_Escape);
        QCOMPARE(exits, 1);

        // Nothing due today: the window ends at once, as it always did.
        {
            TableDatabase db;
            openOrCreateTables(db, m_dir->path());
            QVERIFY(deleteBell(db, "23:59:59"));
            m_ringer->follower().check();
        }
        m_window->show();
        questions.clear();
        m_window->onQuit();
        QCOMPARE(exits, 2);
        QVERIFY(questions.isEmpty());
    }

    void listKeysAddChangeAndDeleteAfterAsking() {
        m_window->prepareWindow = [this](QDialog& dialog) {
            m_opened << dialog.metaObject()->className();
            QTimer::singleShot(0, &dialog, &QDialog::reject);
        };
        QStringList questions;
        bool answer = false;
        m_window->confirm = [&](const QString& question) {
            questions << question;
            return answer;
        };
        addBell("07:00:00");
        list()->setFocus();
        list()->setCurrentItem(list()->topLevelItem(0));
        QTest::keyClick(list(), Qt::Key_Return);
        QTest::keyClick(list(), Qt::Key_Insert);
        QTest::keyClick(list(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(m_opened, QStringList({"tolvane::ChangeBellWindow", "tolvane::AddBellWindow",
                                        "tolvane::AddBellWindow"}));

        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(questions.size(), 1);
        QVERIFY(questions[0].contains(QStringLiteral("07:00:00")));
        QCOMPARE(list()->topLevelItemCount(), 1);  // answered no: kept
        answer = true;
        list()->setCurrentItem(list()->topLevelItem(0));
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(list()->topLevelItemCount(), 0);
        QTest::keyClick(list(), Qt::Key_Delete);  // nothing selected: nothing asked
        QCOMPARE(questions.size(), 2);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(assets);
    useDesktopLanguage(&app);
    applyOwnLook();  // the look the program shows, margins and all
    InterfaceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "InterfaceTest.moc"
