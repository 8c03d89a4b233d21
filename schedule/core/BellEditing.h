// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Adding, changing and deleting bells: the flows behind the two editing windows, the list's
// delete command and tolvanectl, over the values of the form. Each returns what the window
// shows; the caller rebuilds the schedule list whatever the outcome.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/UiText.h"
#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"

namespace tolvane {

// What a bell says once its music ends (提醒文本 and 文本).
struct SpokenText {
    bool speaks = false;
    std::string text;
};

struct BellForm {
    std::array<std::string, 3> start;  // hour, minute, second as typed
    bool hasEnd = false;
    std::array<std::string, 3> end;
    std::string music;
    std::array<bool, 7> weekdays{};  // 周一 .. 周日
    // None: a changed bell says what it said before, an added one nothing. A writer that knows
    // nothing of speech (an older form, a command without --say) must not wipe it.
    std::optional<SpokenText> speech = {};
};

struct FlowResult {
    std::optional<FlowMessage> message;  // none: the window shows nothing
    bool changed = false;                // the table was changed
    std::string why = {};                // the system's reason when the table could not be written
};

// What the window and the page show of a flow: its message's text, then the system's reason
// when the table could not be written (a full disk, say); empty when there is no message.
std::string shownText(const FlowResult& result);

// "周一 周三 " for 周一 and 周三: each ticked day with one trailing space.
std::string weekdayText(const std::array<bool, 7>& days);

// "08:05" or "08:05:30" as the form's three pieces (seconds "00" when not given); text without a
// colon stays whole in the hour, so the form's message names what was typed.
std::array<std::string, 3> timeOfDayPieces(std::string_view text);

// Pieces of a time of day as stored: each a whole number in range (hours 0-23, minutes and seconds
// 0-59), written with two digits. Empty when a piece is not such a number.
std::optional<std::string> normaliseTime(const std::array<std::string, 3>& pieces);

// The message that refuses every change while the bell table may not be written (a db.edb this
// user may only read); none when it may be changed. Names the file and the reason.
// table: the alias of the bell table, a 作息表's ("数据库", the default one, unless said).
std::optional<FlowMessage> readOnlyRefusal(TableDatabase& db,
                                           const std::string& table = schema::kBellAlias);

// Why text cannot be what a bell says, in this thread's language; empty when it can: GBK text
// that fits the 文本 field, and not empty when the bell is to speak.
std::string speechProblem(const SpokenText& speech);

// The bell a form describes, or what the add window would say is wrong with it (music missing,
// unstorable or too long, times out of range or in the wrong order).
Result<BellRecord> bellOfForm(const BellForm& form);

FlowResult addBell(TableDatabase& db, const BellForm& form,
                   const std::string& table = schema::kBellAlias);
// oldStart is the start time of the bell being changed, as the window loaded it.
FlowResult changeBell(TableDatabase& db, const std::string& oldStart, const BellForm& form,
                      const std::string& table = schema::kBellAlias);
// Removes the bell whose start text is start; true when one was removed, else false with why (for
// the administrator: the window says nothing).
bool deleteBell(TableDatabase& db, const std::string& start, std::string* why = nullptr,
                const std::string& table = schema::kBellAlias);

}  // namespace tolvane
