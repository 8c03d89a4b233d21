// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include "platform/InstanceChannel.h"

namespace tolvane {

namespace {
constexpr QByteArrayView kShowRequest = "show\n";
constexpr QByteArrayView kToggleRequest = "toggle\n";
// The running program may have taken the lock a moment ago and not yet be listening.
constexpr int kConnectAttempts = 30;
constexpr int kConnectPauseMs = 100;
constexpr int kTalkTimeoutMs = 1000;
}  // namespace

// A named pipe, through Qt's local socket.
struct InstanceChannel::Listener {
    QLocalServer server;
};

InstanceChannel::InstanceChannel(const QString& baseName, QObject* parent)
    : QObject(parent), m_name(baseName) {}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::askToShow() const {
    return send(std::string_view(kShowRequest.data(), kShowRequest.size()), kConnectAttempts);
}

bool InstanceChannel::askToToggle() const {
    return send(std::string_view(kToggleRequest.data(), kToggleRequest.size()), 1);
}

bool InstanceChannel::send(std::string_view request, int attempts) const {
    QLocalSocket socket;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) QThread::msleep(kConnectPauseMs);
        socket.connectToServer(m_name);
        if (socket.waitForConnected(kTalkTimeoutMs)) break;
    }
    if (socket.state() != QLocalSocket::ConnectedState) return false;
    socket.write(request.data(), static_cast<qint64>(request.size()));
    const bool sent = socket.waitForBytesWritten(kTalkTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kTalkTimeoutMs);
    return sent;
}

void InstanceChannel::listen() {
    m_listener = std::make_unique<Listener>();
    QLocalServer& server = m_listener->server;
    const QString& name = m_name;
    // We hold the folder's lock, so a pipe left under this name is a dead program's.
    QLocalServer::removeServer(name);
    if (!server.listen(name)) return;  // the program still rings; a second start just says so
    connect(&server, &QLocalServer::newConnection, this, [this, &server] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const QByteArray said = socket->readAll();
                if (said.startsWith(kShowRequest.toByteArray().trimmed())) onShowRequested();
                if (said.startsWith(kToggleRequest.toByteArray().trimmed())) onToggleRequested();
            });
        }
    });
}

}  // namespace tolvane
