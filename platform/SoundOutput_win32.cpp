// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows sound output: bells through WASAPI (waveOut where WASAPI will not take a stream),
// and what the output is like (there, muted, how loud) from Core Audio's endpoints, read again as
// soon as Core Audio tells of a change.

#include <windows.h>
// clang-format off
#include <mmdeviceapi.h>
#include <endpointvolume.h>
// clang-format on

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/CoreAudio_win32.h"
#include "platform/SoundOutput.h"
#include "platform/WasapiOutput_win32.h"
#include "platform/WaveOutput_win32.h"

namespace tolvane {

namespace {

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
    if (!openEndpoints(&devices)) return report;  // no audio service to ask: nothing known
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

// Wakes the watch when Core Audio tells of a change: an endpoint added, removed, plugged or
// unplugged, the default one changed, or the followed endpoint's mute or level changed. It only
// wakes: the watch reads the whole output on its own thread, so its reports keep their order.
class ChangeNotices final : public IMMNotificationClient, public IAudioEndpointVolumeCallback {
public:
    explicit ChangeNotices(std::function<void()> wake) : m_wake(std::move(wake)) {}

    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == __uuidof(IUnknown) || id == __uuidof(IMMNotificationClient))
            *object = static_cast<IMMNotificationClient*>(this);
        else if (id == __uuidof(IAudioEndpointVolumeCallback))
            *object = static_cast<IAudioEndpointVolumeCallback*>(this);
        else
            return *object = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return woken(); }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return woken(); }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return woken(); }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole, LPCWSTR) override {
        return flow == eRender ? woken() : S_OK;
    }
    // Properties change all the time and say nothing a bell depends on.
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA) override { return woken(); }

private:
    HRESULT woken() {
        m_wake();
        return S_OK;
    }

    std::function<void()> m_wake;
    std::atomic<ULONG> m_references{1};
};

// The mute and level of one endpoint at a time are followed: the one the bells would play on.
class FollowedVolume {
public:
    ~FollowedVolume() { follow(nullptr, nullptr); }
    void follow(IMMDevice* device, IAudioEndpointVolumeCallback* notices) {
        if (m_volume.get()) m_volume->UnregisterControlChangeNotify(m_notices);
        m_volume.reset();
        m_notices = notices;
        if (!device ||
            FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr,
                                    m_volume.putVoid())) ||
            FAILED(m_volume->RegisterControlChangeNotify(notices)))
            m_volume.reset();
    }

private:
    ComRef<IAudioEndpointVolume> m_volume;
    IAudioEndpointVolumeCallback* m_notices = nullptr;
};

