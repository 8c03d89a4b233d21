// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CoreAudio_win32.h"

// clang-format off
#include <initguid.h>
#include <mmdeviceapi.h>
#include <functiondiscoverykeys_devpkey.h>
// clang-format on

#include <filesystem>

#include "base/PathText.h"

namespace tolvane {

bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool openEndpoints(ComRef<IMMDeviceEnumerator>* devices) {
    return SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                      __uuidof(IMMDeviceEnumerator), devices->putVoid()));
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

namespace {

// waveOut names a device by its endpoint's friendly name cut to 31 characters.
bool namesEndpoint(const std::string& chosen, const std::string& friendly) {
    return friendly == chosen ||
           (!chosen.empty() && friendly.rfind(chosen, 0) == 0 &&
            std::filesystem::path(pathFromUtf8(chosen)).wstring().size() >= 31);
}

}  // namespace

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

WAVEFORMATEX pcm16Format(int rate, int channels) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

}  // namespace tolvane
