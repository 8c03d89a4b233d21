// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fixed-width little-endian encoding for the table file format (docs/file-format.md).
// Never memcpy a struct to disk: every field goes through these helpers.

#include <cstdint>
#include <cstring>
#include <string>

namespace tolvane {

inline void putFixed32(char* dst, uint32_t v) {
    for (int i = 0; i < 4; ++i) dst[i] = static_cast<char>((v >> (8 * i)) & 0xff);
}

inline void putFixed64(char* dst, uint64_t v) {
    for (int i = 0; i < 8; ++i) dst[i] = static_cast<char>((v >> (8 * i)) & 0xff);
}

inline uint32_t decodeFixed32(const char* src) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(src[i])) << (8 * i);
    return v;
}

inline uint64_t decodeFixed64(const char* src) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v |= static_cast<uint64_t>(static_cast<unsigned char>(src[i])) << (8 * i);
    return v;
}

inline void putInt32(char* dst, int32_t v) {
    putFixed32(dst, static_cast<uint32_t>(v));
}
inline int32_t decodeInt32(const char* src) {
    return static_cast<int32_t>(decodeFixed32(src));
}

inline void putDouble(char* dst, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    putFixed64(dst, bits);
}

inline double decodeDouble(const char* src) {
    const uint64_t bits = decodeFixed64(src);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

inline void putFloat(char* dst, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    putFixed32(dst, bits);
}

inline float decodeFloat(const char* src) {
    const uint32_t bits = decodeFixed32(src);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

}  // namespace tolvane
