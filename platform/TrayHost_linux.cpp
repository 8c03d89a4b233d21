// SPDX-License-Identifier: GPL-3.0-or-later
#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "platform/TrayHost.h"

namespace tolvane {

namespace {

// The watcher is what a StatusNotifierItem registers with; whether a host shows it yet is Qt's
// to judge once it is asked (a host registers with the watcher a moment after it appears).
bool statusNotifierWatcherPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() &&
           bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

// The XEmbed tray of screen 0: the owner of the _NET_SYSTEM_TRAY_S0 selection.
bool xembedTrayPresent() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return false;
    constexpr char kSelection[] = "_NET_SYSTEM_TRAY_S0";
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kSelection - 1, kSelection), nullptr),
        std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr),
        std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

}  // namespace

bool trayHostPresent() {
    return statusNotifierWatcherPresent() || xembedTrayPresent();
}

}  // namespace tolvane
