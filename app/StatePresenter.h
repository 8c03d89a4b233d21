// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The ringer's state as the main window shows it: the line at the bottom (never over the list)
// with the fix at its end, the tray's mark and tip, the pause button's caption, the dimmed face,
// and the playing bell's row in the list with the Stop button marked. The window hands it each
// state the ringer announces; the words are chosen here, from the state's facts.

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "bells/core/RingerState.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tolvane {

class ClockFace;
class TrayIcon;

// What the window says of a state, before it is laid out.
struct StateWords {
    QStringList line;  // the bottom line's sentences, in their order
    // The tray tip's few words for each state worth a look, the most urgent first; the icon is
    // marked for a problem or a paused plan.
    QStringList trayNotes;
    bool trayMarked = false;
    enum class Fix { kNone, kOutput, kTimeSync } fix = Fix::kNone;
    QString fixCaption;
    QString pauseCaption;
    QString pauseTip;  // what pressing it does
};
class StatePresenter {
    // The window's words keep the main window's translation context.
    Q_DECLARE_TR_FUNCTIONS(tolvane::MainWindow)

public:
    static StateWords words(const RingerState& state);
    // The state in one sentence or a few, for a message about a ringer in another process.
    static QString summary(const RingerState& state);
    // The next bell and how long until it, at now on the school's clock; empty while the plan is
    // paused (no bell will ring).
    static QString nextBellText(const RingerState& state, const LocalTime& now);

    struct Widgets {
        QLabel& line;
        QLabel& next;
        QPushButton& fix;
        QPushButton& pause;
        QPushButton& stop;
        QTreeWidget& list;
        ClockFace& face;
        TrayIcon& tray;
    };
    // clock: the school's, which the next bell's countdown reads.
    StatePresenter(Widgets widgets, const Clock& clock) : m_w(widgets), m_clock(clock) {}

    void show(const RingerState& state);
    // The countdown to the next bell now; false once that bell's second has passed, when the
    // ringer's state is to be read again.
    bool showNextBell();
    // The list's rows are new: the playing bell's is found again at the next show.
    void rowsReplaced() {
        m_markedStart.clear();
        m_markedMusic.clear();
        m_markedUnplayable.clear();
    }
    StateWords::Fix fix() const { return m_fix; }

private:
    static QStringList trayNotes(const RingerState& state);
    void layOutLine(const StateWords& words);
    void markRows(const RingerState& state);

    Widgets m_w;
    const Clock& m_clock;
    StateWords::Fix m_fix = StateWords::Fix::kNone;
    RingerState m_state;
    QString m_markedStart, m_markedMusic;
    bool m_markedRingingNow = false;
    std::vector<UnplayableMusic> m_markedUnplayable;
};

}  // namespace tolvane
