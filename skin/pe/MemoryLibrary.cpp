// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/pe/MemoryLibrary.h"

#include <cstring>
#include <optional>

namespace tolvane {

namespace {

constexpr uint32_t kDosHeaderSize = 64;
constexpr uint32_t kLfanewOffset = 60;
constexpr uint32_t kNtHeadersSize = 248;
constexpr uint32_t kSectionSize = 40;
constexpr uint16_t kMz = 0x5A4D;
constexpr uint32_t kPe = 0x00004550;
constexpr uint16_t kExecutableImage = 0x0002;
// The only image this loader can run: 32-bit x86 code (i386) with a PE32 optional header. A
// 64-bit DLL has other header offsets and code this process cannot call.
constexpr uint16_t kMachineI386 = 0x014c;
constexpr uint16_t kPe32Magic = 0x010b;
constexpr uint32_t kMachine = 4;
constexpr uint32_t kOptionalHeaderMagic = 24;
constexpr uint16_t kDll = 0x2000;
constexpr uint32_t kOrdinalFlag = 0x80000000u;
// Offsets inside the NT headers.
constexpr uint32_t kCharacteristics = 22;
constexpr uint32_t kEntryPoint = 24 + 16;
constexpr uint32_t kImageBase = 24 + 28;
constexpr uint32_t kSectionAlignment = 24 + 32;
constexpr uint32_t kSizeOfImage = 24 + 56;
constexpr uint32_t kDataDirectories = 24 + 96;
constexpr uint32_t kExportDirectory = 0, kImportDirectory = 1, kRelocationDirectory = 5;

// Little-endian reads within a byte range; nullopt outside it.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool has(uint64_t offset, uint64_t n) const { return offset <= m_size && n <= m_size - offset; }
    std::optional<uint32_t> u32(uint64_t offset) const {
        if (!has(offset, 4)) return std::nullopt;
        return uint32_t{m_data[offset]} | uint32_t{m_data[offset + 1]} << 8 |
               uint32_t{m_data[offset + 2]} << 16 | uint32_t{m_data[offset + 3]} << 24;
    }
    std::optional<uint16_t> u16(uint64_t offset) const {
        if (!has(offset, 2)) return std::nullopt;
        return static_cast<uint16_t>(m_data[offset] | m_data[offset + 1] << 8);
    }
    // The NUL-terminated text at offset; nullopt when it runs past the end.
    std::optional<std::string> text(uint64_t offset) const {
        if (offset >= m_size) return std::nullopt;
        const auto* start = reinterpret_cast<const char*>(m_data + offset);
        const void* nul = std::memchr(start, 0, static_cast<size_t>(m_size - offset));
        if (!nul) return std::nullopt;
        return std::string(start, static_cast<const char*>(nul));
    }
    size_t size() const { return m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
};

void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The fields Load needs, read from the raw image or the mapped block.
struct Headers {
    uint32_t ntOffset = 0;
    uint16_t sections = 0;
    uint16_t characteristics = 0;
    uint32_t entryPoint = 0;
    uint32_t imageBase = 0;
    uint32_t sectionAlignment = 0;
    uint32_t sizeOfImage = 0;
    uint32_t headersSize() const { return ntOffset + kNtHeadersSize + kSectionSize * sections; }
    uint32_t directory(const Bytes& b, uint32_t index, uint32_t field) const {
        return b.u32(uint64_t{ntOffset} + kDataDirectories + 8 * index + field).value_or(0);
    }
};

// Steps 2-4 of Load, and the header check of Unload and FindExport.
std::optional<Headers> readHeaders(const Bytes& b, bool requireSectionTable) {
    if (b.size() < kDosHeaderSize || b.u16(0) != kMz) return std::nullopt;
    Headers h;
    h.ntOffset = *b.u32(kLfanewOffset);
    if (!b.has(h.ntOffset, kNtHeadersSize) || b.u32(h.ntOffset) != kPe) return std::nullopt;
    if (b.u16(uint64_t{h.ntOffset} + kMachine) != kMachineI386 ||
        b.u16(uint64_t{h.ntOffset} + kOptionalHeaderMagic) != kPe32Magic)
        return std::nullopt;
    h.sections = *b.u16(uint64_t{h.ntOffset} + 4 + 2);
    h.characteristics = *b.u16(uint64_t{h.ntOffset} + kCharacteristics);
    h.entryPoint = *b.u32(uint64_t{h.ntOffset} + kEntryPoint);
    h.imageBase = *b.u32(uint64_t{h.ntOffset} + kImageBase);
    h.sectionAlignment = *b.u32(uint64_t{h.ntOffset} + kSectionAlignment);
    h.sizeOfImage = *b.u32(uint64_t{h.ntOffset} + kSizeOfImage);
    if (requireSectionTable &&
        (!(h.characteristics & kExecutableImage) ||
         !b.has(h.ntOffset + uint64_t{kNtHeadersSize}, uint64_t{kSectionSize} * h.sections)))
        return std::nullopt;
    return h;
}

uint64_t alignUp(uint64_t x, uint32_t a) {
    return a == 0 ? x : (x + a - 1) / a * a;
}

bool applyRelocations(uint8_t* mem, uint32_t size, uint32_t start, uint32_t delta) {
    const Bytes m(mem, size);
    uint64_t block = start;
    for (;;) {
        const auto page = m.u32(block), blockSize = m.u32(block + 4);
        if (!page || !blockSize) return false;  // the walk left the mapped block
        if (*page == 0) return true;
        if (*blockSize < 8) return false;  // it would never move on
        for (uint64_t e = 8; e + 2 <= *blockSize; e += 2) {
            const auto entry = m.u16(block + e);
            if (!entry) return false;
            if ((*entry >> 12) != 3) continue;  // only HIGHLOW; padding and others skipped
            const uint64_t site = uint64_t{*page} + (*entry & 0x0fff);
            const auto value = m.u32(site);
            if (!value) return false;
            put32(mem + site, *value + delta);
        }
        block += *blockSize;
    }
}

bool resolveImports(PePlatform& platform, uint8_t* mem, uint32_t size, uint32_t start) {
    const Bytes m(mem, size);
    for (uint64_t d = start;; d += 20) {
        const auto firstThunk = m.u32(d + 16), nameRva = m.u32(d + 12);
        if (!firstThunk || !nameRva) return false;
        if (*firstThunk == 0) return true;
        const auto library = m.text(*nameRva);
        if (!library) return false;
        const uintptr_t handle = platform.loadLibrary(*library);
        for (uint64_t slot = *firstThunk;; slot += 4) {
            const auto value = m.u32(slot);
            if (!value) return false;
            if (*value == 0) break;
            uint32_t address = 0;
            if (*value & kOrdinalFlag) {
                address =
                    handle ? platform.findByOrdinal(handle, static_cast<uint16_t>(*value & 0xffff))
                           : 0;
            } else {
                const auto name = m.text(uint64_t{*value} + 2);
                if (!name) return false;
                address = handle ? platform.findByName(handle, *name) : 0;
            }
            if (address == 0) return false;
            put32(mem + slot, address);
        }
    }
}

// A plain decimal number: the text that converting to an integer and back gives.
std::optional<uint32_t> plainNumber(std::string_view text) {
    if (text.empty() || text.size() > 9 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
    uint32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<uint32_t>(c - '0');
    }
    return v;
}

}  // namespace

MemoryLibrary::~MemoryLibrary() {
    unload();
}

void MemoryLibrary::releaseBlock() {
    m_platform->release(m_block, m_size);
    m_block = {};
    m_size = 0;
}

bool MemoryLibrary::load(const uint8_t* image, size_t length) {
    unload();
    if (base() != 0) return false;
    const Bytes raw(image, length);
    const auto h = readHeaders(raw, true);
    if (!h) return false;

    uint64_t size = h->sizeOfImage;
    for (uint32_t s = 0; s < h->sections; ++s) {
        const uint64_t at = uint64_t{h->ntOffset} + kNtHeadersSize + uint64_t{kSectionSize} * s;
        const uint32_t virtualSize = *raw.u32(at + 8) & 0xffff, rva = *raw.u32(at + 12),
                       rawSize = *raw.u32(at + 16);
        size = std::max(
            size, alignUp(uint64_t{rva} + std::max(rawSize, virtualSize), h->sectionAlignment));
    }
    if (size == 0 || size > 0x7fffffffu || h->headersSize() > size) return false;
    m_size = static_cast<uint32_t>(size);
    m_block = m_platform->reserve(h->imageBase, m_size, false);
    if (!m_block.memory) m_block = m_platform->reserve(h->imageBase, m_size, true);
    if (!m_block.memory) {
        m_block = {};
        m_size = 0;
        return false;
    }
    const auto fail = [this] {
        releaseBlock();
        return false;
    };

    std::memcpy(m_block.memory, image, h->headersSize());
    for (uint32_t s = 0; s < h->sections; ++s) {
        const uint64_t at = uint64_t{h->ntOffset} + kNtHeadersSize + uint64_t{kSectionSize} * s;
        const uint32_t rva = *raw.u32(at + 12), rawSize = *raw.u32(at + 16),
                       pointer = *raw.u32(at + 20);
        if (rawSize == 0 || rva == 0) continue;
        // Raw data outside the image bytes, or a section outside the block: a damaged image.
        if (!raw.has(pointer, rawSize) || uint64_t{rva} + rawSize > m_size) return fail();
        std::memcpy(m_block.memory + rva, image + pointer, rawSize);
    }
    if (h->directory(raw, kRelocationDirectory, 4) > 0 &&
        !applyRelocations(m_block.memory, m_size, h->directory(raw, kRelocationDirectory, 0),
                          m_block.address - h->imageBase))
        return fail();
    if (h->directory(raw, kImportDirectory, 0) > 0 &&
        !resolveImports(*m_platform, m_block.memory, m_size,
                        h->directory(raw, kImportDirectory, 0)))
        return fail();
    if ((h->characteristics & kDll) && h->entryPoint != 0) {
        const uint32_t entry = m_block.address + h->entryPoint;
        if (m_platform->callEntryPoint(entry, m_block.address, kProcessAttach) == 0) {
            m_platform->callEntryPoint(entry, m_block.address, kProcessDetach);
            return fail();
        }
    }
    return true;
}

bool MemoryLibrary::unload() {
    if (base() == 0) return true;
    // Headers the image itself overwrote get no detach call, but the block is still ours to
    // release: keeping it would leak it and refuse every later load.
    const auto h = readHeaders(Bytes(m_block.memory, m_size), false);
    if (h && (h->characteristics & kDll) && h->entryPoint != 0)
        m_platform->callEntryPoint(m_block.address + h->entryPoint, m_block.address,
                                   kProcessDetach);
    if (!m_platform->release(m_block, m_size)) return false;
    m_block = {};
    m_size = 0;
    return true;
}

const uint8_t* MemoryLibrary::bytesAt(uint32_t address, uint32_t length) const {
    if (base() == 0 || address < base()) return nullptr;
    const uint64_t offset = address - base();
    return offset + length <= m_size ? m_block.memory + offset : nullptr;
}

uint32_t MemoryLibrary::entryPoint() const {
    if (base() == 0) return 0;
    const auto h = readHeaders(Bytes(m_block.memory, m_size), false);
    return h ? base() + h->entryPoint : 0;
}

uint32_t MemoryLibrary::findExport(std::string_view name) const {
    if (base() == 0) return 0;
    const Bytes m(m_block.memory, m_size);
    const auto h = readHeaders(m, false);
    if (!h || h->directory(m, kExportDirectory, 4) == 0) return 0;
    const uint64_t dir = h->directory(m, kExportDirectory, 0);
    const auto ordinalBase = m.u32(dir + 16), functions = m.u32(dir + 20), names = m.u32(dir + 24);
    const auto functionsRva = m.u32(dir + 28), namesRva = m.u32(dir + 32),
               ordinalsRva = m.u32(dir + 36);
    if (!ordinalBase || !functions || !names || !functionsRva || !namesRva || !ordinalsRva)
        return 0;
    const auto function = [&](uint64_t index) -> uint32_t {
        if (index >= *functions) return 0;
        const auto rva = m.u32(*functionsRva + 4 * index);
        return rva && *rva ? base() + *rva : 0;
    };
    if (const auto ordinal = plainNumber(name)) {
        if (*ordinal < *ordinalBase) return 0;
        return function(*ordinal - *ordinalBase);
    }
    // The names stand back to back from where the first pointer points.
    const auto firstName = m.u32(*namesRva);
    if (!firstName) return 0;
    uint64_t nameCursor = *firstName, ordinalCursor = *ordinalsRva;
    for (uint32_t i = 0; i < *names; ++i) {
        const auto current = m.text(nameCursor);
        const auto index = m.u16(ordinalCursor);
        if (!current || !index) return 0;
        if (*current == name) {
            if (const uint32_t address = function(*index)) return address;
        }
        nameCursor += current->size() + 1;
        ordinalCursor += 2;
    }
    return 0;
}

}  // namespace tolvane
