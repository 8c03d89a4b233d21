// SoundOutput over waveOut: every Windows has it, it plays at the stream's own rate (the system
// mixer converts), and it answers at once under Wine, where Qt's sink waits forever for Media
// Foundation's resampler. What the output is like (there, muted, how loud) comes from Core Audio's
// endpoints.

#include <windows.h>
// clang-format off
#include <mmsystem.h>
#include <initguid.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <functiondiscoverykeys_devpkey.h>
// clang-format on

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
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
    void setAudibility(std::string inaudibleBecause, bool known) {
        m_inaudible = std::move(inaudibleBecause);
        m_audibilityKnown = known;
    }
    bool audibilityKnown() const override { return m_audibilityKnown; }

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
    bool m_audibilityKnown = false;
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

namespace {

// COM on the calling thread for the length of a call; a thread the toolkit already made a
// single-threaded apartment keeps it (COM works there all the same).
class ComUse {
public:
    ComUse() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComUse() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }

private:
    HRESULT m_result;
};

template <class T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (m_p) m_p->Release();
    }
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    T** put() { return &m_p; }
    void** putVoid() { return reinterpret_cast<void**>(&m_p); }

private:
    T* m_p = nullptr;
};

// Wine's endpoints answer unmuted and at full volume whatever the sound server does: under Wine
// only an endpoint's presence is told.
bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string friendlyName(IMMDevice* device) {
    ComRef<IPropertyStore> properties;
    if (FAILED(device->OpenPropertyStore(STGM_READ, properties.put()))) return {};
    PROPVARIANT value;
    PropVariantInit(&value);
    std::string name;
    if (SUCCEEDED(properties->GetValue(PKEY_Device_FriendlyName, &value)) &&
        value.vt == VT_LPWSTR && value.pwszVal)
        name = utf8FromPath(std::filesystem::path(value.pwszVal));
    PropVariantClear(&value);
    return name;
}

// waveOut names a device by its endpoint's friendly name cut to 31 characters.
bool namesEndpoint(const std::string& chosen, const std::string& friendly) {
    return friendly == chosen ||
           (!chosen.empty() && friendly.rfind(chosen, 0) == 0 &&
            std::filesystem::path(pathFromUtf8(chosen)).wstring().size() >= 31);
}

// The render endpoint chosen (empty: the default one) in any state; null when there is none.
void findEndpoint(IMMDeviceEnumerator* devices, const std::string& chosen,
                  ComRef<IMMDevice>* found) {
    if (chosen.empty()) {
        devices->GetDefaultAudioEndpoint(eRender, eConsole, found->put());
        return;
    }
    ComRef<IMMDeviceCollection> all;
    UINT count = 0;
    if (FAILED(devices->EnumAudioEndpoints(eRender, DEVICE_STATEMASK_ALL, all.put())) ||
        FAILED(all->GetCount(&count)))
        return;
    for (UINT i = 0; i < count; ++i) {
        ComRef<IMMDevice> device;
        if (SUCCEEDED(all->Item(i, device.put())) &&
            namesEndpoint(chosen, friendlyName(device.get())))
            return (void)all->Item(i, found->put());
    }
}

// Reads the endpoint's mute and level into report; false when they cannot be read.
bool readVolume(IMMDevice* device, OutputReport* report) {
    ComRef<IAudioEndpointVolume> volume;
    BOOL muted = FALSE;
    float level = 0;
    if (FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr,
                                volume.putVoid())) ||
        FAILED(volume->GetMute(&muted)) || FAILED(volume->GetMasterVolumeLevelScalar(&level)))
        return false;
    report->state.muted = muted != FALSE;
    report->state.volumePercent = static_cast<int>(std::lround(level * 100));
    return true;
}

}  // namespace

namespace {

// The watch's last reading, so that a bell's stream need not ask Core Audio as it starts.
struct LastReading {
    std::mutex mutex;
    std::string name;
    OutputReport report;
    std::chrono::steady_clock::time_point at;
};
LastReading& lastReading() {
    static LastReading* const last = new LastReading;
    return *last;
}

void remember(const std::string& name, const OutputReport& report) {
    LastReading& last = lastReading();
    std::lock_guard keep(last.mutex);
    last.name = name;
    last.report = report;
    last.at = std::chrono::steady_clock::now();
}

}  // namespace

