// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Follows the program's table files while it runs: when anyone else changes db.edb, px.edb or
// xl.edb (tolvanectl, an administrator's editor, a copy arriving from a synchronised folder) the
// tables are read again within a second; a changed options file (tolvane.conf) is reported too. The
// folder is watched, since files arrive by rename; and the files' identity is compared once a
// second, since network folders send no notification.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "schedule/core/Schema.h"

namespace tolvane {

class TableFollower final : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 1000;
    // A rename arrives as several notifications; one check after the last of them.
    static constexpr int kSettleMs = 20;

    TableFollower(TableDatabase& db, std::string dataFolder, QObject* parent = nullptr);

    // Reads again what changed and reports it; what each notification and poll comes to.
    void check();
    // The once-a-second comparison, for when nothing else calls check() every second (the
    // clock timer does while the plan runs).
    void setPolling(bool on);

    // After tables were read again (and on failures, once per distinct error).
    std::function<void(const ReloadedTables&)> onReloaded = [](const ReloadedTables&) {};
    // After the options file appeared, changed or went (its state at construction is the first).
    std::function<void()> onOptionsChanged = [] {};
    // A request from another process (tolvane.request) waits to be taken.
    std::function<void()> onRequestWaiting = [] {};
    // After each poll of setPolling: the second of a paused plan.
    std::function<void()> onPolled = [] {};

private:
    void watchFiles();
    std::optional<FileIdentity> optionsIdentity() const;

    TableDatabase& m_db;
    std::string m_dataFolder;
    QFileSystemWatcher m_watcher;
    QTimer m_poll;
    QTimer m_settle;
    std::vector<std::string> m_lastErrors;
    std::vector<DamagedTable> m_lastDamaged;
    std::optional<FileIdentity> m_options;
};

}  // namespace tolvane
