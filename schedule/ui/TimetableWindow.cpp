// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/TimetableWindow.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

#include "schedule/core/Calendar.h"
#include "schedule/core/SilentDays.h"
#include "schedule/core/TimetableMaking.h"
#include "schedule/core/Timetables.h"
#include "schedule/ui/GenerateTimetableWindow.h"
#ifdef TOLVANE_HAVE_CSV
#include "schedule/csv/TimetableCsv.h"
#endif

namespace tolvane {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TimetableWindow::TimetableWindow(TableDatabase& db, const Clock& clock, std::string library,
                                 std::function<void()> changed, QWidget* parent)
    : QDialog(parent),
      m_db(db),
      m_clock(clock),
      m_library(std::move(library)),
      m_changed(std::move(changed)),
      m_list(new QTreeWidget(this)),
      m_silentDays(new QLabel(this)) {
    setObjectName(QStringLiteral("作息表窗口"));
    setWindowTitle(tr("作息表"));
    askText = [this](const QString& question, const QString& text) -> std::optional<QString> {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(this, tr("作息表"), question, QLineEdit::Normal, text, &ok);
        return ok ? std::optional<QString>(answer) : std::nullopt;
    };
    confirm = [this](const QString& question) {
        return QMessageBox::question(this, tr("作息表"), question,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    chooseCsv = [this](bool save) {
        const QString filter = tr("作息表 CSV (*.csv)");
        if (!save) return QFileDialog::getOpenFileName(this, tr("导入作息表"), QString(), filter);
        // A name typed without ".csv" gets it, so the import's filter sees the file; the dialog
        // then asks before a file of the full name is replaced.
        QFileDialog dialog(this, tr("导出作息表"), QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().first()
                   : QString();
    };

    askSeason = [this](const QString& name, const std::optional<Season>& now) {
        const TimetablePlan plan = timetablePlan(m_db);
        return pickSeason(this, name, now, [plan, name](const Season& season) {
            return seasonOverlap(plan, name.toStdString(), season);
        });
    };
    askRotation = [this](const std::vector<std::string>& now, const QDate& start) {
        return pickRotation(this, timetableNames(m_db), now, start);
    };

    m_list->setObjectName(QStringLiteral("作息表列表"));
    m_list->setAccessibleName(tr("作息表"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({tr("作息表"), tr("铃声"), tr("规则")});
    m_list->setColumnWidth(0, 160);
    m_list->setColumnWidth(1, 50);
    m_list->setMinimumWidth(460);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_list, 0, 0, 12, 1);
    const std::pair<const char*, void (TimetableWindow::*)()> buttons[] = {
        {QT_TR_NOOP("新建"), &TimetableWindow::onAdd},
        {QT_TR_NOOP("复制"), &TimetableWindow::onCopy},
        {QT_TR_NOOP("改名"), &TimetableWindow::onRename},
        {QT_TR_NOOP("删除"), &TimetableWindow::onDelete},
        {QT_TR_NOOP("季节…"), &TimetableWindow::onSeason},
        {QT_TR_NOOP("按周轮换…"), &TimetableWindow::onRotation},
        {QT_TR_NOOP("生成作息…"), &TimetableWindow::onGenerate},
        {QT_TR_NOOP("导入 CSV…"), &TimetableWindow::onImport},
        {QT_TR_NOOP("导出 CSV…"), &TimetableWindow::onExport}};
    int row = 0;
    for (const auto& [text, handler] : buttons) {
        auto* button = new QPushButton(tr(text), this);
        button->setObjectName(QStringLiteral("作息表按钮") + QString::number(row + 1));
        connect(button, &QPushButton::clicked, this, handler);
        grid->addWidget(button, row++, 1);
    }
#ifndef TOLVANE_HAVE_CSV
    // A build without libcsv cannot read or write a spreadsheet's CSV.
    grid->itemAtPosition(row - 1, 1)->widget()->setVisible(false);
    grid->itemAtPosition(row - 2, 1)->widget()->setVisible(false);
#endif
    m_silentDays->setObjectName(QStringLiteral("作息表提醒"));
    m_silentDays->setWordWrap(true);
    m_silentDays->setStyleSheet(QStringLiteral("color: #B00020;"));
    grid->addWidget(m_silentDays, 12, 0, 1, 2);
    auto* close = new QPushButton(tr("关闭"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(close, 11, 1);
    fill();
}

void TimetableWindow::fill() {
    const std::string keep = selected();
    m_list->clear();
    const TimetableIndex index = readTimetableIndex(m_db);
    const DaysTimetable today =
        timetableOn(timetablePlan(m_db), m_clock.toLocal(m_clock.nowMs() / 1000));
    for (const std::string& name : timetableNames(m_db)) {
        auto bells = timetableBellCount(m_db, name);
        QString rule = qs(timetableRuleText(index, name));
        if (name == kDefaultTimetable && rule.isEmpty()) rule = tr("其余的日子");
        if (name == today.name) rule = tr("今天；") + rule;
        auto* item = new QTreeWidgetItem(
            m_list, {qs(timetableShownName(name)),
                     bells.isOk() ? QString::number(bells.value()) : tr("不能读取"), rule});
        item->setData(0, Qt::UserRole, qs(name));
        if (name == today.name) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
        }
    }
    select(keep.empty() ? std::string(kDefaultTimetable) : keep);
    QStringList silent;
    for (const std::string& p :
         silentDayProblems(m_db, dateText(m_clock.toLocal(m_clock.nowMs() / 1000))))
        silent << qs(p);
    m_silentDays->setText(silent.join(QLatin1Char('\n')));
    m_silentDays->setVisible(!silent.isEmpty());
}

std::string TimetableWindow::selected() const {
    const auto items = m_list->selectedItems();
    return items.isEmpty() ? std::string()
                           : items.first()->data(0, Qt::UserRole).toString().toStdString();
}

void TimetableWindow::select(const std::string& name) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->data(0, Qt::UserRole).toString() == qs(name))
            m_list->setCurrentItem(m_list->topLevelItem(i));
}

bool TimetableWindow::report(const Status& s) {
    if (!s.isOk()) {
        showMessage({infoCaption(), tr("作息表未能修改：%1").arg(qs(s.message())).toStdString()},
                    QMessageBox::Warning);
        return false;
    }
    fill();
    if (m_changed) m_changed();
    return true;
}

std::optional<std::string> TimetableWindow::askName(const QString& question, const QString& text) {
    const auto answer = askText(question, text);
    if (!answer) return std::nullopt;
    return answer->trimmed().toStdString();
}

void TimetableWindow::onAdd() {
    if (const auto name = askName(tr("新作息表的名称，例如 夏季作息：")))
        if (report(addTimetable(m_db, *name))) select(*name);
}

void TimetableWindow::onCopy() {
    const std::string from = selected();
    if (from.empty()) return;
    if (const auto name = askName(tr("复制“%1”的铃声，新作息表的名称：").arg(qs(from))))
        if (report(addTimetable(m_db, *name, from))) select(*name);
}

void TimetableWindow::onRename() {
    const std::string from = selected();
    if (from.empty()) return;
    if (const auto name = askName(tr("“%1”的新名称：").arg(qs(from)), qs(from)))
        if (*name != from && report(renameTimetable(m_db, from, *name))) select(*name);
}

void TimetableWindow::onDelete() {
    const std::string name = selected();
    if (name.empty()) return;
    auto bells = timetableBellCount(m_db, name);
    const int count = bells.isOk() ? bells.value() : 0;
    // A timetable with bells goes only when the user says so, knowing how many.
    if (count > 0 &&
        !confirm(tr("作息表“%1”有 %2 个铃声。确定要删除它吗？").arg(qs(name)).arg(count)))
        return;
    report(deleteTimetable(m_db, name, dateText(m_clock.toLocal(m_clock.nowMs() / 1000))));
}

void TimetableWindow::onSeason() {
    const std::string name = selected();
    if (name.empty()) return;
    const TimetableIndex index = readTimetableIndex(m_db);
    const auto* entry = index.find(name);
    const SeasonAnswer answer =
        askSeason(qs(name), entry ? entry->season : std::optional<Season>());
    if (!answer) return;
    report(setTimetableSeason(m_db, name, *answer));
}

void TimetableWindow::onRotation() {
    const TimetableIndex index = readTimetableIndex(m_db);
    const QDate today =
        QDate::fromString(qs(dateText(m_clock.toLocal(m_clock.nowMs() / 1000))), Qt::ISODate);
    const QDate start = index.rotationStart.empty()
                            ? today
                            : QDate::fromString(qs(index.rotationStart), Qt::ISODate);
    const auto answer = askRotation(index.rotation, start.isValid() ? start : today);
    if (!answer) return;
    report(setTimetableRotation(m_db, answer->names, answer->names.empty() ? "" : answer->start));
}

void TimetableWindow::onGenerate() {
    const std::string name = selected();
    if (name.empty()) return;
    GenerateTimetableWindow window(m_library, this);
    window.setWindowTitle(tr("生成作息：%1").arg(qs(name)));
    // 否 to replacing the bells the timetable has goes back to the generator, its values kept.
    while (window.exec() == QDialog::Accepted)
        if (putBells(name, window.bells(),
                     tr("生成的 %1 个铃声将替换“%2”现有的 %3 个铃声。确定吗？")))
            return;
}

bool TimetableWindow::putBells(const std::string& name, std::vector<BellRecord> bells,
                               const QString& replaceQuestion) {
    // Bells a timetable holds are replaced only when the user says so, knowing how many.
    auto held = timetableBellCount(m_db, name);
    if (held.isOk() && held.value() > 0 &&
        !confirm(replaceQuestion.arg(bells.size()).arg(qs(name)).arg(held.value())))
        return false;
    auto table = bellTableFor(m_db, name);
    if (!table.isOk()) return report(table.status()), true;
    report(replaceTimetableBells(m_db, table.value(), std::move(bells)));
    return true;
}

void TimetableWindow::onImport() {
#ifdef TOLVANE_HAVE_CSV
    const std::string name = selected();
    if (name.empty()) return;
    const QString path = chooseCsv(false);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return void(report(Status::ioError(file.errorString().toStdString())));
    const QByteArray bytes = file.readAll();
    auto bells = parseTimetableCsv(std::string_view(bytes.constData(), bytes.size()));
    if (!bells.isOk()) return void(report(bells.status()));
    putBells(name, std::move(bells).value(),
             tr("文件里的 %1 个铃声将替换“%2”现有的 %3 个铃声。确定吗？"));
#endif
}

void TimetableWindow::onExport() {
#ifdef TOLVANE_HAVE_CSV
    const std::string name = selected();
    auto table = bellTableFor(m_db, name);
    if (!table.isOk()) return void(report(table.status()));
    auto bells = readBells(m_db, table.value());
    if (!bells.isOk()) return void(report(bells.status()));
    std::sort(bells.value().begin(), bells.value().end(),
              [](const BellRecord& a, const BellRecord& b) { return a.sortValue < b.sortValue; });
    const QString path = chooseCsv(true);
    if (path.isEmpty()) return;
    QFile file(path);
    const std::string csv = timetableCsv(bells.value());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()))
        return void(report(Status::ioError(file.errorString().toStdString())));
#endif
}

}  // namespace tolvane
