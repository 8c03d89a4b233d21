// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QCryptographicHash>

#include "base/PathText.h"
#include "platform/InstanceChannel.h"

namespace tolvane {

QString SingleInstance::baseName(const std::string& dataFolder) {
    const std::string canonical = FileSystem::platform()->canonicalPath(dataFolder);
    return QStringLiteral("tolvane-") +
           QString::fromLatin1(QCryptographicHash::hash(QByteArray::fromStdString(canonical),
                                                        QCryptographicHash::Sha1)
                                   .toHex()
                                   .left(16));
}

QString SingleInstance::serverName(const std::string& dataFolder) {
    return InstanceChannel(baseName(dataFolder)).name();
}

SingleInstance::SingleInstance(std::string dataFolder, QObject* parent)
    : QObject(parent),
      m_dataFolder(std::move(dataFolder)),
      m_channel(std::make_unique<InstanceChannel>(baseName(m_dataFolder))) {
    m_channel->onShowRequested = [this] { onShowRequested(); };
    m_channel->onToggleRequested = [this] { onToggleRequested(); };
}

bool SingleInstance::askRunningToToggle(const std::string& dataFolder) {
    return InstanceChannel(baseName(dataFolder)).askToToggle();
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim() {
    switch (m_lock.take(m_dataFolder)) {
        case RingerLock::Outcome::kHeldElsewhere:
            return m_channel->askToShow() ? Claim::kShownOther : Claim::kOtherUnknown;
        case RingerLock::Outcome::kUnavailable:
            m_lockProblem = m_lock.problem();
            return Claim::kNoLock;
        case RingerLock::Outcome::kTaken:
            m_lockProblem = m_lock.problem();
            break;
    }
    m_channel->listen();
    return Claim::kFirst;
}

}  // namespace tolvane
