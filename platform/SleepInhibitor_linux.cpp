// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <utility>

#include "platform/SleepInhibitor.h"

namespace tolvane {

namespace {
constexpr int kAnswerTimeoutMs = 2000;
constexpr char kReleased[] = "保持唤醒：已允许休眠";

// The inhibitor's own descriptor (-1 when refused) and logind's answer in words.
std::pair<int, std::string> askLogind() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return {-1, "保持唤醒：没有系统总线，不能阻止休眠"};
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", "Inhibit");
    call << QStringLiteral("sleep:idle") << QStringLiteral("Tolvane")
         << QStringLiteral("Bells are due") << QStringLiteral("block");
    const QDBusReply<QDBusUnixFileDescriptor> reply =
        bus.call(call, QDBus::Block, kAnswerTimeoutMs);
    if (!reply.isValid())
        return {-1,
                "保持唤醒：logind 不能阻止休眠（" + reply.error().message().toStdString() + "）"};
    // Ours to keep: the reply's copy closes with it.
    const int fd = ::dup(reply.value().fileDescriptor());
    return {fd, fd >= 0 ? "保持唤醒：已阻止休眠（logind）" : "保持唤醒：logind 的描述符无效"};
}

}  // namespace

LogindSleepInhibitor::LogindSleepInhibitor() = default;

LogindSleepInhibitor::~LogindSleepInhibitor() {
    release();
    // A question still out keeps its answer to itself: nobody wants the machine awake now.
    if (m_asker.joinable()) m_asker.join();
}

void LogindSleepInhibitor::hold() {
    std::unique_lock lock(m_mutex);
    m_wanted = true;
    if (m_fd >= 0 || m_asking) return;
    m_asking = true;
    // The last asker has said all it had to say: nothing is out while m_asking was false.
    std::thread finished = std::move(m_asker);
    lock.unlock();
    if (finished.joinable()) finished.join();
    lock.lock();
    m_asker = std::thread([this] { ask(); });
}

void LogindSleepInhibitor::ask() {
    auto [fd, answer] = askLogind();
    {
        std::lock_guard lock(m_mutex);
        m_asking = false;
        if (!m_wanted) {
            // Released while logind thought: whatever it gave goes back unused.
            if (fd >= 0) ::close(fd);
            return;
        }
        m_fd = fd;
    }
    onAnswer(answer);
}

void LogindSleepInhibitor::release() {
    {
        std::lock_guard lock(m_mutex);
        m_wanted = false;
        if (m_fd < 0) return;
        ::close(m_fd);
        m_fd = -1;
    }
    onAnswer(kReleased);
}

}  // namespace tolvane
