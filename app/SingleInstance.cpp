#include "app/SingleInstance.h"

#include <QCryptographicHash>

#include "base/PathText.h"

namespace tolvane {

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

}  // namespace tolvane