OutputReport readOutput(const std::string& name) {
    ComUse com;
    OutputReport report;
    ComRef<IMMDeviceEnumerator> devices;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator), devices.putVoid())))
        return report;  // no audio service to ask: nothing known
    report.known = report.serverRunning = true;
    ComRef<IMMDevice> device;
    findEndpoint(devices.get(), name, &device);
    DWORD state = 0;
    if (!device.get() || FAILED(device->GetState(&state))) return report;
    report.name = friendlyName(device.get());
    report.present = state == DEVICE_STATE_ACTIVE || state == DEVICE_STATE_UNPLUGGED;
    report.state.portUnplugged = state == DEVICE_STATE_UNPLUGGED;
    report.stateKnown = report.present && !underWine() && readVolume(device.get(), &report);
    return report;
}

namespace {

// Reads the output once a second on a thread of its own and tells every change: Core Audio's own
// notifications come on its threads in an order of their own, and a second is how soon a muted
// output must be said.
class PolledOutputWatch final : public OutputWatch {
public:
    PolledOutputWatch(std::string name, std::function<void(const OutputReport&)> onChange)
        : m_thread([this, name = std::move(name), onChange = std::move(onChange)] {
              OutputReport told;
              bool first = true;
              std::unique_lock lock(m_mutex);
              while (!m_stopping) {
                  lock.unlock();
                  const OutputReport now = readOutput(name);
                  remember(name, now);
                  if (first || !(now == told)) onChange(now);
                  first = false;
                  told = now;
                  lock.lock();
                  m_wake.wait_for(lock, std::chrono::seconds(1), [this] { return m_stopping; });
              }
          }) {}
    ~PolledOutputWatch() override {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;  // last: it uses the members above
};

}  // namespace

std::unique_ptr<OutputWatch> watchOutput(const std::string& name,
                                         std::function<void(const OutputReport&)> onChange) {
    return std::make_unique<PolledOutputWatch>(name, std::move(onChange));
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

Status makeOutputAudible(const std::string& name) {
    if (underWine()) return Status::notSupported("Wine does not tell an output's mute and level");
    ComUse com;
    ComRef<IMMDeviceEnumerator> devices;
    ComRef<IMMDevice> device;
    ComRef<IAudioEndpointVolume> volume;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator), devices.putVoid())))
        return Status::ioError("the Windows audio service does not answer");
    findEndpoint(devices.get(), name, &device);
    if (!device.get() || FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL,
                                                 nullptr, volume.putVoid())))
        return Status::notFound("no such sound output");
    float level = 0;
    if (FAILED(volume->SetMute(FALSE, nullptr)) ||
        FAILED(volume->GetMasterVolumeLevelScalar(&level)))
        return Status::ioError("the output's mute and level cannot be changed");
    const float floor = kAudibleVolumePercent / 100.0f;
    if (level < floor && FAILED(volume->SetMasterVolumeLevelScalar(floor, nullptr)))
        return Status::ioError("the output's level cannot be raised");
    return Status::ok();
}

bool loadSoundOutput() {
    return true;  // waveOut is part of the system
}

namespace {

// The output as the watch last read it, when that was within two seconds; else read now.
OutputReport outputNow(const std::string& name) {
    {
        LastReading& last = lastReading();
        std::lock_guard keep(last.mutex);
        if (last.name == name &&
            std::chrono::steady_clock::now() - last.at < std::chrono::seconds(2))
            return last.report;
    }
    return readOutput(name);
}

}  // namespace

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
    const MMRESULT opened =
        waveOutOpen(&device, chosen, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT);
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
    if (!choice.output.empty() && chosen == WAVE_MAPPER) {
        output->setAudibility("选定的声音输出 " + choice.output + " 不存在", true);
    } else {
        const OutputReport report = outputNow(choice.output);
        const bool known = report.known && report.present && report.stateKnown;
        output->setAudibility(known ? inaudibleReason(report.state) : std::string(), known);
    }
    return output;
}

}  // namespace tolvane
