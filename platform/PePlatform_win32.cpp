// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/PePlatform.h"

namespace tolvane {

PePlatform::Block Win32PePlatform::reserve(uint32_t preferred, uint32_t size, bool anywhere) {
    void* where = anywhere ? nullptr : reinterpret_cast<void*>(static_cast<uintptr_t>(preferred));
    void* memory = VirtualAlloc(where, size, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE);
    if (!memory) return {};
    return {static_cast<uint8_t*>(memory),
            static_cast<uint32_t>(reinterpret_cast<uintptr_t>(memory))};
}

bool Win32PePlatform::release(const Block& block, uint32_t) {
    return VirtualFree(block.memory, 0, MEM_RELEASE) != 0;
}

uintptr_t Win32PePlatform::loadLibrary(const std::string& name) {
    return reinterpret_cast<uintptr_t>(LoadLibraryA(name.c_str()));
}

uint32_t Win32PePlatform::findByName(uintptr_t library, const std::string& name) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(
        GetProcAddress(reinterpret_cast<HMODULE>(library), name.c_str())));
}

uint32_t Win32PePlatform::findByOrdinal(uintptr_t library, uint16_t ordinal) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(
        GetProcAddress(reinterpret_cast<HMODULE>(library),
                       reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(ordinal)))));
}

int32_t Win32PePlatform::callEntryPoint(uint32_t address, uint32_t base, uint32_t reason) {
    using DllMain = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
    auto entry = reinterpret_cast<DllMain>(static_cast<uintptr_t>(address));
    return entry(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(base)), reason, nullptr);
}

int32_t Win32PePlatform::callStdcall6(uint32_t address, const uint32_t (&a)[6]) {
    using Routine = int(WINAPI*)(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t);
    auto routine = reinterpret_cast<Routine>(static_cast<uintptr_t>(address));
    return routine(a[0], a[1], a[2], a[3], a[4], a[5]);
}

}  // namespace tolvane
