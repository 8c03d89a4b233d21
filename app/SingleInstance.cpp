#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QThread>

#include "base/PathText.h"

namespace tolvane {

namespace {
constexpr QByteArrayView kShowRequest = "show\n";
// The running program may have taken the lock a moment ago and not yet be listening.
constexpr int kConnectAttempts = 30;
constexpr int kConnectPauseMs = 100;
constexpr int kTalkTimeoutMs = 1000;
}  // namespace

SingleInstance::SingleInstance(std::string dataFolder, QObject* parent)
    : QObject(parent), m_dataFolder(std::move(dataFolder)) {}

SingleInstance::~SingleInstance() {
    m_server.close();
}

QString SingleInstance::serverName(const std::string& dataFolder) {
    const std::string canonical = FileSystem::platform()->canonicalPath(dataFolder);
    const QString name =
        QStringLiteral("tolvane-") +
        QString::fromLatin1(
            QCryptographicHash::hash(QByteArray::fromStdString(canonical), QCryptographicHash::Sha1)
                .toHex()
                .left(16));
#ifdef _WIN32
    return name;
#else
    // Each user's own runtime folder: no other user's stale socket can be in the way.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? name : runtime + QLatin1Char('/') + name;
#endif
}

SingleInstance::Claim SingleInstance::claim() {
    switch (m_lock.take(m_dataFolder)) {
        case RingerLock::Outcome::kHeldElsewhere:
            return askOtherToShow() ? Claim::kShownOther : Claim::kOtherUnknown;
        case RingerLock::Outcome::kUnavailable:
            // A folder where no lock file can be made: better two ringers than none.
            m_lockProblem = m_lock.problem();
            break;
        case RingerLock::Outcome::kTaken:
            break;
    }
    listen();
    return Claim::kFirst;
}

bool SingleInstance::askOtherToShow() const {
    QLocalSocket socket;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        socket.connectToServer(serverName(m_dataFolder));
        if (socket.waitForConnected(kTalkTimeoutMs)) break;
        QThread::msleep(kConnectPauseMs);
    }
    if (socket.state() != QLocalSocket::ConnectedState) return false;
    socket.write(kShowRequest.data(), kShowRequest.size());
    const bool sent = socket.waitForBytesWritten(kTalkTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kTalkTimeoutMs);
    return sent;
}

void SingleInstance::listen() {
    const QString name = serverName(m_dataFolder);
    // We hold the folder's lock, so a socket left under this name is a dead program's.
    QLocalServer::removeServer(name);
    if (!m_server.listen(name)) return;  // the program still rings; a second start just says so
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().startsWith(kShowRequest.toByteArray().trimmed()))
                    onShowRequested();
            });
        }
    });
}

}  // namespace tolvane
