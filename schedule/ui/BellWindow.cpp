// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/BellWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

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
    addSpeechRow();
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

void BellWindow::addSpeechRow() {
    constexpr int kRowHeight = 32;
    const int top = height() + 4;
    resize(width(), height() + kRowHeight);
    m_speaks = new QCheckBox(tr("语音提醒"), this);
    m_speaks->setObjectName(QStringLiteral("语音提醒选择框"));
    // As wide as its words in the language shown (English takes more than 语音提醒).
    const int boxWidth = std::max(80, m_speaks->sizeHint().width());
    m_speaks->setGeometry(8, top, boxWidth, 24);
    m_speech = new QLineEdit(this);
    m_speech->setObjectName(QStringLiteral("语音提醒编辑框"));
    m_speech->setGeometry(12 + boxWidth, top, width() - 18 - boxWidth, 24);
    m_speech->setPlaceholderText(tr("铃声放完后说的话，如：第3节课上课"));
    m_speech->setAccessibleName(tr("语音提醒的文字"));
    m_speech->setEnabled(false);
    connect(m_speaks, &QCheckBox::toggled, m_speech, &QLineEdit::setEnabled);
}

void BellWindow::showSpeech(const SpokenText& speech) {
    m_speaks->setChecked(speech.speaks);
    m_speech->setText(QString::fromStdString(speech.text));
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
    form.speech = SpokenText{m_speaks->isChecked(), m_speech->text().toStdString()};
    return form;
}

void BellWindow::testPlay(const std::string& refusal) {
    if (testPlaying()) {
        m_playback.stop();
        return showTestPlaying(false);
    }
    const std::string path = m_controls.musicPath->text().toStdString();
    if (!countsAsFile(path)) return showMessage({infoCaption(), refusal}, QMessageBox::Information);
    testPlayWithWords(path);
}

void BellWindow::startTestPlay(const std::vector<std::string>& list) {
    m_playback.play(list, 1);
    m_testList = m_playback.lastRequest();
    showTestPlaying(true);
}

void BellWindow::testPlayWithWords(const std::string& music) {
    const std::string text = m_speech->text().toStdString();
    if (!m_speaks->isChecked() || text.empty() || !makeSpeechFile) return startTestPlay({music});
    if (const std::string problem = speechProblem({true, text}); !problem.empty()) {
        showMessage({infoCaption(), problem}, QMessageBox::Information);
        return startTestPlay({music});
    }
    m_controls.testPlayButton->setEnabled(false);  // until the words are made
    makeSpeechFile(text, [window = QPointer<BellWindow>(this), music](Result<std::string> file) {
        if (!window) return;
        window->m_controls.testPlayButton->setEnabled(true);
        if (file.isOk()) return window->startTestPlay({music, file.value()});
        window->showMessage(
            {infoCaption(), tr("语音提醒没有做成，只试听音乐：%1")
                                .arg(QString::fromStdString(file.status().message()))
                                .toStdString()},
            QMessageBox::Information);
        window->startTestPlay({music});
    });
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
