// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the Add bell and Change bell windows share: the time group, the weekdays, the music
// chooser, test play and the flow button. Each window is built from its description
// (AddBellWindow.ui, ChangeBellWindow.ui), opens modal, centred on the screen, and closes on Esc;
// its handlers read the controls, call the core flows and show what they return.

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>

#include "schedule/core/BellEditing.h"
#include "ui/SecondaryWindow.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tolvane {

class MusicChooser;
class PlaybackService;
class SpinArrows;

// The controls of a bell window by role. Both descriptions give them the same object names.
struct BellControls {
    std::array<QLineEdit*, 3> startTime{};  // hours, minutes, seconds
    std::array<SpinArrows*, 3> startArrows{};
    std::array<QLineEdit*, 3> endTime{};  // hours, minutes, seconds
    std::array<SpinArrows*, 3> endArrows{};
    QCheckBox* endSwitch = nullptr;
    std::array<QCheckBox*, 7> weekdays{};  // Monday first
    QLineEdit* musicPath = nullptr;
    QComboBox* driveBox = nullptr;
    QListWidget* folderBox = nullptr;
    QListWidget* fileBox = nullptr;
    QPushButton* flowButton = nullptr;  // "增加" or "修改"
    QPushButton* testPlayButton = nullptr;
};

// The roles in a window's generated description (Ui::AddBellWindow or Ui::ChangeBellWindow).
template <typename Ui>
BellControls bellControls(Ui& ui) {
    BellControls c;
    c.startTime = {ui.编辑框1, ui.编辑框2, ui.编辑框3};
    c.startArrows = {ui.调节器1, ui.调节器2, ui.调节器3};
    // The end boxes are numbered from the seconds up.
    c.endTime = {ui.编辑框8, ui.编辑框7, ui.编辑框6};
    c.endArrows = {ui.调节器6, ui.调节器5, ui.调节器4};
    c.endSwitch = ui.选择框8;
    c.weekdays = {ui.选择框1, ui.选择框2, ui.选择框3, ui.选择框4,
                  ui.选择框5, ui.选择框6, ui.选择框7};
    c.musicPath = ui.编辑框4;
    c.driveBox = ui.驱动器框1;
    c.folderBox = ui.目录框1;
    c.fileBox = ui.文件框1;
    c.flowButton = ui.按钮1;
    c.testPlayButton = ui.按钮2;
    return c;
}

class BellWindow : public QDialog {
    Q_OBJECT
public:
    MessagePresenter showMessage = messageBoxPresenter();
    // The decoder's verdict on a bell's file, for the warning after a bell is stored; empty when
    // it plays.
    std::function<std::string(const std::string& file)> fileUnplayableBecause =
        [](const std::string&) { return std::string(); };
    // Makes the file that says a text (off the thread that rings) and then tells done, on the
    // window's thread, the file or why not. None: 试听 plays the music alone.
    std::function<void(const std::string& text, std::function<void(Result<std::string> file)> done)>
        makeSpeechFile;
    // The alias of the bell table the window adds to or changes: the 作息表 the list shows.
    std::string bellTable = schema::kBellAlias;

protected:
    // db holds the bell table and playback plays 试听; both must outlive the window. refreshList
    // rebuilds the main window's list after each flow.
    BellWindow(TableDatabase& db, PlaybackService& playback, std::function<void()> refreshList);
    // Binds the spinners, the end switch and the music chooser; called once the description is set
    // up.
    // folder: the tables' folder, whose 铃声库 the chooser offers first.
    void setUpControls(const BellControls& controls, const std::string& folder);
    const QString& library() const { return m_library; }
    BellForm readForm() const;
    // What the bell says after its music, in the 语音提醒 row.
    void showSpeech(const SpokenText& speech);
    void enableEnd(bool on);
    // 试听 toggles: plays the file chosen, or stops it when it plays.
    void testPlay(const std::string& refusal);
    // A window that goes stops its 试听 (never a bell that took its place).
    void done(int result) override;
    void finishFlow(const FlowResult& result);

    TableDatabase& m_db;
    PlaybackService& m_playback;
    BellControls m_controls;
    MusicChooser* m_chooser = nullptr;
    QString m_library;

private:
    // The 语音提醒 row, below the window's described controls: they keep their places.
    void addSpeechRow();
    // 试听 of music, then of the words when the bell is to say any, once they are made (or said
    // why not).
    void testPlayWithWords(const std::string& music);
    void startTestPlay(const std::vector<std::string>& list);
    bool testPlaying() const;
    void showTestPlaying(bool playing);

    std::function<void()> m_refreshList;
    QCheckBox* m_speaks = nullptr;
    QLineEdit* m_speech = nullptr;
    uint64_t m_testList = 0;  // the playback's request of this window's 试听
    QTimer* m_testWatch = nullptr;
    QString m_testPlayText;
};

}  // namespace tolvane
