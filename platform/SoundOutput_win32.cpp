// SoundOutput over waveOut: every Windows has it, it plays at the stream's own rate (the system
// mixer converts), and it answers at once under Wine, where Qt's sink waits forever for Media
// Foundation's resampler.

#include <windows.h>
// clang-format off
#include <mmsystem.h>
// clang-format on

#include <array>
#include <filesystem>
#include <atomic>
#include <vector>

#include "base/PathText.h"
#include "platform/SoundOutput.h"

namespace tolvane {

namespace {

constexpr size_t kBlocks = 4;
constexpr size_t kBlockMs = 100;
constexpr size_t kTailMs = 300;
constexpr DWORD kWaitMs = 2000;  // a device that returns no block for this long has failed
constexpr DWORD kStillPositionMs = 500;

class WaveOutput final : public SoundOutput {
public:
    WaveOutput(HWAVEOUT device, HANDLE done, size_t blockBytes) : m_device(device), m_done(done) {
        for (Block& b : m_blocks) b.bytes.resize(blockBytes);
        m_tailBytes = blockBytes * kTailMs / kBlockMs;
    }
    ~WaveOutput() override {
        stop();
        waveOutClose(m_device);
        CloseHandle(m_done);
    }

    bool write(const char* data, size_t n) override {
        while (n > 0 && !m_failed) {
            Block& b = m_blocks[m_current];
            if (!waitUntilFree(b)) return false;
            const size_t room = b.bytes.size() - b.filled;
            const size_t take = n < room ? n : room;
            std::copy(data, data + take, b.bytes.begin() + static_cast<ptrdiff_t>(b.filled));
            b.filled += take;
            data += take;
            n -= take;
            if (b.filled == b.bytes.size()) send(b);
        }
        return !m_failed;
    }

    void drain() override {
        // The silence goes through write(), so it is queued like sound and heard to its end.
        const std::vector<char> silence(m_tailBytes, 0);
        write(silence.data(), silence.size());
        if (m_blocks[m_current].filled > 0) send(m_blocks[m_current]);
        for (Block& b : m_blocks)
            if (!waitUntilFree(b)) return;
        waitUntilPlayed();
    }

    // A writer waits up to a block (100 ms) for the device: Stop must not let that much more be
    // heard.
    void interrupt() override {
        m_interrupted = true;
        SetEvent(m_done);
    }

    std::string inaudibleBecause() const override { return m_inaudible; }
    void setInaudibleBecause(std::string why) { m_inaudible = std::move(why); }
    // The endpoint's mute and level are not read: only a missing chosen output is known.
    bool audibilityKnown() const override { return !m_inaudible.empty(); }

    void stop() override {
        waveOutReset(m_device);  // every queued block comes back marked done, the position 0
        for (Block& b : m_blocks) release(b);
        m_bytesSent = 0;
    }

private:
    struct Block {
        std::vector<char> bytes;
        size_t filled = 0;
        WAVEHDR header{};
        bool queued = false;
    };

    void send(Block& b) {
        b.header = WAVEHDR{};
        b.header.lpData = b.bytes.data();
        b.header.dwBufferLength = static_cast<DWORD>(b.filled);
        if (waveOutPrepareHeader(m_device, &b.header, sizeof b.header) != MMSYSERR_NOERROR ||
            waveOutWrite(m_device, &b.header, sizeof b.header) != MMSYSERR_NOERROR) {
            m_failed = true;
            return;
        }
        b.queued = true;
        m_bytesSent += static_cast<DWORD>(b.filled);
        m_current = (m_current + 1) % kBlocks;
    }

    // Waits for the device to hand b back, then makes it ready to fill again; false when the
    // device failed or the wait was interrupted.
    bool waitUntilFree(Block& b) {
        while (b.queued && !(b.header.dwFlags & WHDR_DONE)) {
            if (m_interrupted) return false;
            if (WaitForSingleObject(m_done, kWaitMs) == WAIT_TIMEOUT &&
                !(b.header.dwFlags & WHDR_DONE)) {
                m_failed = true;
                return false;
            }
        }
        release(b);
        return true;
    }

