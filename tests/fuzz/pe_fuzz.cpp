// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to MemoryLibrary::load with the recording platform, then looks up
// exports and unloads. Nothing may crash, read or write outside its buffers, or leak.

#include <cstddef>
#include <cstdint>

#include "skin/pe/MemoryLibrary.h"
#include "tests/support/RecordingPePlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tolvane::test::RecordingPePlatform platform;
    platform.maxSize = 16u << 20;
    platform.refusePreferred = size > 0 && (data[0] & 1);
    {
        tolvane::MemoryLibrary library(platform);
        if (library.load(data, size)) {
            (void)library.findExport("SkinH_AttachRes");
            (void)library.findExport("6");
            (void)library.entryPoint();
        }
    }
    return platform.reserved == platform.released ? 0 : (__builtin_trap(), 0);
}
