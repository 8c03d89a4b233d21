#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/StartupMemory.h"

#ifdef __linux__
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#endif

namespace tolvane {
namespace {

// One mapping of a smaps listing, with the fields the choice reads.
std::string mapping(const std::string& header, int rssKib, int anonymousKib = 0,
                    const std::string& flags = "rd mr mw me sd") {
    return header + "\nSize: 64 kB\nRss: " + std::to_string(rssKib) +
           " kB\nPrivate_Dirty: 0 kB\nAnonymous: " + std::to_string(anonymousKib) +
           " kB\nVmFlags: " + flags + "\n";
}

TEST(StartupMemoryTest, OnlyWholeCleanReadOnlyFileMappingsAreHandedBack) {
    const std::string smaps =
        mapping("7f0000000000-7f0000010000 r--p 00000000 08:01 11 /usr/lib/libQt6Widgets.so.6",
                64) +
        // The relocated data: pages of the process's own.
        mapping("7f0000010000-7f0000012000 r--p 00010000 08:01 11 /usr/lib/libQt6Widgets.so.6", 8,
                8) +
        mapping("7f0000020000-7f0000030000 r-xp 00020000 08:01 11 /usr/lib/libQt6Widgets.so.6",
                64) +
        mapping("7f0000030000-7f0000031000 rw-p 00030000 08:01 11 /usr/lib/libQt6Widgets.so.6", 4) +
        mapping("7f0000040000-7f0000041000 r--s 00000000 08:01 12 /var/cache/fontconfig/x.cache-8",
                4) +
        mapping("7f0000050000-7f0000051000 r--p 00000000 00:00 0 ", 4) +
        mapping("7f0000060000-7f0000061000 r--p 00000000 00:05 13 /dev/dri/card0", 4) +
        mapping("7f0000070000-7f0000071000 r--p 00000000 08:01 14 /usr/lib/locked.so", 4, 0,
                "rd mr lo") +
        mapping("7f0000080000-7f0000081000 r--p 00000000 08:01 15 /usr/lib/untouched.so", 0) +
        // Files outside the system's own: a program folder on a stick, a user's fonts.
        mapping("7f00000a0000-7f00000a1000 r--p 00000000 08:11 17 /media/stick/tolvane", 4) +
        mapping("7f00000b0000-7f00000b1000 r--p 00000000 08:01 18 /home/a/.fonts/a.ttf", 4) +
        mapping("7f0000090000-7f00000a0000 r--p 00000000 08:01 16 /usr/share/fonts/Zen Hei.ttc",
                52);
    const std::vector<MappedRange> chosen = releasableFileMappings(smaps);
    ASSERT_EQ(3u, chosen.size());
    EXPECT_EQ(0x7f0000000000u, chosen[0].begin);
    EXPECT_EQ(0x7f0000010000u, chosen[0].end);
    EXPECT_EQ(64u * 1024, chosen[0].residentBytes);
    EXPECT_EQ(0x7f0000020000u, chosen[1].begin);  // the code
    // The last mapping of the listing, its path with a space.
    EXPECT_EQ(0x7f0000090000u, chosen[2].begin);
    EXPECT_EQ(52u * 1024, chosen[2].residentBytes);

    EXPECT_TRUE(releasableFileMappings("").empty());
    EXPECT_TRUE(releasableFileMappings("garbage\nRss: 4 kB\n").empty());
}

#ifdef __linux__
// The resident kB of the mapping at `address`, from this process's smaps.
long residentKib(const void* address) {
    std::ifstream in("/proc/self/smaps");
    const std::string smaps{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    char start[32];
    std::snprintf(start, sizeof start, "\n%lx-", reinterpret_cast<unsigned long>(address));
    const size_t at = smaps.find(start);
    if (at == std::string::npos) return -1;
    return std::stol(smaps.substr(smaps.find("\nRss:", at) + 5));
}

TEST(StartupMemoryTest, HandsBackReadPagesAndNeverLosesCopiedOnes) {
    // One of the system's files (others are never handed back), present on every Debian system.
    const char* path = "/usr/share/common-licenses/GPL-3";
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 8u * 4096) << path;
    const size_t size = bytes.size();
    const int fd = ::open(path, O_RDONLY);
    ASSERT_GE(fd, 0);
    // Read once, as the loader reads a library's tables.
    auto* read =
        static_cast<const unsigned char*>(::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0));
    // Written once and then made read-only, as the loader does with relocated data.
    auto* copied = static_cast<unsigned char*>(
        ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0));
    ::close(fd);
    ASSERT_NE(MAP_FAILED, read);
    ASSERT_NE(MAP_FAILED, copied);
    for (size_t i = 0; i < size; i += 4096) [[maybe_unused]] volatile unsigned char page = read[i];
    for (size_t i = 0; i < size; i += 4096) copied[i] = 0xAB;
    ASSERT_EQ(0, ::mprotect(copied, size, PROT_READ));
    ASSERT_GT(residentKib(read), 0);

    EXPECT_GT(releaseStartupMemory(), 0u);

    EXPECT_EQ(0, residentKib(read));
    ASSERT_EQ(0, std::memcmp(bytes.data(), read, size));
    for (size_t i = 0; i < size; ++i)
        ASSERT_EQ(i % 4096 ? static_cast<unsigned char>(bytes[i]) : 0xAB, copied[i]) << i;
    ::munmap(const_cast<unsigned char*>(read), size);
    ::munmap(copied, size);
}
#endif

}  // namespace
}  // namespace tolvane
