#include <QDBusConnection>
#include <QDBusMessage>

#include "platform/PowerOff.h"

namespace tolvane {

void LogindPowerOff::requestPowerOff() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", "PowerOff");
    call << false;  // not interactive
    bus.send(call);
}

}  // namespace tolvane
