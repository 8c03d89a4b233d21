// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatePresenter.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

#include "app/TrayIcon.h"
#include "schedule/core/ScheduleList.h"
#include "ui/ClockFace.h"

namespace tolvane {

namespace {

// Whether two times of day as texts ("8:00:00", "08:00:00") name the same second.
bool sameTimeOfDay(const QString& a, const QString& b) {
    const std::optional<int> second = parseTimeOfDay(a.toStdString());
    return second && second == parseTimeOfDay(b.toStdString());
}

// The playing bell's row stands out; the others are as they were.
void markPlaying(QTreeWidgetItem& row, bool playing) {
    for (int c = 0; c < row.columnCount(); ++c) {
        // The times keep their weight: in some fonts (Wine's) "23:17:58" fills its 60 px column
        // only in the regular face.
        QFont font = row.font(c);
        font.setBold(playing && c >= kMusicColumn);
        row.setFont(c, font);
        row.setBackground(c, playing ? QBrush(QColor(0xFF, 0xE0, 0x8A)) : QBrush());
    }
}

const UnplayableMusic* unplayableOf(const RingerState& state, const QTreeWidgetItem& row) {
    for (const UnplayableMusic& u : state.unplayable)
        if (sameTimeOfDay(row.text(0), QString::fromStdString(u.bell.start)) &&
            row.text(kMusicColumn) == QString::fromStdString(u.bell.music))
            return &u;
    return nullptr;
}

// A bell whose music will not play: a warning sign and red music, and why in the music's tip.
void markUnplayable(QTreeWidgetItem& row, const UnplayableMusic* unplayable) {
    QTreeWidget* list = row.treeWidget();
    row.setIcon(kMusicColumn, unplayable && list
                                  ? list->style()->standardIcon(QStyle::SP_MessageBoxWarning)
                                  : QIcon());
    row.setForeground(kMusicColumn, unplayable ? QBrush(QColor(0xB0, 0x00, 0x20)) : QBrush());
    row.setToolTip(kMusicColumn,
                   unplayable ? QString::fromStdString(unplayableSaid(*unplayable)) : QString());
}

}  // namespace

// The tray tip's words, the most urgent first: what is heard now, then what keeps bells from
// being heard. The tip holds few bytes, so each is a few words.
QStringList StatePresenter::trayNotes(const RingerState& state) {
    using Kind = RingerProblemKind;
    QStringList notes;
    if (state.playing) notes << tr("正在响铃");
    if (!state.ringingNow.empty()) notes << tr("正在立即播放");
    if (state.has(Kind::kOutput)) notes << tr("铃声听不到");
    if (state.has(Kind::kClock)) notes << tr("时钟未同步");
    if (state.plan == PlanState::kPaused) notes << tr("计划已暂停");
    if (state.has(Kind::kMusic)) notes << tr("%1 个铃声不能播放").arg(state.unplayableBells);
    if (state.has(Kind::kScheduleReadOnly)) notes << tr("计划只能读取");
    if (state.has(Kind::kScheduleDamaged)) notes << tr("表文件已损坏");
    if (state.has(Kind::kSilentDays)) notes << tr("有上课日不会打铃");
    if (state.has(Kind::kWeb)) notes << tr("网页没有开启");
    if (state.has(Kind::kSpeech)) notes << tr("语音播报没有做成");
    if (state.has(Kind::kMetrics)) notes << tr("监控指标不能写入");
    return notes;
}

QString StatePresenter::nextBellText(const RingerState& state, const LocalTime& now) {
    if (state.plan == PlanState::kPaused) return {};
    if (!state.next) return tr("两周内没有要响的铃声");
    const QString start = QString::fromStdString(state.next->bell.start);
    const LocalTime& day = state.next->day;
    const int64_t days = dayNumber(day) - dayNumber(now);
    if (days == 1) return tr("下一个铃声 明天 %1").arg(start);
    if (days > 1) {
        const QDate date(day.year, day.month, day.day);
        return tr("下一个铃声 %1 %2").arg(date.toString(tr("M月d日")), start);
    }
    const int seconds = static_cast<int>(secondsUntil(*state.next, now));
    if (seconds < 60) return tr("下一个铃声 %1 · 还有 %2 秒").arg(start).arg(seconds);
    const int minutes = (seconds + 59) / 60;  // 11 min 30 s to go is "还有 12 分钟"
    if (minutes < 60) return tr("下一个铃声 %1 · 还有 %2 分钟").arg(start).arg(minutes);
    return tr("下一个铃声 %1 · 还有 %2 小时 %3 分").arg(start).arg(minutes / 60).arg(minutes % 60);
}

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
    bool musicSaid = false, speechSaid = false;
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
            case Kind::kSpeech:
                if (!std::exchange(speechSaid, true))
                    words.line << tr("有铃声的语音播报没有做成，只响音乐（见运行日志）。");
                break;
            case Kind::kScheduleDamaged:
            case Kind::kSilentDays:
            case Kind::kOutput:
            case Kind::kWeb:
            case Kind::kMetrics:
                words.line << QString::fromStdString(p.text) + tr("。");
                break;
        }
    }
    // Said last: not a problem, but a caretaker comparing the clock with a watch should know.
    if (const int offset = state.clockOffsetSeconds; offset != 0)
        words.line << (offset > 0 ? tr("铃声按系统时间加 %1 秒响起。").arg(offset)
                                  : tr("铃声按系统时间减 %1 秒响起。").arg(-offset));
    words.trayNotes = trayNotes(state);
    words.trayMarked = paused || !state.problems.empty();
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
    m_state = state;
    const StateWords words = StatePresenter::words(state);
    m_fix = words.fix;
    layOutLine(words);
    showNextBell();
    m_w.tray.setNotes(words.trayNotes, words.trayMarked);
    m_w.pause.setText(words.pauseCaption);
    m_w.pause.setToolTip(words.pauseTip);
    m_w.face.setDimmed(state.plan == PlanState::kPaused);
    markRows(state);
}

