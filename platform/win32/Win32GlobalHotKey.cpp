#include <QCoreApplication>

#include "PlatformHotKey.h"
#include "Win32HotKey.h"

namespace tolvane {

Win32GlobalHotKey::~Win32GlobalHotKey() { release(); }

bool Win32GlobalHotKey::grab(int id) {
    if (held()) return true;
    // No window: WM_HOTKEY then comes to the thread's queue, which Qt's dispatcher reads.
    if (!win32::registerShiftT(nullptr, id)) return false;
    m_id = id;
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

void Win32GlobalHotKey::release() {
    if (!held()) return;
    win32::unregisterHotKey(nullptr, m_id);
    QCoreApplication::instance()->removeNativeEventFilter(this);
    m_id = 0;
}

bool Win32GlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!held() || eventType != "windows_generic_MSG" || win32::hotKeyId(message) != m_id) return false;
    if (onPressed) onPressed();
    return true;
}

}  // namespace tolvane
