// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The ring log as a bell computer keeps it: tolvane.log beside the tables (spdlog's rotating file,
// 1 MiB x 5), on Linux the systemd journal too (journalctl -t tolvane, with TOLVANE_BELL_SECOND
// and TOLVANE_LATE_MS on bell lines), and stdout for the headless ringer. Lines go through
// spdlog's background thread with a queue that drops its oldest lines when full: a slow or full
// disk costs log lines, never a bell.

#include <memory>
#include <string>

#include "bells/core/RingLog.h"

namespace spdlog {
class logger;
}

namespace tolvane {

class FileRingLog final : public RingLog {
public:
    static constexpr size_t kFileBytes = 1024 * 1024;
    static constexpr size_t kFiles = 5;

    struct Options {
        std::string folder;         // where tolvane.log goes; empty: no file
        bool echoToStdout = false;  // the headless ringer's console
        bool journal = true;        // the systemd journal, where there is one
        size_t fileBytes = kFileBytes;
    };
    explicit FileRingLog(const Options& options);
    ~FileRingLog() override;

    void note(const std::string& line) override;
    void warn(const std::string& line) override;
    void bellStarted(const LocalTime& second, const std::string& music) override;
    void bellHeard(const LocalTime& second, int64_t lateMs) override;
    void bellInaudible(const LocalTime& second, const std::string& why) override;
    void bellPlayedUnverified(const LocalTime& second, int64_t lateMs) override;

    void flush() override;
    // Why the file is not written (a folder that cannot be written); empty when it is.
    const std::string& fileProblem() const { return m_fileProblem; }

private:
    // A bell's line: in the file, and in the journal with the bell's second and field
    // ("NAME=value") beside it.
    void bellLine(bool warning, const std::string& line, const LocalTime& second,
                  const std::string& field);
    std::shared_ptr<spdlog::logger> m_text;     // file and stdout
    std::shared_ptr<spdlog::logger> m_journal;  // the journal, with fields
    std::string m_fileProblem;
};

}  // namespace tolvane
