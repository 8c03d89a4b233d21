// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/log/FileRingLog.h"

#include <spdlog/async.h>
#include <spdlog/sinks/base_sink.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>
#include <spdlog/spdlog.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "base/PathText.h"
#include "bells/core/RingLogFiles.h"
#include "platform/SystemJournal.h"
#include "platform/TextCodec.h"

namespace tolvane {

namespace {

// The rotating file, made again when it was deleted under the running ringer (a synchronisation
// tool's "revert local changes", a person tidying up): the next line starts a new tolvane.log
// rather than going into a file nobody can open. Lines are few, so one look at the file per line
// costs nothing.
class ReopeningFileSink final : public spdlog::sinks::base_sink<std::mutex> {
public:
    ReopeningFileSink(spdlog::filename_t path, size_t bytes, size_t backups)
        : m_path(std::move(path)), m_bytes(bytes), m_backups(backups) {
        open();
    }

protected:
    void sink_it_(const spdlog::details::log_msg& message) override {
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::path(m_path), error) && !error) open();
        m_file->log(message);
    }
    void flush_() override { m_file->flush(); }
    void set_pattern_(const std::string& pattern) override {
        base_sink::set_pattern_(pattern);
        m_file->set_formatter(formatter_->clone());
    }
    void set_formatter_(std::unique_ptr<spdlog::formatter> formatter) override {
        base_sink::set_formatter_(std::move(formatter));
        m_file->set_formatter(formatter_->clone());
    }

private:
    void open() {
        m_file = std::make_unique<spdlog::sinks::rotating_file_sink_st>(m_path, m_bytes, m_backups);
        m_file->set_formatter(formatter_->clone());
    }

    spdlog::filename_t m_path;
    size_t m_bytes;
    size_t m_backups;
    std::unique_ptr<spdlog::sinks::rotating_file_sink_st> m_file;
};

// Separates a journal line's message from its fields ("MESSAGE\x1fNAME=value\x1f...").
constexpr char kFieldSeparator = '\x1f';
// Lines waiting for the writer thread. spdlog builds every slot up front (about 400 bytes each, for
// the whole run): a bell writes two or three lines, so 512 outlast a disk that stalls for hours
// of ringing while costing 200 KiB instead of the 3 MiB that 8192 held resident all day.
constexpr size_t kQueueLines = 512;

// The journal with fields of our own; spdlog's systemd sink sends the message alone.
class JournalSink final : public spdlog::sinks::base_sink<std::mutex> {
protected:
    void sink_it_(const spdlog::details::log_msg& msg) override {
        const std::string payload(msg.payload.data(), msg.payload.size());
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t at; (at = payload.find(kFieldSeparator, start)) != std::string::npos;
             start = at + 1)
            fields.push_back(payload.substr(start, at - start));
        fields.push_back(payload.substr(start));
        fields[0] = "MESSAGE=" + fields[0];
        sendToSystemJournal(std::move(fields), msg.level >= spdlog::level::warn);
    }
    void flush_() override {}
};

std::shared_ptr<spdlog::details::thread_pool> sharedPool() {
    static std::shared_ptr<spdlog::details::thread_pool> pool =
        std::make_shared<spdlog::details::thread_pool>(kQueueLines, 1);
    return pool;
}

std::shared_ptr<spdlog::logger> asyncLogger(const char* name, std::vector<spdlog::sink_ptr> sinks) {
    auto logger =
        std::make_shared<spdlog::async_logger>(name, sinks.begin(), sinks.end(), sharedPool(),
                                               spdlog::async_overflow_policy::overrun_oldest);
    logger->set_pattern("[%Y-%m-%d %H:%M:%S.%e] %v");
    logger->flush_on(spdlog::level::info);
    // A full disk or a vanished folder: the line is lost, quietly; the bells go on.
    logger->set_error_handler([](const std::string&) {});
    return logger;
}

}  // namespace

FileRingLog::FileRingLog(const Options& options) {
    std::vector<spdlog::sink_ptr> sinks;
    if (!options.folder.empty()) {
        try {
            sinks.push_back(std::make_shared<ReopeningFileSink>(
                pathFromUtf8(joinPath(options.folder, kRingLogFile)).native(), options.fileBytes,
                kFiles - 1));
        } catch (const spdlog::spdlog_ex& e) {
            m_fileProblem = e.what();
        }
    }
    if (options.echoToStdout) sinks.push_back(std::make_shared<spdlog::sinks::stdout_sink_mt>());
    m_text = asyncLogger("tolvane", std::move(sinks));
    if (options.journal && hasSystemJournal()) {
        auto journal = asyncLogger("tolvane-journal", {std::make_shared<JournalSink>()});
        journal->set_pattern("%v");
        m_journal = journal;
    }
}

FileRingLog::~FileRingLog() {
    flush();
}

void FileRingLog::flush() {
    m_text->flush();
    if (m_journal) m_journal->flush();
    // The queue is drained by the pool's thread; give it the moment it needs.
    for (int i = 0; i < 100 && sharedPool()->queue_size() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// Every line is escaped where it is written: a music path or a note from the tables may hold a
// control character, which must not start a line of its own in the file or a field of its own in
// the journal.
void FileRingLog::note(const std::string& line) {
    const std::string safe = withControlsEscaped(line);
    m_text->info(safe);
    if (m_journal) m_journal->info(safe);
}

void FileRingLog::warn(const std::string& line) {
    const std::string safe = withControlsEscaped(line);
    m_text->warn(safe);
    if (m_journal) m_journal->warn(safe);
}

void FileRingLog::bellLine(bool warning, const std::string& line, const LocalTime& second,
                           const std::string& field) {
    const std::string safe = withControlsEscaped(line);
    if (warning)
        m_text->warn(safe);
    else
        m_text->info(safe);
    if (!m_journal) return;
    const std::string entry = safe + kFieldSeparator + "TOLVANE_BELL_SECOND=" + timeText(second) +
                              kFieldSeparator + withControlsEscaped(field);
    if (warning)
        m_journal->warn(entry);
    else
        m_journal->info(entry);
}

void FileRingLog::bellStarted(const LocalTime& second, const std::string& music) {
    bellLine(false, startedLine(second, music), second, "TOLVANE_MUSIC=" + music);
}

void FileRingLog::bellHeard(const LocalTime& second, int64_t lateMs) {
    bellLine(false, heardLine(second, lateMs), second, "TOLVANE_LATE_MS=" + std::to_string(lateMs));
}

void FileRingLog::bellPlayedUnverified(const LocalTime& second, int64_t lateMs) {
    bellLine(false, unverifiedLine(second, lateMs), second,
             "TOLVANE_LATE_MS=" + std::to_string(lateMs));
}

void FileRingLog::bellInaudible(const LocalTime& second, const std::string& why) {
    bellLine(true, inaudibleLine(second, why), second, "TOLVANE_INAUDIBLE=" + why);
}

}  // namespace tolvane
