// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A PePlatform for Linux tests: real zero-filled memory, image addresses of its choosing, and
// libraries, routines and entry-point calls that are only recorded (32-bit code cannot run in a
// 64-bit process).

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "skin/pe/MemoryLibrary.h"

namespace tolvane::test {

class RecordingPePlatform final : public PePlatform {
public:
    // Where images land when their preferred address is refused.
    static constexpr uint32_t kElsewhere = 0x20000000;

    bool refusePreferred = false;
    uint32_t maxSize = 64u << 20;
    int32_t entryResult = 1;
    std::set<std::string> missingRoutines;

    std::vector<std::string> libraries;
    std::vector<std::string> routines;   // "name" or "#ordinal", in lookup order
    std::vector<uint32_t> resolved;      // what each lookup returned
    std::vector<uint32_t> entryReasons;  // reason of each entry-point call
    int reserved = 0, released = 0;

    Block reserve(uint32_t preferred, uint32_t size, bool anywhere) override {
        if ((!anywhere && refusePreferred) || size > maxSize) return {};
        auto* memory = static_cast<uint8_t*>(std::calloc(size, 1));
        if (!memory) return {};
        ++reserved;
        return {memory, anywhere ? kElsewhere : preferred};
    }
    bool release(const Block& block, uint32_t) override {
        std::free(block.memory);
        ++released;
        return true;
    }
    uintptr_t loadLibrary(const std::string& name) override {
        libraries.push_back(name);
        return libraries.size();
    }
    uint32_t findByName(uintptr_t, const std::string& name) override { return lookup(name); }
    uint32_t findByOrdinal(uintptr_t, uint16_t ordinal) override {
        std::string name = "#";
        name += std::to_string(ordinal);
        return lookup(name);
    }
    int32_t callEntryPoint(uint32_t, uint32_t, uint32_t reason) override {
        entryReasons.push_back(reason);
        return reason == MemoryLibrary::kProcessAttach ? entryResult : 1;
    }

    int32_t callStdcall6(uint32_t, const uint32_t (&)[6]) override { return 0; }

private:
    uint32_t lookup(const std::string& name) {
        routines.push_back(name);
        const uint32_t address =
            missingRoutines.count(name) ? 0 : 0x7A000000u + static_cast<uint32_t>(routines.size());
        resolved.push_back(address);
        return address;
    }
};

}  // namespace tolvane::test
