// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "platform/PowerOff.h"

namespace tolvane {

void LogindPowerOff::requestPowerOff() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        onAnswer("no system bus: " + bus.lastError().message().toStdString());
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", "PowerOff");
    call << false;  // not interactive
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [answer = onAnswer](QDBusPendingCallWatcher* w) {
                         const QDBusPendingReply<> reply = *w;
                         answer(reply.isError() ? "refused: " + reply.error().name().toStdString() +
                                                      " " + reply.error().message().toStdString()
                                                : "accepted");
                         w->deleteLater();
                     });
}

}  // namespace tolvane
