// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/CoreAudio_win32.h"

namespace tolvane {

// A bell's stream through waveOut on the device named in choice (the default one when none has
// that name, and then chosenMissing is set), at the bell volume; nullptr with why when there is no
// device. Its drain returns when the device's play position has reached the last byte.
std::unique_ptr<WindowsSoundOutput> openWaveOutput(int rate, int channels,
                                                   const OutputChoice& choice, bool* chosenMissing,
                                                   std::string* why);

// waveOut's device names by device number (each an endpoint's friendly name cut to 31
// characters; empty for a device that does not answer).
std::vector<std::string> waveOutputNames();

}  // namespace tolvane
