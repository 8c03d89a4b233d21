#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "platform/TrayHost.h"

namespace tolvane {

namespace {

bool statusNotifierHostPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() ||
        !bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")))
        return false;
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                           QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
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
    return statusNotifierHostPresent() || xembedTrayPresent();
}

}  // namespace tolvane
