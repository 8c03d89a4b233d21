// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Turning field bytes into values and back, by field type.

#include <string>
#include <string_view>

#include "storage/TableDatabase.h"

namespace tolvane {

// The value held in a field's bytes (record + field.offset, field.size bytes).
Value decodeField(const Field& field, const char* bytes);
// The same for a text field.
std::string decodeText(const Field& field, const char* bytes);

// Writes value into the field's bytes. Empty leaves them as they are. Fails, writing nothing,
// for a value of another kind, an integer out of the field's range, or text that is not UTF-8.
// A text longer than the field is cut at a character boundary.
Status encodeField(const Field& field, const Value& value, char* bytes);

enum class ValueKind { kLogical, kInteger, kFloat, kText };
ValueKind kindOf(int32_t fieldType);

}  // namespace tolvane
