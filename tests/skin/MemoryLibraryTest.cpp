// SPDX-License-Identifier: GPL-3.0-or-later
// MemoryLibrary on our own test DLLs (built with mingw-w64) and on damaged copies of them, with
// the recording platform.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/PePlatform.h"
#include "skin/pe/MemoryLibrary.h"
#include "tests/support/RecordingPePlatform.h"

namespace tolvane {
namespace {

using Image = std::vector<uint8_t>;

Image dll(const char* name) {
    std::string path = TOLVANE_TEST_DLLS;
    path += '/';
    path += name;
    std::ifstream in(path, std::ios::binary);
    return Image(std::istreambuf_iterator<char>(in), {});
}

uint32_t le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24;
}
void put32(Image& image, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t ntOffset(const Image& image) {
    return le32(image.data() + 60);
}

TEST(MemoryLibraryTest, FindsExportsByNameAndPlainOrdinal) {
    const Image image = dll("exports.dll");
    ASSERT_FALSE(image.empty());
    test::RecordingPePlatform platform;
    MemoryLibrary library(platform);
    ASSERT_TRUE(library.load(image.data(), image.size()));
    EXPECT_EQ(std::vector<uint32_t>{MemoryLibrary::kProcessAttach}, platform.entryReasons);
    const uint32_t attach = library.findExport("SkinH_AttachRes");
    EXPECT_NE(0u, attach);
    EXPECT_EQ(attach, library.findExport("6"));
    EXPECT_EQ(library.findExport("SkinH_Attach"), library.findExport("3"));
    EXPECT_EQ(library.findExport("SkinH_VerifySign"), library.findExport("23"));
    EXPECT_NE(attach, library.findExport("7"));
    for (const char* none : {"06", "skinh_attachres", "SkinH_AttachRes ", "0", "26", "", "Nothing"})
        EXPECT_EQ(0u, library.findExport(none)) << none;

    // The same image with its export directory emptied has no exports at all.
    Image noExports = image;
    put32(noExports, ntOffset(image) + 24 + 96 + 4, 0);
    test::RecordingPePlatform other;
    MemoryLibrary bare(other);
    ASSERT_TRUE(bare.load(noExports.data(), noExports.size()));
    EXPECT_EQ(0u, bare.findExport("SkinH_AttachRes"));
    EXPECT_EQ(0u, bare.findExport("6"));
    EXPECT_GT(library.entryPoint(), library.base());

    EXPECT_TRUE(library.unload());
    EXPECT_EQ(0u, library.base());
    EXPECT_EQ(0u, library.findExport("6"));
    EXPECT_EQ((std::vector<uint32_t>{MemoryLibrary::kProcessAttach, MemoryLibrary::kProcessDetach}),
              platform.entryReasons);
    EXPECT_EQ(platform.reserved, platform.released);
}

TEST(MemoryLibraryTest, RelocatesEveryHighLowSiteByTheDelta) {
    const Image image = dll("reloc.dll");
    ASSERT_FALSE(image.empty());
    for (bool moved : {false, true}) {
        test::RecordingPePlatform platform;
        platform.refusePreferred = moved;
        MemoryLibrary library(platform);
        ASSERT_TRUE(library.load(image.data(), image.size()));
        EXPECT_EQ(moved ? test::RecordingPePlatform::kElsewhere : 0x10000000u, library.base());
        // g_pointer holds &g_target[2] as the image now lies.
        const uint32_t pointer = library.findExport("g_pointer"),
                       target = library.findExport("g_target");
        ASSERT_NE(0u, pointer);
        ASSERT_NE(0u, target);
        const uint8_t* slot = library.bytesAt(pointer, 4);
        ASSERT_NE(nullptr, slot);
        EXPECT_EQ(target + 8, le32(slot));
    }
}

TEST(MemoryLibraryTest, ImportsGoThroughTheResolverAndAMissingOneFailsCleanly) {
    const Image image = dll("imports.dll");
    ASSERT_FALSE(image.empty());
    {
        test::RecordingPePlatform platform;
        MemoryLibrary library(platform);
        ASSERT_TRUE(library.load(image.data(), image.size()));
        EXPECT_NE(platform.libraries.end(),
                  std::find_if(platform.libraries.begin(), platform.libraries.end(),
                               [](const std::string& l) {
                                   return l == "KERNEL32.dll" || l == "kernel32.dll";
                               }));
        EXPECT_NE(platform.routines.end(),
                  std::find(platform.routines.begin(), platform.routines.end(), "GetTickCount"));
        EXPECT_NE(platform.routines.end(),
                  std::find(platform.routines.begin(), platform.routines.end(), "MessageBoxA"));
        // Every address the resolver gave now sits in an import slot of the mapped image.
        const uint8_t* mapped = library.bytesAt(library.base(), 4);
        ASSERT_NE(nullptr, mapped);
        for (uint32_t address : platform.resolved) {
            bool found = false;
            for (uint32_t at = library.base(); !found && library.bytesAt(at, 4); at += 4)
                found = le32(library.bytesAt(at, 4)) == address;
            EXPECT_TRUE(found) << std::hex << address;
        }
    }
    test::RecordingPePlatform platform;
    platform.missingRoutines = {"MessageBoxA"};
    MemoryLibrary library(platform);
    EXPECT_FALSE(library.load(image.data(), image.size()));
    EXPECT_EQ(0u, library.base());
    EXPECT_TRUE(platform.entryReasons.empty());
    EXPECT_EQ(platform.reserved, platform.released);
}

TEST(MemoryLibraryTest, ARefusingDllMainGetsDetachBeforeFailure) {
    const Image image = dll("refuse.dll");
    ASSERT_FALSE(image.empty());
    test::RecordingPePlatform platform;
    platform.entryResult = 0;  // what its DllMain answers (it runs only under Wine)
    MemoryLibrary library(platform);
    EXPECT_FALSE(library.load(image.data(), image.size()));
    EXPECT_EQ((std::vector<uint32_t>{MemoryLibrary::kProcessAttach, MemoryLibrary::kProcessDetach}),
              platform.entryReasons);
    EXPECT_EQ(1, platform.released);
}

TEST(MemoryLibraryTest, DamagedImagesAreRefusedWithNothingReserved) {
    const Image good = dll("exports.dll");
    ASSERT_FALSE(good.empty());
    const uint32_t nt = ntOffset(good);
    const uint32_t firstSection = nt + 248;
    struct Damage {
        const char* label;
        std::function<void(Image&)> apply;
    };
    const Damage damages[] = {
        {"shorter than a DOS header", [](Image& i) { i.resize(63); }},
        {"no MZ", [](Image& i) { i[0] = 'X'; }},
        {"cut inside the NT headers", [nt](Image& i) { i.resize(nt + 100); }},
        {"no PE signature", [nt](Image& i) { i[nt] = 'Q'; }},
        {"not executable", [nt](Image& i) { i[nt + 22] &= static_cast<uint8_t>(~0x02); }},
        {"cut inside the section table", [firstSection](Image& i) { i.resize(firstSection + 20); }},
        {"e_lfanew far past the end", [](Image& i) { put32(i, 60, 0x7ffffff0); }},
        {"built for x86-64", [nt](Image& i) { i[nt + 4] = 0x64, i[nt + 5] = 0x86; }},
        {"a PE32+ optional header", [nt](Image& i) { i[nt + 24] = 0x0b, i[nt + 25] = 0x02; }},
    };
    for (const Damage& d : damages) {
        Image image = good;
        d.apply(image);
        test::RecordingPePlatform platform;
        MemoryLibrary library(platform);
        EXPECT_FALSE(library.load(image.data(), image.size())) << d.label;
        EXPECT_EQ(0, platform.reserved) << d.label;
    }
    // A real 64-bit DLL, as a 64-bit skin engine would be.
    const Image wide = dll("exports64.dll");
    ASSERT_FALSE(wide.empty());
    {
        test::RecordingPePlatform platform;
        MemoryLibrary library(platform);
        EXPECT_FALSE(library.load(wide.data(), wide.size()));
        EXPECT_EQ(0, platform.reserved);
    }
    // Raw data outside the image: refused after reserving, and everything released.
    Image past = good;
    put32(past, firstSection + 20, static_cast<uint32_t>(good.size()));  // PointerToRawData
    test::RecordingPePlatform platform;
    MemoryLibrary library(platform);
    EXPECT_FALSE(library.load(past.data(), past.size()));
    EXPECT_EQ(platform.reserved, platform.released);
}

TEST(LinuxPePlatformTest, MapsAtTheImagesOwnAddressBelow4GiB) {
    const Image image = dll("reloc.dll");
    ASSERT_FALSE(image.empty());
    LinuxPePlatform platform;
    // The C runtime's imports resolve to stand-in addresses; nothing here is called.
    platform.loadLibraryHook = [](const std::string&) { return uintptr_t{1}; };
    platform.findByNameHook = [](uintptr_t, const std::string&) { return 0x7A000000u; };
    int attaches = 0;
    platform.entryPointHook = [&](uint32_t, uint32_t, uint32_t reason) {
        attaches += reason == MemoryLibrary::kProcessAttach;
        return 1;
    };
    MemoryLibrary library(platform);
    ASSERT_TRUE(library.load(image.data(), image.size()));
    EXPECT_EQ(1, attaches);
    // The image's addresses are this process's: the relocated pointer points at g_target[2].
    const uint32_t pointer = library.findExport("g_pointer");
    const uint8_t* slot = library.bytesAt(pointer, 4);
    ASSERT_NE(nullptr, slot);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(slot), uintptr_t{pointer});
    const auto* target = reinterpret_cast<const int*>(static_cast<uintptr_t>(le32(slot)));
    EXPECT_EQ(3, *target);
    EXPECT_TRUE(library.unload());
}

}  // namespace
}  // namespace tolvane