bool StatePresenter::showNextBell() {
    const LocalTime now = m_clock.toLocal(m_clock.nowMs() / 1000);
    const QString text = nextBellText(m_state, now);
    if (m_w.next.text() != text) {
        m_w.next.setText(text);
        m_w.next.setToolTip(text);  // whole, should a long translation not fit
    }
    m_w.next.setVisible(!text.isEmpty());
    const bool past = m_state.next && secondsUntil(*m_state.next, now) == 0;
    return !past;
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
    // One line at the bottom, never over the list. When the sentences do not all fit, the first
    // (the most serious) is said with how many there are; the tip holds every one.
    label.setToolTip(words.line.join(QLatin1Char('\n')));
    const QFontMetrics metrics = label.fontMetrics();
    if (metrics.horizontalAdvance(text) <= label.width() || words.line.size() < 2) {
        label.setText(metrics.elidedText(text, Qt::ElideRight, label.width()));
    } else {
        const QString more = tr(" 等 %1 项").arg(words.line.size());
        label.setText(metrics.elidedText(words.line.first(), Qt::ElideRight,
                                         label.width() - metrics.horizontalAdvance(more)) +
                      more);
    }
    label.setVisible(!words.line.isEmpty());
}

void StatePresenter::markRows(const RingerState& state) {
    const QString start =
        state.playing ? QString::fromStdString(timeText(state.playing->start)) : QString();
    const QString music = state.playing ? QString::fromStdString(state.playing->music) : QString();
    const bool ringingNow = !state.ringingNow.empty();
    if (start == m_markedStart && music == m_markedMusic && ringingNow == m_markedRingingNow &&
        state.unplayable == m_markedUnplayable)
        return;
    m_markedRingingNow = ringingNow;
    m_markedStart = start;
    m_markedMusic = music;
    m_markedUnplayable = state.unplayable;
    QTreeWidget& list = m_w.list;
    for (int r = 0; r < list.topLevelItemCount(); ++r) {
        QTreeWidgetItem* row = list.topLevelItem(r);
        const bool isIt =
            state.playing && sameTimeOfDay(row->text(0), start) && row->text(kMusicColumn) == music;
        markPlaying(*row, isIt);
        markUnplayable(*row, unplayableOf(state, *row));
    }
    // Stop is the thing to press while a bell or a ring-now plays.
    m_w.stop.setProperty("attention", state.playing.has_value() || !state.ringingNow.empty());
    m_w.stop.style()->unpolish(&m_w.stop);
    m_w.stop.style()->polish(&m_w.stop);
}

}  // namespace tolvane
