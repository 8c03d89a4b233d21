// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts people read, in their language. The source texts are the program's own Chinese ones,
// written where they are used as uiText("Context", "…") (or marked UI_TEXT_NOOP where a table
// holds them) so that Qt Linguist's lupdate collects them into translations/*.ts. The program and
// tolvanectl install a translator at start; without one, or for a text it lacks, the Chinese text
// stands. Stored data (field names, table layout) never goes through here.

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text for lupdate where it cannot be translated yet (a table of texts); translate it
// with uiText(context, text) where it is shown.
#define UI_TEXT_NOOP(context, text) text

namespace tolvane {

using UiTextTranslator = std::function<std::string(const char* context, const char* source)>;

// Set once at start, before any other thread reads texts.
void setUiTextTranslator(UiTextTranslator translator);

std::string uiText(const char* context, const char* source);

// The texts this thread reads in now, to be handed to a UiTextLanguage on another thread that
// works for it (null: the Chinese texts).
const UiTextTranslator* thisThreadsUiTexts();

// This thread's texts in another language than the program's until the scope ends (the web page
// answers each request in its reader's language); a null translator gives the Chinese texts, the
// ring log's words.
class UiTextLanguage {
public:
    explicit UiTextLanguage(const UiTextTranslator* translator);
    ~UiTextLanguage();
    UiTextLanguage(const UiTextLanguage&) = delete;
    UiTextLanguage& operator=(const UiTextLanguage&) = delete;

private:
    bool m_wasSet;
    const UiTextTranslator* m_before;
};

// A message as a window shows it: its caption and its text.
struct FlowMessage {
    std::string caption;
    std::string text;
    bool operator==(const FlowMessage&) const = default;
};

// "信息：", the caption of most messages, in the reader's language.
std::string infoCaption();

// The name of a day (0 = 周一 .. 6 = 周日) as people read it; the stored field names are
// schema::kWeekdays and never change with the language.
std::string weekdayName(size_t day);

// text with %1 .. %9 replaced by args in order, in one pass (a % in an argument stays as it is).
std::string fillIn(std::string_view text, std::initializer_list<std::string_view> args);

}  // namespace tolvane
