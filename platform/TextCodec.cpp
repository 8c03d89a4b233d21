// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/UiText.h"

namespace tolvane {

bool isAscii(std::string_view s) {
    // Eight bytes at a time: the schedule's times and paths are read every second.
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ull) return false;
    }
    for (; i < s.size(); ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
    return true;
}

namespace {

bool inRange(unsigned char c, unsigned char lo, unsigned char hi) {
    return c >= lo && c <= hi;
}

// Length of the GB18030 character starting at s[i], or 0 when it is cut short or malformed.
size_t gbCharLength(std::string_view s, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    if (at(i) < 0x80) return 1;
    if (!inRange(at(i), 0x81, 0xfe) || i + 1 >= s.size()) return 0;
    const unsigned char second = at(i + 1);
    if (inRange(second, 0x40, 0x7e) || inRange(second, 0x80, 0xfe)) return 2;
    if (inRange(second, 0x30, 0x39) && i + 3 < s.size() && inRange(at(i + 2), 0x81, 0xfe) &&
        inRange(at(i + 3), 0x30, 0x39))
        return 4;
    return 0;
}

}  // namespace

// Implemented per platform: plain conversion of text known to be well-formed.
std::string platformUtf8ToGb18030(std::string_view utf8);
std::string platformGb18030ToUtf8(std::string_view gb, size_t* consumed);

Result<std::string> utf8ToGbk(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    if (!isValidUtf8(utf8)) return Status::invalidArgument("text is not valid UTF-8");
    return platformUtf8ToGb18030(utf8);
}

std::string gbkToUtf8(std::string_view gbk) {
    if (isAscii(gbk)) return std::string(gbk);
    std::string out;
    while (!gbk.empty()) {
        size_t consumed = 0;
        out += platformGb18030ToUtf8(gbk, &consumed);
        gbk.remove_prefix(consumed);
        if (gbk.empty()) break;
        // A malformed or unmapped character: show one replacement mark and go on after it.
        out += "\xEF\xBF\xBD";
        gbk.remove_prefix(std::max<size_t>(1, gbCharLength(gbk, 0)));
    }
    return out;
}

size_t gbkPrefixLength(std::string_view gbk, size_t maxBytes) {
    size_t i = 0;
    while (i < gbk.size()) {
        size_t n = gbCharLength(gbk, i);
        if (n == 0) n = 1;  // a stray byte counts as one character of its own
        if (i + n > maxBytes) break;
        i += n;
    }
    return i;
}

std::string cutToGbkBytes(std::string_view utf8, size_t maxBytes) {
    auto gbk = utf8ToGbk(utf8);
    if (!gbk.isOk()) return std::string();
    return gbkToUtf8(
        std::string_view(gbk.value()).substr(0, gbkPrefixLength(gbk.value(), maxBytes)));
}

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (inRange(c, 0xc2, 0xdf)) {
            n = 2;
            cp = c & 0x1f;
        } else if (inRange(c, 0xe0, 0xef)) {
            n = 3;
            cp = c & 0x0f;
        } else if (inRange(c, 0xf0, 0xf4)) {
            n = 4;
            cp = c & 0x07;
        } else
            return false;
        if (i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xc0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3f);
        }
        if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10ffff)) ||
            (cp >= 0xd800 && cp <= 0xdfff))
            return false;
        i += n;
    }
    return true;
}

namespace {

// The length in bytes of a character at i that must never stand in a stored text or a line of
// the log, and its code point; 0 for any other. C0 controls but tab, and DEL, end a line early or
// cut a field short; C1 controls (NEL among them) and the line and paragraph separators break a
// line in some readers; the direction controls make a name read as another (an "evil" name
// shown backwards). Bytes that are not UTF-8 are not this function's matter.
size_t unsafeCharacterAt(std::string_view text, size_t i, char32_t* codePoint) {
    const auto byte = [&](size_t k) {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u;
    };
    const unsigned first = byte(0);
    if ((first < 0x20 && first != '\t') || first == 0x7f) {
        *codePoint = first;
        return 1;
    }
    if (first == 0xc2 && byte(1) >= 0x80 && byte(1) <= 0x9f) {
        *codePoint = byte(1);
        return 2;
    }
    if (first == 0xd8 && byte(1) == 0x9c) {  // U+061C, the Arabic letter mark
        *codePoint = 0x061c;
        return 2;
    }
    if (first != 0xe2 || (byte(2) & 0xc0) != 0x80) return 0;
    const char32_t cp = 0x2000 | ((byte(1) & 0x3fu) << 6) | (byte(2) & 0x3fu);
    const bool unsafe = (byte(1) == 0x80 || byte(1) == 0x81) &&
                        (cp == 0x200e || cp == 0x200f || (cp >= 0x2028 && cp <= 0x202e) ||
                         (cp >= 0x2066 && cp <= 0x2069));
    if (!unsafe) return 0;
    *codePoint = cp;
    return 3;
}

}  // namespace

std::string unstorableTextReason(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = 0;
        if (unsafeCharacterAt(text, i, &cp) != 0) {
            char code[12];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
            return fillIn(uiText("Text", "含有控制字符 %1"), {code});
        }
    }
    if (!isValidUtf8(text)) return uiText("Text", "含有不是 UTF-8 的字节");
    return {};
}

std::string withControlsEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const size_t length = unsafeCharacterAt(text, i, &cp);
        if (length == 0) {
            out += text[i++];
            continue;
        }
        char code[12];
        if (cp < 0x80)
            std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(cp));
        else
            std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(cp));
        out += code;
        i += length;
    }
    return out;
}

}  // namespace tolvane
