// SPDX-License-Identifier: GPL-3.0-or-later
// Speech made ahead, on this machine's real voice and encoder: what the voice is given to read,
// the MP3 it makes (decoded again), and where it is kept.
#include <espeak-ng/speak_lib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "bells/audio/Mp3Decoder.h"
#include "platform/SpeechVoice.h"
#include "speech/core/SpeechFiles.h"
#include "speech/core/SpeechText.h"
#include "speech/make/SpeechMaking.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

TEST(SpeechText, NumbersTimesDatesAndLettersAreWrittenOutAsTheyAreSaid) {
    const std::pair<const char*, const char*> cases[] = {
        {"第3节课上课", "第三节课上课"},
        {"距离考试结束还有15分钟", "距离考试结束还有十五分钟"},
        {"下午2:00开会", "下午两点开会"},
        {"14:30到礼堂集合", "十四点三十分到礼堂集合"},
        {"8:05:30", "八点零五分三十秒"},
        {"０８：０５上课", "八点零五分上课"},  // typed with a Chinese input method
        {"12月10日", "十二月十日"},
        {"2027年元旦", "二〇二七年元旦"},
        {"2个班", "两个班"},
        {"第2名", "第二名"},
        {"2年级", "二年级"},
        {"出勤率98.5%", "出勤率百分之九十八点五"},
        {"105室", "一百零五室"},
        {"10005人", "一万零五人"},
        {"请到B栋", "请到比栋"},
        {"电话13800138000", "电话一三八零零一三八零零零"},
        {"房间007", "房间零零七"},
        {"没有数字", "没有数字"},
    };
    for (const auto& [typed, said] : cases) EXPECT_EQ(said, speakableText(typed)) << typed;
    EXPECT_EQ("零", chineseNumber(0));
    EXPECT_EQ("十", chineseNumber(10));
    EXPECT_EQ("一百一十", chineseNumber(110));
    EXPECT_EQ("十万", chineseNumber(100000));
    EXPECT_EQ("一亿零一", chineseNumber(100000001));
}

TEST(SpeechFiles, TheNameFollowsTextVoiceAndRateAndIsKeptInTheLibrary) {
    const std::string a = speechFilePath("/school", "放学", {"", 0});
    EXPECT_EQ(a, speechFilePath("/school", "放学", {"", 0}));
    EXPECT_NE(a, speechFilePath("/school", "放学了", {"", 0}));
    EXPECT_NE(a, speechFilePath("/school", "放学", {"yue", 0}));
    EXPECT_NE(a, speechFilePath("/school", "放学", {"", 3}));
    EXPECT_EQ(std::filesystem::path("/school/media/语音"), std::filesystem::path(a).parent_path());
    EXPECT_EQ(".mp3", std::filesystem::path(a).extension());
}

// Seconds of sound in an MP3 file, as a bell would decode it.
double secondsOf(const std::string& path) {
    Mp3Decoder decoder;
    EXPECT_TRUE(decoder.open(path).isOk()) << path;
    const PcmFormat format = decoder.format();
    size_t bytes = 0;
    char buffer[16384];
    for (size_t n; (n = decoder.read(buffer, sizeof buffer)) > 0;) bytes += n;
    return static_cast<double>(bytes) / static_cast<double>(format.bytesPerSecond());
}

TEST(SpeechMaking, TheMadeFileDecodesAndItsLengthFollowsTheTextAndTheRate) {
    ASSERT_FALSE(chineseVoices().empty()) << "espeak-ng's Mandarin voice is not installed";
    test::TempDir dir;
    const std::string shortText = "放学",
                      longText = "请各位同学在十四点三十分到礼堂集合，参加期末表彰大会";
    for (const auto& [text, rate] : {std::pair{shortText, 0}, {longText, 0}, {longText, 8}})
        ASSERT_TRUE(makeSpeech(dir.path(), text, {"", rate}).isOk());
    const double shortSeconds = secondsOf(speechFilePath(dir.path(), shortText, {"", 0}));
    const double normal = secondsOf(speechFilePath(dir.path(), longText, {"", 0}));
    const double fast = secondsOf(speechFilePath(dir.path(), longText, {"", 8}));
    EXPECT_GT(shortSeconds, 0.5);
    EXPECT_GT(normal, 2 * shortSeconds);
    EXPECT_LT(fast, 0.75 * normal);
    // Nothing half-written is left beside the files.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path() + "/media"))
        EXPECT_TRUE(entry.is_directory()) << entry.path();
}

TEST(SpeechMaking, AVoiceThatIsNotThereIsSaidAndNothingIsWritten) {
    test::TempDir dir;
    const Status s = makeSpeech(dir.path(), "放学", {"no-such-voice", 0});
    EXPECT_FALSE(s.isOk());
    EXPECT_NE(std::string::npos, s.message().find("no-such-voice"));
    EXPECT_FALSE(std::filesystem::exists(speechFilePath(dir.path(), "放学", {"no-such-voice", 0})));
}

// The default voice reads Chinese as Mandarin with tones: espeak-ng's plain "cmn" voice would
// read the same characters as English words.
TEST(SpeechVoice, TheDefaultVoiceReadsMandarinWithTones) {
    const auto voices = chineseVoices();
    ASSERT_FALSE(voices.empty());
    ASSERT_GT(espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT),
              0);
    ASSERT_EQ(EE_OK, espeak_SetVoiceByName(voices.front().name.c_str()));
    const std::string text = speakableText("第3节课上课");
    const void* at = text.c_str();
    std::string phonemes;
    while (at) phonemes += espeak_TextToPhonemes(&at, espeakCHARS_UTF8, 0);
    espeak_Terminate();
    // Mandarin's tone numbers: 三 sān is 55, 节 jié 35, 上 shàng 51.
    EXPECT_NE(std::string::npos, phonemes.find("55")) << phonemes;
    EXPECT_NE(std::string::npos, phonemes.find("35")) << phonemes;
    EXPECT_NE(std::string::npos, phonemes.find("51")) << phonemes;
}

}  // namespace
}  // namespace tolvane
