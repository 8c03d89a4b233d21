// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "storage/TableDatabase.h"

namespace tolvane::cli {

// A JSON string literal, quotes included.
std::string jsonString(std::string_view utf8);
// A field value as JSON: texts as strings, integers and floats as numbers, logicals as booleans.
std::string jsonValue(const Value& value);

}  // namespace tolvane::cli
