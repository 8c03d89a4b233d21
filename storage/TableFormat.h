// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The on-disk layout of a table file (docs/file-format.md): a 112-byte header, the field count,
// one 72-byte descriptor per field, then fixed-length records. All integers little-endian.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "platform/FileSystem.h"

namespace tolvane {

namespace table_format {
constexpr char kMagic[4] = {'W', 'E', 'D', 'B'};
constexpr char kCompanionMagic[4] = {'W', 'E', 'D', 'T'};
constexpr uint32_t kVersion = 0x10000;
constexpr uint64_t kHeaderSize = 112;
constexpr uint64_t kCreatedOffset = 8;
constexpr uint64_t kRecordCountOffset = 16;
constexpr uint64_t kNextStampOffset = 20;
constexpr uint64_t kRecordLengthOffset = 24;
constexpr uint64_t kFieldCountOffset = 112;
constexpr uint64_t kDescriptorsOffset = 116;
constexpr uint64_t kDescriptorSize = 72;
constexpr uint64_t kCompanionHeaderSize = 32;
constexpr size_t kMaxFieldNameBytes = 16;
constexpr int32_t kMaxTextWidth = 1024;
constexpr int32_t kStampSize = 4;
// Purge moves records in chunks of this many bytes (at least one record per chunk).
constexpr int32_t kPurgeChunkBytes = 0x28000;
}  // namespace table_format

enum FieldType : int32_t {
    kFieldByte = 1,
    kFieldShort = 2,
    kFieldInteger = 3,
    kFieldLong = 4,
    kFieldFloat = 5,
    kFieldDouble = 6,
    kFieldLogical = 7,
    kFieldDateTime = 8,
    kFieldSubroutine = 9,
    kFieldText = 10,
    kFieldByteSet = 11,
    kFieldMemo = 12,
};

// What a caller asks Create table file for. Names are UTF-8; width counts only for text.
struct FieldDef {
    std::string name;
    int32_t type = 0;
    int32_t width = 0;
};

// A field as a table file describes it.
struct Field {
    std::string name;  // UTF-8
    int32_t type = 0;
    int32_t offset = 0;  // inside a record; the stamp takes bytes 0..3
    int32_t width = 0;   // declared width of a text field, 0 for every other type
    int32_t size = 0;    // bytes the field takes in a record
};

struct TableLayout {
    uint32_t version = 0;
    double created = 0;  // days since 1899-12-30, local time, time of day as fraction
    int32_t recordCount = 0;
    int32_t nextStamp = 0;
    int32_t recordLength = 0;
    std::vector<Field> fields;

    uint64_t dataStart() const {
        return table_format::kDescriptorsOffset + table_format::kDescriptorSize * fields.size();
    }
    uint64_t sizeFor(int64_t records) const {
        return dataStart() + static_cast<uint64_t>(records) * static_cast<uint64_t>(recordLength);
    }
};

// Bytes a field of this type takes in a record; 0 for an unknown type or a bad text width.
int32_t fieldSize(int32_t type, int32_t width);

// The checks Create table file makes, in their order. On success *used holds the fields that
// stand (an empty name ends the list).
Status checkFieldDefs(const std::vector<FieldDef>& defs, std::vector<FieldDef>* used);

// Header, field count and descriptors of a new, empty table.
Result<std::string> encodeNewTable(const std::vector<FieldDef>& defs, double created);

// Reads and checks the header and descriptors; every offset and size is checked against
// fileSize before it is used. *prefix receives the raw bytes up to the first record.
Status readTableLayout(RandomAccessFile& file, uint64_t fileSize, TableLayout* layout,
                       std::string* prefix);

// How a file's size agrees with its header's record count. Every change of ours leaves at most
// one record's bytes past the count (an append caught before it counted its record): opening the
// table cuts them, as that record was never part of it. Anything else no write of ours leaves: a
// file holding fewer records than it counts (cut short, or a copy caught halfway) or more than
// one record past its count is damaged. It is read not at all and never written, so that nothing
// of it is lost; only an explicit repair makes the count agree with what it holds.
struct RepairPlan {
    int32_t recordCount = 0;  // the count after the repair
    uint64_t fileSize = 0;    // the size after the repair
    bool lowersCount = false;
    bool cutsBytes = false;
    std::string damage;  // why the file is damaged, for a person to read; empty when it is not
    bool needed() const { return lowersCount || cutsBytes; }
    bool damaged() const { return !damage.empty(); }
};
RepairPlan planRepair(const TableLayout& layout, uint64_t fileSize);

// The current local time as days since 1899-12-30.
double localTimeAsOleDate();

}  // namespace tolvane
