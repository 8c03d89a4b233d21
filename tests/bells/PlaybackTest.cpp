// SPDX-License-Identifier: GPL-3.0-or-later
// The Playback service end to end on MP3 files that the test makes, with a sink that captures
// the PCM instead of playing it (at four times real time).

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <future>
#include <mutex>

#include "bells/audio/AudioPlayback.h"
#include "bells/audio/PlaylistSource.h"
#include "bells/audio/SoundOutputSink.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToneScan.h"

namespace tolvane {
namespace {

// What the sinks were given: one segment per sink, in order.
struct Capture {
    struct Segment {
        PcmFormat format;
        std::string pcm;
    };
    std::mutex mutex;
    std::vector<Segment> segments;

    void clear() {
        std::lock_guard<std::mutex> lock(mutex);
        segments.clear();
    }
    std::string tones() {
        std::lock_guard<std::mutex> lock(mutex);
        std::string out;
        for (const Segment& s : segments) {
            const auto* samples = reinterpret_cast<const int16_t*>(s.pcm.data());
            const size_t frames = s.pcm.size() / (2 * static_cast<size_t>(s.format.channels));
            const std::string part = test::describeTones(
                test::scanTones(samples, frames, s.format.channels, s.format.rate));
            if (!part.empty()) out += (out.empty() ? "" : " | ") + part;
        }
        return out;
    }
};

class CapturingSink final : public PcmSink {
public:
    CapturingSink(Capture& capture, PcmFormat format) : m_capture(capture), m_format(format) {
        connect(&m_timer, &QTimer::timeout, this, &CapturingSink::pull);
    }
    void start(QIODevice* pcm) override {
        m_pcm = pcm;
        {
            std::lock_guard<std::mutex> lock(m_capture.mutex);
            m_capture.segments.push_back({m_format, {}});
            m_segment = m_capture.segments.size() - 1;
        }
        m_timer.start(10);
    }
    void stop() override { m_timer.stop(); }

private:
    void pull() {
        const QByteArray data =
            m_pcm->read(static_cast<qint64>(m_format.bytesPerSecond()) * 40 / 1000);
        {
            std::lock_guard<std::mutex> lock(m_capture.mutex);
            m_capture.segments[m_segment].pcm.append(data.constData(),
                                                     static_cast<size_t>(data.size()));
        }
        if (data.isEmpty() && m_pcm->atEnd()) {
            m_timer.stop();
            emit drained();
        }
    }

    Capture& m_capture;
    PcmFormat m_format;
    QIODevice* m_pcm = nullptr;
    size_t m_segment = 0;
    QTimer m_timer;
};

class PlaybackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fixtures = new test::TempDir;
        const std::string cmd =
            std::string(TOLVANE_SOURCE_DIR) + "/tests/support/make-tones.sh " + fixtures->path();
        ASSERT_EQ(0, std::system(cmd.c_str()));
    }
    static void TearDownTestSuite() { delete fixtures; }
    static std::string fixture(const char* name) { return fixtures->file(name); }

    void SetUp() override {
        PlaybackHooks hooks;
        hooks.onListEnd = [this] { ++listsEnded; };
        hooks.onSkipped = [this](const std::string&, const std::string&) { ++filesSkipped; };
        playback = std::make_unique<AudioPlayback>(
            [this](const PcmFormat& f) {
                ++sinksMade;
                return std::make_unique<CapturingSink>(capture, f);
            },
            hooks);
    }
    // Runs the event loop until condition holds or ms pass; the player has its own thread.
    static bool waitFor(const std::function<bool()>& condition, int ms = 10000) {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.elapsed() > ms) return false;
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        return true;
    }

    static test::TempDir* fixtures;
    Capture capture;
    std::atomic<int> listsEnded{0};
    std::atomic<int> filesSkipped{0};
    std::atomic<int> sinksMade{0};
    std::unique_ptr<AudioPlayback> playback;
};
test::TempDir* PlaybackTest::fixtures = nullptr;

