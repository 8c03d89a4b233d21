// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/ui/GenerateTimetableWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>

#include "base/PathText.h"
#include "schedule/core/BellLibrary.h"

namespace tolvane {

namespace {

QSpinBox* spin(QWidget* parent, int min, int max, int value, const QString& suffix) {
    auto* box = new QSpinBox(parent);
    box->setRange(min, max);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

QTimeEdit* timeEdit(QWidget* parent, const QTime& time) {
    auto* edit = new QTimeEdit(time, parent);
    edit->setDisplayFormat(QStringLiteral("HH:mm"));
    return edit;
}

// The library's music, the one named like the bell first; editable for music elsewhere.
QComboBox* musicBox(QWidget* parent, const std::string& dataFolder, const QString& likely) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    const std::string library = bellLibraryFolder(dataFolder);
    for (const LibraryEntry& e : listBellLibrary(dataFolder)) {
        const QString path = QString::fromStdString(joinPath(library, e.name));
        if (QString::fromStdString(e.name).startsWith(likely))
            box->insertItem(0, path);
        else
            box->addItem(path);
    }
    box->setCurrentIndex(0);
    box->setMinimumWidth(320);
    return box;
}

}  // namespace

GenerateTimetableWindow::GenerateTimetableWindow(const std::string& dataFolder, QWidget* parent)
    : QDialog(parent),
      m_first(timeEdit(this, QTime(8, 0))),
      m_lesson(spin(this, 1, 180, 45, tr(" 分钟"))),
      m_break(spin(this, 0, 120, 10, tr(" 分钟"))),
      m_morning(spin(this, 0, 10, 4, tr(" 节"))),
      m_afternoonFirst(timeEdit(this, QTime(14, 0))),
      m_afternoon(spin(this, 0, 10, 3, tr(" 节"))),
      m_longBreakAfter(spin(this, 0, 20, 2, tr(" 节后"))),
      m_longBreak(spin(this, 0, 180, 30, tr(" 分钟"))),
      m_musicStart(musicBox(this, dataFolder, QStringLiteral("上课"))),
      m_musicEnd(musicBox(this, dataFolder, QStringLiteral("下课"))),
      m_exam(new QCheckBox(tr("每节课是一场考试，铃声响后说话"), this)),
      m_examBefore(spin(this, 0, 60, 15, tr(" 分钟"))),
      m_examStart(new QLineEdit(QString::fromStdString(ExamReminder().atStart), this)),
      m_examBeforeWords(new QLineEdit(QString::fromStdString(examReminder(15).before), this)),
      m_examEnd(new QLineEdit(QString::fromStdString(ExamReminder().atEnd), this)),
      m_preview(new QListWidget(this)),
      m_problem(new QLabel(this)),
      m_take(new QPushButton(tr("写入作息表"), this)) {
    setObjectName(QStringLiteral("生成作息窗口"));
    m_longBreakAfter->setSpecialValueText(tr("没有大课间"));
    m_preview->setObjectName(QStringLiteral("生成预览"));
    m_preview->setAccessibleName(tr("将生成的铃声"));
    m_problem->setObjectName(QStringLiteral("生成提示标签"));
    m_problem->setWordWrap(true);
    m_take->setObjectName(QStringLiteral("写入作息表按钮"));
    auto* form = new QFormLayout(this);
    form->addRow(tr("第一节课"), m_first);
    form->addRow(tr("每节课"), m_lesson);
    form->addRow(tr("课间"), m_break);
    form->addRow(tr("上午"), m_morning);
    form->addRow(tr("下午第一节课"), m_afternoonFirst);
    form->addRow(tr("下午"), m_afternoon);
    form->addRow(tr("大课间在第"), m_longBreakAfter);
    form->addRow(tr("大课间"), m_longBreak);
    form->addRow(tr("上课铃"), m_musicStart);
    form->addRow(tr("下课铃"), m_musicEnd);
    m_exam->setObjectName(QStringLiteral("考试提醒选择框"));
    form->addRow(tr("考试提醒"), m_exam);
    form->addRow(tr("结束前提醒"), m_examBefore);
    form->addRow(tr("开始时说"), m_examStart);
    form->addRow(tr("结束前说"), m_examBeforeWords);
    form->addRow(tr("结束时说"), m_examEnd);
    form->addRow(tr("将生成的铃声"), m_preview);
    form->addRow(m_problem);
    form->addRow(m_take);
    for (QSpinBox* box : {m_lesson, m_break, m_morning, m_afternoon, m_longBreakAfter, m_longBreak})
        connect(box, &QSpinBox::valueChanged, this, &GenerateTimetableWindow::update);
    for (QTimeEdit* edit : {m_first, m_afternoonFirst})
        connect(edit, &QTimeEdit::timeChanged, this, &GenerateTimetableWindow::update);
    for (QComboBox* box : {m_musicStart, m_musicEnd})
        connect(box, &QComboBox::currentTextChanged, this, &GenerateTimetableWindow::update);
    connect(m_exam, &QCheckBox::toggled, this, &GenerateTimetableWindow::update);
    // The words before the end follow the minutes, until someone writes their own.
    connect(m_examBefore, &QSpinBox::valueChanged, this, [this](int minutes) {
        if (!m_examBeforeWords->isModified())
            m_examBeforeWords->setText(QString::fromStdString(examReminder(minutes).before));
        update();
    });
    for (QLineEdit* words : {m_examStart, m_examBeforeWords, m_examEnd})
        connect(words, &QLineEdit::textEdited, this, &GenerateTimetableWindow::update);
    connect(m_take, &QPushButton::clicked, this, &QDialog::accept);
    update();
}

TimetableRecipe GenerateTimetableWindow::recipe() const {
    TimetableRecipe r;
    r.first = m_first->time().toString(QStringLiteral("HH:mm")).toStdString();
    r.lessonMinutes = m_lesson->value();
    r.breakMinutes = m_break->value();
    r.morningLessons = m_morning->value();
    r.afternoonLessons = m_afternoon->value();
    if (r.afternoonLessons > 0)
        r.afternoonFirst = m_afternoonFirst->time().toString(QStringLiteral("HH:mm")).toStdString();
    r.longBreakAfter = m_longBreakAfter->value();
    r.longBreakMinutes = m_longBreak->value();
    r.musicStart = m_musicStart->currentText().toStdString();
    r.musicEnd = m_musicEnd->currentText().toStdString();
    if (m_exam->isChecked())
        r.exam =
            ExamReminder{m_examBefore->value(), m_examStart->text().toStdString(),
                         m_examBeforeWords->text().toStdString(), m_examEnd->text().toStdString()};
    return r;
}

void GenerateTimetableWindow::update() {
    auto bells = generateBells(recipe());
    m_preview->clear();
    m_bells.clear();
    m_afternoonFirst->setEnabled(m_afternoon->value() > 0);
    m_longBreak->setEnabled(m_longBreakAfter->value() > 0);
    for (QWidget* examOnly :
         std::initializer_list<QWidget*>{m_examBefore, m_examStart, m_examBeforeWords, m_examEnd})
        examOnly->setEnabled(m_exam->isChecked());
    if (!bells.isOk()) {
        m_problem->setText(QString::fromStdString(bells.status().message()));
        m_take->setEnabled(false);
        return;
    }
    m_bells = std::move(bells).value();
    for (size_t i = 0; i < m_bells.size(); ++i) {
        const QString at = QString::fromStdString(m_bells[i].start.substr(0, 5));
        // An exam's bells say their words; a school day's say which lesson.
        if (!m_bells[i].spoken().empty())
            m_preview->addItem(at + QStringLiteral(" “") +
                               QString::fromStdString(m_bells[i].spoken()) + QStringLiteral("”"));
        else
            m_preview->addItem(
                (i % 2 == 0 ? tr("第 %1 节 上课 ") : tr("第 %1 节 下课 ")).arg(i / 2 + 1) + at);
    }
    m_problem->setText(tr("共 %1 个铃声，周一至周五。").arg(m_bells.size()));
    m_take->setEnabled(true);
}

}  // namespace tolvane
