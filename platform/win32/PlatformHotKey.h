#pragma once

// Shift+T on Windows for the Qt program: RegisterHotKey on the user-interface thread's queue,
// WM_HOTKEY picked out of the native messages.

#include <QAbstractNativeEventFilter>

#include <functional>

namespace tolvane {

class Win32GlobalHotKey final : public QAbstractNativeEventFilter {
public:
    ~Win32GlobalHotKey() override;
    // Registers Shift+T under id; false when another program holds it.
    bool grab(int id);
    void release();
    bool held() const { return m_id != 0; }
    std::function<void()> onPressed;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    int m_id = 0;
};

using PlatformHotKey = Win32GlobalHotKey;

}  // namespace tolvane