TEST_F(PlaybackTest, DecoderKeepsEachFilesFormatAndSkipsWhatDoesNotDecode) {
    PlaylistSource source(
        {fixture("a440.mp3"), fixture("broken.mp3"), fixture("none.mp3"), "", fixture("c880.mp3")},
        2);
    std::vector<std::string> opened;
    std::vector<PcmFormat> formats;
    while (source.openNext()) {
        opened.push_back(source.currentPath());
        formats.push_back(source.format());
    }
    EXPECT_EQ((std::vector<std::string>{fixture("a440.mp3"), fixture("c880.mp3"),
                                        fixture("a440.mp3"), fixture("c880.mp3")}),
              opened);
    EXPECT_EQ((PcmFormat{44100, 1}), formats[0]);
    EXPECT_EQ((PcmFormat{22050, 2}), formats[1]);
}

TEST_F(PlaybackTest, PlaysTheListInOrderWholeAndAcrossFormats) {
    playback->play(
        {fixture("a440.mp3"), fixture("broken.mp3"), fixture("b660.mp3"), fixture("c880.mp3")}, 1);
    ASSERT_TRUE(waitFor([&] { return listsEnded == 1; }));
    // a440 and b660 share a format and one stream; c880 needs its own.
    EXPECT_EQ("440:0.6 660:0.5 | 880:0.4", capture.tones());
}

TEST_F(PlaybackTest, PlayTwiceReplacesAndStopSilences) {
    playback->play({fixture("long440.mp3")}, 1);
    ASSERT_TRUE(waitFor([&] { return !capture.tones().empty(); }));
    playback->play({fixture("c880.mp3")}, 2);
    ASSERT_TRUE(waitFor([&] { return listsEnded == 1; }));
    const std::string tones = capture.tones();
    EXPECT_EQ(0u, tones.rfind("440:", 0)) << tones;
    EXPECT_EQ(" | 880:0.8", tones.substr(tones.find(" | "))) << tones;

    capture.clear();
    playback->play({fixture("long440.mp3")}, 1);
    ASSERT_TRUE(waitFor([&] { return !capture.tones().empty(); }));
    playback->stop();
    playback->stop();  // nothing plays: nothing happens
    QThread::msleep(300);
    const std::string cut = capture.tones();
    EXPECT_EQ(0u, cut.rfind("440:", 0)) << cut;
    EXPECT_LT(std::stod(cut.substr(4)), 1.0) << cut;
    EXPECT_EQ(1, listsEnded);  // stopped lists do not count as played to their end

    // An empty list only silences: it ends at once with nothing played.
    const size_t segments = capture.segments.size();
    playback->play({}, 1);
    EXPECT_TRUE(waitFor([&] { return listsEnded == 2; }));
    std::lock_guard<std::mutex> lock(capture.mutex);
    EXPECT_EQ(segments, capture.segments.size());
}

TEST_F(PlaybackTest, APreparedListPlaysOnTheSinkOpenedForItAndOnlyThen) {
    playback->prepare({fixture("a440.mp3")}, 1);
    ASSERT_TRUE(waitFor([&] { return sinksMade == 1; }));
    QThread::msleep(100);
    EXPECT_EQ("", capture.tones()) << "heard before it was played";
    playback->play({fixture("a440.mp3")}, 1);
    ASSERT_TRUE(waitFor([&] { return listsEnded == 1; }));
    EXPECT_EQ("440:0.6", capture.tones());
    EXPECT_EQ(1, sinksMade);

    // Another list played, or a stop: what was prepared is never heard.
    capture.clear();
    playback->prepare({fixture("a440.mp3")}, 1);
    playback->play({fixture("c880.mp3")}, 1);
    ASSERT_TRUE(waitFor([&] { return listsEnded == 2; }));
    playback->prepare({fixture("a440.mp3")}, 1);
    playback->stop();
    QThread::msleep(300);
    EXPECT_EQ("880:0.4", capture.tones());

    // A first file that does not open is reported when the bell plays, once, not ahead.
    playback->prepare({fixture("broken.mp3"), fixture("b660.mp3")}, 1);
    QThread::msleep(200);
    EXPECT_EQ(0, filesSkipped);
    playback->play({fixture("broken.mp3"), fixture("b660.mp3")}, 1);
    ASSERT_TRUE(waitFor([&] { return listsEnded == 3; }));
    EXPECT_EQ(1, filesSkipped);
}

