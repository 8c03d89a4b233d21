// SPDX-License-Identifier: GPL-3.0-or-later
// Shift+T on a Wayland session, through the GlobalShortcuts portal: a mock portal on a private
// session bus (portal_hotkey_test.sh) binds it, its Activated signal is a press, and a desktop
// that refuses leaves the key unheld.

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QTest>

#include "platform/HotKey.h"

using namespace tolvane;

namespace {

QDBusInterface mock() {
    return QDBusInterface("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                          "org.freedesktop.DBus.Mock", QDBusConnection::sessionBus());
}

// The portal as the desktop would send it: Activated for the session's shortcut.
void activate(const QString& session) {
    const QVariantList arguments{
        QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusObjectPath(session)))),
        QVariant::fromValue(QDBusVariant(QStringLiteral("toggle-window"))),
        QVariant::fromValue(QDBusVariant(QVariant::fromValue(qulonglong{1}))),
        QVariant::fromValue(QDBusVariant(QVariantMap{}))};
    const QDBusMessage reply = mock().call("EmitSignal", "org.freedesktop.portal.GlobalShortcuts",
                                           "Activated", "osta{sv}", arguments);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
}

}  // namespace

class PortalHotKeyTest : public QObject {
    Q_OBJECT
private slots:
    void theDesktopBindsShiftTAndItsActivationIsAPress() {
        HotKey key;
        int presses = 0;
        key.onPressed = [&] { ++presses; };
        QVERIFY(key.grab(1));
        QCOMPARE(key.trigger(), QStringLiteral("Shift+T"));
        activate("/org/freedesktop/portal/desktop/session/mock/tolvane1");
        QTRY_COMPARE(presses, 1);
        activate("/org/freedesktop/portal/desktop/session/mock/tolvane1");
        QTRY_COMPARE(presses, 2);
        // Another program's session is not ours.
        activate("/org/freedesktop/portal/desktop/session/mock/other");
        QTest::qWait(100);
        QCOMPARE(presses, 2);
        key.release();
        QVERIFY(!key.held());
    }

    void aDesktopThatRefusesLeavesTheKeyUnheld() {
        QDBusInterface properties("org.freedesktop.portal.Desktop",
                                  "/org/freedesktop/portal/desktop",
                                  "org.freedesktop.DBus.Properties", QDBusConnection::sessionBus());
        properties.call("Set", "org.freedesktop.portal.GlobalShortcuts", "RefuseNext",
                        QVariant::fromValue(QDBusVariant(true)));
        HotKey key;
        QVERIFY(!key.grab(1));
        QVERIFY(!key.held());
    }
};

QTEST_MAIN(PortalHotKeyTest)
#include "PortalHotKeyTest.moc"
