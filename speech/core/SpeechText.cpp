// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/core/SpeechText.h"

#include <array>
#include <cctype>
#include <utility>

namespace tolvane {

namespace {

constexpr std::array<const char*, 10> kDigits = {"零", "一", "二", "三", "四",
                                                 "五", "六", "七", "八", "九"};
// Years are read digit by digit, their zero as 〇.
constexpr std::array<const char*, 10> kYearDigits = {"〇", "一", "二", "三", "四",
                                                     "五", "六", "七", "八", "九"};

// How the letters of a Latin word are said one by one: a voice reading Chinese would otherwise
// take "B" for a syllable of pinyin.
constexpr std::array<const char*, 26> kLetters = {
    "诶",   "比", "西",   "迪",   "伊",     "艾弗",   "吉", "艾尺", "艾",
    "杰",   "开", "艾勒", "艾马", "艾娜",   "欧",     "披", "扣",   "艾儿",
    "艾丝", "提", "优",   "维",   "达布流", "艾克斯", "歪", "贼德"};

// Full-width forms typed with a Chinese input method, as their ASCII counterparts.
constexpr std::pair<std::string_view, char> kFullWidth[] = {
    {"０", '0'}, {"１", '1'}, {"２", '2'}, {"３", '3'}, {"４", '4'}, {"５", '5'}, {"６", '6'},
    {"７", '7'}, {"８", '8'}, {"９", '9'}, {"：", ':'}, {"％", '%'}, {"．", '.'}};

// Words after which a count of two is 两 (两个, 两分钟), not 二.
constexpr std::string_view kCountWords[] = {
    "个", "分钟", "秒钟", "小时", "天", "周", "次", "遍", "节", "位", "名", "人", "本",
    "张", "组",   "件",   "台",   "辆", "块", "元", "份", "岁", "年", "种", "条"};

// Longer runs of digits are numbers read digit by digit (a telephone, an ID).
constexpr size_t kLongestValue = 8;

std::string fullWidthAsAscii(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [wide, ascii] : kFullWidth)
            if (text.substr(i).starts_with(wide)) {
                out += ascii;
                i += wide.size();
                replaced = true;
                break;
            }
        if (!replaced) out += text[i++];
    }
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view digitsAt(std::string_view text, size_t at) {
    size_t end = at;
    while (end < text.size() && isDigit(text[end])) ++end;
    return text.substr(at, end - at);
}

uint64_t valueOf(std::string_view digits) {
    uint64_t v = 0;
    for (char c : digits) v = v * 10 + static_cast<uint64_t>(c - '0');
    return v;
}

std::string digitByDigit(std::string_view digits,
                         const std::array<const char*, 10>& names = kDigits) {
    std::string out;
    for (char c : digits) out += names[static_cast<size_t>(c - '0')];
    return out;
}

// A number as a listener expects it: its value, unless a zero leads it or it is too long to be
// a quantity (then its digits).
std::string numberText(std::string_view digits) {
    if ((digits.size() > 1 && digits[0] == '0') || digits.size() > kLongestValue)
        return digitByDigit(digits);
    return chineseNumber(valueOf(digits));
}

// "1234": 一千二百三十四 within one group of four digits, zeros inside said once.
std::string groupText(uint64_t group) {
    static constexpr std::array<const char*, 4> kUnits = {"", "十", "百", "千"};
    std::string out;
    bool zeroPending = false;
    uint64_t scale = 1000;
    for (int place = 3; place >= 0; --place, scale /= 10) {
        const uint64_t d = group / scale % 10;
        if (d == 0) {
            zeroPending = !out.empty();
            continue;
        }
        if (zeroPending) out += "零";
        zeroPending = false;
        out += kDigits[static_cast<size_t>(d)];
        out += kUnits[static_cast<size_t>(place)];
    }
    return out;
}

struct Clock {
    size_t length = 0;  // bytes of the text it was read from; 0 when there is none
    std::string said;
};

// "14:30" or "8:05:30" at the start of text: an hour up to 24, minutes and seconds of two digits.
Clock clockAt(std::string_view text) {
    const std::string_view hour = digitsAt(text, 0);
    if (hour.empty() || hour.size() > 2 || valueOf(hour) > 24) return {};
    size_t at = hour.size();
    std::array<uint64_t, 2> parts{};
    int count = 0;
    while (count < 2 && at < text.size() && text[at] == ':') {
        const std::string_view piece = digitsAt(text, at + 1);
        if (piece.size() != 2 || valueOf(piece) > 59) break;
        parts[static_cast<size_t>(count++)] = valueOf(piece);
        at += 3;
    }
    if (count == 0 || (at < text.size() && isDigit(text[at]))) return {};
    const uint64_t h = valueOf(hour);
    std::string said = (h == 2 ? std::string("两") : chineseNumber(h)) + "点";
    const auto piece = [](uint64_t v) {
        return v < 10 ? std::string("零") + kDigits[static_cast<size_t>(v)] : chineseNumber(v);
    };
    if (parts[0] != 0 || (count == 2 && parts[1] != 0)) said += piece(parts[0]) + "分";
    if (count == 2 && parts[1] != 0) said += piece(parts[1]) + "秒";
    return {at, said};
}

bool followedByCountWord(std::string_view rest) {
    if (rest.starts_with("年级")) return false;  // 二年级: the second year, not two of them
    for (std::string_view word : kCountWords)
        if (rest.starts_with(word)) return true;
    return false;
}

// The digits at text's start, with what they make with the characters around them.
std::pair<size_t, std::string> numberAt(std::string_view text, std::string_view before) {
    if (Clock clock = clockAt(text); clock.length) return {clock.length, clock.said};
    const std::string_view whole = digitsAt(text, 0);
    size_t used = whole.size();
    std::string_view rest = text.substr(used);
    if (whole.size() == 4 && rest.starts_with("年"))
        return {used, digitByDigit(whole, kYearDigits)};
    std::string said = numberText(whole);
    if (rest.size() > 1 && rest[0] == '.' && isDigit(rest[1])) {
        const std::string_view fraction = digitsAt(rest, 1);
        said += "点" + digitByDigit(fraction);
        used += 1 + fraction.size();
        rest = text.substr(used);
    }
    if (rest.starts_with("%")) return {used + 1, "百分之" + said};
    if (whole == "2" && used == 1 && !before.ends_with("第") && followedByCountWord(rest))
        said = "两";
    return {used, said};
}

bool isLatinLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

std::string chineseNumber(uint64_t n) {
    if (n == 0) return kDigits[0];
    static constexpr std::array<std::pair<uint64_t, const char*>, 4> kGroups = {
        {{1000000000000ULL, "兆"}, {100000000ULL, "亿"}, {10000ULL, "万"}, {1ULL, ""}}};
    std::string out;
    bool zeroPending = false;
    for (const auto& [scale, unit] : kGroups) {
        const uint64_t group = n / scale % 10000;
        if (group == 0) {
            zeroPending = !out.empty();
            continue;
        }
        if (!out.empty() && (zeroPending || group < 1000)) out += "零";
        zeroPending = false;
        out += groupText(group) + unit;
    }
    // 十五, not 一十五, when the number starts with its tens.
    if (out.starts_with("一十")) out.erase(0, std::string_view("一").size());
    return out;
}

std::string speakableText(std::string_view original) {
    const std::string text = fullWidthAsAscii(original);
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (isDigit(c)) {
            auto [used, said] = numberAt(std::string_view(text).substr(i), out);
            out += said;
            i += used;
        } else if (isLatinLetter(c)) {
            out += kLetters[static_cast<size_t>(std::toupper(static_cast<unsigned char>(c)) - 'A')];
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace tolvane
