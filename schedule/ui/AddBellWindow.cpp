// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/AddBellWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTime>
#include <QTimer>

#include "schedule/ui/MusicChooser.h"
#include "ui/BalloonTip.h"
#include "ui_AddBellWindow.h"

namespace tolvane {

AddBellWindow::AddBellWindow(TableDatabase& db, PlaybackService& playback,
                             const std::string& folder, std::function<void()> refreshList)
    : BellWindow(db, playback, std::move(refreshList)), m_ui(new Ui::AddBellWindow) {
    m_ui->setupUi(this);
    setUpControls(bellControls(*m_ui), folder);
    connect(m_controls.flowButton, &QPushButton::clicked, this, &AddBellWindow::onAdd);
    connect(m_controls.testPlayButton, &QPushButton::clicked, this,
            [this] { testPlay(tr("未选中MP3歌曲，不能播放！").toStdString()); });
    m_chooser->setDirectory(library());
    fillWithNow();
    showTips();
}
AddBellWindow::~AddBellWindow() = default;

void AddBellWindow::fillWithNow() {
    const QTime now = QTime::currentTime();
    const int pieces[] = {now.hour(), now.minute(), now.second()};
    for (size_t i = 0; i < 3; ++i) {
        m_controls.startTime[i]->setText(
            QStringLiteral("%1").arg(pieces[i], 2, 10, QLatin1Char('0')));
        m_controls.endTime[i]->setText(
            QStringLiteral("%1").arg(pieces[i], 2, 10, QLatin1Char('0')));
    }
    m_controls.endSwitch->setChecked(false);
    enableEnd(false);
    for (size_t d = 0; d < 7; ++d) m_controls.weekdays[d]->setChecked(d < 5);
}

// The three tips, one at a time, each beside what it explains, covering no control.
void AddBellWindow::showTips() {
    constexpr int kEachMs = 5000;
    showTipsInTurn(this,
                   {{m_controls.endSwitch, tr("选填，需要在特定时间停止时打钩。")},
                    {m_controls.folderBox, tr("需要播放本文件夹内的音乐请双击该文件夹！\n如果需要随"
                                              "机播放音乐，请在设置中设置随机播放"
                                              "！")},
                    {m_controls.fileBox, tr("单击音乐文件可设置该音乐为铃声！")}},
                   kEachMs);
}

void AddBellWindow::onAdd() {
    finishFlow(addBell(m_db, readForm(), bellTable));
}

}  // namespace tolvane
