// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/make/Mp3Encoder.h"

#include <lame/lame.h>

#include <memory>

#include "base/UiText.h"

namespace tolvane {

namespace {
// Speech needs no more: 64 kbit/s mono is clear at 22 kHz and small.
constexpr int kKbitPerSecond = 64;
}  // namespace

Result<std::string> encodeMp3(const SpeechPcm& pcm) {
    const auto failed = [] { return Status::ioError(uiText("Mp3Encoder", "语音不能编码为 MP3")); };
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
    if (!lame || pcm.sampleRate <= 0) return failed();
    lame_set_in_samplerate(lame.get(), pcm.sampleRate);
    lame_set_num_channels(lame.get(), 1);
    lame_set_mode(lame.get(), MONO);
    lame_set_brate(lame.get(), kKbitPerSecond);
    lame_set_quality(lame.get(), 5);
    if (lame_init_params(lame.get()) < 0) return failed();
    // The buffer size libmp3lame's documentation asks for: 1.25 × samples + 7200.
    std::string out(pcm.samples.size() * 5 / 4 + 7200, '\0');
    auto* buffer = reinterpret_cast<unsigned char*>(out.data());
    const int size = static_cast<int>(out.size());
    const int encoded = lame_encode_buffer(lame.get(), pcm.samples.data(), nullptr,
                                           static_cast<int>(pcm.samples.size()), buffer, size);
    if (encoded < 0) return failed();
    const int flushed = lame_encode_flush(lame.get(), buffer + encoded, size - encoded);
    if (flushed < 0) return failed();
    out.resize(static_cast<size_t>(encoded + flushed));
    return out;
}

}  // namespace tolvane
