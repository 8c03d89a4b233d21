// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/mman.h>

#include "platform/PePlatform.h"

namespace tolvane {

PePlatform::Block LinuxPePlatform::reserve(uint32_t preferred, uint32_t size, bool anywhere) {
    int flags = MAP_PRIVATE | MAP_ANONYMOUS;
    void* hint = nullptr;
    if (anywhere) {
        flags |= MAP_32BIT;
    } else {
        flags |= MAP_FIXED_NOREPLACE;
        hint = reinterpret_cast<void*>(static_cast<uintptr_t>(preferred));
    }
    void* memory = ::mmap(hint, size, PROT_READ | PROT_WRITE, flags, -1, 0);
    if (memory == MAP_FAILED) return {};
    const auto where = reinterpret_cast<uintptr_t>(memory);
    if ((!anywhere && where != preferred) || where > 0xffffffffu - size) {
        ::munmap(memory, size);
        return {};
    }
    return {static_cast<uint8_t*>(memory), static_cast<uint32_t>(where)};
}

bool LinuxPePlatform::release(const Block& block, uint32_t size) {
    return ::munmap(block.memory, size) == 0;
}

}  // namespace tolvane
