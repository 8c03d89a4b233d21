// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "运行日志": the day's ring log, read-only, newest last, read again every second while open, so
// the caretaker sees at a glance whether a bell rang, was heard and how late.

#include <QDialog>
#include <QTimer>
#include <functional>
#include <string>

class QPlainTextEdit;

namespace tolvane {

class RingLogWindow final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 1000;

    // folder holds tolvane.log; today gives the day shown ("YYYY-MM-DD").
    RingLogWindow(std::string folder, std::function<std::string()> today,
                  QWidget* parent = nullptr);

    // Reads the day's lines again; the view stays at the end when it was there.
    void refresh();
    QPlainTextEdit* view() const { return m_view; }

private:
    std::string m_folder;
    std::function<std::string()> m_today;
    QPlainTextEdit* m_view;
    QTimer m_refresh;
};

}  // namespace tolvane
