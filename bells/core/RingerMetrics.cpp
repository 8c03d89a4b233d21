// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/RingerMetrics.h"

#include <charconv>

#include "base/PathText.h"
#include "bells/core/RingerStateFile.h"

namespace tolvane {

namespace {

// A label's value: backslash, double quote and line feed escaped, as the format asks.
std::string labelValue(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        if (c == '\n') {
            escaped += "\\n";
            continue;
        }
        escaped += c;
    }
    return escaped;
}

// The shortest text that reads back as value: a timestamp keeps its milliseconds.
std::string number(double value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : "NaN";
}

class Exposition {
public:
    void family(const char* name, const char* type, const char* help) {
        m_text +=
            std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
    }
    void sample(const std::string& name, const std::string& labels, const std::string& value) {
        m_text += name + (labels.empty() ? "" : "{" + labels + "}") + " " + value + "\n";
    }
    void gauge(const char* name, const char* help, const std::string& value) {
        family(name, "gauge", help);
        sample(name, {}, value);
    }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
};

void bellMetrics(Exposition& out, const BellCounts& c) {
    out.family("tolvane_bells_total", "counter",
               "Bells due since counting began, by how they went (heard within 1 s of their "
               "second; late; unheard; skipped, not rung).");
    out.sample("tolvane_bells_total", "result=\"heard\"", std::to_string(c.heard));
    out.sample("tolvane_bells_total", "result=\"late\"", std::to_string(c.late));
    out.sample("tolvane_bells_total", "result=\"unheard\"", std::to_string(c.unheard));
    out.sample("tolvane_bells_total", "result=\"skipped\"", std::to_string(c.skipped));

    out.family("tolvane_bell_lateness_seconds", "histogram",
               "How long after its second each heard bell's first sound reached the output.");
    uint64_t cumulative = 0;
    for (size_t i = 0; i < kLatenessBuckets.size(); ++i) {
        cumulative += c.lateness[i];
        out.sample("tolvane_bell_lateness_seconds_bucket",
                   "le=\"" + number(kLatenessBuckets[i]) + "\"", std::to_string(cumulative));
    }
    cumulative += c.lateness.back();
    out.sample("tolvane_bell_lateness_seconds_bucket", "le=\"+Inf\"", std::to_string(cumulative));
    out.sample("tolvane_bell_lateness_seconds_sum", {}, number(c.latenessSumSeconds));
    out.sample("tolvane_bell_lateness_seconds_count", {}, std::to_string(cumulative));

    if (c.lastHeardMs > 0)
        out.gauge("tolvane_last_bell_heard_timestamp_seconds",
                  "When the last bell was heard, as seconds since the epoch.",
                  number(static_cast<double>(c.lastHeardMs) / 1000.0));
}

std::string flag(bool on) {
    return on ? "1" : "0";
}

}  // namespace

std::string metricsText(const RingerFacts& f) {
    Exposition out;
    out.gauge("tolvane_up", "1 while the ringer runs; 0 once it has ended.", flag(f.up));
    out.family("tolvane_info", "gauge", "The ringer's version, today's timetable and its folder.");
    out.sample("tolvane_info",
               "version=\"" + labelValue(f.version) + "\",timetable=\"" + labelValue(f.timetable) +
                   "\",folder=\"" + labelValue(f.folder) + "\"",
               "1");
    bellMetrics(out, f.counts);
    if (f.nextBellEpochSeconds)
        out.gauge("tolvane_next_bell_timestamp_seconds",
                  "When the next bell is due, as seconds since the epoch (none within two weeks: "
                  "left out).",
                  std::to_string(*f.nextBellEpochSeconds));
    if (f.bellsLeftToday)
        out.gauge("tolvane_bells_left_today",
                  "How many of today's bells are still to start (a ringer missing now misses "
                  "them).",
                  std::to_string(*f.bellsLeftToday));
    if (f.outputPresent)
        out.gauge("tolvane_output_present", "1 when the output the bells play on is there.",
                  flag(*f.outputPresent));
    if (f.outputMuted)
        out.gauge("tolvane_output_muted", "1 when the output the bells play on is muted.",
                  flag(*f.outputMuted));
    if (f.outputVolumeRatio)
        out.gauge("tolvane_output_volume_ratio",
                  "The output's own volume, 0 to 1 of its full volume.",
                  number(*f.outputVolumeRatio));
    if (f.clockSynchronized)
        out.gauge("tolvane_clock_synchronized",
                  "1 when the system says its clock is kept right (NTP).",
                  flag(*f.clockSynchronized));
    out.gauge("tolvane_clock_offset_seconds",
              "How far the school's clock, which the bells follow, is set from the system's.",
              std::to_string(f.clockOffsetSeconds));
    out.gauge("tolvane_paused", "1 while the plan is paused: no bell rings.", flag(f.paused));
    out.family("tolvane_problems", "gauge",
               "What keeps bells from being heard at their second, by kind (as tolvanectl "
               "status says them).");
    for (const auto& [kind, name] : problemKindNames()) {
        size_t n = 0;
        for (const RingerProblem& p : f.problems) n += p.kind == kind;
        out.sample("tolvane_problems", std::string("kind=\"") + name + "\"", std::to_string(n));
    }
    out.gauge("tolvane_web_up", "1 while the office's web page is served.", flag(f.webUp));
    return out.take();
}

Status writeMetricsFile(FileSystem& fs, const std::string& folder, const RingerFacts& facts) {
    return replaceWholeFile(fs, joinPath(folder, kMetricsFile), metricsText(facts));
}

}  // namespace tolvane