// Reads the output on a thread of its own whenever Core Audio tells of a change, and once a second
// besides (a driver that announces nothing is still caught within a second), and tells every
// change it finds.
class CoreAudioWatch final : public OutputWatch {
public:
    CoreAudioWatch(std::string name, std::function<void(const OutputReport&)> onChange)
        : m_thread([this, name = std::move(name), onChange = std::move(onChange)] {
              watch(name, onChange);
          }) {}
    ~CoreAudioWatch() override {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

private:
    void watch(const std::string& name, const std::function<void(const OutputReport&)>& onChange) {
        ComUse com;
        ComRef<IMMDeviceEnumerator> devices;
        auto* notices = new ChangeNotices([this] { wake(); });
        const bool told = openEndpoints(&devices) &&
                          SUCCEEDED(devices->RegisterEndpointNotificationCallback(notices));
        {
            FollowedVolume volume;
            std::pair<std::string, bool> followed;  // the endpoint's name, and whether it is there
            OutputReport last;
            bool first = true;
            std::unique_lock lock(m_mutex);
            while (!m_stopping) {
                m_woken = false;
                lock.unlock();
                const OutputReport now = readOutput(name);
                remember(name, now);
                if (devices.get() && (first || followed != std::pair(now.name, now.present))) {
                    ComRef<IMMDevice> device;
                    findEndpoint(devices.get(), name, &device);
                    volume.follow(device.get(), notices);
                    followed = {now.name, now.present};
                }
                if (first || !(now == last)) onChange(now);
                first = false;
                last = now;
                lock.lock();
                m_wake.wait_for(lock, std::chrono::seconds(1),
                                [this] { return m_stopping || m_woken; });
            }
        }
        if (told) devices->UnregisterEndpointNotificationCallback(notices);
        notices->Release();
    }

    void wake() {
        {
            std::lock_guard lock(m_mutex);
            m_woken = true;
        }
        m_wake.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    bool m_woken = false;
    std::thread m_thread;  // last: it uses the members above
};

}  // namespace

std::unique_ptr<OutputWatch> watchOutput(const std::string& name,
                                         std::function<void(const OutputReport&)> onChange) {
    return std::make_unique<CoreAudioWatch>(name, std::move(onChange));
}

std::vector<OutputName> listOutputs() {
    std::vector<OutputName> outputs;
    ComUse com;
    ComRef<IMMDeviceEnumerator> devices;
    ComRef<IMMDeviceCollection> active;
    UINT count = 0;
    if (openEndpoints(&devices) &&
        SUCCEEDED(devices->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, active.put())) &&
        SUCCEEDED(active->GetCount(&count))) {
        for (UINT i = 0; i < count; ++i) {
            ComRef<IMMDevice> device;
            if (FAILED(active->Item(i, device.put()))) continue;
            const std::string name = friendlyName(device.get());
            if (!name.empty()) outputs.push_back({name, name});
        }
        return outputs;
    }
    for (const std::string& name : waveOutputNames())
        if (!name.empty()) outputs.push_back({name, name});
    return outputs;
}

Status makeOutputAudible(const std::string& name) {
    if (underWine()) return Status::notSupported("Wine does not tell an output's mute and level");
    ComUse com;
    ComRef<IMMDeviceEnumerator> devices;
    ComRef<IMMDevice> device;
    ComRef<IAudioEndpointVolume> volume;
    if (!openEndpoints(&devices))
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
    return true;  // WASAPI and waveOut are part of the system
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

namespace {

// A stream through WASAPI on the endpoint chosen, or on the default one when the chosen one is not
// there (and then chosenMissing is set); nullptr with why when WASAPI will not take it.
std::unique_ptr<WindowsSoundOutput> openThroughWasapi(int rate, int channels,
                                                      const OutputChoice& choice,
                                                      bool* chosenMissing, std::string* why) {
    ComUse com;
    ComRef<IMMDeviceEnumerator> devices;
    if (!openEndpoints(&devices))
        return *why = "the Windows audio service does not answer", nullptr;
    ComRef<IMMDevice> device;
    findEndpoint(devices.get(), choice.output, &device);
    DWORD state = 0;
    if (!choice.output.empty() &&
        (!device.get() || FAILED(device->GetState(&state)) || state != DEVICE_STATE_ACTIVE)) {
        *chosenMissing = true;
        findEndpoint(devices.get(), "", &device);
    }
    if (!device.get()) return *why = "no sound output", nullptr;
    return openWasapiOutput(device.get(), rate, channels, choice.volumePercent, why);
}

}  // namespace

std::unique_ptr<SoundOutput> openSoundOutput(int rate, int channels, const OutputChoice& choice,
                                             std::string* why) {
    bool chosenMissing = false;
    std::string wasapiWhy;
    std::string waveWhy;
    std::unique_ptr<WindowsSoundOutput> output =
        openThroughWasapi(rate, channels, choice, &chosenMissing, &wasapiWhy);
    if (!output) {
        chosenMissing = false;
        output = openWaveOutput(rate, channels, choice, &chosenMissing, &waveWhy);
    }
    if (!output) {
        if (why) *why = "no sound output (" + wasapiWhy + "; " + waveWhy + ")";
        return nullptr;
    }
    if (chosenMissing) {
        output->setAudibility("选定的声音输出 " + choice.output + " 不存在", true);
    } else {
        const OutputReport report = outputNow(choice.output);
        const bool known = report.known && report.present && report.stateKnown;
        output->setAudibility(known ? inaudibleReason(report.state) : std::string(), known);
    }
    return output;
}

}  // namespace tolvane
