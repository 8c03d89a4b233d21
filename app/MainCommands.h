// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the main window's buttons and menus do besides the plan: open the bell windows, the school
// calendar and the ring log, delete the selected bell, and mend what the bottom line offers to.
// The window asks the password first where one is needed; prepare runs on each window just
// before it opens (tests drive the windows from there).

#include <QDialog>
#include <functional>

#include "app/StatePresenter.h"
#include "settings/ui/SettingsWindow.h"
#include "ui/SecondaryWindow.h"

class QTreeWidget;

namespace tolvane {

class Ringer;
using PrepareWindow = std::function<void(QDialog&)>;

// changed: after each bell added or changed, and after the calendar changed. Bells are added to,
// changed and deleted in the 作息表 the list shows.
// The 作息表 window; changed after each change it made.
void openTimetables(Ringer& ringer, const PrepareWindow& prepare, std::function<void()> changed);
void openAddBell(Ringer& ringer, const QTreeWidget& list, const PrepareWindow& prepare,
                 std::function<void()> changed);
void openChangeBell(Ringer& ringer, const QTreeWidget& list, const PrepareWindow& prepare,
                    std::function<void()> changed);
// No confirmation and no message, whether or not a bell was removed; a read-only schedule is
// refused with the reason.
void deleteSelectedBell(Ringer& ringer, const QTreeWidget& list, const MessagePresenter& show);
// 立即播放 of the selected bell's music through the ringer, from the desk; a refusal is shown.
void ringSelectedNow(Ringer& ringer, const QTreeWidget& list, bool repeat,
                     const MessagePresenter& show);
void openSchoolCalendar(Ringer& ringer, const PrepareWindow& prepare,
                        std::function<void()> changed);
void openRingLog(Ringer& ringer, const PrepareWindow& prepare);
// 关于: the version, the licence and the libraries'.
void openAbout(const PrepareWindow& prepare);
// The Settings window's hooks that the ringer answers: tolvane.conf's options, 对时, 试听 and the
// page as it is served; and the password's: a new one closes gate, and the page follows it.
void addRingerHooks(SettingsHooks& hooks, Ringer& ringer, PasswordGate& gate);
// A yes/no question over window, 否 the default: a stray Enter changes nothing.
bool askYesNo(QWidget& window, const QString& question);
// The run-time error box, before the program ends with -1.
void showRunTimeError(const Status& status);
// The bottom line's fix: unmutes and raises the output, or turns the system's time
// synchronisation on; a refusal is shown.
void mendProblem(Ringer& ringer, StateWords::Fix fix, const MessagePresenter& show);

}  // namespace tolvane
