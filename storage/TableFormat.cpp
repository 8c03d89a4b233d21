// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/TableFormat.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "base/Clock.h"
#include "platform/TextCodec.h"
#include "storage/Coding.h"

namespace tolvane {

using namespace table_format;

namespace {

std::string asciiLower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Letters (of any script), digits and "_", not starting with a digit or ".".
bool isIdentifier(std::string_view name) {
    if (name.empty()) return false;
    const auto first = static_cast<unsigned char>(name[0]);
    if (std::isdigit(first)) return false;
    return std::all_of(name.begin(), name.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c >= 0x80 || std::isalnum(c) || c == '_';
    });
}

}  // namespace

int32_t fieldSize(int32_t type, int32_t width) {
    switch (type) {
        case kFieldByte:
        case kFieldLogical:
            return 1;
        case kFieldShort:
            return 2;
        case kFieldInteger:
        case kFieldFloat:
        case kFieldSubroutine:
        case kFieldByteSet:
        case kFieldMemo:
            return 4;
        case kFieldLong:
        case kFieldDouble:
        case kFieldDateTime:
            return 8;
        case kFieldText:
            return width >= 1 && width <= kMaxTextWidth ? width : 0;
        default:
            return 0;
    }
}

Status checkFieldDefs(const std::vector<FieldDef>& defs, std::vector<FieldDef>* used) {
    used->clear();
    if (defs.empty()) return Status::invalidArgument("a table needs at least one field");
    for (const FieldDef& def : defs) {
        if (def.name.empty()) break;
        auto gbkName = utf8ToGbk(def.name);
        if (!gbkName.isOk() || !isIdentifier(def.name) ||
            gbkName.value().size() > kMaxFieldNameBytes)
            return Status::invalidArgument("field name \"" + def.name +
                                           "\" is not a name of at most 16 bytes");
        if (def.type < kFieldByte || def.type > kFieldMemo)
            return Status::invalidArgument("field \"" + def.name + "\" has unknown type " +
                                           std::to_string(def.type));
        if (def.type == kFieldText && fieldSize(def.type, def.width) == 0)
            return Status::invalidArgument("text field \"" + def.name + "\" has width " +
                                           std::to_string(def.width) + ", outside 1 to 1024");
        used->push_back(def);
    }
    if (used->empty()) return Status::invalidArgument("a table needs at least one field");
    for (size_t i = 0; i < used->size(); ++i)
        for (size_t j = i + 1; j < used->size(); ++j)
            if (asciiLower((*used)[i].name) == asciiLower((*used)[j].name))
                return Status::invalidArgument("field name \"" + (*used)[j].name +
                                               "\" is used twice");
    return Status::ok();
}

Result<std::string> encodeNewTable(const std::vector<FieldDef>& defs, double created) {
    std::vector<FieldDef> fields;
    if (Status s = checkFieldDefs(defs, &fields); !s.isOk()) return s;
    std::string out(static_cast<size_t>(kDescriptorsOffset + kDescriptorSize * fields.size()),
                    '\0');
    int32_t offset = kStampSize;
    for (size_t i = 0; i < fields.size(); ++i) {
        char* d = out.data() + kDescriptorsOffset + kDescriptorSize * i;
        const std::string name = utf8ToGbk(fields[i].name).value();
        std::copy(name.begin(), name.end(), d);
        putInt32(d + 20, fields[i].type);
        putInt32(d + 24, offset);
        putInt32(d + 28, fields[i].type == kFieldText ? fields[i].width : 0);
        offset += fieldSize(fields[i].type, fields[i].width);
    }
    std::copy(kMagic, kMagic + 4, out.data());
    putFixed32(out.data() + 4, kVersion);
    putDouble(out.data() + kCreatedOffset, created);
    putInt32(out.data() + kRecordCountOffset, 0);
    putInt32(out.data() + kNextStampOffset, 1);
    putInt32(out.data() + kRecordLengthOffset, offset);
    putInt32(out.data() + kFieldCountOffset, static_cast<int32_t>(fields.size()));
    return out;
}

