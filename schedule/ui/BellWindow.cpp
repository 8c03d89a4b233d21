// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/BellWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "bells/core/MusicCheck.h"
#include "bells/core/PlaybackService.h"
#include "schedule/core/BellLibrary.h"
#include "schedule/core/Schema.h"
#include "schedule/ui/MusicChooser.h"
#include "ui/SpinArrows.h"

namespace tolvane {

BellWindow::BellWindow(TableDatabase& db, PlaybackService& playback,
                       std::function<void()> refreshList)
    : m_db(db), m_playback(playback), m_refreshList(std::move(refreshList)) {}

void BellWindow::setUpControls(const BellControls& controls, const std::string& folder) {
    m_controls = controls;
    makeFixedWindow(this);
    const int max[3] = {kMaxHours, kMaxMinutes, kMaxMinutes};
    for (size_t i = 0; i < 3; ++i) {
        bindTimeSpinner(m_controls.startTime[i], m_controls.startArrows[i], max[i]);
        bindTimeSpinner(m_controls.endTime[i], m_controls.endArrows[i], max[i]);
    }
    nameTimeBoxes(m_controls.startTime, tr("开始时间"));
    nameTimeBoxes(m_controls.endTime, tr("结束时间"));
    chainTimeBoxes(m_controls.startTime);
    chainTimeBoxes(m_controls.endTime);
    m_controls.musicPath->setAccessibleName(tr("音乐文件"));
    m_controls.driveBox->setAccessibleName(tr("驱动器"));
    m_controls.folderBox->setAccessibleName(tr("文件夹"));
    m_controls.fileBox->setAccessibleName(tr("音乐文件列表"));
    connect(m_controls.endSwitch, &QCheckBox::toggled, this, &BellWindow::enableEnd);
    m_chooser = new MusicChooser(m_controls.driveBox, m_controls.folderBox, m_controls.fileBox,
                                 m_controls.musicPath, this);
    // Made again when someone removed it: the chooser opens there.
    m_library = QString::fromStdString(bellLibraryFolder(folder));
    QDir().mkpath(m_library);
    m_chooser->addPlaces(m_library);
}

void BellWindow::enableEnd(bool on) {
    for (size_t i = 0; i < 3; ++i) {
        m_controls.endTime[i]->setEnabled(on);
        m_controls.endArrows[i]->setEnabled(on);
    }
}

BellForm BellWindow::readForm() const {
    BellForm form;
    for (size_t i = 0; i < 3; ++i) {
        form.start[i] = m_controls.startTime[i]->text().toStdString();
        form.end[i] = m_controls.endTime[i]->text().toStdString();
    }
    form.hasEnd = m_controls.endSwitch->isChecked();
    form.music = m_controls.musicPath->text().toStdString();
    for (size_t d = 0; d < 7; ++d) form.weekdays[d] = m_controls.weekdays[d]->isChecked();
    return form;
}

void BellWindow::testPlay(const std::string& refusal) {
    if (testPlaying()) {
        m_playback.stop();
        return showTestPlaying(false);
    }
    const std::string path = m_controls.musicPath->text().toStdString();
    if (!countsAsFile(path)) return showMessage({infoCaption(), refusal}, QMessageBox::Information);
    m_playback.play({path}, 1);
    m_testList = m_playback.lastRequest();
    showTestPlaying(true);
}

bool BellWindow::testPlaying() const {
    return m_testList != 0 && m_playback.lastRequest() == m_testList && m_playback.playing();
}

void BellWindow::showTestPlaying(bool playing) {
    if (!m_testWatch) {
        m_testPlayText = m_controls.testPlayButton->text();
        // The button says 试听 again once the music has played out.
        m_testWatch = new QTimer(this);
        m_testWatch->setInterval(200);
        connect(m_testWatch, &QTimer::timeout, this, [this] {
            if (!testPlaying()) showTestPlaying(false);
        });
    }
    m_controls.testPlayButton->setText(playing ? tr("停止") : m_testPlayText);
    if (playing)
        m_testWatch->start();
    else
        m_testWatch->stop();
}

void BellWindow::done(int result) {
    if (testPlaying()) m_playback.stop();
    QDialog::done(result);
}

void BellWindow::finishFlow(const FlowResult& result) {
    std::optional<FlowMessage> message = result.message;
    if (message) message->text = shownText(result);
    // The bell is stored either way (its music may come later, or play on another computer that
    // shares the schedule), but this one would ring silence: said now, as tolvanectl does.
    if (result.changed && message)
        if (auto warning = unplayableWarning(readForm().music, fileUnplayableBecause))
            message->text += "\n" + *warning;
    if (message) showMessage(*message, QMessageBox::NoIcon);
    m_refreshList();
}

}  // namespace tolvane
