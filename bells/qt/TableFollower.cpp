// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/qt/TableFollower.h"

#include "base/PathText.h"
#include "bells/core/RingRequest.h"
#include "schedule/core/Calendar.h"
#include "settings/core/ProgramOptions.h"

namespace tolvane {

TableFollower::TableFollower(TableDatabase& db, std::string dataFolder, QObject* parent)
    : QObject(parent), m_db(db), m_dataFolder(std::move(dataFolder)) {
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        check();
        onPolled();
    });
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &TableFollower::check);
    const auto soon = [this] { m_settle.start(); };
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, soon);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, soon);
    m_watcher.addPath(QString::fromStdString(m_dataFolder));
    watchFiles();
    m_options = optionsIdentity();
}

std::optional<FileIdentity> TableFollower::optionsIdentity() const {
    auto identity = FileSystem::platform()->identity(joinPath(m_dataFolder, kOptionsFile));
    return identity.isOk() ? std::optional<FileIdentity>(identity.value()) : std::nullopt;
}

void TableFollower::watchFiles() {
    // A file replaced by rename (or made anew) loses its watch: put it on the new file.
    for (const char* file :
         {schema::kBellFile, schema::kSettingsFile, schema::kCalendarFile, kOptionsFile}) {
        const QString path = QString::fromStdString(joinPath(m_dataFolder, file));
        if (!m_watcher.files().contains(path)) m_watcher.addPath(path);
    }
}

void TableFollower::check() {
    const ReloadedTables reloaded = reloadChangedTables(m_db);
    // Only a file that changed can have been replaced; the check runs every second at rest.
    if (reloaded.any() || !reloaded.errors.empty()) watchFiles();
    // What cannot be read is said when it changes, also when it is gone: a damaged file made
    // whole again, or replaced, is no longer a problem.
    const bool newErrors = reloaded.errors != m_lastErrors || reloaded.damaged != m_lastDamaged;
    m_lastErrors = reloaded.errors;
    m_lastDamaged = reloaded.damaged;
    if (reloaded.any() || newErrors) onReloaded(reloaded);
    if (auto options = optionsIdentity(); options != m_options) {
        m_options = options;
        watchFiles();
        onOptionsChanged();
    }
    if (ringRequestWaiting(*FileSystem::platform(), m_dataFolder)) onRequestWaiting();
}

void TableFollower::setPolling(bool on) {
    if (on)
        m_poll.start();
    else
        m_poll.stop();
}

}  // namespace tolvane
