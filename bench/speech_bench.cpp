// SPDX-License-Identifier: GPL-3.0-or-later
// Speech made ahead: a notice of 100 Chinese characters read into an MP3 (the child process, the
// voice, the encoder), at the normal rate and at the slowest, as a school's longest would be.
#include <benchmark/benchmark.h>

#include <string>

#include "speech/make/SpeechMaking.h"

namespace {

// 100 characters of a school's notice, numbers and a time among them.
std::string notice() {
    std::string text;
    const std::string sentence = "请各班班主任在14:30到三楼会议室开会，第3节课后各班打扫卫生。";
    while (text.size() < 100 * 3) text += sentence;
    return text.substr(0, 100 * 3);
}

void BM_Speech100Characters(benchmark::State& state) {
    const std::string text = notice();
    const int rate = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto mp3 = tolvane::speechMp3(text, {"", rate});
        if (!mp3.isOk()) state.SkipWithError(mp3.status().message().c_str());
        benchmark::DoNotOptimize(mp3);
    }
}
BENCHMARK(BM_Speech100Characters)->Arg(0)->Arg(-10)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
