// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class QCoreApplication;

namespace tolvane::cli {

// An end asked of the ringer from another thread (Windows' service manager), whether before the
// ringer is up or while it rings: remembered until a handler is there, then handed to it once.
class EndRequest {
public:
    void ask(const std::string& why);
    // Hands on a remembered request at once. An empty handler forgets the last one.
    void setHandler(std::function<void(const std::string& why)> handler);

private:
    std::mutex m_mutex;
    std::function<void(const std::string&)> m_handler;
    std::optional<std::string> m_pending;
};

// How the headless ringer is fronted: from a terminal (tolvanectl ring) or as a service.
struct RingFront {
    bool echoLog = false;                      // the ring log on stdout too
    std::string startNote = "无窗口打铃启动";  // the ring log's first line
    std::string endNote = "无窗口打铃结束";    // and its last
    EndRequest* endAsked = nullptr;            // another way to be ended, besides the signals
    std::function<void()> ringing;             // told once the plan runs
};

// Rings the schedule in dir without a window until the system or front ends it: the program's
// clock tick, play lists, playback, power-off and sleep inhibitor, under the folder's one-ringer
// lock, following table changes. Returns the process's exit status.
int ringFolder(QCoreApplication& app, const std::string& dir, const RingFront& front);

// tolvanectl ring: ringFolder from a terminal, the ring log echoed to stdout, until SIGTERM or
// Ctrl+C.
int ringCommand(int argc, char** argv, const std::string& dir);

// tolvanectl service install [DIR] | remove | run DIR (Windows): the ringer as a Windows service
// that rings from boot with nobody logged in.
int serviceCommand(int argc, char** argv, const std::vector<std::string>& args);

// The ring log of dir, oldest first; only the lines of day ("YYYY-MM-DD") when given.
int logCommand(const std::string& dir, const std::string& day);

}  // namespace tolvane::cli
