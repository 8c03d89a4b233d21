// SPDX-License-Identifier: GPL-3.0-or-later
// The ringer's facts for a district's monitoring: tolvane.prom in metrics_dir, and the bell counts
// kept beside the tables so they survive a restart.
#include <utility>

#include "base/UiText.h"
#include "platform/FileSystem.h"
#include "ringer/Ringer.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Timetables.h"

#ifndef TOLVANE_VERSION
#define TOLVANE_VERSION "unknown"
#endif

namespace tolvane {

RingerFacts Ringer::metricsFacts(const RingerState& state) {
    RingerFacts f;
    f.version = TOLVANE_VERSION;
    f.folder = m_folder;
    f.counts = m_counting->counts();
    const LocalTime now = m_clock.toLocal(m_clock.nowMs() / 1000);
    if (m_tablesOpen) {
        f.timetable = ringDayOf(m_db, now).timetable.name;
        f.bellsLeftToday = bellsLeftToday(m_db, m_clock);
    }
    if (state.next) {
        // The bells follow the school's clock: the system reaches that second offset earlier.
        f.nextBellEpochSeconds =
            localToEpochSeconds(nextBellStart(*state.next)) - m_clock.offsetSeconds();
    }
    if (m_outputReport.known) {
        f.outputPresent = m_outputReport.present;
        if (m_outputReport.present && m_outputReport.stateKnown) {
            f.outputMuted = m_outputReport.state.muted;
            f.outputVolumeRatio = m_outputReport.state.volumePercent / 100.0;
        }
    }
    if (m_clockSync.known) f.clockSynchronized = m_clockSync.synchronised;
    f.clockOffsetSeconds = m_clock.offsetSeconds();
    f.paused = state.plan != PlanState::kRunning;
    f.problems = state.problems;
    f.webUp = !webAddress().empty() && webProblem().empty();
    return f;
}

void Ringer::writeMetrics(bool up) {
    const std::string& folder = m_options.metricsDir;
    // A problem said changes the state, which writes again: once is enough.
    if (folder.empty() || m_writingMetrics || (up && m_shutDown)) return;
    m_writingMetrics = true;
    const UiTextLanguage ringLogWords(nullptr);
    RingerFacts facts = metricsFacts(state());
    facts.up = up;
    const Status s = writeMetricsFile(*FileSystem::platform(), folder, facts);
    const std::string problem = s.isOk() ? std::string() : s.message();
    if (problem != m_metricsProblem) {
        if (problem.empty())
            m_log->note("监控指标又能写入了：" + folder);
        else
            m_log->warn("监控指标不能写入（铃声照常响起）：" + problem);
        m_metricsProblem = problem;
        if (up) stateChanged();
    }
    m_writingMetrics = false;
}

void Ringer::countsChanged() {
    // Kept for the metrics alone: a school that does not ask for them gets no file, nor a word
    // about a folder it cannot be written to.
    if (m_options.metricsDir.empty()) return;
    const Status s = writeBellCounts(*FileSystem::platform(), m_folder, m_counting->counts());
    if (!s.isOk() && s.message() != m_countsError)
        m_log->warn("铃声计数不能保存，程序重新启动后从零数起：" + s.message());
    m_countsError = s.isOk() ? std::string() : s.message();
    writeMetrics();
}

void Ringer::followMetrics(const ProgramOptions& before) {
    if (m_options.metricsDir == before.metricsDir) return;
    if (m_options.metricsDir.empty()) {
        m_log->note("不再写监控指标");
        m_metricsTimer.stop();
        if (!std::exchange(m_metricsProblem, {}).empty()) stateChanged();
        return;
    }
    m_log->note("监控指标写入 " + m_options.metricsDir + "/" + kMetricsFile);
    m_metricsTimer.start();
    writeMetrics();
}

}  // namespace tolvane
