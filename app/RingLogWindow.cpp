// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RingLogWindow.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "bells/core/RingLogFiles.h"
#include "bells/core/RingLogWords.h"

namespace tolvane {

RingLogWindow::RingLogWindow(std::string folder, std::function<std::string()> today,
                             QWidget* parent)
    : QDialog(parent),
      m_folder(std::move(folder)),
      m_today(std::move(today)),
      m_view(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("运行日志窗口"));
    setWindowTitle(tr("运行日志"));
    resize(720, 420);
    m_view->setReadOnly(true);
    m_view->setAccessibleName(tr("运行日志"));
    // Tab leaves the log for the next control instead of being typed into it.
    m_view->setTabChangesFocus(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &RingLogWindow::refresh);
    m_refresh.start();
    refresh();
}

void RingLogWindow::refresh() {
    QStringList lines;
    const RingLogWords words;
    for (const std::string& line : readRingLog(m_folder, m_today()))
        lines << QString::fromStdString(words.inReaderWords(line));
    const QString text =
        lines.isEmpty() ? tr("今天还没有运行记录。") : lines.join(QLatin1Char('\n'));
    if (text == m_view->toPlainText()) return;
    QScrollBar* bar = m_view->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    m_view->setPlainText(text);
    if (atEnd) bar->setValue(bar->maximum());
}

}  // namespace tolvane
