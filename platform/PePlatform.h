// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What MemoryLibrary (skin/pe) asks of the system, one back-end per system (PePlatform_linux.cpp,
// PePlatform_win32.cpp); NativePePlatform is the one of the build.

#include <cstdint>
#include <functional>
#include <string>

namespace tolvane {

class PePlatform {
public:
    struct Block {
        uint8_t* memory = nullptr;  // where the bytes are in this process
        uint32_t address = 0;       // the image's own 32-bit address of the block
    };
    virtual ~PePlatform() = default;
    // size zero-filled, readable, writable and executable bytes at the image address preferred,
    // or, with anywhere, wherever possible; memory null when not possible.
    virtual Block reserve(uint32_t preferred, uint32_t size, bool anywhere) = 0;
    virtual bool release(const Block& block, uint32_t size) = 0;
    // A library handle, 0 when it cannot be loaded.
    virtual uintptr_t loadLibrary(const std::string& name) = 0;
    // A routine's 32-bit address, 0 when not found.
    virtual uint32_t findByName(uintptr_t library, const std::string& name) = 0;
    virtual uint32_t findByOrdinal(uintptr_t library, uint16_t ordinal) = 0;
    // Calls the entry point at address as DllMain(base, reason, 0); its result.
    virtual int32_t callEntryPoint(uint32_t address, uint32_t base, uint32_t reason) = 0;
    // Calls a routine that takes six 32-bit arguments and removes them itself (stdcall).
    virtual int32_t callStdcall6(uint32_t address, const uint32_t (&args)[6]) = 0;
};

// Linux: blocks from anonymous mappings below 4 GiB (so that the image's 32-bit addresses are real
// ones), and library lookups and calls through functions the caller supplies: 32-bit Windows code
// cannot run in a 64-bit Linux process.
class LinuxPePlatform final : public PePlatform {
public:
    std::function<uintptr_t(const std::string&)> loadLibraryHook = [](const std::string&) {
        return uintptr_t{0};
    };
    std::function<uint32_t(uintptr_t, const std::string&)> findByNameHook =
        [](uintptr_t, const std::string&) { return 0u; };
    std::function<uint32_t(uintptr_t, uint16_t)> findByOrdinalHook = [](uintptr_t, uint16_t) {
        return 0u;
    };
    std::function<int32_t(uint32_t, uint32_t, uint32_t)> entryPointHook =
        [](uint32_t, uint32_t, uint32_t) { return 0; };

    Block reserve(uint32_t preferred, uint32_t size, bool anywhere) override;
    bool release(const Block& block, uint32_t size) override;
    uintptr_t loadLibrary(const std::string& name) override { return loadLibraryHook(name); }
    uint32_t findByName(uintptr_t library, const std::string& name) override {
        return findByNameHook(library, name);
    }
    uint32_t findByOrdinal(uintptr_t library, uint16_t ordinal) override {
        return findByOrdinalHook(library, ordinal);
    }
    int32_t callEntryPoint(uint32_t address, uint32_t base, uint32_t reason) override {
        return entryPointHook(address, base, reason);
    }
    int32_t callStdcall6(uint32_t, const uint32_t (&)[6]) override { return 0; }
};

// 32-bit Windows: VirtualAlloc, LoadLibraryA, GetProcAddress, stdcall calls.
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

#ifdef _WIN32
using NativePePlatform = Win32PePlatform;
#else
using NativePePlatform = LinuxPePlatform;
#endif

}  // namespace tolvane
