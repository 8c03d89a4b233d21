// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/TimetableRuleDialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "language/Language.h"

namespace tolvane {

namespace {

// Any day of a season, 02-29 too, lives in a leap year.
constexpr int kLeapYear = 2028;

QDateEdit* monthDayPicker(int monthDay, QWidget* parent) {
    auto* picker = new QDateEdit(QDate(kLeapYear, monthDay / 100, monthDay % 100), parent);
    picker->setLocale(interfaceLocale());
    picker->setDisplayFormat(QStringLiteral("MM-dd"));
    picker->setDateRange(QDate(kLeapYear, 1, 1), QDate(kLeapYear, 12, 31));
    picker->setCalendarPopup(true);
    return picker;
}

int monthDayOf(const QDateEdit* picker) {
    return picker->date().month() * 100 + picker->date().day();
}

QString tr(const char* text) {
    return QCoreApplication::translate("TimetableWindow", text);
}

}  // namespace

SeasonAnswer pickSeason(QWidget* parent, const QString& name, const std::optional<Season>& now,
                        const std::function<std::string(const Season&)>& problem) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("季节窗口"));
    dialog.setWindowTitle(tr("季节"));
    auto* bySeason = new QCheckBox(tr("每年的这些日子用“%1”").arg(name), &dialog);
    bySeason->setChecked(true);
    auto* from = monthDayPicker(now ? now->from : 501, &dialog);
    auto* to = monthDayPicker(now ? now->to : 930, &dialog);
    from->setObjectName(QStringLiteral("季节开始"));
    to->setObjectName(QStringLiteral("季节结束"));
    from->setAccessibleName(tr("从（月-日）"));
    to->setAccessibleName(tr("到（月-日，含这一天）"));
    auto* why = new QLabel(&dialog);
    why->setObjectName(QStringLiteral("季节提醒"));
    why->setWordWrap(true);
    why->setStyleSheet(QStringLiteral("color: #B00020;"));
    why->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* form = new QFormLayout(&dialog);
    form->addRow(bySeason);
    form->addRow(tr("从（月-日）"), from);
    form->addRow(tr("到（月-日，含这一天）"), to);
    form->addRow(new QLabel(tr("结束早于开始时跨过新年，例如 10-01 到 04-30。"), &dialog));
    form->addRow(why);
    form->addRow(buttons);
    QObject::connect(bySeason, &QCheckBox::toggled, &dialog, [from, to](bool on) {
        from->setEnabled(on);
        to->setEnabled(on);
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (bySeason->isChecked())
            if (const std::string said = problem({monthDayOf(from), monthDayOf(to)});
                !said.empty()) {
                why->setText(QString::fromStdString(said));
                why->show();
                return;  // what was picked stays, to be changed
            }
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    if (!bySeason->isChecked()) return std::optional<Season>();
    return std::optional<Season>(Season{monthDayOf(from), monthDayOf(to)});
}

std::optional<RotationAnswer> pickRotation(QWidget* parent,
                                           const std::vector<std::string>& timetables,
                                           const std::vector<std::string>& now,
                                           const QDate& start) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("按周轮换窗口"));
    dialog.setWindowTitle(tr("按周轮换"));
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("轮换作息表"));
    list->setAccessibleName(tr("轮流使用的作息表（拖动可改顺序）"));
    list->setDragDropMode(QAbstractItemView::InternalMove);
    // Those in the rotation first, in its order, then the rest unticked.
    std::vector<std::string> order = now;
    for (const std::string& name : timetables)
        if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
    for (const std::string& name : order) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
        item->setCheckState(std::find(now.begin(), now.end(), name) != now.end() ? Qt::Checked
                                                                                 : Qt::Unchecked);
    }
    auto* from = new QDateEdit(start, &dialog);
    from->setObjectName(QStringLiteral("轮换开始"));
    from->setLocale(interfaceLocale());
    from->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    from->setCalendarPopup(true);
    from->setAccessibleName(tr("从哪一天所在的那一周开始"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(tr("打钩的作息表一周一个轮流使用，按列表的顺序（拖动可改顺序）；"
                                    "都不打钩则不轮换。"),
                                 &dialog));
    layout->addWidget(list);
    auto* form = new QFormLayout;
    form->addRow(tr("从哪一天所在的那一周开始"), from);
    layout->addLayout(form);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    RotationAnswer answer;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            answer.names.push_back(list->item(i)->text().toStdString());
    answer.start = from->date().toString(Qt::ISODate).toStdString();
    return answer;
}

}  // namespace tolvane
