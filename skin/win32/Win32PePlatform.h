#pragma once

// PePlatform on 32-bit Windows: VirtualAlloc, LoadLibraryA, GetProcAddress, stdcall calls.

#include "MemoryLibrary.h"

namespace tolvane {

class Win32PePlatform final : public PePlatform {
public:
    Block reserve(uint32_t preferred, uint32_t size, bool anywhere) override;
    bool release(const Block& block, uint32_t size) override;
    uintptr_t loadLibrary(const std::string& name) override;
    uint32_t findByName(uintptr_t library, const std::string& name) override;
    uint32_t findByOrdinal(uintptr_t library, uint16_t ordinal) override;
    int32_t callEntryPoint(uint32_t address, uint32_t base, uint32_t reason) override;
    int32_t callStdcall6(uint32_t address, const uint32_t (&args)[6]) override;
};

}  // namespace tolvane
