// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's menus and keys. The System menu drops below its picture button, and opens
// with F10 and with Alt pressed and released alone, as in other desktop programs; the list's menu
// opens at a right click, with 修改, 删除 and 立即播放 only on a row. In the list, Insert and
// Ctrl+N add a bell, Enter changes the selected one, and Delete deletes it after asking (a key is
// pressed by mistake more easily than a menu item is chosen).

#include <QObject>
#include <functional>

class QAction;
class QKeyEvent;
class QMenu;
class QPoint;
class QTreeWidget;
class QWidget;

namespace tolvane {

class MainMenus final : public QObject {
    Q_OBJECT
public:
    // What the items and keys do; the main window's handlers.
    struct Actions {
        std::function<void()> settings, ringLog, calendar, timetables, about, minimise, quit;
        std::function<void()> addBell, changeBell, deleteBell;
        // 立即播放 of the selected bell's music; repeat: until 停止播放.
        std::function<void(bool repeat)> ringNow;
        // Asks a yes/no question (the Delete key's "delete this bell?").
        std::function<bool(const QString& question)> confirm;
    };

    // window, list and menuButton must outlive the menus; keys are watched on window and list.
    MainMenus(QWidget& window, QTreeWidget& list, QWidget& menuButton, Actions actions);

    void popUpSystemMenu();
    // At cursor (global), 修改 and 删除 enabled only while a row is selected.
    void popUpListMenu(const QPoint& cursor);
    // Enter or a double-click: changes the selected bell; nothing without a selection.
    void changeSelected();
    void deleteSelectedAfterAsking();

    QMenu* systemMenu() const { return m_systemMenu; }
    QMenu* listMenu() const { return m_listMenu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool onListKey(const QKeyEvent& key);

    QWidget& m_window;
    QTreeWidget& m_list;
    QWidget& m_menuButton;
    Actions m_actions;
    QMenu* m_systemMenu;
    QMenu* m_listMenu;
    QAction* m_changeAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_ringNowAction = nullptr;
    QAction* m_ringNowRepeatAction = nullptr;
    // Alt pressed, and nothing else since.
    bool m_altAlone = false;
};

}  // namespace tolvane
