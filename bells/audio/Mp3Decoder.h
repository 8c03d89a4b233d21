// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// MP3 files to 16-bit PCM through libmpg123. Qt-free.

#include <cstddef>
#include <string>

#include "base/Status.h"

struct mpg123_handle_struct;

namespace tolvane {

// Signed 16-bit interleaved samples at rate Hz.
struct PcmFormat {
    int rate = 0;
    int channels = 0;
    bool operator==(const PcmFormat&) const = default;
    size_t bytesPerSecond() const {
        return static_cast<size_t>(rate) * static_cast<size_t>(channels) * 2;
    }
};

class Mp3Decoder {
public:
    Mp3Decoder();
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Opens a file and reads up to its first frame; fails for a missing file or one that holds
    // no MP3 audio. Any sample rate and one or two channels are kept as they are.
    Status open(const std::string& path);
    PcmFormat format() const { return m_format; }
    // Decodes up to n bytes (whole samples) into dst; 0 at the end of the file or at damage that
    // cannot be decoded past.
    size_t read(char* dst, size_t n);

private:
    void close();

    mpg123_handle_struct* m_handle = nullptr;
    PcmFormat m_format;
};

// Why a file that Mp3Decoder::open refused will not play, in the ring log's words: "文件不存在",
// or "不能解码为MP3".
std::string notOpenedBecause(const std::string& path);

// Why a file will not play (as above); empty when its first frame decodes.
std::string unplayableBecause(const std::string& path);

}  // namespace tolvane
