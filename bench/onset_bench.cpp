// SPDX-License-Identifier: GPL-3.0-or-later
// Bell onset and tick coverage on the real clock, printing figures (no pass or fail).
//
//   onset_bench onset N FILE    N bells two seconds apart, each playing FILE through the real
//                               Playback service: the time from each bell's second boundary to
//                               its first samples handed to the audio output.
//   onset_bench coverage SECONDS  a bell for every second of the run, with another thread keeping
//                               a second core busy: how many seconds were ticked exactly once.
//   onset_bench naive-onset N FILE, onset_bench naive-coverage SECONDS
//                               the same with a naive baseline: a free-running 1000 ms timer
//                               ticking whatever second it reads, started at an arbitrary phase.
//
// The sound server is the default one (bench/run-onset.sh starts a private PulseAudio).

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "bells/audio/AudioPlayback.h"
#include "bells/qt/RingController.h"
#include "platform/StartupMemory.h"
#include "schedule/core/Schema.h"
#include "tests/support/TempDir.h"

using namespace tolvane;

namespace {

const std::array<bool, 7> kEveryDay = {true, true, true, true, true, true, true};

// Appends one bell per listed second, named after the second.
void addBells(TableDatabase& db, const Clock& clock, const std::vector<int64_t>& seconds,
              const std::string& music) {
    db.select(schema::kBellAlias);
    for (int64_t s : seconds)
        db.append(bellValues({timeText(clock.toLocal(s)), "", music, kEveryDay, 0}));
}

// The baseline: a plain 1000 ms timer that ticks the second it reads, never catching up and never
// skipping a repeat.
class NaiveTicker {
public:
    NaiveTicker(TableDatabase& db, const Clock& clock, BellSound& sound, PowerOff& off) {
        m_timer.setInterval(1000);
        QObject::connect(&m_timer, &QTimer::timeout, [&db, &clock, &sound, &off] {
            runClockTick(db, clock.toLocal(clock.nowMs() / 1000), ShutdownPlan{}, off, sound);
        });
    }
    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }

private:
    QTimer m_timer;
};

bool g_naive = false;

class NullPowerOff final : public PowerOff {
public:
    void requestPowerOff() override {}
};

int runOnset(int bells, const std::string& file) {
    SystemClock clock;
    test::TempDir dir;
    TableDatabase db;
    openOrCreateTables(db, dir.path());
    const int64_t first = clock.nowMs() / 1000 + 3;
    std::vector<int64_t> due;
    for (int i = 0; i < bells; ++i) due.push_back(first + 2 * i);
    addBells(db, clock, due, file);

    std::mutex mutex;
    std::vector<int64_t> onsetMs;
    PlaybackHooks hooks;
    hooks.onFirstData = [&](const std::string&, const std::string&, bool) {
        const int64_t now = clock.nowMs();
        std::lock_guard<std::mutex> lock(mutex);
        onsetMs.push_back(now % 1000);
    };
    AudioPlayback playback(audioSinkFactory(), hooks);
    PlaylistBellSound sound(playback, [] { return uint64_t{0}; });
    NullPowerOff off;
    RingController controller(db, clock, sound, off);
    NaiveTicker naive(db, clock, sound, off);
    // The baseline starts at whatever phase the process happens to have.
    if (g_naive)
        naive.start();
    else
        controller.setRunning(true);
    // As the programs do, before the first bell: that bell then maps back what it uses.
    QTimer::singleShot(kStartupSettledMs,
                       [] { releaseStartupMemoryInBackground(loadAudioOutput); });
    QTimer::singleShot(static_cast<int>((due.back() + 2) * 1000 - clock.nowMs()), qApp,
                       &QCoreApplication::quit);
    qApp->exec();
    controller.setRunning(false);
    naive.stop();

    std::lock_guard<std::mutex> lock(mutex);
    if (onsetMs.empty()) {
        std::printf("onset: no bell was heard (is a sound server running?)\n");
        return 1;
    }
    // The run's first bell loads and connects what the later ones find ready.
    const int64_t firstMs = onsetMs.front();
    std::sort(onsetMs.begin(), onsetMs.end());
    const auto pct = [&](double p) {
        return onsetMs[static_cast<size_t>(p * double(onsetMs.size() - 1))];
    };
    const char* prefix = g_naive ? "naive_" : "";
    std::printf(
        "%sonset_median %lld ms\n%sonset_p99 %lld ms\n%sonset_max %lld ms\n%sonset_first_bell %lld "
        "ms\n%sonset_bells %zu count\n",
        prefix, static_cast<long long>(pct(0.5)), prefix, static_cast<long long>(pct(0.99)), prefix,
        static_cast<long long>(onsetMs.back()), prefix, static_cast<long long>(firstMs), prefix,
        onsetMs.size());
    return 0;
}

class CountingSound final : public BellSound {
public:
    void start(const std::string& music, const std::string&) override { ++counts[music]; }
    void stop() override {}
    std::map<std::string, int> counts;
};

int runCoverage(int seconds) {
    SystemClock clock;
    test::TempDir dir;
    TableDatabase db;
    openOrCreateTables(db, dir.path());
    const int64_t first = clock.nowMs() / 1000 + 2;
    db.select(schema::kBellAlias);
    for (int64_t s = first; s < first + seconds; ++s)
        db.append(bellValues({timeText(clock.toLocal(s)), "", std::to_string(s), kEveryDay, 0}));

    std::atomic<bool> busy{true};
    std::thread burner([&] {
        volatile uint64_t x = 0;
        while (busy) x = x + 1;
    });
    CountingSound sound;
    NullPowerOff off;
    RingController controller(db, clock, sound, off);
    NaiveTicker naive(db, clock, sound, off);
    if (g_naive)
        naive.start();
    else
        controller.setRunning(true);
    QTimer::singleShot(static_cast<int>((first + seconds) * 1000 + 500 - clock.nowMs()), qApp,
                       &QCoreApplication::quit);
    qApp->exec();
    busy = false;
    burner.join();

    int once = 0, twice = 0, missed = 0;
    for (int64_t s = first; s < first + seconds; ++s) {
        const int n = sound.counts[std::to_string(s)];
        once += n == 1;
        twice += n > 1;
        missed += n == 0;
    }
    const char* prefix = g_naive ? "naive_" : "";
    std::printf(
        "%sseconds_ticked_once %.3f %%\n%sseconds_missed %d count\n%sseconds_ticked_twice %d "
        "count\n",
        prefix, 100.0 * once / seconds, prefix, missed, prefix, twice);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int status = 2;
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode.rfind("naive-", 0) == 0) {
        g_naive = true;
        mode = mode.substr(6);
    }
    if (argc == 4 && mode == "onset")
        status = runOnset(std::atoi(argv[2]), argv[3]);
    else if (argc == 3 && mode == "coverage")
        status = runCoverage(std::atoi(argv[2]));
    else
        std::fprintf(
            stderr,
            "usage: onset_bench [naive-]onset N FILE | onset_bench [naive-]coverage SECONDS\n");
    std::fflush(stdout);
    std::_Exit(status);  // as tolvanectl: no static teardown at exit
}
