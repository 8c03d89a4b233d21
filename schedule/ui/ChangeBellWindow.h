// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Change bell window: the selected bell's values to edit; the bell it replaces is found by the
// start time it had when the window opened.

#include <QStringList>
#include <memory>
#include <string>

#include "schedule/ui/BellWindow.h"

namespace Ui {
class ChangeBellWindow;
}

namespace tolvane {

class ChangeBellWindow final : public BellWindow {
    Q_OBJECT
public:
    // Fills the 语音提醒 row from the bell in bellTable (set bellTable first).
    void showStoredSpeech();
    // row: the Schedule list's selected row, its ten cells (none when nothing is selected).
    // folder: the tables' folder, whose 铃声库 the chooser offers.
    ChangeBellWindow(TableDatabase& db, PlaybackService& playback, const std::string& folder,
                     const QStringList& row, std::function<void()> refreshList);
    ~ChangeBellWindow() override;
    Ui::ChangeBellWindow& ui() { return *m_ui; }
    // The start time of the bell being changed, as the list showed it.
    const std::string& oldStartTime() const { return m_oldStartTime; }
    void onChange();

private:
    void fillFromRow(const QStringList& row);

    const std::unique_ptr<Ui::ChangeBellWindow> m_ui;
    std::string m_oldStartTime;
};

}  // namespace tolvane
