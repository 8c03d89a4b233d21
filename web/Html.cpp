// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/Html.h"

namespace tolvane {

std::string htmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

namespace html_detail {
void fill(std::string& out, std::string_view format) {
    out += format;
}
}  // namespace html_detail

}  // namespace tolvane
