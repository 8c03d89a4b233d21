// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/FieldValue.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/TextCodec.h"
#include "storage/Coding.h"

namespace tolvane {

std::string decodeText(const Field& field, const char* bytes) {
    const auto width = static_cast<size_t>(field.size);
    const auto* end = static_cast<const char*>(std::memchr(bytes, '\0', width));
    return gbkToUtf8(std::string_view(bytes, end ? static_cast<size_t>(end - bytes) : width));
}

ValueKind kindOf(int32_t fieldType) {
    switch (fieldType) {
        case kFieldLogical:
            return ValueKind::kLogical;
        case kFieldFloat:
        case kFieldDouble:
        case kFieldDateTime:
            return ValueKind::kFloat;
        case kFieldText:
            return ValueKind::kText;
        default:
            return ValueKind::kInteger;
    }
}

Value decodeField(const Field& field, const char* bytes) {
    switch (field.type) {
        case kFieldLogical:
            return bytes[0] != 0;
        case kFieldByte:
            return int64_t{static_cast<unsigned char>(bytes[0])};
        case kFieldShort:
            return int64_t{static_cast<int16_t>(
                static_cast<uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                      (static_cast<unsigned char>(bytes[1]) << 8)))};
        case kFieldLong:
            return static_cast<int64_t>(decodeFixed64(bytes));
        case kFieldFloat:
            return static_cast<double>(decodeFloat(bytes));
        case kFieldDouble:
        case kFieldDateTime:
            return decodeDouble(bytes);
        case kFieldText:
            return decodeText(field, bytes);
        default:
            return int64_t{decodeInt32(bytes)};
    }
}

namespace {

Status wrongKind(const Field& field) {
    return Status::invalidArgument("value does not fit field \"" + field.name + "\"");
}

Status encodeInteger(const Field& field, int64_t v, char* bytes) {
    int64_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    if (field.type == kFieldByte) lo = 0, hi = 255;
    if (field.type == kFieldShort)
        lo = std::numeric_limits<int16_t>::min(), hi = std::numeric_limits<int16_t>::max();
    if (field.type == kFieldLong)
        lo = std::numeric_limits<int64_t>::min(), hi = std::numeric_limits<int64_t>::max();
    if (v < lo || v > hi)
        return Status::invalidArgument(std::to_string(v) + " is out of range for field \"" +
                                       field.name + "\"");
    switch (field.type) {
        case kFieldByte:
            bytes[0] = static_cast<char>(v);
            break;
        case kFieldShort:
            bytes[0] = static_cast<char>(v & 0xff);
            bytes[1] = static_cast<char>((v >> 8) & 0xff);
            break;
        case kFieldLong:
            putFixed64(bytes, static_cast<uint64_t>(v));
            break;
        default:
            putInt32(bytes, static_cast<int32_t>(v));
            break;
    }
    return Status::ok();
}

Status encodeText(const Field& field, const std::string& utf8, char* bytes) {
    // Fields end at their first NUL: one inside would leave a shorter text than was given.
    if (utf8.find('\0') != std::string::npos)
        return Status::invalidArgument("a text with a NUL cannot be stored in field \"" +
                                       field.name + "\"");
    auto gbk = utf8ToGbk(utf8);
    if (!gbk.isOk()) return gbk.status();
    const std::string& text = gbk.value();
    const size_t len = gbkPrefixLength(text, static_cast<size_t>(field.size));
    std::memset(bytes, 0, static_cast<size_t>(field.size));
    std::memcpy(bytes, text.data(), len);
    return Status::ok();
}

}  // namespace

Status encodeField(const Field& field, const Value& value, char* bytes) {
    if (std::holds_alternative<std::monostate>(value)) return Status::ok();
    switch (kindOf(field.type)) {
        case ValueKind::kLogical:
            if (!std::holds_alternative<bool>(value)) return wrongKind(field);
            bytes[0] = std::get<bool>(value) ? 1 : 0;
            return Status::ok();
        case ValueKind::kText:
            if (!std::holds_alternative<std::string>(value)) return wrongKind(field);
            return encodeText(field, std::get<std::string>(value), bytes);
        case ValueKind::kInteger:
            if (const auto* i = std::get_if<int64_t>(&value))
                return encodeInteger(field, *i, bytes);
            if (const auto* d = std::get_if<double>(&value)) {
                if (!std::isfinite(*d) || std::fabs(*d) >= 9.2e18)
                    return Status::invalidArgument("value is out of range for field \"" +
                                                   field.name + "\"");
                return encodeInteger(field, static_cast<int64_t>(*d), bytes);
            }
            return wrongKind(field);
        case ValueKind::kFloat: {
            double d;
            if (const auto* i = std::get_if<int64_t>(&value))
                d = static_cast<double>(*i);
            else if (const auto* f = std::get_if<double>(&value))
                d = *f;
            else
                return wrongKind(field);
            if (field.type == kFieldFloat)
                putFloat(bytes, static_cast<float>(d));
            else
                putDouble(bytes, d);
            return Status::ok();
        }
    }
    return wrongKind(field);
}

}  // namespace tolvane