// An output whose write waits as a sound server does while its buffer is full, until it is
// interrupted (or released by the test).
class HeldBackOutput final : public SoundOutput {
public:
    bool write(const char*, size_t) override {
        std::unique_lock<std::mutex> lock(mutex);
        writing = true;
        changed.notify_all();
        changed.wait(lock, [this] { return interrupted || released; });
        return !interrupted;
    }
    void drain() override {}
    void interrupt() override {
        std::lock_guard<std::mutex> lock(mutex);
        interrupted = true;
        changed.notify_all();
    }
    void stop() override { stopped = true; }
    void release() {
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
        changed.notify_all();
    }

    std::mutex mutex;
    std::condition_variable changed;
    bool writing = false, interrupted = false, released = false;
    std::atomic<bool> stopped{false};
};

TEST(SoundOutputSinkTest, StopDoesNotWaitForTheServerToTakeMore) {
    auto owned = std::make_unique<HeldBackOutput>();
    HeldBackOutput& output = *owned;
    const PcmFormat format{44100, 1};
    QBuffer pcm;
    pcm.setData(QByteArray(static_cast<qsizetype>(format.bytesPerSecond()), 0));
    pcm.open(QIODevice::ReadOnly);
    std::unique_ptr<PcmSink> sink = makeSoundOutputSink(std::move(owned), format);
    sink->start(&pcm);
    {
        std::unique_lock<std::mutex> lock(output.mutex);
        ASSERT_TRUE(
            output.changed.wait_for(lock, std::chrono::seconds(5), [&] { return output.writing; }));
    }
    // Stop (and the next bell) would otherwise wait as long as the server holds the writer.
    auto stopping = std::async(std::launch::async, [&] { sink->stop(); });
    const bool prompt = stopping.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    output.release();
    stopping.wait();
    EXPECT_TRUE(prompt) << "stop waited for the held-back write";
    EXPECT_TRUE(output.stopped);
}

TEST(SoundOutputSinkTest, AHeldSinkWritesNothingUntilItsGateOpens) {
    const PcmFormat format{44100, 1};
    QBuffer pcm;
    pcm.setData(QByteArray(static_cast<qsizetype>(format.bytesPerSecond()), 0));
    pcm.open(QIODevice::ReadOnly);
    for (const bool opened : {true, false}) {
        auto owned = std::make_unique<HeldBackOutput>();
        HeldBackOutput& output = *owned;
        std::unique_ptr<PcmSink> sink = makeSoundOutputSink(std::move(owned), format);
        auto gate = std::make_shared<StartGate>();
        ASSERT_TRUE(sink->startWhenOpen(&pcm, gate));
        QThread::msleep(100);
        {
            std::unique_lock<std::mutex> lock(output.mutex);
            EXPECT_FALSE(output.writing) << "written before the gate opened";
        }
        if (opened) {
            gate->open();
            std::unique_lock<std::mutex> lock(output.mutex);
            EXPECT_TRUE(output.changed.wait_for(lock, std::chrono::seconds(5),
                                                [&] { return output.writing; }));
        }
        // A sink never let go, as one whose bell did not come, ends at once.
        auto stopping = std::async(std::launch::async, [&] { sink->stop(); });
        EXPECT_EQ(std::future_status::ready, stopping.wait_for(std::chrono::seconds(5)));
        output.release();
        stopping.wait();
    }
}

#ifdef __linux__
bool soundLibraryMapped() {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/libpulse.so") != std::string::npos) return true;
    return false;
}

TEST(AudioOutputTest, TheSoundLibraryIsLoadedWhenAskedForNotAtStart) {
    // A process of its own, in which nothing has played yet.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const bool atStart = soundLibraryMapped();
            loadAudioOutput();
            std::exit(!atStart && soundLibraryMapped() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
}  // namespace tolvane
