// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the Windows sound back-ends share of Core Audio: the render endpoint a user chose by name
// (COM itself in Com_win32.h).

// clang-format off
#include <windows.h>
#include <mmdeviceapi.h>
// clang-format on

#include <string>

#include "platform/Com_win32.h"
#include "platform/SoundOutput.h"

namespace tolvane {

// Wine's endpoints answer unmuted and at full volume whatever the sound server does: under Wine
// only an endpoint's presence is told.
bool underWine();

// The system's endpoint list; false when the audio service does not answer.
bool openEndpoints(ComRef<IMMDeviceEnumerator>* devices);

// The friendly name a person reads ("扬声器 (Realtek High Definition Audio)"); empty when unknown.
std::string friendlyName(IMMDevice* device);

// The render endpoint chosen (empty: the default one) in any state; found stays empty when there
// is none. A name cut to waveOut's 31 characters (as older settings hold it) still finds it.
void findEndpoint(IMMDeviceEnumerator* devices, const std::string& chosen,
                  ComRef<IMMDevice>* found);

// 16-bit PCM at rate Hz, channels interleaved.
WAVEFORMATEX pcm16Format(int rate, int channels);

// What a Windows stream says of being heard, fixed when it opens.
class WindowsSoundOutput : public SoundOutput {
public:
    std::string inaudibleBecause() const override { return m_inaudible; }
    bool audibilityKnown() const override { return m_audibilityKnown; }
    void setAudibility(std::string inaudibleBecause, bool known) {
        m_inaudible = std::move(inaudibleBecause);
        m_audibilityKnown = known;
    }

private:
    std::string m_inaudible;
    bool m_audibilityKnown = false;
};

}  // namespace tolvane
