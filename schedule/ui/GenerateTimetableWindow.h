// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// 生成作息: a timetable's bells from the shape of the school day (the first lesson, the lesson and
// break lengths, the lessons in the morning and the afternoon, a long break, the music of 上课
// and 下课), shown as they will be before the user takes them. 考试提醒 makes each lesson an exam
// whose bells speak at its start, some minutes before its end and at its end.

#include <QDialog>
#include <vector>

#include "schedule/core/Schema.h"
#include "schedule/core/TimetableMaking.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimeEdit;

namespace tolvane {

class GenerateTimetableWindow final : public QDialog {
    Q_OBJECT
public:
    // dataFolder: the tables' folder, whose 铃声库 music is offered for the two bells.
    explicit GenerateTimetableWindow(const std::string& dataFolder, QWidget* parent = nullptr);

    TimetableRecipe recipe() const;
    // The bells the recipe makes; empty while it makes none (the window says why).
    const std::vector<BellRecord>& bells() const { return m_bells; }
    QListWidget* preview() const { return m_preview; }
    QCheckBox* examSwitch() const { return m_exam; }
    QLabel* problem() const { return m_problem; }

private:
    void update();

    QTimeEdit* m_first;
    QSpinBox* m_lesson;
    QSpinBox* m_break;
    QSpinBox* m_morning;
    QTimeEdit* m_afternoonFirst;
    QSpinBox* m_afternoon;
    QSpinBox* m_longBreakAfter;
    QSpinBox* m_longBreak;
    QComboBox* m_musicStart;
    QComboBox* m_musicEnd;
    QCheckBox* m_exam;
    QSpinBox* m_examBefore;
    QLineEdit* m_examStart;
    QLineEdit* m_examBeforeWords;
    QLineEdit* m_examEnd;
    QListWidget* m_preview;
    QLabel* m_problem;
    QPushButton* m_take;
    std::vector<BellRecord> m_bells;
};

}  // namespace tolvane
