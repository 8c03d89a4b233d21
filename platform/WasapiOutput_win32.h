// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/CoreAudio_win32.h"

namespace tolvane {

// A bell's stream through WASAPI in shared mode on device: 16-bit PCM at rate Hz and channels
// channels, converted by the system's mixer, at volumePercent of the output's volume. Its drain
// returns when the device's clock has played the last sample. nullptr with why when the device
// will not take the stream (then waveOut may). Made on a thread that keeps COM while the stream
// lives; written from any thread of the process.
std::unique_ptr<WindowsSoundOutput> openWasapiOutput(IMMDevice* device, int rate, int channels,
                                                     int volumePercent, std::string* why);

}  // namespace tolvane
