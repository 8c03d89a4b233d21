// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include "platform/GlobalShortcutsPortal.h"

namespace tolvane {

namespace {

constexpr char kService[] = "org.freedesktop.portal.Desktop";
constexpr char kPath[] = "/org/freedesktop/portal/desktop";
constexpr char kInterface[] = "org.freedesktop.portal.GlobalShortcuts";
constexpr char kShortcutId[] = "toggle-window";
// The desktop may show the user a dialog to confirm the key.
constexpr int kAnswerWaitMs = 60'000;

// One shortcut as BindShortcuts takes it: (id, {description, preferred_trigger}).
struct Shortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& out, const Shortcut& shortcut) {
    out.beginStructure();
    out << shortcut.id << shortcut.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, Shortcut& shortcut) {
    in.beginStructure();
    in >> shortcut.id >> shortcut.properties;
    in.endStructure();
    return in;
}

}  // namespace

}  // namespace tolvane

Q_DECLARE_METATYPE(tolvane::Shortcut)

namespace tolvane {

GlobalShortcutsPortal::GlobalShortcutsPortal(QObject* parent) : QObject(parent) {
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Every request's answer, whichever object it comes from: matched to its call by path.
    bus.connect(kService, QString(), QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
}

GlobalShortcutsPortal::~GlobalShortcutsPortal() {
    unbind();
}

void GlobalShortcutsPortal::response(uint code, const QVariantMap& results) {
    m_responses[message().path()] = {code, results};
}

void GlobalShortcutsPortal::activated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                      const QVariantMap&) {
    if (session.path() == m_session && id == QLatin1String(kShortcutId) && onActivated)
        onActivated();
}

std::optional<QVariantMap> GlobalShortcutsPortal::request(const QString& method,
                                                          const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    call.setInteractiveAuthorizationAllowed(true);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const QString path = qvariant_cast<QDBusObjectPath>(reply.arguments().first()).path();
    // The answer may have come before the reply; else it is waited for, events running.
    QEventLoop loop;
    QTimer poll;
    const QDeadlineTimer deadline(kAnswerWaitMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (m_responses.count(path) || deadline.hasExpired()) loop.quit();
    });
    poll.start(20);
    if (!m_responses.count(path)) loop.exec();
    const auto answer = m_responses.find(path);
    if (answer == m_responses.end()) return std::nullopt;
    const auto [code, results] = answer->second;
    m_responses.erase(answer);
    if (code != 0) return std::nullopt;  // 1: the user refused; 2: the desktop did
    return results;
}

bool GlobalShortcutsPortal::bind(QString* trigger) {
    if (!m_session.isEmpty()) return true;
    const QString token = QStringLiteral("tolvane%1").arg(++m_tokens);
    const auto session = request(QStringLiteral("CreateSession"),
                                 {QVariantMap{{QStringLiteral("handle_token"), token},
                                              {QStringLiteral("session_handle_token"), token}}});
    if (!session) return false;
    const QVariant handle = session->value(QStringLiteral("session_handle"));
    m_session = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                     : handle.toString();
    if (m_session.isEmpty()) return false;
    const QList<Shortcut> shortcuts{
        {QString::fromLatin1(kShortcutId),
         {{QStringLiteral("description"), QStringLiteral("Show or hide Tolvane")},
          {QStringLiteral("preferred_trigger"), QStringLiteral("SHIFT+t")}}}};
    const auto bound = request(
        QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString(),
         QVariantMap{{QStringLiteral("handle_token"), token + QStringLiteral("b")}}});
    if (!bound) {
        unbind();
        return false;
    }
    if (trigger) {
        QList<Shortcut> given;
        bound->value(QStringLiteral("shortcuts")).value<QDBusArgument>() >> given;
        *trigger =
            given.isEmpty()
                ? QString()
                : given.first().properties.value(QStringLiteral("trigger_description")).toString();
    }
    return true;
}

void GlobalShortcutsPortal::unbind() {
    if (m_session.isEmpty()) return;
    QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(kService, m_session,
                                       QStringLiteral("org.freedesktop.portal.Session"),
                                       QStringLiteral("Close")),
        QDBus::NoBlock);
    m_session.clear();
}

}  // namespace tolvane
