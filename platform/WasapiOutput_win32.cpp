// SPDX-License-Identifier: GPL-3.0-or-later
// A bell through WASAPI: the buffer is filled a little ahead of the device so a busy machine
// does not break the tone, the stream starts once its first 40 ms are queued (the onset stays
// what the device gives), and a playback is over only when the device's own clock has passed its
// last sample, not when the system has merely taken the data (waveOut's "done", which under Wine
// comes up to half a second early).

#include "platform/WasapiOutput_win32.h"

// clang-format off
#include <audioclient.h>
#include <audiopolicy.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tolvane {

namespace {

constexpr REFERENCE_TIME kHundredNsPerMs = 10000;
constexpr REFERENCE_TIME kBufferMs = 200;  // how long the writer may be kept away unheard
constexpr uint64_t kStartMs = 40;
constexpr size_t kTailMs = 100;        // silence after the last sample: drivers cut a bare end
constexpr DWORD kDeviceWaitMs = 2000;  // a device that wants nothing for this long has failed
constexpr DWORD kStillClockMs = 500;   // a clock that stands this long will not move again

std::string failure(const char* call, HRESULT result) {
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (0x%08lX)", call,
                  static_cast<unsigned long>(result));
    return text;
}

class WasapiOutput final : public WindowsSoundOutput {
public:
    WasapiOutput(int rate, size_t frameBytes)
        : m_rate(static_cast<uint64_t>(rate)),
          m_frameBytes(frameBytes),
          m_bufferReady(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          m_interruption(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    ~WasapiOutput() override {
        stop();
        m_clock.reset();
        m_render.reset();
        m_client.reset();
        CloseHandle(m_bufferReady);
        CloseHandle(m_interruption);
    }

    // Makes the stream; the reason for a refusal goes to why.
    bool open(IMMDevice* device, const WAVEFORMATEX& format, int volumePercent, std::string* why) {
        // The mixer converts rate and channels where the system can (Windows 7 and later); Wine
        // plays the stream's own format without being asked.
        constexpr DWORD kConverting =
            AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY;
        HRESULT result = initialize(device, format, kConverting);
        if (FAILED(result)) result = initialize(device, format, 0);
        if (FAILED(result)) return *why = failure("IAudioClient::Initialize", result), false;
        ComRef<ISimpleAudioVolume> volume;
        UINT64 frequency = 0;
        if (FAILED(result = m_client->SetEventHandle(m_bufferReady)) ||
            FAILED(result = m_client->GetBufferSize(&m_bufferFrames)) ||
            FAILED(result =
                       m_client->GetService(__uuidof(IAudioRenderClient), m_render.putVoid())) ||
            FAILED(result = m_client->GetService(__uuidof(IAudioClock), m_clock.putVoid())) ||
            FAILED(result = m_clock->GetFrequency(&frequency)) || frequency == 0)
            return *why = failure("IAudioClient set-up", result), false;
        m_clockFrequency = frequency;
        // The session's own volume: every bell sets it, so one bell's level never stays for the
        // next; the output's volume is the user's and stays as it is.
        if (SUCCEEDED(m_client->GetService(__uuidof(ISimpleAudioVolume), volume.putVoid())))
            volume->SetMasterVolume(static_cast<float>(volumePercent) / 100.0f, nullptr);
        return true;
    }

    bool write(const char* data, size_t n) override {
        m_pending.insert(m_pending.end(), data, data + n);
        size_t offset = 0;
        while (m_pending.size() - offset >= m_frameBytes) {
            if (m_failed || m_interrupted) return false;
            UINT32 padding = 0;
            if (FAILED(m_client->GetCurrentPadding(&padding))) return fail();
            const UINT32 room = m_bufferFrames - padding;
            if (room == 0) {
                if (!waitForRoom()) return false;
                continue;
            }
            const size_t frames =
                std::min<size_t>(room, (m_pending.size() - offset) / m_frameBytes);
            BYTE* target = nullptr;
            if (FAILED(m_render->GetBuffer(static_cast<UINT32>(frames), &target))) return fail();
            std::memcpy(target, m_pending.data() + offset, frames * m_frameBytes);
            if (FAILED(m_render->ReleaseBuffer(static_cast<UINT32>(frames), 0))) return fail();
            offset += frames * m_frameBytes;
            m_framesWritten += frames;
            if (!m_started && m_framesWritten >= m_rate * kStartMs / 1000 && !start()) return false;
        }
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<ptrdiff_t>(offset));
        return !m_failed;
    }

    void drain() override {
        const std::vector<char> silence(static_cast<size_t>(m_rate * kTailMs / 1000) * m_frameBytes,
                                        0);
        m_pending.clear();  // a part of a frame is never heard
        if (!write(silence.data(), silence.size())) return;
        if (!m_started && !start()) return;
        waitUntilPlayed();
    }

    // A writer waits up to a device period for room; Stop must not let more than that be heard.
    void interrupt() override {
        m_interrupted = true;
        SetEvent(m_interruption);
    }

    void stop() override {
        if (m_client.get() && m_started) {
            m_client->Stop();
            m_client->Reset();  // what is queued is dropped, the clock back at 0
        }
        m_started = false;
        m_framesWritten = 0;
        m_pending.clear();
    }

private:
    HRESULT initialize(IMMDevice* device, const WAVEFORMATEX& format, DWORD converting) {
        m_client.reset();
        HRESULT result =
            device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, m_client.putVoid());
        if (FAILED(result)) return result;
        return m_client->Initialize(
            AUDCLNT_SHAREMODE_SHARED,
            AUDCLNT_STREAMFLAGS_EVENTCALLBACK | AUDCLNT_STREAMFLAGS_NOPERSIST | converting,
            kBufferMs * kHundredNsPerMs, 0, &format, nullptr);
    }

