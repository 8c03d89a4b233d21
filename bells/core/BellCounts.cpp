// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/BellCounts.h"

#include <charconv>
#include <chrono>

#include "base/PathText.h"

namespace tolvane {

namespace {

int64_t systemNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

template <typename Number>
bool readNumber(std::string_view text, Number* number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

void BellCounts::countHeard(int64_t lateMs, int64_t nowMs) {
    ++(lateMs > kLateBellMs ? late : heard);
    const double seconds = static_cast<double>(std::max<int64_t>(lateMs, 0)) / 1000.0;
    size_t bucket = 0;
    while (bucket < kLatenessBuckets.size() && seconds > kLatenessBuckets[bucket]) ++bucket;
    ++lateness[bucket];
    latenessSumSeconds += seconds;
    lastHeardMs = nowMs;
}

std::string bellCountsText(const BellCounts& c) {
    std::string text =
        "heard=" + std::to_string(c.heard) + "\nlate=" + std::to_string(c.late) +
        "\nunheard=" + std::to_string(c.unheard) + "\nskipped=" + std::to_string(c.skipped) +
        "\nlast_heard_ms=" + std::to_string(c.lastHeardMs) +
        "\nlateness_sum_us=" + std::to_string(static_cast<int64_t>(c.latenessSumSeconds * 1e6)) +
        "\n";
    for (size_t i = 0; i < c.lateness.size(); ++i)
        text += "lateness" + std::to_string(i) + "=" + std::to_string(c.lateness[i]) + "\n";
    return text;
}

BellCounts bellCountsOfText(std::string_view text) {
    BellCounts c;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        uint64_t n = 0;
        int64_t signedN = 0;
        if (key == "last_heard_ms" && readNumber(value, &signedN)) c.lastHeardMs = signedN;
        if (key == "lateness_sum_us" && readNumber(value, &signedN))
            c.latenessSumSeconds = static_cast<double>(signedN) / 1e6;
        if (!readNumber(value, &n)) continue;
        if (key == "heard") c.heard = n;
        if (key == "late") c.late = n;
        if (key == "unheard") c.unheard = n;
        if (key == "skipped") c.skipped = n;
        for (size_t i = 0; i < c.lateness.size(); ++i)
            if (key == "lateness" + std::to_string(i)) c.lateness[i] = n;
    }
    return c;
}

BellCounts readBellCounts(FileSystem& fs, const std::string& folder) {
    auto text = readWholeFile(fs, joinPath(folder, kBellCountsFile));
    return text.isOk() ? bellCountsOfText(text.value()) : BellCounts{};
}

Status writeBellCounts(FileSystem& fs, const std::string& folder, const BellCounts& counts) {
    return replaceWholeFile(fs, joinPath(folder, kBellCountsFile), bellCountsText(counts));
}

CountingRingLog::CountingRingLog(RingLog& log, BellCounts start, std::function<void()> changed)
    : m_log(log), m_counts(start), m_changed(std::move(changed)) {}

BellCounts CountingRingLog::counts() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_counts;
}

void CountingRingLog::count(const std::function<void(BellCounts&)>& change) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        change(m_counts);
    }
    m_changed();
}

void CountingRingLog::bellHeard(const LocalTime& second, int64_t lateMs) {
    m_log.bellHeard(second, lateMs);
    count([lateMs](BellCounts& c) { c.countHeard(lateMs, systemNowMs()); });
}

void CountingRingLog::bellPlayedUnverified(const LocalTime& second, int64_t lateMs) {
    m_log.bellPlayedUnverified(second, lateMs);
    count([lateMs](BellCounts& c) { c.countHeard(lateMs, systemNowMs()); });
}

void CountingRingLog::bellInaudible(const LocalTime& second, const std::string& why) {
    m_log.bellInaudible(second, why);
    count([](BellCounts& c) { ++c.unheard; });
}

void CountingRingLog::bellSkipped(const std::string& line) {
    m_log.bellSkipped(line);
    count([](BellCounts& c) { ++c.skipped; });
}

}  // namespace tolvane
