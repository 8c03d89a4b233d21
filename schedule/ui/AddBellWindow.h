// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Add bell window: a new bell from the time group, the weekdays and the music chooser,
// opened at the current time with Monday to Friday ticked.

#include <memory>

#include "schedule/ui/BellWindow.h"

namespace Ui {
class AddBellWindow;
}

namespace tolvane {

class AddBellWindow final : public BellWindow {
    Q_OBJECT
public:
    // The chooser opens in folder's "media" folder.
    AddBellWindow(TableDatabase& db, PlaybackService& playback, const std::string& folder,
                  std::function<void()> refreshList);
    ~AddBellWindow() override;
    Ui::AddBellWindow& ui() { return *m_ui; }
    void onAdd();

private:
    void fillWithNow();
    void showTips();

    const std::unique_ptr<Ui::AddBellWindow> m_ui;
};

}  // namespace tolvane
