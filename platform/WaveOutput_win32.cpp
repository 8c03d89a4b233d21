// SPDX-License-Identifier: GPL-3.0-or-later
// waveOut, where WASAPI will not take a stream: every Windows has it, and it plays at the stream's
// own rate (the system mixer converts).

#include "platform/WaveOutput_win32.h"

// clang-format off
#include <mmsystem.h>
// clang-format on

#include <array>
#include <atomic>
#include <filesystem>
#include <vector>

#include "base/PathText.h"

namespace tolvane {

namespace {

constexpr size_t kBlocks = 4;
constexpr size_t kBlockMs = 100;
constexpr size_t kTailMs = 300;
constexpr DWORD kWaitMs = 2000;  // a device that returns no block for this long has failed
constexpr DWORD kStillPositionMs = 500;

class WaveOutput final : public WindowsSoundOutput {
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
};

// The waveOut device of the output named (an endpoint's friendly name, which waveOut cuts to 31
// characters); the mapper (the default device) when none is.
UINT deviceNamed(const std::string& name) {
    if (name.empty()) return WAVE_MAPPER;
    const std::vector<std::string> names = waveOutputNames();
    for (UINT id = 0; id < names.size(); ++id) {
        const bool cut = std::filesystem::path(pathFromUtf8(names[id])).wstring().size() >= 31;
        if (!names[id].empty() && (names[id] == name || (cut && name.rfind(names[id], 0) == 0)))
            return id;
    }
    return WAVE_MAPPER;
}

}  // namespace

std::unique_ptr<WindowsSoundOutput> openWaveOutput(int rate, int channels,
                                                   const OutputChoice& choice, bool* chosenMissing,
                                                   std::string* why) {
    const WAVEFORMATEX format = pcm16Format(rate, channels);
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT device = nullptr;
    const UINT chosen = deviceNamed(choice.output);
    *chosenMissing = !choice.output.empty() && chosen == WAVE_MAPPER;
    const MMRESULT opened =
        waveOutOpen(&device, chosen, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT);
    if (opened != MMSYSERR_NOERROR) {
        CloseHandle(done);
        *why = "waveOutOpen failed (" + std::to_string(opened) + ")";
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
    return std::make_unique<WaveOutput>(device, done, blockBytes);
}

std::vector<std::string> waveOutputNames() {
    std::vector<std::string> names;
    for (UINT id = 0, count = waveOutGetNumDevs(); id < count; ++id) {
        WAVEOUTCAPSW caps{};
        const bool known = waveOutGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR;
        names.push_back(known ? utf8FromPath(std::filesystem::path(caps.szPname)) : std::string());
    }
    return names;
}

}  // namespace tolvane
