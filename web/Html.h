// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The page's HTML, written so that a value cannot slip in unescaped: markup comes only from
// literals in the code, through html("<p class=\"x\">{}</p>", value, ...), and every value put
// into a {} is escaped unless it is already Html (a piece built the same way). Text from a table,
// a request or a translation is a std::string, so it is always escaped.

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tolvane {

// HTML text: &, <, >, " and ' escaped.
std::string htmlEscaped(std::string_view text);

class Html {
public:
    Html() = default;

    Html& operator+=(const Html& more) {
        m_text += more.m_text;
        return *this;
    }
    const std::string& str() const { return m_text; }
    bool empty() const { return m_text.empty(); }

private:
    // Markup is made by html() alone, whose format is a literal of the code.
    template <size_t N, typename... Values>
    friend Html html(const char (&format)[N], const Values&... values);
    static Html trusted(std::string markup) {
        Html h;
        h.m_text = std::move(markup);
        return h;
    }

    std::string m_text;
};

inline Html operator+(Html a, const Html& b) {
    a += b;
    return a;
}

namespace html_detail {
inline void append(std::string& out, const Html& piece) {
    out += piece.str();
}
inline void append(std::string& out, std::string_view text) {
    out += htmlEscaped(text);
}
template <typename Number>
requires std::is_arithmetic_v<Number>
void append(std::string& out, Number n) {
    out += std::to_string(n);
}
void fill(std::string& out, std::string_view format);
template <typename First, typename... Rest>
void fill(std::string& out, std::string_view format, const First& first, const Rest&... rest) {
    const size_t slot = format.find("{}");
    out += format.substr(0, slot);
    if (slot == std::string_view::npos) return;
    if constexpr (std::is_same_v<First, Html> || std::is_arithmetic_v<First>)
        append(out, first);
    else
        append(out, std::string_view(first));
    fill(out, format.substr(slot + 2), rest...);
}
}  // namespace html_detail

// The literal format with each {} replaced by the next value: Html as it is, anything else as
// escaped text. A format is always a literal: markup never comes from a value.
template <size_t N, typename... Values>
Html html(const char (&format)[N], const Values&... values) {
    std::string out;
    html_detail::fill(out, std::string_view(format, N - 1), values...);
    return Html::trusted(std::move(out));
}

}  // namespace tolvane