    bool start() {
        if (FAILED(m_client->Start())) return fail();
        m_started = true;
        return true;
    }

    bool fail() {
        m_failed = true;
        return false;
    }

    // Waits for the device to want more; false when interrupted or the device stopped asking.
    bool waitForRoom() {
        if (!m_started && !start()) return false;
        const HANDLE events[] = {m_bufferReady, m_interruption};
        const DWORD woken = WaitForMultipleObjects(2, events, FALSE, kDeviceWaitMs);
        if (woken == WAIT_OBJECT_0) return true;
        if (woken == WAIT_TIMEOUT) fail();
        return false;
    }

    uint64_t framesPlayed() {
        UINT64 position = 0;
        if (FAILED(m_clock->GetPosition(&position, nullptr))) return UINT64_MAX;
        return position * m_rate / m_clockFrequency;
    }

    // Until the device's clock has passed the last frame written, the interruption, or a clock
    // that has stopped counting (a device gone).
    void waitUntilPlayed() {
        uint64_t last = 0;
        DWORD stillSince = GetTickCount();
        while (!m_interrupted) {
            const uint64_t played = framesPlayed();
            if (played >= m_framesWritten) return;
            if (played != last) {
                last = played;
                stillSince = GetTickCount();
            } else if (GetTickCount() - stillSince > kStillClockMs) {
                return;
            }
            WaitForSingleObject(m_interruption, 5);
        }
    }

    ComUse m_com;  // first made, last gone: the stream's objects live in it
    const uint64_t m_rate;
    const size_t m_frameBytes;
    HANDLE m_bufferReady;
    HANDLE m_interruption;
    ComRef<IAudioClient> m_client;
    ComRef<IAudioRenderClient> m_render;
    ComRef<IAudioClock> m_clock;
    UINT64 m_clockFrequency = 1;
    UINT32 m_bufferFrames = 0;
    uint64_t m_framesWritten = 0;  // since the stream started: what the clock counts
    std::vector<char> m_pending;   // bytes written but not yet in the device's buffer
    bool m_started = false;
    bool m_failed = false;
    std::atomic<bool> m_interrupted{false};
};

}  // namespace

std::unique_ptr<WindowsSoundOutput> openWasapiOutput(IMMDevice* device, int rate, int channels,
                                                     int volumePercent, std::string* why) {
    const WAVEFORMATEX format = pcm16Format(rate, channels);
    auto output = std::make_unique<WasapiOutput>(rate, format.nBlockAlign);
    if (!output->open(device, format, volumePercent, why)) return nullptr;
    return output;
}

}  // namespace tolvane
