// SPDX-License-Identifier: GPL-3.0-or-later
// The clock tick over a schedule of 1,000 bells (target: 50 µs a tick).

#include <benchmark/benchmark.h>

#include <cstdio>

#include "bells/core/ClockTick.h"
#include "schedule/core/Schema.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

class NoSound final : public BellSound, public PowerOff {
public:
    void start(const std::string&, const std::string&) override { ++starts; }
    void stop() override {}
    void requestPowerOff() override {}
    int starts = 0;
};

void BM_ClockTick1000Bells(benchmark::State& state) {
    test::TempDir dir;
    TableDatabase::Options o;
    o.sync = false;
    TableDatabase db(o);
    openOrCreateTables(db, dir.path());
    db.select(schema::kBellAlias);
    for (int i = 0; i < 1000; ++i) {
        const int s = 6 * 3600 + i * 37;
        char start[16], end[16];
        std::snprintf(start, sizeof start, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        std::snprintf(end, sizeof end, "%02d:%02d:%02d", (s + 20) / 3600, (s + 20) / 60 % 60,
                      (s + 20) % 60);
        db.append(bellValues({start,
                              end,
                              "/bells/b" + std::to_string(i) + ".mp3",
                              {true, true, true, true, true, false, false},
                              s}));
    }
    NoSound sound;
    const ShutdownPlan shutdown{true, "21:30:00"};
    int64_t second = civilToEpochSeconds(2026, 12, 7, 8, 0, 0);
    const ManualClock civil;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runClockTick(db, civil.toLocal(second++), shutdown, sound, sound));
    }
    state.counters["bells"] = 1000;
}
BENCHMARK(BM_ClockTick1000Bells)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tolvane

BENCHMARK_MAIN();
