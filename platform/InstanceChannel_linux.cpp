// SPDX-License-Identifier: GPL-3.0-or-later
// The local socket as the system gives it: a Unix stream socket and the event loop's notifier. A
// second start only connects and writes one line, and this keeps the program from loading a
// network library (and the Kerberos and proxy libraries behind it) at every start for that.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "platform/InstanceChannel.h"

namespace tolvane {

namespace {
constexpr std::string_view kShowRequest = "show\n";
constexpr std::string_view kToggleRequest = "toggle\n";
// The running program may have taken the lock a moment ago and not yet be listening.
constexpr int kConnectAttempts = 30;
constexpr int kConnectPauseMs = 100;

// Where the socket lives: the name as a path, or, without a runtime folder, in the temporary
// folder (as earlier versions of the program, through Qt's local socket, put it).
std::optional<sockaddr_un> socketAddress(const QString& name) {
    const QString path = QDir::isAbsolutePath(name) ? name : QDir::tempPath() + u'/' + name;
    const QByteArray bytes = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<size_t>(bytes.size()) >= sizeof(address.sun_path)) return std::nullopt;
    std::memcpy(address.sun_path, bytes.constData(), static_cast<size_t>(bytes.size()));
    return address;
}

int unixSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

bool sendAll(int socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}
}  // namespace

struct InstanceChannel::Listener {
    int socket = -1;
    std::string path;
    std::unique_ptr<QSocketNotifier> incoming;
    // The connections not yet read to their end: their sockets and what came so far.
    struct Caller {
        std::unique_ptr<QSocketNotifier> readable;
        std::string received;
    };
    std::map<int, Caller> callers;

    void admit(int caller, InstanceChannel& owner);

    ~Listener() {
        for (auto& [fd, caller] : callers) {
            caller.readable.reset();
            ::close(fd);
        }
        incoming.reset();
        if (socket < 0) return;
        ::close(socket);
        ::unlink(path.c_str());
    }
};

InstanceChannel::InstanceChannel(const QString& baseName, QObject* parent) : QObject(parent) {
    // Each user's own runtime folder: no other user's stale socket can be in the way.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    m_name = runtime.isEmpty() ? baseName : runtime + QLatin1Char('/') + baseName;
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::askToShow() const {
    return send(kShowRequest, kConnectAttempts);
}

bool InstanceChannel::askToToggle() const {
    return send(kToggleRequest, 1);
}

bool InstanceChannel::send(std::string_view request, int attempts) const {
    const std::optional<sockaddr_un> address = socketAddress(m_name);
    if (!address) return false;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) QThread::msleep(kConnectPauseMs);
        const int socket = unixSocket();
        if (socket < 0) return false;
        if (::connect(socket, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0) {
            // The line stays in the socket for the running program after this end is closed.
            const bool sent = sendAll(socket, request);
            ::close(socket);
            return sent;
        }
        ::close(socket);
    }
    return false;
}

void InstanceChannel::listen() {
    const std::optional<sockaddr_un> address = socketAddress(m_name);
    if (!address) return;  // the program still rings; a second start just says so
    auto listener = std::make_unique<Listener>();
    listener->path = address->sun_path;
    // We hold the folder's lock, so a socket left under this name is a dead program's.
    ::unlink(listener->path.c_str());
    listener->socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener->socket < 0) return;
    if (::bind(listener->socket, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) !=
            0 ||
        ::listen(listener->socket, SOMAXCONN) != 0) {
        ::close(listener->socket);
        listener->socket = -1;  // nothing of ours to close or remove
        return;
    }
    m_listener = std::move(listener);
    m_listener->incoming =
        std::make_unique<QSocketNotifier>(m_listener->socket, QSocketNotifier::Read);
    connect(m_listener->incoming.get(), &QSocketNotifier::activated, this, [this] {
        int caller;
        while ((caller = ::accept4(m_listener->socket, nullptr, nullptr,
                                   SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0)
            m_listener->admit(caller, *this);
    });
}

// A caller is read whenever it has written, never waited for: one that connects and says nothing
// must not hold up the clock. What it says is decided on at its first line's length.
void InstanceChannel::Listener::admit(int caller, InstanceChannel& owner) {
    Caller& entry = callers[caller];
    entry.readable = std::make_unique<QSocketNotifier>(caller, QSocketNotifier::Read);
    connect(entry.readable.get(), &QSocketNotifier::activated, &owner, [this, caller, &owner] {
        Caller& from = callers.at(caller);
        char buffer[16];
        const ssize_t got = ::recv(caller, buffer, sizeof buffer, 0);
        if (got > 0) from.received.append(buffer, static_cast<size_t>(got));
        const bool ended = got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR);
        if (!ended && from.received.size() < kShowRequest.size()) return;
        const bool show = from.received.starts_with(kShowRequest.substr(0, 4));
        const bool toggle = from.received.starts_with(kToggleRequest.substr(0, 4));
        // Removed from within its own signal: the notifier goes once the signal has returned.
        from.readable->setEnabled(false);
        from.readable.release()->deleteLater();
        callers.erase(caller);
        ::close(caller);
        if (show) owner.onShowRequested();
        if (toggle) owner.onToggleRequested();
    });
}

}  // namespace tolvane
