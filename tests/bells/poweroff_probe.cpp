// SPDX-License-Identifier: GPL-3.0-or-later
// Makes one power-off request through logind, as the clock tick does, then exits.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

#include "platform/PowerOff.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    tolvane::LogindPowerOff().requestPowerOff();
    // The request is sent without waiting; a round trip after it makes sure it left the process.
    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected())
        bus.call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "GetId"));
    return 0;
}
