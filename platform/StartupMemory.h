#pragma once

// What a program that then rests for days gives back once it is up. Starting reads much that is
// never read again: the allocator's scratch memory, and read-only files mapped while loading (the
// libraries' relocation and symbol tables, the fonts' tables, the code that loads and builds the
// window). Those file pages stay in the system's page cache: whatever is read again is mapped
// back at its first use, and until then the system may use the memory for others.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tolvane {

struct MappedRange {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    std::size_t residentBytes = 0;
};

// The mappings of a /proc/PID/smaps listing that can be handed back without losing a byte:
// read-only, private, of one of the system's files (under /usr), and holding no page of the
// process's own (a page copied on write, such as a library's relocated data, would be lost).
std::vector<MappedRange> releasableFileMappings(std::string_view smaps);

// How long after its start a program is up and resting: then is the time to hand back.
constexpr int kStartupSettledMs = 2000;

// Hands back what starting left behind; returns the resident bytes of files handed back (0 where
// the system manages this itself, as on Windows). It reads every mapping, which takes milliseconds.
std::size_t releaseStartupMemory();

// The same on a thread of its own, so that it never holds up the timer that rings the bells;
// loadFirst runs there before it: what a program loads once it is up rather than at its start.
void releaseStartupMemoryInBackground(std::function<void()> loadFirst = {});

}  // namespace tolvane
