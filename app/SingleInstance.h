// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One ringer per program folder. The program holds a lock in the folder of its tables for as long
// as it runs (the system releases it when the process dies, so a crash never blocks the next
// start). A second start in the same folder rings nothing: it asks the running program, over a
// local socket named after the folder, to show its window, and ends.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "bells/core/RingerLock.h"

namespace tolvane {

class InstanceChannel;

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        kFirst,         // this program rings; show requests arrive through onShowRequested
        kShownOther,    // another program rings from the folder and was asked to show itself
        kOtherUnknown,  // another program holds the folder but did not answer (another user's)
        kNoLock,        // no lock can be had in the folder (lockProblem() says why): ring nothing
    };
    explicit SingleInstance(std::string dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    Claim claim();
    // Why the lock could not be had (kNoLock), or what it leaves out (kFirst); empty when whole.
    const std::string& lockProblem() const { return m_lockProblem; }

    // The local channel's name: the same for every start in one folder, another for each folder.
    static QString serverName(const std::string& dataFolder);

    std::function<void()> onShowRequested = [] {};
    std::function<void()> onToggleRequested = [] {};

    // `tolvane --toggle`: asks the program ringing from the folder to show or hide its window;
    // false when none runs there (for this user).
    static bool askRunningToToggle(const std::string& dataFolder);

private:
    static QString baseName(const std::string& dataFolder);

    std::string m_dataFolder;
    RingerLock m_lock;
    std::string m_lockProblem;
    std::unique_ptr<InstanceChannel> m_channel;
};

}  // namespace tolvane
