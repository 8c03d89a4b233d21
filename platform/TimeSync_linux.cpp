// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "platform/TimeSync.h"

namespace tolvane {

namespace {

constexpr char kService[] = "org.freedesktop.timedate1";
constexpr char kPath[] = "/org/freedesktop/timedate1";

// Calls onReply with the bus's answer, or with the error it gave, once it comes.
void callTimedated(QDBusMessage call, std::function<void(const QDBusMessage&)> onReply) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        onReply(QDBusMessage::createError(QStringLiteral("org.freedesktop.DBus.Error.NoServer"),
                                          QStringLiteral("没有系统总线")));
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [onReply = std::move(onReply)](QDBusPendingCallWatcher* w) {
                         onReply(w->reply());
                         w->deleteLater();
                     });
}

}  // namespace

void askTimeSyncOffer(std::function<void(bool)> answer) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("GetAll"));
    call << QString::fromLatin1(kService);
    callTimedated(call, [answer = std::move(answer)](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return answer(false);
        const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().first());
        answer(properties.value(QStringLiteral("CanNTP")).toBool() &&
               !properties.value(QStringLiteral("NTP")).toBool());
    });
}

void turnOnTimeSync(std::function<void(const std::string&)> done) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QString::fromLatin1(kService), QStringLiteral("SetNTP"));
    call << true << true;  // on; interactive: polkit may ask for a password
    call.setInteractiveAuthorizationAllowed(true);
    callTimedated(call, [done = std::move(done)](const QDBusMessage& reply) {
        done(reply.type() == QDBusMessage::ErrorMessage
                 ? (reply.errorName() + QStringLiteral(" ") + reply.errorMessage()).toStdString()
                 : std::string());
    });
}

}  // namespace tolvane
