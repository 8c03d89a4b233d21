// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 作息表 window: the school's timetables with their bells and rules, today's marked; adding,
// copying, renaming and deleting them, setting a season or the week rotation, generating one
// (生成作息), and CSV in and out. Its handlers read the controls, call the core and show what it
// says; the questions it asks go through replaceable hooks, so tests answer them.

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "base/Clock.h"
#include "schedule/core/Schema.h"
#include "schedule/ui/TimetableRuleDialogs.h"
#include "storage/TableDatabase.h"
#include "ui/SecondaryWindow.h"

class QPushButton;
class QLabel;
class QTreeWidget;

namespace tolvane {

class TimetableWindow final : public QDialog {
    Q_OBJECT
public:
    // changed: after each change, so the main window lists and rings what is now stored.
    // library: the 铃声库 folder, whose music the generator offers.
    TimetableWindow(TableDatabase& db, const Clock& clock, std::string library,
                    std::function<void()> changed, QWidget* parent = nullptr);

    MessagePresenter showMessage = messageBoxPresenter();
    // A line of text asked for (a name); nullopt when the user cancels.
    std::function<std::optional<QString>(const QString& question, const QString& text)> askText;
    std::function<bool(const QString& question)> confirm;
    // A CSV file to read (save false) or write (save true); empty when the user cancels.
    std::function<QString(bool save)> chooseCsv;
    // The season of a timetable and the week rotation, picked (tests answer them).
    std::function<SeasonAnswer(const QString& name, const std::optional<Season>& now)> askSeason;
    std::function<std::optional<RotationAnswer>(const std::vector<std::string>& now,
                                                const QDate& start)>
        askRotation;

    QTreeWidget* list() const { return m_list; }
    // The timetable selected in the list; empty when none is.
    std::string selected() const;
    void select(const std::string& name);

    void onAdd();
    void onCopy();
    void onRename();
    void onDelete();
    void onSeason();
    void onRotation();
    void onGenerate();
    void onImport();
    void onExport();

private:
    void fill();
    // Says why s failed; on success refreshes the list and tells the main window.
    bool report(const Status& s);
    std::optional<std::string> askName(const QString& question, const QString& text = {});
    // The timetable's bells become bells; replaceQuestion (%1 new, %2 name, %3 held) is asked
    // first when it holds some.
    // false when the user would not have the timetable's bells replaced.
    bool putBells(const std::string& name, std::vector<BellRecord> bells,
                  const QString& replaceQuestion);

    TableDatabase& m_db;
    const Clock& m_clock;
    std::string m_library;
    std::function<void()> m_changed;
    QTreeWidget* m_list;
    QLabel* m_silentDays;  // school days the rules leave without a bell
};

}  // namespace tolvane
