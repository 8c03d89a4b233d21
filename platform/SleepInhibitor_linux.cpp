#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>

#include "platform/SleepInhibitor.h"

namespace tolvane {

namespace {
constexpr int kAnswerTimeoutMs = 2000;
}

LogindSleepInhibitor::LogindSleepInhibitor() = default;

LogindSleepInhibitor::~LogindSleepInhibitor() {
    release();
}

std::string LogindSleepInhibitor::hold() {
    if (m_fd >= 0) return "";
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return "保持唤醒：没有系统总线，不能阻止休眠";
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", "Inhibit");
    call << QStringLiteral("sleep:idle") << QStringLiteral("Tolvane")
         << QStringLiteral("Bells are due") << QStringLiteral("block");
    const QDBusReply<QDBusUnixFileDescriptor> reply =
        bus.call(call, QDBus::Block, kAnswerTimeoutMs);
    if (!reply.isValid())
        return "保持唤醒：logind 不能阻止休眠（" + reply.error().message().toStdString() + "）";
    // Ours to keep: the reply's copy closes with it.
    m_fd = ::dup(reply.value().fileDescriptor());
    return m_fd >= 0 ? "保持唤醒：已阻止休眠（logind）" : "保持唤醒：logind 的描述符无效";
}

std::string LogindSleepInhibitor::release() {
    if (m_fd < 0) return "";
    ::close(m_fd);
    m_fd = -1;
    return "保持唤醒：已允许休眠";
}

}  // namespace tolvane
