// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/UiText.h"

#include <utility>
#include <vector>

namespace tolvane {

namespace {
UiTextTranslator& translator() {
    static UiTextTranslator installed;
    return installed;
}

struct ThreadLanguage {
    bool set = false;
    const UiTextTranslator* translator = nullptr;
};
thread_local ThreadLanguage t_language;
}  // namespace

UiTextLanguage::UiTextLanguage(const UiTextTranslator* translator)
    : m_wasSet(t_language.set), m_before(t_language.translator) {
    t_language = {true, translator};
}

UiTextLanguage::~UiTextLanguage() {
    t_language = {m_wasSet, m_before};
}

void setUiTextTranslator(UiTextTranslator t) {
    translator() = std::move(t);
}

const UiTextTranslator* thisThreadsUiTexts() {
    return t_language.set ? t_language.translator : (translator() ? &translator() : nullptr);
}

std::string uiText(const char* context, const char* source) {
    const UiTextTranslator* in = thisThreadsUiTexts();
    if (!in || !*in) return source;
    std::string translated = (*in)(context, source);
    return translated.empty() ? std::string(source) : translated;
}

std::string fillIn(std::string_view text, std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> values(args);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const size_t n = static_cast<size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && n < values.size()) {
            out += values[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string infoCaption() {
    return uiText("BellEditing", "信息：");
}

std::string weekdayName(size_t day) {
    static const char* const kNames[] = {
        UI_TEXT_NOOP("Weekdays", "周一"), UI_TEXT_NOOP("Weekdays", "周二"),
        UI_TEXT_NOOP("Weekdays", "周三"), UI_TEXT_NOOP("Weekdays", "周四"),
        UI_TEXT_NOOP("Weekdays", "周五"), UI_TEXT_NOOP("Weekdays", "周六"),
        UI_TEXT_NOOP("Weekdays", "周日")};
    return day < 7 ? uiText("Weekdays", kNames[day]) : std::string();
}

}  // namespace tolvane
