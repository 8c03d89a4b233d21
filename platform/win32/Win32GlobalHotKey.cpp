#include <QCoreApplication>

#include "PlatformHotKey.h"
#include "Win32HotKey.h"

namespace tolvane {

Win32GlobalHotKey::~Win32GlobalHotKey() { release(); }

void* Win32GlobalHotKey::nativeWindow() const {
    // winId() makes the native window when it does not exist yet.
    return m_window ? reinterpret_cast<void*>(m_window->winId()) : nullptr;
}

bool Win32GlobalHotKey::grab(int id) {
    if (held()) return true;
    void* window = nativeWindow();
    if (!win32::registerShiftT(window, id)) return false;
    m_registeredWith = window;
    m_id = id;
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

void Win32GlobalHotKey::release() {
    if (!held()) return;
    // Released with the handle it was registered with, even if the window is gone by now.
    win32::unregisterHotKey(m_registeredWith, m_id);
    QCoreApplication::instance()->removeNativeEventFilter(this);
    m_registeredWith = nullptr;
    m_id = 0;
}

bool Win32GlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    // Qt shows a message taken from the queue as "windows_generic_MSG" and one reaching its
    // dispatcher's own window as "windows_dispatcher_MSG", where its documentation places hot
    // keys. Either may carry ours; taking it where it is first seen stops it there, so a press
    // is handled once.
    const bool windowsMessage = eventType == "windows_dispatcher_MSG" || eventType == "windows_generic_MSG";
    if (!held() || !windowsMessage || win32::hotKeyId(message) != m_id) return false;
    if (onPressed) onPressed();
    return true;
}

}  // namespace tolvane
