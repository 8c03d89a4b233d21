// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the page groups share (not for outside the page): a request as the pages see it, and the
// pieces several pages show.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Schema.h"
#include "web/Html.h"
#include "web/HttpParts.h"
#include "web/WebApp.h"

namespace tolvane {

constexpr char kSessionCookie[] = "tolvane_session";
constexpr char kLoginCookie[] = "tolvane_login";
constexpr char kDeskCookie[] = "tolvane_desk";

struct WebApp::Context {
    const HttpRequest& request;
    std::string path;
    FormFields query;
    FormFields form;
    std::optional<WebSessions::Session> session;
    bool english = false;
};

LocalTime nowOf(const Clock& clock);
// The ticked days' names, "—" for none.
std::string daysText(const std::array<bool, 7>& days);
// "3 天 2 小时", "5 分 3 秒": how long until something.
std::string durationText(int64_t seconds);
// The bells of the bell table open as table (a 作息表's) by their time of day; none when the
// table cannot be read.
std::vector<BellRecord> bellsByTime(TableDatabase& db,
                                    const std::string& table = schema::kBellAlias);
bool ringsOnDay(const BellRecord& bell, const RingDay& day);
// The folder's password hash as it is now; empty when none is set or it cannot be read (then
// nobody logs in and every session ends).
std::string folderPasswordHash(const std::string& folder);

// What a bell or 立即播放 may play, as the page offers it: the 铃声库's folders and files, then
// music the schedule already plays. The page names nothing else of the bell computer.
struct MusicChoice {
    std::string path;   // the 音乐 value
    std::string label;  // what the office reads
};
std::vector<MusicChoice> musicChoices(TableDatabase& db, const std::string& folder);
bool isMusicChoice(const std::vector<MusicChoice>& choices, const std::string& path);
// The calendar page's forms for each timetable's season and the week rotation; none for a school
// with one timetable.
Html timetableRulesPart(TableDatabase& db, const std::string& today, const std::string& token);
// A bell's music as the office reads it: "铃声库：上课.mp3" for one in the library of the data
// folder (the computer's own path says nothing to the office), the path itself otherwise.
std::string musicShown(const std::string& folder, const std::string& music);
// The same as a table cell, the whole path in its tip.
Html musicCell(const std::string& folder, const std::string& music);
// <select name="music"> of choices, chosen selected.
Html musicSelect(const std::vector<MusicChoice>& choices, const std::string& chosen);

// The 作息表 a request names (?t= or the form's t), the default when none; and "&t=NAME" to carry
// it on in a link, empty for the default.
std::string timetableOf(const FormFields& fields);
std::string timetableParameter(const std::string& timetable);

// The form's token, which every form posts back.
Html hiddenToken(const std::string& token);
// A failure said at the top of a page.
Html errorNotice(const std::string& text);

}  // namespace tolvane
