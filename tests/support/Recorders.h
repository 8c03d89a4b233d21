// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Test doubles for what the clock tick drives: they record calls in order.

#include <string>
#include <vector>

#include "bells/core/ClockTick.h"
#include "bells/core/PlayList.h"

namespace tolvane::test {

class RecordingSound final : public BellSound, public PowerOff {
public:
    void start(const std::string& music, const std::string& speech) override {
        calls.push_back("start " + music + (speech.empty() ? "" : " 说 " + speech));
    }
    void stop() override { calls.push_back("stop"); }
    void prepare(const std::string& music, const std::string&) override {
        prepared.push_back(music);
    }
    bool preparesAhead() const override { return true; }
    void requestPowerOff() override { calls.push_back("power-off"); }
    std::vector<std::string> take() { return std::exchange(calls, {}); }

    std::vector<std::string> calls;
    std::vector<std::string> prepared;  // apart: the sound's calls are what is heard
};

class RecordingPlayback final : public PlaybackService {
public:
    struct Call {
        std::vector<std::string> list;
        int count;
        bool isStop;
    };
    void play(const std::vector<std::string>& list, int count) override {
        calls.push_back({list, count, false});
    }
    void stop() override { calls.push_back({{}, 0, true}); }
    void prepare(const std::vector<std::string>& list, int) override { prepared.push_back(list); }

    std::vector<Call> calls;
    std::vector<std::vector<std::string>> prepared;
};

}  // namespace tolvane::test