    // A block comes back done once the system has taken it, which may be before it is heard
    // (under Wine, up to half a second): the device's play position tells when the last byte was
    // played. Gives up when the position stops moving (a device that does not count).
    void waitUntilPlayed() {
        DWORD lastPosition = 0;
        DWORD stillSince = GetTickCount();
        while (!m_interrupted) {
            MMTIME position{};
            position.wType = TIME_BYTES;
            if (waveOutGetPosition(m_device, &position, sizeof position) != MMSYSERR_NOERROR ||
                position.wType != TIME_BYTES || position.u.cb >= m_bytesSent)
                return;
            if (position.u.cb != lastPosition) {
                lastPosition = position.u.cb;
                stillSince = GetTickCount();
            } else if (GetTickCount() - stillSince > kStillPositionMs) {
                return;
            }
            Sleep(5);
        }
    }

    void release(Block& b) {
        if (b.queued) waveOutUnprepareHeader(m_device, &b.header, sizeof b.header);
        if (b.queued) b.filled = 0;
        b.queued = false;
    }

    HWAVEOUT m_device;
    HANDLE m_done;
    std::array<Block, kBlocks> m_blocks;
    size_t m_current = 0;
    size_t m_tailBytes = 0;
    DWORD m_bytesSent = 0;  // since the stream opened: what the play position counts
    bool m_failed = false;
    std::atomic<bool> m_interrupted{false};
    std::string m_inaudible;
};

// The waveOut device whose name is name; the mapper (the default device) when none is.
UINT deviceNamed(const std::string& name) {
    if (name.empty()) return WAVE_MAPPER;
    for (UINT id = 0, count = waveOutGetNumDevs(); id < count; ++id) {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            utf8FromPath(std::filesystem::path(caps.szPname)) == name)
            return id;
    }
    return WAVE_MAPPER;
}

}  // namespace

// The endpoint's mute, level and state (IAudioEndpointVolume, IMMDevice) are not read yet: the
// status says the system does not tell, and no watch runs.
OutputReport readOutput(const std::string&) {
    return {};
}

std::unique_ptr<OutputWatch> watchOutput(const std::string&,
                                         std::function<void(const OutputReport&)>) {
    return nullptr;
}

std::vector<OutputName> listOutputs() {
    std::vector<OutputName> outputs;
    for (UINT id = 0, count = waveOutGetNumDevs(); id < count; ++id) {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
        const std::string name = utf8FromPath(std::filesystem::path(caps.szPname));
        outputs.push_back({name, name});
    }
    return outputs;
}

Status makeOutputAudible(const std::string&) {
    return Status::notSupported("the output's mute and level are not changed on Windows");
}

bool loadSoundOutput() {
    return true;  // waveOut is part of the system
}

std::unique_ptr<SoundOutput> openSoundOutput(int rate, int channels, const OutputChoice& choice,
                                             std::string* why) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT device = nullptr;
    const UINT chosen = deviceNamed(choice.output);
    const MMRESULT opened = waveOutOpen(&device, chosen, &format,
                                        reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT);
    if (opened != MMSYSERR_NOERROR) {
        CloseHandle(done);
        if (why) *why = "no sound output (waveOutOpen " + std::to_string(opened) + ")";
        return nullptr;
    }
    // Since Vista this is the stream's own volume, not the device's; both channels alike. At
    // full volume the stream is left as the system opened it.
    if (choice.volumePercent < 100) {
        const DWORD level = static_cast<DWORD>(0xFFFF * choice.volumePercent / 100);
        waveOutSetVolume(device, level | (level << 16));
    }
    const size_t blockBytes =
        format.nAvgBytesPerSec * kBlockMs / 1000 / format.nBlockAlign * format.nBlockAlign;
    auto output = std::make_unique<WaveOutput>(device, done, blockBytes);
    if (!choice.output.empty() && chosen == WAVE_MAPPER)
        output->setInaudibleBecause("选定的声音输出 " + choice.output + " 不存在");
    return output;
}

}  // namespace tolvane
