#include <sys/mman.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/StartupMemory.h"
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tolvane {

std::size_t releaseStartupMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    std::ifstream in("/proc/self/smaps");
    const std::string smaps{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::size_t released = 0;
    // Only mappings whose every page is still the file's own are dropped: a later read maps the
    // same bytes again from the file.
    for (const MappedRange& r : releasableFileMappings(smaps))
        if (::madvise(reinterpret_cast<void*>(r.begin), r.end - r.begin, MADV_DONTNEED) == 0)
            released += r.residentBytes;
    return released;
}

}  // namespace tolvane
