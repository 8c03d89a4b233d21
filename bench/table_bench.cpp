// SPDX-License-Identifier: GPL-3.0-or-later
// Append, Find and Purge on a 10,000-record Bell schedule table, on real files.
// Run: build/bin/table_bench (configure with -DTOLVANE_BUILD_BENCH=ON).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "schedule/core/Schema.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

constexpr int kRecords = 10000;

BellRecord bellAt(int i) {
    char start[16];
    std::snprintf(start, sizeof start, "%02d:%02d:%02d", i / 3600 % 24, i / 60 % 60, i % 60);
    return {start,
            "",
            "/srv/bells/ring-" + std::to_string(i) + ".mp3",
            {true, true, true, true, true, false, false},
            i};
}

void fill(TableDatabase& db, const std::string& path, int count) {
    db.create(path, bellTableFields());
    db.open(path, schema::kBellAlias);
    for (int i = 0; i < count; ++i) db.append(bellValues(bellAt(i)));
}

TableDatabase::Options withSync(bool sync) {
    TableDatabase::Options o;
    o.sync = sync;
    return o;
}

// Appends to a new table: 10,000 without syncing, and 500 synced to the disk each, as the program
// does (a synced run of 10,000 would take minutes).
void appendRun(benchmark::State& state, bool sync, int count) {
    for (auto _ : state) {
        test::TempDir dir;
        TableDatabase db(withSync(sync));
        fill(db, dir.file("db.edb"), count);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
void BM_Append10000NoSync(benchmark::State& state) {
    appendRun(state, false, kRecords);
}
void BM_Append500Synced(benchmark::State& state) {
    appendRun(state, true, 500);
}
BENCHMARK(BM_Append10000NoSync)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Append500Synced)->Unit(benchmark::kMillisecond);

// Find of the last record's start time, walking all 10,000 from the first.
void BM_Find10000(benchmark::State& state) {
    test::TempDir dir;
    TableDatabase db(withSync(false));
    fill(db, dir.file("db.edb"), kRecords);
    const std::string wanted = bellAt(kRecords - 1).start;
    for (auto _ : state) {
        db.goFirst();
        const bool found = db.find([&] { return db.readText(schema::kStart).value() == wanted; });
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_Find10000)->Unit(benchmark::kMicrosecond);

// Purge of a 10,000-record table with one record deleted, synced as in the program.
void BM_Purge10000(benchmark::State& state) {
    test::TempDir dir;
    TableDatabase db(withSync(true));
    {
        TableDatabase filler(withSync(false));
        fill(filler, dir.file("db.edb"), kRecords);
    }
    db.open(dir.file("db.edb"), schema::kBellAlias);
    for (auto _ : state) {
        state.PauseTiming();
        db.goFirst();
        db.deleteCurrent();
        db.append(bellValues(bellAt(0)));
        state.ResumeTiming();
        db.purge();
    }
}
BENCHMARK(BM_Purge10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvane

BENCHMARK_MAIN();
