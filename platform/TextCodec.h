// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Texts live in the table files as GBK and everywhere else as UTF-8.
//
// We encode with GB18030, GBK's superset: every GBK character keeps its GBK bytes, so files stay
// readable by GBK-only readers, and a character GBK lacks is still stored instead of lost.

#include <string>
#include <string_view>

#include "base/Status.h"

namespace tolvane {

// REQUIRES: utf8 is valid UTF-8; otherwise InvalidArgument.
Result<std::string> utf8ToGbk(std::string_view utf8);

// Bytes that do not decode become U+FFFD, so a damaged text still shows what it can.
std::string gbkToUtf8(std::string_view gbk);

// The length of the longest prefix of gbk of at most maxBytes bytes that ends on a character
// boundary: a text cut to a field's width never ends in half a character.
size_t gbkPrefixLength(std::string_view gbk, size_t maxBytes);

// A text cut to at most maxBytes in GBK, without splitting a character (the tray tip holds 62);
// empty when utf8 is not valid UTF-8.
std::string cutToGbkBytes(std::string_view utf8, size_t maxBytes);

// True when every byte of s is below 0x80.
bool isAscii(std::string_view s);

// True when s is well-formed UTF-8.
bool isValidUtf8(std::string_view s);

// Why text a user gave (a music path, a note) may not be stored: a control character (C0 but tab,
// DEL, C1 with NEL, the line and paragraph separators) would end a line of the ring log early,
// and a NUL cut a table's field short, so that another file plays than the one named; a direction
// control (U+202E and its kin) shows a name as another; bytes that are not UTF-8 would be stored
// as something else. Empty when it may be stored; else the reason, in the reader's language.
std::string unstorableTextReason(std::string_view text);

// text with each character unstorableTextReason calls a control written as \xNN (C0, DEL) or
// \uNNNN (the others): a line of a log stays one line, and reads as it is, whatever a table holds.
std::string withControlsEscaped(std::string_view text);

}  // namespace tolvane
