#include "app/StatePresenter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTime>
#include <QTreeWidget>
#include <algorithm>

#include "app/TrayIcon.h"
#include "schedule/core/ScheduleList.h"
#include "ui/ClockFace.h"

namespace tolvane {

namespace {

// Whether two times of day as texts ("8:00:00", "08:00:00") name the same second.
bool sameTimeOfDay(const QString& a, const QString& b) {
    const QTime ta = QTime::fromString(a, QStringLiteral("H:m:s"));
    return ta.isValid() && ta == QTime::fromString(b, QStringLiteral("H:m:s"));
}

}  // namespace

QString StatePresenter::summary(const RingerState& state) {
    const QStringList line = words(state).line;
    return line.isEmpty() ? tr("它正按计划打铃，没有发现问题。") : line.join(QLatin1Char(' '));
}

StateWords StatePresenter::words(const RingerState& state) {
    using Kind = RingerProblemKind;
    StateWords words;
    if (state.playing) {
        const QString start = QString::fromStdString(timeText(state.playing->start));
        const QString name = QFileInfo(QString::fromStdString(state.playing->music)).fileName();
        words.line << (state.playing->end.empty()
                           ? tr("正在响铃：%1 %2。").arg(start, name)
                           : tr("正在响铃：%1 %2，到 %3。")
                                 .arg(start, name, QString::fromStdString(state.playing->end)));
    }
    if (!state.ringingNow.empty()) {
        const QString name = QFileInfo(QString::fromStdString(state.ringingNow)).fileName();
        words.line << (state.ringingNowRepeats ? tr("正在立即播放：%1，重复直到停止。").arg(name)
                                               : tr("正在立即播放：%1。").arg(name));
    }
    const bool paused = state.plan == PlanState::kPaused;
    if (paused) words.line << tr("计划已暂停：铃声不会响起。");
    bool musicSaid = false;
    for (const RingerProblem& p : state.problems) {
        switch (p.kind) {
            case Kind::kScheduleReadOnly:
                words.line << tr("铃声计划只能读取：铃声照常响起，但不能修改。");
                break;
            case Kind::kClock:
                words.line << tr("时钟未同步：铃声可能不准时。");
                break;
            case Kind::kMusic:
                // One count for all of them: the ring log names each.
                if (!std::exchange(musicSaid, true))
                    words.line
                        << tr("%1 个铃声的音乐不能播放（见运行日志）。").arg(state.unplayableBells);
                break;
            case Kind::kOutput:
            case Kind::kWeb:
                words.line << QString::fromStdString(p.text) + tr("。");
                break;
        }
    }
    if (state.has(Kind::kOutput))
        words.trayProblem = tr("铃声听不到");
    else if (state.has(Kind::kClock))
        words.trayProblem = tr("时钟未同步");
    else if (paused)
        words.trayProblem = tr("计划已暂停");
    else if (state.has(Kind::kScheduleReadOnly) || state.has(Kind::kMusic))
        words.trayProblem = tr("有问题，见窗口底部");
    // The fix mends the output first.
    if (state.outputCanBeFixed) {
        words.fix = StateWords::Fix::kOutput;
        words.fixCaption = tr("修复");
    } else if (state.timeSyncCanBeTurnedOn) {
        words.fix = StateWords::Fix::kTimeSync;
        words.fixCaption = tr("开启时间同步");
    }
    words.pauseCaption = paused ? tr("暂停中。。") : tr("暂停计划");
    words.pauseTip = paused ? tr("计划已暂停，铃声不会响起。再按一次恢复计划。")
                            : tr("暂停计划：铃声不再响起，直到再按一次。");
    return words;
}

void StatePresenter::show(const RingerState& state) {
    const StateWords words = StatePresenter::words(state);
    m_fix = words.fix;
    layOutLine(words);
    m_w.tray.setProblem(words.trayProblem);
    m_w.pause.setText(words.pauseCaption);
    m_w.pause.setToolTip(words.pauseTip);
    m_w.face.setDimmed(state.plan == PlanState::kPaused);
    markPlayingRow(state);
}

void StatePresenter::layOutLine(const StateWords& words) {
    const QString text = words.line.join(QStringLiteral(" "));
    const bool canFix = words.fix != StateWords::Fix::kNone;
    QPushButton& fix = m_w.fix;
    if (canFix) fix.setText(words.fixCaption);
    constexpr int kLineRight = 608;  // as the window's description places the line
    const int fixWidth = std::max(56, fix.fontMetrics().horizontalAdvance(fix.text()) + 16);
    fix.setGeometry(kLineRight - fixWidth, fix.y(), fixWidth, fix.height());
    fix.setVisible(canFix);
    QLabel& label = m_w.line;
    const QRect line = label.geometry();
    const int right = canFix ? fix.x() - 8 : kLineRight;
    label.setGeometry(line.x(), line.y(), right - line.x(), line.height());
    // One line at the bottom, never over the list: what does not fit is in its tip.
    label.setToolTip(text);
    label.setText(label.fontMetrics().elidedText(text, Qt::ElideRight, label.width()));
    label.setVisible(!words.line.isEmpty());
}

void StatePresenter::markPlayingRow(const RingerState& state) {
    const QString start =
        state.playing ? QString::fromStdString(timeText(state.playing->start)) : QString();
    const QString music = state.playing ? QString::fromStdString(state.playing->music) : QString();
    const bool ringingNow = !state.ringingNow.empty();
    if (start == m_markedStart && music == m_markedMusic && ringingNow == m_markedRingingNow)
        return;
    m_markedRingingNow = ringingNow;
    m_markedStart = start;
    m_markedMusic = music;
    // Its row stands out; the others as they were.
    QTreeWidget& list = m_w.list;
    for (int r = 0; r < list.topLevelItemCount(); ++r) {
        QTreeWidgetItem* row = list.topLevelItem(r);
        const bool isIt =
            state.playing && sameTimeOfDay(row->text(0), start) && row->text(kMusicColumn) == music;
        for (int c = 0; c < list.columnCount(); ++c) {
            // The times keep their weight: in some fonts (Wine's) "23:17:58" fills its 60 px
            // column only in the regular face.
            QFont font = row->font(c);
            font.setBold(isIt && c >= kMusicColumn);
            row->setFont(c, font);
            row->setBackground(c, isIt ? QBrush(QColor(0xFF, 0xE0, 0x8A)) : QBrush());
        }
    }
    // Stop is the thing to press while a bell or a ring-now plays.
    m_w.stop.setProperty("attention", state.playing.has_value() || !state.ringingNow.empty());
    m_w.stop.style()->unpolish(&m_w.stop);
    m_w.stop.style()->polish(&m_w.stop);
}

}  // namespace tolvane
