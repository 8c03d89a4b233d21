// SPDX-License-Identifier: GPL-3.0-or-later
// Runs under Wine: maps our test DLLs from memory with the real Win32 platform, runs their
// DllMain, calls their exports and unloads them. Prints one line per check and
// "N passed, N failed" at the end; exits non-zero when any check failed.
// Usage: wine wine_loader_test.exe DLL_FOLDER

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/PePlatform.h"
#include "skin/pe/MemoryLibrary.h"

using tolvane::MemoryLibrary;

namespace {

int g_passed = 0, g_failed = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    (ok ? g_passed : g_failed)++;
}

std::vector<uint8_t> readDll(const std::string& folder, const char* name) {
    std::ifstream in(folder + "\\" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string counts() {
    char text[32] = {0};
    GetEnvironmentVariableA("SKIN_ENGINE_COUNTS", text, sizeof text);
    return text;
}

// The stack pointer, to see that a stdcall routine removed its own arguments.
uint32_t stackPointer() {
    uint32_t sp;
    __asm__ volatile("movl %%esp, %0" : "=r"(sp));
    return sp;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    tolvane::Win32PePlatform platform;

    {
        const std::vector<uint8_t> image = readDll(folder, "exports.dll");
        MemoryLibrary library(platform);
        check(!image.empty() && library.load(image.data(), image.size()), "exports.dll maps");
        check(counts() == "1,0", "its DllMain saw one attach");
        const uint32_t routine = library.findExport("SkinH_AttachRes");
        check(routine != 0 && routine == library.findExport("6"), "SkinH_AttachRes is ordinal 6");
        const uint32_t args[6] = {0x1234, 20685, 0, 7, 8, 9};
        const uint32_t before = stackPointer();
        const int32_t result = platform.callStdcall6(routine, args);
        const uint32_t after = stackPointer();
        check(result == 6, "SkinH_AttachRes runs and returns");
        check(before == after, "the stack is balanced after the call");
        const auto* seen = reinterpret_cast<const volatile DWORD*>(
            static_cast<uintptr_t>(library.findExport("g_lastArgs")));
        check(seen && seen[0] == 0x1234 && seen[1] == 20685 && seen[2] == 0 && seen[3] == 7 &&
                  seen[4] == 8 && seen[5] == 9,
              "the six arguments arrive in order");
        using Counts = LONG(WINAPI*)();
        check(
            reinterpret_cast<Counts>(static_cast<uintptr_t>(library.findExport("Counts")))() == 100,
            "the image's own data holds one attach");
        check(library.unload() && library.base() == 0, "it unloads");
        check(counts() == "1,1", "its DllMain saw one detach");
    }
    {
        // Its preferred address taken, the image must be moved and relocated.
        void* blocker =
            VirtualAlloc(reinterpret_cast<void*>(0x10000000), 0x10000, MEM_RESERVE, PAGE_NOACCESS);
        const std::vector<uint8_t> image = readDll(folder, "reloc.dll");
        MemoryLibrary library(platform);
        check(library.load(image.data(), image.size()), "reloc.dll maps");
        check(blocker == nullptr || library.base() != 0x10000000,
              "elsewhere than its taken image base");
        const auto* pointer =
            reinterpret_cast<int* const*>(static_cast<uintptr_t>(library.findExport("g_pointer")));
        const auto* target =
            reinterpret_cast<int*>(static_cast<uintptr_t>(library.findExport("g_target")));
        check(pointer && target && *pointer == target + 2 && **pointer == 3,
              "its pointers were relocated");
        library.unload();
        if (blocker) VirtualFree(blocker, 0, MEM_RELEASE);
    }
    {
        const std::vector<uint8_t> image = readDll(folder, "imports.dll");
        MemoryLibrary library(platform);
        check(library.load(image.data(), image.size()),
              "imports.dll maps with kernel32 and user32");
        using Ticks = DWORD(WINAPI*)();
        const auto ticks =
            reinterpret_cast<Ticks>(static_cast<uintptr_t>(library.findExport("Ticks")));
        check(ticks && ticks() != 0, "its import of GetTickCount works");
    }
    {
        const std::vector<uint8_t> image = readDll(folder, "refuse.dll");
        MemoryLibrary library(platform);
        check(!library.load(image.data(), image.size()) && library.base() == 0,
              "a refusing DllMain fails the load");
    }
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
