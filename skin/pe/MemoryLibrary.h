// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// MemoryLibrary: maps a 32-bit Windows DLL (PE32) from bytes in memory, as the system loader
// would from a file: headers and sections copied, base relocations applied, imports resolved,
// the entry point called. The PE parsing is portable and bounds-checks every offset; memory,
// library lookup and calls go through a PePlatform (Win32: the real calls; Linux: an anonymous
// mapping with a resolver and an invoker supplied by the caller).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/PePlatform.h"

namespace tolvane {

class MemoryLibrary {
public:
    static constexpr uint32_t kProcessDetach = 0;
    static constexpr uint32_t kProcessAttach = 1;

    // platform must outlive the object.
    explicit MemoryLibrary(PePlatform& platform) : m_platform(&platform) {}
    // Unloads.
    ~MemoryLibrary();
    // Not copyable: each object unloads its image when destroyed, so a copy would detach and
    // release it a second time.
    MemoryLibrary(const MemoryLibrary&) = delete;
    MemoryLibrary& operator=(const MemoryLibrary&) = delete;

    // Maps an image; true when mapped, relocated, linked and initialised. Unloads first.
    bool load(const uint8_t* image, size_t length);
    // Detaches and releases the image; true when none is held afterwards.
    bool unload();
    // A plain decimal text is an ordinal, anything else a case-sensitive name; 0 when not found.
    uint32_t findExport(std::string_view name) const;
    uint32_t entryPoint() const;
    uint32_t base() const { return m_block.address; }
    // The mapped bytes at an image address, nullptr unless length bytes from there are mapped.
    const uint8_t* bytesAt(uint32_t address, uint32_t length) const;

private:
    void releaseBlock();

    PePlatform* m_platform;
    PePlatform::Block m_block;
    uint32_t m_size = 0;
};

}  // namespace tolvane
