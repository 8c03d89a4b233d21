// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/TimedNotices.h"

#include <algorithm>
#include <charconv>

#include "base/PathText.h"

namespace tolvane {
namespace {

// "<second>\t<times>\t<id>\t<who>\t<text>": the second is the school's civil time as seconds
// since the epoch, so a change of the machine's time zone does not move a notice.
constexpr char kField = '\t';

template <typename Number>
bool readNumber(std::string_view text, Number* number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
    return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> fieldsOf(std::string_view line, size_t count) {
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const size_t tab = line.find(kField);
        if (tab == std::string_view::npos) break;
        fields.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.push_back(line);
    return fields;
}

bool earlier(const TimedNotice& a, const TimedNotice& b) {
    const int64_t at = civilToEpochSeconds(a.at), bt = civilToEpochSeconds(b.at);
    return at != bt ? at < bt : a.id < b.id;
}

}  // namespace

std::string noticeSpeech(const std::string& text, int times) {
    std::string said = text;
    for (int i = 1; i < times; ++i) said += "。" + text;
    return said;
}

std::string oneLineNotice(std::string_view text) {
    std::string line;
    for (const char c : text) {
        const bool space = c == '\n' || c == '\r' || c == '\t' || c == ' ';
        if (!space)
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

std::string timedNoticesText(const std::vector<TimedNotice>& notices) {
    std::string text;
    for (const TimedNotice& n : notices)
        text += std::to_string(civilToEpochSeconds(n.at)) + kField + std::to_string(n.times) +
                kField + std::to_string(n.id) + kField + oneLineNotice(n.who) + kField +
                oneLineNotice(n.text) + "\n";
    return text;
}

std::vector<TimedNotice> timedNoticesOfText(std::string_view text) {
    std::vector<TimedNotice> notices;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::vector<std::string_view> f = fieldsOf(text.substr(0, end), 5);
        text.remove_prefix(std::min(end + 1, text.size()));
        TimedNotice n;
        int64_t second = 0;
        if (f.size() != 5 || !readNumber(f[0], &second) || !readNumber(f[1], &n.times) ||
            !readNumber(f[2], &n.id) || n.times < 1 || n.times > kMostNoticeTimes || f[4].empty())
            continue;
        n.at = civilFromEpochSeconds(second);
        n.who = std::string(f[3]);
        n.text = std::string(f[4]);
        notices.push_back(std::move(n));
    }
    return notices;
}

std::vector<TimedNotice> readTimedNotices(FileSystem& fs, const std::string& folder) {
    auto text = readWholeFile(fs, joinPath(folder, kTimedNoticesFile));
    return text.isOk() ? timedNoticesOfText(text.value()) : std::vector<TimedNotice>{};
}

Status writeTimedNotices(FileSystem& fs, const std::string& folder,
                         const std::vector<TimedNotice>& notices) {
    const std::string path = joinPath(folder, kTimedNoticesFile);
    if (notices.empty()) return fs.exists(path) ? fs.remove(path) : Status::ok();
    return replaceWholeFile(fs, path, timedNoticesText(notices));
}

DueNotices takeDueNotices(std::vector<TimedNotice>& notices, const LocalTime& now) {
    const int64_t nowSecond = civilToEpochSeconds(now);
    DueNotices due;
    std::vector<TimedNotice> later;
    std::sort(notices.begin(), notices.end(), earlier);
    for (TimedNotice& n : notices) {
        const int64_t late = nowSecond - civilToEpochSeconds(n.at);
        if (late < 0)
            later.push_back(std::move(n));
        else if (late <= kNoticeLateSeconds)
            due.say.push_back(std::move(n));
        else
            due.missed.push_back(std::move(n));
    }
    notices = std::move(later);
    return due;
}

}  // namespace tolvane
