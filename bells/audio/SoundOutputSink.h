// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A PcmSink over a SoundOutput, which blocks while its device is busy: a writer thread of its own
// pulls the PCM and writes it, so the player thread stays free to hear stop().

#include <memory>

#include "bells/audio/PcmSink.h"
#include "platform/SoundOutput.h"

namespace tolvane {

std::unique_ptr<PcmSink> makeSoundOutputSink(std::unique_ptr<SoundOutput> output,
                                             const PcmFormat& format);

}  // namespace tolvane
