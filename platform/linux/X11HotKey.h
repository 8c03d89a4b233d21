#pragma once

// The system-wide Shift+T: a key grab on the X root window for Shift+T under every combination
// of Caps Lock and Num Lock, so the keystroke reaches no other program. Presses arrive through a
// native event filter. Without an X server, or when another client holds the grab, grabbing fails.

#include <QAbstractNativeEventFilter>

class QWidget;

#include <cstdint>
#include <functional>

namespace tolvane {

class X11HotKey final : public QAbstractNativeEventFilter {
public:
    // The grab is on the root window, so the program's window is not needed; taken for the
    // same shape as the Windows hot key, which belongs to the Main window.
    explicit X11HotKey(QWidget* window = nullptr) { (void)window; }
    ~X11HotKey() override;
    X11HotKey(const X11HotKey&) = delete;
    X11HotKey& operator=(const X11HotKey&) = delete;

    // Grabs Shift+T; false when it cannot (another client holds it, or there is no X server).
    // The id is the program's; the X server needs none.
    bool grab(int id = 0);
    void release();
    bool held() const { return m_keycode != 0; }

    // Runs on the user-interface thread for each press while held.
    std::function<void()> onPressed;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    uint8_t m_keycode = 0;
};

}  // namespace tolvane
