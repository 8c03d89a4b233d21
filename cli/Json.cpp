// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Json.h"

#include <nlohmann/json.hpp>

namespace tolvane::cli {

namespace {

// Compact, non-ASCII kept as it is, and bytes that are not UTF-8 (a name another program wrote
// into a table) replaced by U+FFFD: a reader's parser never meets invalid JSON.
std::string dumped(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

std::string jsonString(std::string_view utf8) {
    return dumped(std::string(utf8));
}

std::string jsonValue(const Value& value) {
    if (const auto* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
    if (const auto* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&value)) return dumped(*d);  // NaN: null
    if (const auto* s = std::get_if<std::string>(&value)) return jsonString(*s);
    return "null";
}

}  // namespace tolvane::cli
