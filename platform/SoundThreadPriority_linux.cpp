// SPDX-License-Identifier: GPL-3.0-or-later
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/SoundThreadPriority.h"

namespace tolvane {

namespace {

constexpr const char* kRealtimeKit = "org.freedesktop.RealtimeKit1";
constexpr const char* kRealtimeKitPath = "/org/freedesktop/RealtimeKit1";
constexpr uint64_t kAnswerWithinUs = 500'000;
// Below the sound server's own threads (it asks for 5 or more): its mixing comes first, and any
// real-time priority is ahead of every ordinary process.
constexpr uint32_t kRealtimePriority = 1;
constexpr int32_t kRaisedNiceLevel = -11;
// RealtimeKit gives real time only to a process that limits how long a real-time thread may run
// without sleeping. The sound thread sleeps between short writes; running this long means
// something went wrong.
constexpr rlim_t kRunWithoutSleepingAtMostUs = 200'000;

std::atomic<pid_t> g_realtimeThread{0};
static_assert(std::atomic<pid_t>::is_always_lock_free);

// SIGXCPU comes at the soft limit, half the hard one at which the kernel would kill the whole
// ringer: the thread goes back to ordinary scheduling instead, and the bell plays on.
void putBackToOrdinaryScheduling(int) {
    const pid_t thread = g_realtimeThread.load();
    if (thread == 0) return;
    const sched_param ordinary{};
    sched_setscheduler(thread, SCHED_OTHER, &ordinary);
}

struct SystemBus {
    sd_bus* bus = nullptr;
    SystemBus() = default;
    SystemBus(const SystemBus&) = delete;
    SystemBus& operator=(const SystemBus&) = delete;
    ~SystemBus() { sd_bus_flush_close_unref(bus); }
};

struct BusError {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    BusError() = default;
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;
    ~BusError() { sd_bus_error_free(&error); }
    std::string why(int r) const {
        return error.message ? error.message : std::string(std::strerror(-r));
    }
};

// Empty when RealtimeKit did it.
template <typename... Args>
std::string askRealtimeKit(sd_bus* bus, const char* method, const char* types, Args... args) {
    BusError error;
    const int r = sd_bus_call_method(bus, kRealtimeKit, kRealtimeKitPath, kRealtimeKit, method,
                                     &error.error, nullptr, types, args...);
    return r < 0 ? error.why(r) : std::string();
}

template <typename T>
bool readProperty(sd_bus* bus, const char* name, char type, T* value) {
    BusError error;
    return sd_bus_get_property_trivial(bus, kRealtimeKit, kRealtimeKitPath, kRealtimeKit, name,
                                       &error.error, type, value) >= 0;
}

std::string askRealtime(sd_bus* bus, pid_t thread) {
    int32_t maxPriority = 0;
    int64_t longestRunUs = 0;
    if (!readProperty(bus, "MaxRealtimePriority", 'i', &maxPriority) ||
        !readProperty(bus, "RTTimeUSecMax", 'x', &longestRunUs))
        return "RealtimeKit does not answer";
    if (maxPriority < static_cast<int32_t>(kRealtimePriority) || longestRunUs <= 0)
        return "RealtimeKit gives no real-time priority";
    rlimit limit{};
    getrlimit(RLIMIT_RTTIME, &limit);
    const rlim_t hard =
        std::min({limit.rlim_max, kRunWithoutSleepingAtMostUs, static_cast<rlim_t>(longestRunUs)});
    limit = {hard / 2, hard};
    if (setrlimit(RLIMIT_RTTIME, &limit) != 0) return std::strerror(errno);
    struct sigaction guard {};
    guard.sa_handler = putBackToOrdinaryScheduling;
    guard.sa_flags = SA_RESTART;
    sigaction(SIGXCPU, &guard, nullptr);
    g_realtimeThread = thread;  // before the grant, so the guard covers it from the first moment
    std::string refused = askRealtimeKit(bus, "MakeThreadRealtime", "tu",
                                         static_cast<uint64_t>(thread), kRealtimePriority);
    if (!refused.empty()) g_realtimeThread = 0;
    return refused;
}

}  // namespace

SoundThreadPriority raiseThisSoundThread() {
    SystemBus system;
    if (const int r = sd_bus_open_system(&system.bus); r < 0)
        return {false, std::string("no system bus: ") + std::strerror(-r)};
    sd_bus_set_method_call_timeout(system.bus, kAnswerWithinUs);
    const pid_t thread = gettid();
    const std::string noRealtime = askRealtime(system.bus, thread);
    if (noRealtime.empty())
        return {true,
                "real-time priority " + std::to_string(kRealtimePriority) + " from RealtimeKit"};
    const std::string notRaised = askRealtimeKit(system.bus, "MakeThreadHighPriority", "ti",
                                                 static_cast<uint64_t>(thread), kRaisedNiceLevel);
    if (notRaised.empty())
        return {true, "nice level " + std::to_string(kRaisedNiceLevel) +
                          " from RealtimeKit (no real time: " + noRealtime + ")"};
    return {false, "RealtimeKit refused: " + noRealtime};
}

}  // namespace tolvane
