// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainMenus.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeWidget>

#include "schedule/ui/ScheduleListView.h"

namespace tolvane {

namespace {
// The texts are the main window's.
QString text(const char* source) {
    return QCoreApplication::translate("tolvane::MainWindow", source);
}
}  // namespace

MainMenus::MainMenus(QWidget& window, QTreeWidget& list, QWidget& menuButton, Actions actions)
    : QObject(&window),
      m_window(window),
      m_list(list),
      m_menuButton(menuButton),
      m_actions(std::move(actions)),
      m_systemMenu(new QMenu(&window)),
      m_listMenu(new QMenu(&window)) {
    const auto run = [](const std::function<void()>& action) { return [action] { action(); }; };
    m_systemMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "软件设置")),
                            run(m_actions.settings));
    m_systemMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "运行日志")),
                            run(m_actions.ringLog));
    m_systemMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "校历设置")),
                            run(m_actions.calendar));
    m_systemMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "作息表")),
                            run(m_actions.timetables));
    m_systemMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "关于")),
                            run(m_actions.about));
    m_systemMenu->addSeparator();
    m_systemMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "最小化")),
                            run(m_actions.minimise));
    m_systemMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "退出")),
                            run(m_actions.quit));

    m_changeAction = m_listMenu->addAction(
        text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "修改铃声")), run(m_actions.changeBell));
    m_listMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "增加铃声")),
                          run(m_actions.addBell));
    m_deleteAction = m_listMenu->addAction(
        text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "删除铃声")), run(m_actions.deleteBell));
    m_listMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "设置")),
                          run(m_actions.settings));
    m_listMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "校历设置")),
                          run(m_actions.calendar));
    m_listMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "作息表")),
                          run(m_actions.timetables));
    m_listMenu->addSeparator();
    m_ringNowAction =
        m_listMenu->addAction(text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "立即播放")),
                              [this] { m_actions.ringNow(false); });
    m_ringNowRepeatAction = m_listMenu->addAction(
        text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "立即播放（重复，直到停止）")),
        [this] { m_actions.ringNow(true); });

    m_window.installEventFilter(this);
    m_list.installEventFilter(this);
}

void MainMenus::popUpSystemMenu() {
    m_systemMenu->popup(m_window.mapToGlobal(QPoint(0, 0)) +
                        QPoint(m_menuButton.x(), m_menuButton.y() + m_menuButton.height()));
}

void MainMenus::popUpListMenu(const QPoint& cursor) {
    const bool selected = !selectedStartTime(&m_list).isEmpty();
    m_changeAction->setEnabled(selected);
    m_deleteAction->setEnabled(selected);
    m_ringNowAction->setEnabled(selected);
    m_ringNowRepeatAction->setEnabled(selected);
    m_listMenu->popup(cursor + QPoint(3, 3));
}

void MainMenus::changeSelected() {
    if (!selectedStartTime(&m_list).isEmpty()) m_actions.changeBell();
}

void MainMenus::deleteSelectedAfterAsking() {
    const QString start = selectedStartTime(&m_list);
    if (start.isEmpty()) return;
    if (m_actions.confirm(
            text(QT_TRANSLATE_NOOP("tolvane::MainWindow", "删除 %1 的铃声吗？")).arg(start)))
        m_actions.deleteBell();
}

bool MainMenus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (watched == &m_list) {
        if (event->type() != QEvent::KeyPress) return false;
        if (key.key() != Qt::Key_Alt) m_altAlone = false;  // Alt+arrow in the list is no menu key
        return onListKey(key);
    }
    if (watched != &m_window) return false;
    // The window's own keys, and every key the control with the focus left to it.
    if (event->type() == QEvent::KeyPress) {
        // Whether Alt shows as a modifier of its own press differs between systems: not looked at.
        m_altAlone = key.key() == Qt::Key_Alt;
        if (key.key() == Qt::Key_F10 && key.modifiers() == Qt::NoModifier) {
            popUpSystemMenu();
            return true;
        }
        return false;
    }
    if (key.key() == Qt::Key_Alt && m_altAlone) {
        m_altAlone = false;
        popUpSystemMenu();
        return true;
    }
    return false;
}

bool MainMenus::onListKey(const QKeyEvent& key) {
    const bool ctrlN = key.key() == Qt::Key_N && key.modifiers() == Qt::ControlModifier;
    if (key.key() == Qt::Key_Insert || ctrlN) {
        m_actions.addBell();
    } else if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        changeSelected();
    } else if (key.key() == Qt::Key_Delete) {
        deleteSelectedAfterAsking();
    } else {
        return false;
    }
    return true;
}

}  // namespace tolvane
