// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "关于": the program's version and licence, and the libraries it contains or links with theirs,
// and where their full texts are on this machine: what a school that passes the program on to
// another owes it.

#include <QDialog>

class QTreeWidget;

namespace tolvane {

class AboutWindow final : public QDialog {
    Q_OBJECT
public:
    // programFolder: where the Windows program carries licenses/ beside it.
    explicit AboutWindow(const QString& programFolder, QWidget* parent = nullptr);

    QTreeWidget* libraries() const { return m_libraries; }

private:
    QTreeWidget* m_libraries;
};

// Where the full licence texts are: the program folder's licenses/ (Windows), or the installed
// package's copyright file; empty when neither is there (a program run from its build folder).
QString licenceTextsPlace(const QString& programFolder);

}  // namespace tolvane
