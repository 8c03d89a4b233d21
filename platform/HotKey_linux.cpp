// SPDX-License-Identifier: GPL-3.0-or-later
// Shift+T on X11: a key grab on the root window through the xcb connection Qt already has. On a
// Wayland session: the GlobalShortcuts portal.

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "platform/GlobalShortcutsPortal.h"
#include "platform/HotKey.h"

namespace tolvane {

namespace {

constexpr uint32_t kKeysymLowerT = 0x74;
constexpr uint32_t kKeysymUpperT = 0x54;
// Caps Lock and Num Lock (Mod2 on every common layout) must not stop the hot key.
constexpr uint16_t kLockCombinations[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                          XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

xcb_connection_t* connection() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

uint8_t keycodeOfT(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const uint8_t first = setup->min_keycode;
    const auto count = static_cast<uint8_t>(setup->max_keycode - first + 1);
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> reply(
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), nullptr),
        std::free);
    if (!reply) return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int perCode = reply->keysyms_per_keycode;
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < perCode && j < 2; ++j)
            if (syms[i * perCode + j] == kKeysymLowerT || syms[i * perCode + j] == kKeysymUpperT)
                return static_cast<uint8_t>(first + i);
    return 0;
}

void ungrab(xcb_connection_t* c, uint8_t keycode) {
    for (uint16_t locks : kLockCombinations)
        xcb_ungrab_key(c, keycode, rootWindow(c),
                       static_cast<uint16_t>(XCB_MOD_MASK_SHIFT | locks));
    xcb_flush(c);
}

}  // namespace

bool HotKey::onWaylandSession() {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           !qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty();
}

HotKey::~HotKey() {
    release();
}

bool HotKey::grab(int id) {
    if (held()) return true;
    if (onWaylandSession()) {
        auto* portal = new GlobalShortcutsPortal;
        portal->onActivated = [this] {
            if (onPressed) onPressed();
        };
        if (!portal->bind(&m_trigger)) {
            delete portal;
            return false;
        }
        m_portal = portal;
        m_id = id;
        m_held = true;
        return true;
    }
    xcb_connection_t* c = connection();
    if (!c) return false;
    const uint8_t keycode = keycodeOfT(c);
    if (keycode == 0) return false;
    for (uint16_t locks : kLockCombinations) {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(
            c, 1, rootWindow(c), static_cast<uint16_t>(XCB_MOD_MASK_SHIFT | locks), keycode,
            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            // BadAccess: another client holds Shift+T.
            std::free(error);
            ungrab(c, keycode);
            return false;
        }
    }
    m_native = keycode;
    m_id = id;
    m_held = true;
    qApp->installNativeEventFilter(this);
    return true;
}

void HotKey::release() {
    if (!held()) return;
    if (m_portal) {
        delete m_portal;  // closes the portal's session
        m_portal = nullptr;
        m_trigger.clear();
        m_id = 0;
        m_held = false;
        return;
    }
    if (xcb_connection_t* c = connection()) ungrab(c, static_cast<uint8_t>(m_native));
    if (qApp) qApp->removeNativeEventFilter(this);
    m_native = 0;
    m_id = 0;
    m_held = false;
}

bool HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!held() || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (key->detail != m_native || !(key->state & XCB_MOD_MASK_SHIFT)) return false;
    if (onPressed) onPressed();
    return true;
}

}  // namespace tolvane
