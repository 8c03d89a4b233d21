// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/ChangeBellWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>

#include "schedule/core/ScheduleList.h"
#include "schedule/core/Schema.h"
#include "schedule/ui/MusicChooser.h"
#include "ui_ChangeBellWindow.h"

namespace tolvane {

ChangeBellWindow::ChangeBellWindow(TableDatabase& db, PlaybackService& playback,
                                   const std::string& folder, const QStringList& row,
                                   std::function<void()> refreshList)
    : BellWindow(db, playback, std::move(refreshList)), m_ui(new Ui::ChangeBellWindow) {
    m_ui->setupUi(this);
    setUpControls(bellControls(*m_ui), folder);
    connect(m_controls.flowButton, &QPushButton::clicked, this, &ChangeBellWindow::onChange);
    connect(m_controls.testPlayButton, &QPushButton::clicked, this,
            [this] { testPlay(tr("未选中MP3歌曲或选择文件夹夹时，不能试播！").toStdString()); });
    fillFromRow(row);
}
ChangeBellWindow::~ChangeBellWindow() = default;

void ChangeBellWindow::fillFromRow(const QStringList& row) {
    const auto cell = [&row](int c) { return c < row.size() ? row[c] : QString(); };
    m_oldStartTime = cell(0).toStdString();
    const QStringList start = cell(0).split(':');
    for (int i = 0; i < 3 && i < start.size(); ++i)
        m_controls.startTime[static_cast<size_t>(i)]->setText(start[i]);
    const QStringList end = cell(1).split(':');
    const bool hasEnd = !cell(1).isEmpty();
    for (int i = 0; hasEnd && i < 3 && i < end.size(); ++i)
        m_controls.endTime[static_cast<size_t>(i)]->setText(end[i]);
    m_controls.endSwitch->setChecked(hasEnd);
    enableEnd(hasEnd);
    for (int d = 0; d < 7; ++d)
        m_controls.weekdays[static_cast<size_t>(d)]->setChecked(cell(3 + d) ==
                                                                QString::fromUtf8(kMarkerOn));

    // A file bell opens its folder; a folder bell opens itself.
    const QString path = cell(2);
    const int lastSeparator =
        static_cast<int>(std::max(path.lastIndexOf('/'), path.lastIndexOf(QDir::separator())));
    const QString folder =
        countsAsFile(path.toStdString()) ? path.left(std::max(0, lastSeparator)) : path;
    m_chooser->selectDriveOf(path);
    m_chooser->setDirectory(folder.isEmpty() ? QDir::toNativeSeparators(QDir::rootPath()) : folder);
    m_controls.musicPath->setText(path);
}

void ChangeBellWindow::showStoredSpeech() {
    // The list shows no words: they are read from the bell itself.
    auto bells = readBells(m_db, bellTable);
    for (const BellRecord& bell : bells.isOk() ? bells.value() : std::vector<BellRecord>{})
        if (bell.start == m_oldStartTime) showSpeech({bell.speaks, bell.speech});
}

void ChangeBellWindow::onChange() {
    finishFlow(changeBell(m_db, m_oldStartTime, readForm(), bellTable));
}

}  // namespace tolvane
