// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainCommands.h"

#include <QCoreApplication>
#include <QTreeWidget>

#include "app/AboutWindow.h"
#include "app/RingLogWindow.h"
#include "bells/audio/Mp3Decoder.h"
#include "platform/SpeechVoice.h"
#include "ringer/Ringer.h"
#include "schedule/core/BellEditing.h"
#include "schedule/ui/AddBellWindow.h"
#include "schedule/ui/CalendarWindow.h"
#include "schedule/ui/ChangeBellWindow.h"
#include "schedule/ui/ScheduleListView.h"
#include "schedule/ui/TimetableWindow.h"

namespace tolvane {

namespace {

void open(QDialog& window, const PrepareWindow& prepare) {
    prepare(window);
    openModalCentred(window);
}

// A refusal as the main window says it: its words, and why.
void showRefusal(const MessagePresenter& show, const char* words, const std::string& why) {
    show({infoCaption(), QCoreApplication::translate("tolvane::MainWindow", words)
                             .arg(QString::fromStdString(why))
                             .toStdString()},
         QMessageBox::Warning);
}

// After each flow: the list rebuilt, and the music looked at again, so that the count of bells
// that will not play is right at once rather than at the next outside change.
std::function<void()> alsoCheckMusic(Ringer& ringer, std::function<void()> changed) {
    return [&ringer, changed = std::move(changed)] {
        changed();
        ringer.checkMusic();
    };
}

// A bell window's 试听 of words: made by the ringer, off the thread that rings.
auto speechMaker(Ringer& ringer) {
    return [&ringer](const std::string& text, std::function<void(Result<std::string>)> done) {
        ringer.makeSpeechThen(text, std::move(done));
    };
}

}  // namespace

void openAddBell(Ringer& ringer, const QTreeWidget& list, const PrepareWindow& prepare,
                 std::function<void()> changed) {
    AddBellWindow window(ringer.db(), ringer.playback(), ringer.folder(),
                         alsoCheckMusic(ringer, std::move(changed)));
    window.fileUnplayableBecause = unplayableBecause;
    window.bellTable = shownBellTable(&list, ringer.db());
    window.makeSpeechFile = speechMaker(ringer);
    open(window, prepare);
}

void openChangeBell(Ringer& ringer, const QTreeWidget& list, const PrepareWindow& prepare,
                    std::function<void()> changed) {
    QStringList row;
    if (const QTreeWidgetItem* item = list.selectedItems().value(0))
        for (int c = 0; c < list.columnCount(); ++c) row << item->text(c);
    ChangeBellWindow window(ringer.db(), ringer.playback(), ringer.folder(), row,
                            alsoCheckMusic(ringer, std::move(changed)));
    window.fileUnplayableBecause = unplayableBecause;
    window.bellTable = shownBellTable(&list, ringer.db());
    window.showStoredSpeech();
    window.makeSpeechFile = speechMaker(ringer);
    open(window, prepare);
}

void deleteSelectedBell(Ringer& ringer, const QTreeWidget& list, const MessagePresenter& show) {
    const std::string table = shownBellTable(&list, ringer.db());
    if (auto refusal = readOnlyRefusal(ringer.db(), table))
        return show(*refusal, QMessageBox::Warning);
    deleteBell(ringer.db(), selectedStartTime(&list).toStdString(), nullptr, table);
}

void ringSelectedNow(Ringer& ringer, const QTreeWidget& list, bool repeat,
                     const MessagePresenter& show) {
    const std::string start = selectedStartTime(&list).toStdString();
    auto bells = readBells(ringer.db(), shownBellTable(&list, ringer.db()));
    if (!bells.isOk()) return;  // the tick says so, and ends the run
    for (const BellRecord& bell : bells.value()) {
        if (bell.start != start) continue;
        if (Status s = ringer.ringNow(bell.music, repeat, "桌面"); !s.isOk())
            showRefusal(show, QT_TRANSLATE_NOOP("tolvane::MainWindow", "不能立即播放：%1"),
                        s.message());
        return;
    }
}

void openTimetables(Ringer& ringer, const PrepareWindow& prepare, std::function<void()> changed) {
    TimetableWindow window(ringer.db(), ringer.schoolClock(), ringer.folder(),
                           alsoCheckMusic(ringer, std::move(changed)));
    open(window, prepare);
}

void openSchoolCalendar(Ringer& ringer, const PrepareWindow& prepare,
                        std::function<void()> changed) {
    CalendarWindow window(ringer.db(), std::move(changed));
    open(window, prepare);
}

void openRingLog(Ringer& ringer, const PrepareWindow& prepare) {
    RingLogWindow window(ringer.folder(), [&ringer] {
        return dateText(ringer.clock().toLocal(ringer.clock().nowMs() / 1000));
    });
    open(window, prepare);
}

void openAbout(const PrepareWindow& prepare) {
    AboutWindow window(QCoreApplication::applicationDirPath());
    open(window, prepare);
}

void addRingerHooks(SettingsHooks& hooks, Ringer& ringer, PasswordGate& gate) {
    hooks.passwordGate = &gate;
    hooks.passwordChanged = [&gate, &ringer] {
        gate.close();
        ringer.followWeb();
    };
    hooks.applyOptions = [&ringer] { ringer.applyOptions(); };
    hooks.offsetToNearestBell = [&ringer] { return ringer.offsetToNearestBell(); };
    hooks.tryNextBell = [&ringer] {
        return ringer.tryNextBell() ? std::string()
                                    : QCoreApplication::translate("tolvane::MainWindow",
                                                                  "两周之内没有铃声可以试听。")
                                          .toStdString();
    };
    hooks.voices = [] {
        std::vector<std::pair<std::string, std::string>> voices;
        for (const SpeechVoiceInfo& v : chineseVoices()) voices.emplace_back(v.name, v.shown);
        return voices;
    };
    hooks.trySpeech = [&ringer](std::function<void(const std::string&)> done) {
        ringer.trySpeech(std::move(done));
    };
    hooks.webPage = [&ringer] {
        const RingerState state = ringer.state();
        SettingsHooks::WebPageShown page{state.webAddresses, state.webFingerprint, {}};
        for (const RingerProblem& p : state.problems)
            if (p.kind == RingerProblemKind::kWeb) page.problem = p.text;
        return page;
    };
    hooks.watchWebPage = [&ringer](std::function<void()> changed) {
        return ringer.onStateChanged.add(std::move(changed));
    };
}

bool askYesNo(QWidget& window, const QString& question) {
    return QMessageBox::question(
               &window, QCoreApplication::translate("tolvane::MainWindow", "信息："), question,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void showRunTimeError(const Status& status) {
    QMessageBox::critical(
        nullptr, QCoreApplication::translate("tolvane::MainWindow", "运行时出错!"),
        QCoreApplication::translate("tolvane::MainWindow", "错误代码：%1\n错误信息：%2")
            .arg(status.runtimeErrorCode())
            .arg(QString::fromStdString(status.message())));
}

void mendProblem(Ringer& ringer, StateWords::Fix fix, const MessagePresenter& show) {
    if (fix == StateWords::Fix::kTimeSync) {
        // The answer comes later: the window may have gone, the presenter is kept by value.
        return ringer.turnOnTimeSync([show](const std::string& refusal) {
            if (!refusal.empty())
                showRefusal(show,
                            QT_TRANSLATE_NOOP("tolvane::MainWindow", "系统的时间同步没有开启：%1"),
                            refusal);
        });
    }
    if (Status s = ringer.fixOutput(); !s.isOk())
        showRefusal(show, QT_TRANSLATE_NOOP("tolvane::MainWindow", "声音输出不能修复：%1"),
                    s.message());
}

}  // namespace tolvane
