// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The local channel by which a second start asks the running program to show its window, and
// `tolvane --toggle` to show or hide it (a desktop shortcut's command where no global key can be
// had): a Unix
// socket on Linux (in the user's runtime folder), a named pipe on Windows. One end listens in the
// running program, on its event loop; the other sends one request and closes.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

namespace tolvane {

class InstanceChannel final : public QObject {
    Q_OBJECT
public:
    // baseName: the same for every start in one folder ("tolvane-<hash>").
    explicit InstanceChannel(const QString& baseName, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The name as the system knows it: a socket path on Linux, a pipe name on Windows.
    const QString& name() const { return m_name; }
    // Sends the show request to the program listening under the name, waiting a few seconds for
    // one that is still starting; false when none answered.
    bool askToShow() const;
    // Sends the toggle request to a program listening now (not waiting for one that starts);
    // false when none answered.
    bool askToToggle() const;
    // Listens under the name from now on, taking it over from a program that died (the caller
    // holds the folder's lock). A caller is never waited for: one that connects and says nothing
    // does not hold up the event loop. Without a channel the program still runs.
    void listen();

    std::function<void()> onShowRequested = [] {};
    std::function<void()> onToggleRequested = [] {};

private:
    bool send(std::string_view request, int attempts) const;
    struct Listener;
    QString m_name;
    std::unique_ptr<Listener> m_listener;
};

}  // namespace tolvane