Status readTableLayout(RandomAccessFile& file, uint64_t fileSize, TableLayout* layout,
                       std::string* prefix) {
    if (fileSize < kDescriptorsOffset)
        return Status::corruption("file is too short to hold a table header");
    std::string head(kDescriptorsOffset, '\0');
    if (Status s = file.read(0, head.size(), head.data()); !s.isOk()) return s;
    if (!std::equal(kMagic, kMagic + 4, head.data()))
        return Status::corruption("not a table file (no WEDB magic)");
    layout->version = decodeFixed32(head.data() + 4);
    layout->created = decodeDouble(head.data() + kCreatedOffset);
    layout->recordCount = decodeInt32(head.data() + kRecordCountOffset);
    layout->nextStamp = decodeInt32(head.data() + kNextStampOffset);
    layout->recordLength = decodeInt32(head.data() + kRecordLengthOffset);
    const int32_t fieldCount = decodeInt32(head.data() + kFieldCountOffset);
    if (layout->version > kVersion)
        return Status::corruption("format version " + std::to_string(layout->version) +
                                  " is newer than this program reads");
    if (layout->recordCount < 0) return Status::corruption("record count is negative");
    if (layout->nextStamp <= 0) return Status::corruption("next record stamp is not positive");
    if (layout->recordLength < kStampSize)
        return Status::corruption("record length " + std::to_string(layout->recordLength) +
                                  " is too short");
    if (fieldCount <= 0) return Status::corruption("field count is not positive");
    if (kDescriptorsOffset + kDescriptorSize * static_cast<uint64_t>(fieldCount) > fileSize)
        return Status::corruption("file ends inside the field descriptors");

    const uint64_t descriptorBytes = kDescriptorSize * static_cast<uint64_t>(fieldCount);
    if (descriptorBytes > SIZE_MAX) return Status::corruption("too many fields to read");
    std::string descriptors(static_cast<size_t>(descriptorBytes), '\0');
    if (Status s = file.read(kDescriptorsOffset, descriptors.size(), descriptors.data()); !s.isOk())
        return s;
    layout->fields.clear();
    layout->fields.reserve(static_cast<size_t>(fieldCount));
    int64_t fieldBytes = kStampSize;
    for (int32_t i = 0; i < fieldCount; ++i) {
        const char* d = descriptors.data() + kDescriptorSize * static_cast<uint64_t>(i);
        const char* nul = std::find(d, d + kMaxFieldNameBytes + 1, '\0');
        const std::string where = "field " + std::to_string(i + 1);
        if (nul == d + kMaxFieldNameBytes + 1)
            return Status::corruption(where + " has no name end");
        Field f;
        f.name = gbkToUtf8(std::string_view(d, static_cast<size_t>(nul - d)));
        f.type = decodeInt32(d + 20);
        f.offset = decodeInt32(d + 24);
        f.width = decodeInt32(d + 28);
        if (f.type < kFieldByte || f.type > kFieldMemo)
            return Status::corruption(where + " has unknown type " + std::to_string(f.type));
        if (f.offset < 0) return Status::corruption(where + " has a negative offset");
        if (f.type == kFieldText && (f.width < 1 || f.width > kMaxTextWidth))
            return Status::corruption(where + " is a text field of width " +
                                      std::to_string(f.width));
        f.size = f.type == kFieldText ? f.width : fieldSize(f.type, 0);
        // Reading such a field would go past the record: refuse the file instead.
        if (static_cast<int64_t>(f.offset) + f.size > layout->recordLength)
            return Status::corruption(where + " lies outside the record");
        fieldBytes += f.size;
        layout->fields.push_back(std::move(f));
    }
    // Every writer makes records exactly as long as their fields; a longer one is damage, and
    // believing it would make each append write (and allocate) that much.
    if (layout->recordLength > fieldBytes)
        return Status::corruption("record length " + std::to_string(layout->recordLength) +
                                  " is longer than its fields need");
    *prefix = head + descriptors;
    return Status::ok();
}

RepairPlan planRepair(const TableLayout& layout, uint64_t fileSize) {
    RepairPlan plan;
    const uint64_t complete =
        (fileSize - layout.dataStart()) / static_cast<uint64_t>(layout.recordLength);
    if (complete < static_cast<uint64_t>(layout.recordCount)) {
        plan.recordCount = static_cast<int32_t>(complete);
        plan.lowersCount = true;
    } else {
        plan.recordCount = layout.recordCount;
    }
    plan.fileSize = layout.sizeFor(plan.recordCount);
    plan.cutsBytes = plan.fileSize < fileSize;
    const uint64_t pastCount = fileSize - plan.fileSize;
    if (plan.lowersCount)
        plan.damage = "it is cut short: it holds " + std::to_string(complete) + " of the " +
                      std::to_string(layout.recordCount) +
                      " records its header counts (copied or written only in part)";
    else if (pastCount > static_cast<uint64_t>(layout.recordLength))
        plan.damage = "it holds " + std::to_string(pastCount) + " bytes past the " +
                      std::to_string(layout.recordCount) +
                      " records its header counts, more than an unfinished change leaves";
    return plan;
}

double localTimeAsOleDate() {
    const SystemClock clock;
    const LocalTime t = clock.toLocal(clock.nowMs() / 1000);
    // Days from 1899-12-30 to the local calendar date, then the time of day as a fraction.
    const int64_t days = civilToEpochSeconds(t.year, t.month, t.day, 0, 0, 0) / 86400 -
                         civilToEpochSeconds(1899, 12, 30, 0, 0, 0) / 86400;
    return static_cast<double>(days) + (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
}

}  // namespace tolvane
