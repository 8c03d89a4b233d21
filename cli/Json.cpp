// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Json.h"

#include <cmath>
#include <cstdio>

namespace tolvane::cli {

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

std::string jsonValue(const Value& value) {
    if (const auto* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
    if (const auto* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&value)) {
        if (!std::isfinite(*d)) return "null";
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.17g", *d);
        return buf;
    }
    if (const auto* s = std::get_if<std::string>(&value)) return jsonString(*s);
    return "null";
}

}  // namespace tolvane::cli
