// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "base/Status.h"
#include "platform/SpeechVoice.h"

namespace tolvane {

// pcm as a mono MP3 file's bytes (libmp3lame); fails when the build has no encoder.
Result<std::string> encodeMp3(const SpeechPcm& pcm);

}  // namespace tolvane
