#pragma once

// Shift+T on Windows for the Qt program: RegisterHotKey for the Main window, WM_HOTKEY picked out
// of the native messages (Qt's dispatcher shows every message it fetches to the filters).

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace tolvane {

class Win32GlobalHotKey final : public QAbstractNativeEventFilter {
public:
    // window owns the registration; without one the hot key goes to the thread's queue.
    explicit Win32GlobalHotKey(QWidget* window = nullptr) : m_window(window) {}
    ~Win32GlobalHotKey() override;
    Win32GlobalHotKey(const Win32GlobalHotKey&) = delete;
    Win32GlobalHotKey& operator=(const Win32GlobalHotKey&) = delete;
    // Registers Shift+T under id; false when another program holds it.
    bool grab(int id);
    void release();
    bool held() const { return m_id != 0; }
    std::function<void()> onPressed;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void* nativeWindow() const;

    QPointer<QWidget> m_window;
    void* m_registeredWith = nullptr;
    int m_id = 0;
};

using PlatformHotKey = Win32GlobalHotKey;

}  // namespace tolvane
