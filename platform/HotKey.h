// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system-wide Shift+T that hides and shows the main window. One class, one back-end per
// system, chosen by the build:
// - HotKey_linux.cpp: on X11, a key grab on the X root window for Shift+T under every combination
//   of Caps Lock and Num Lock, so the keystroke reaches no other program; it fails when another
//   client holds the grab. On a Wayland session, the desktop's GlobalShortcuts portal, never an
//   X11 grab (under XWayland it would fire only while an X11 window has the focus); it fails
//   where no portal offers it or the desktop refuses.
// - HotKey_win32.cpp: RegisterHotKey for the window, WM_HOTKEY picked out of the native messages
//   (Qt's dispatcher shows every message it fetches to the filters); fails when another program
//   holds Shift+T.
// Presses arrive through Qt's native event filter, on the user-interface thread.

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace tolvane {

class HotKey final : public QAbstractNativeEventFilter {
public:
    // window owns the registration on Windows (without one the hot key goes to the thread's
    // queue); X11 grabs on the root window and needs none.
    explicit HotKey(QWidget* window = nullptr) : m_window(window) {}
    ~HotKey() override;
    HotKey(const HotKey&) = delete;
    HotKey& operator=(const HotKey&) = delete;

    // Takes Shift+T under the program's id (Windows needs one; X11 does not); false when it
    // cannot. Grabbing while held succeeds without asking again.
    bool grab(int id);
    void release();
    bool held() const { return m_held; }
    // What the desktop bound the key to, as it says it ("Shift+T"); empty where it does not say.
    const QString& trigger() const { return m_trigger; }

    // Runs for each press while held.
    std::function<void()> onPressed;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // A Wayland session: a global key comes only from the desktop's portal, or from a shortcut
    // the user binds in the desktop's settings to `tolvane --toggle`. False on Windows.
    static bool onWaylandSession();

private:
    QPointer<QWidget> m_window;
    bool m_held = false;
    int m_id = 0;
    // What the system registered: the X keycode of T, or the HWND the hot key belongs to.
    uintptr_t m_native = 0;
    QString m_trigger;
    // The portal's session on Wayland (owned); none elsewhere.
    QObject* m_portal = nullptr;
};

}  // namespace tolvane
