// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>

#include "platform/HotKey.h"
#include "platform/HotKeyCalls_win32.h"

namespace tolvane {

namespace {
// winId() makes the native window when it does not exist yet.
void* nativeWindow(QWidget* window) {
    return window ? reinterpret_cast<void*>(window->winId()) : nullptr;
}
}  // namespace

bool HotKey::onWaylandSession() {
    return false;
}

HotKey::~HotKey() {
    release();
}

bool HotKey::grab(int id) {
    if (held()) return true;
    void* window = nativeWindow(m_window);
    if (!win32::registerShiftT(window, id)) return false;
    m_native = reinterpret_cast<uintptr_t>(window);
    m_id = id;
    m_held = true;
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

void HotKey::release() {
    if (!held()) return;
    // Released with the handle it was registered with, even if the window is gone by now.
    win32::unregisterHotKey(reinterpret_cast<void*>(m_native), m_id);
    QCoreApplication::instance()->removeNativeEventFilter(this);
    m_native = 0;
    m_id = 0;
    m_held = false;
}

bool HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    // Qt shows a message taken from the queue as "windows_generic_MSG" and one reaching its
    // dispatcher's own window as "windows_dispatcher_MSG", where its documentation places hot
    // keys. Either may carry ours; taking it where it is first seen stops it there, so a press
    // is handled once.
    const bool windowsMessage =
        eventType == "windows_dispatcher_MSG" || eventType == "windows_generic_MSG";
    if (!held() || !windowsMessage || win32::hotKeyId(message) != m_id) return false;
    if (onPressed) onPressed();
    return true;
}

}  // namespace tolvane
