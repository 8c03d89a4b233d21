// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// 广播通知 at a time of today: what the office asked to be said later, kept beside the tables
// (tolvane.notices) so a ringer started again after a power cut still says it. A notice is said
// as 立即播放 is: a bell of the schedule due then wins, and the notice waits for it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Clock.h"
#include "platform/FileSystem.h"

namespace tolvane {

inline constexpr char kTimedNoticesFile[] = "tolvane.notices";

struct TimedNotice {
    int id = 0;    // the ringer's own number for it, to cancel it by
    LocalTime at;  // the school's date and second
    std::string text;
    int times = 1;    // said this many times, one after the other
    std::string who;  // who asked, for the ring log
    bool operator==(const TimedNotice&) const = default;
};

// The most a notice is said in one go: a drill's announcement, not a loop.
inline constexpr int kMostNoticeTimes = 3;
// How late a notice may still be said: a ringer busy at its second (a bell playing) or just
// resumed says it; one that was off or paused for longer lets it go, and says so.
inline constexpr int kNoticeLateSeconds = 60;

// The text a voice reads for a notice said times times.
std::string noticeSpeech(const std::string& text, int times);
// The notice's text on one line: a line break or tab typed in the office becomes a space.
std::string oneLineNotice(std::string_view text);

// The file's text, one notice a line; and back. Lines that are not a notice are left out.
std::string timedNoticesText(const std::vector<TimedNotice>& notices);
std::vector<TimedNotice> timedNoticesOfText(std::string_view text);

// The folder's notices; none when there is no file or it holds none.
std::vector<TimedNotice> readTimedNotices(FileSystem& fs, const std::string& folder);
// Puts the notices in place at once (the file goes when there are none).
Status writeTimedNotices(FileSystem& fs, const std::string& folder,
                         const std::vector<TimedNotice>& notices);

// Takes out of notices those due at now: the ones to say (late by at most kNoticeLateSeconds)
// and the ones missed (later than that: the ringer was off or paused), each in time order.
struct DueNotices {
    std::vector<TimedNotice> say;
    std::vector<TimedNotice> missed;
};
DueNotices takeDueNotices(std::vector<TimedNotice>& notices, const LocalTime& now);

}  // namespace tolvane
