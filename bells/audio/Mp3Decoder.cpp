// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/audio/Mp3Decoder.h"

#include <mpg123.h>

#include "base/UiText.h"
#include "platform/FileSystem.h"

namespace tolvane {

namespace {

// mpg123_init must run once before the first handle (a no-op in newer libraries).
void initLibrary() {
    static const int once = mpg123_init();
    (void)once;
}

}  // namespace

Mp3Decoder::Mp3Decoder() {
    initLibrary();
}

Mp3Decoder::~Mp3Decoder() {
    close();
}

void Mp3Decoder::close() {
    if (!m_handle) return;
    mpg123_close(m_handle);
    mpg123_delete(m_handle);
    m_handle = nullptr;
    m_format = {};
}

Status Mp3Decoder::open(const std::string& path) {
    close();
    int err = MPG123_OK;
    m_handle = mpg123_new(nullptr, &err);
    if (!m_handle) return Status::ioError("cannot start the MP3 decoder");
    mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // Every rate, mono or stereo, always as signed 16-bit: the output plays it as it is.
    mpg123_format_none(m_handle);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(m_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

    if (mpg123_open(m_handle, path.c_str()) != MPG123_OK) {
        close();
        return Status::notFound(path + ": cannot open");
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels < 1 || channels > 2 || encoding != MPG123_ENC_SIGNED_16) {
        close();
        return Status::corruption(path + ": no MP3 audio in it");
    }
    // No format changes after this point: the output is opened for this one.
    mpg123_format_none(m_handle);
    mpg123_format(m_handle, rate, channels, encoding);
    m_format = {static_cast<int>(rate), channels};
    return Status::ok();
}

size_t Mp3Decoder::read(char* dst, size_t n) {
    if (!m_handle) return 0;
    const size_t frame = static_cast<size_t>(m_format.channels) * 2;
    n -= n % frame;
    size_t total = 0;
    while (total < n) {
        size_t done = 0;
        const int rc =
            mpg123_read(m_handle, reinterpret_cast<unsigned char*>(dst + total), n - total, &done);
        total += done;
        if (rc == MPG123_NEW_FORMAT) continue;
        if (rc != MPG123_OK) break;  // MPG123_DONE, or damage it cannot get past
        if (done == 0) break;
    }
    return total - total % frame;
}

std::string notOpenedBecause(const std::string& path) {
    return FileSystem::platform()->exists(path) ? UI_TEXT_NOOP("MusicCheck", "不能解码为MP3")
                                                : UI_TEXT_NOOP("MusicCheck", "文件不存在");
}

std::string unplayableBecause(const std::string& path) {
    Mp3Decoder decoder;
    return decoder.open(path).isOk() ? std::string() : notOpenedBecause(path);
}

}  // namespace tolvane
