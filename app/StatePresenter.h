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
    QStringList line;     // the bottom line's sentences, in their order
    QString trayProblem;  // the tray's mark: the worst problem in a few words; empty when none
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

    struct Widgets {
        QLabel& line;
        QPushButton& fix;
        QPushButton& pause;
        QPushButton& stop;
        QTreeWidget& list;
        ClockFace& face;
        TrayIcon& tray;
    };
    explicit StatePresenter(Widgets widgets) : m_w(widgets) {}

    void show(const RingerState& state);
    // The list's rows are new: the playing bell's is found again at the next show.
    void rowsReplaced() { m_markedStart.clear(); }
    StateWords::Fix fix() const { return m_fix; }

private:
    void layOutLine(const StateWords& words);
    void markPlayingRow(const RingerState& state);

    Widgets m_w;
    StateWords::Fix m_fix = StateWords::Fix::kNone;
    QString m_markedStart, m_markedMusic;
    bool m_markedRingingNow = false;
};

}  // namespace tolvane
