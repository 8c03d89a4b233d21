// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TableCommands.h"

#include <filesystem>
#include <ostream>

#include "base/PathText.h"
#include "cli/Json.h"
#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"
#include "storage/TableFormat.h"

namespace tolvane::cli {

namespace {

constexpr char kDumpAlias[] = "dump";

const char* typeName(int32_t type) {
    switch (type) {
        case kFieldText:
            return "text";
        case kFieldInteger:
            return "integer";
        case kFieldLogical:
            return "logical";
        case kFieldByte:
            return "byte";
        case kFieldShort:
            return "short";
        case kFieldLong:
            return "long";
        case kFieldFloat:
            return "float";
        case kFieldDouble:
            return "double";
        case kFieldDateTime:
            return "date-time";
        case kFieldSubroutine:
            return "subroutine";
        case kFieldByteSet:
            return "byte-set";
        case kFieldMemo:
            return "memo";
        default:
            return "unknown";
    }
}

const char* originName(TableOrigin origin) {
    switch (origin) {
        case TableOrigin::kOpened:
            return "opened";
        case TableOrigin::kCreated:
            return "created";
        case TableOrigin::kReadOnly:
            return "read-only (this user may not write it)";
        case TableOrigin::kUnavailable:
            break;
    }
    return "unavailable";
}

std::string plainValue(const Value& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* b = std::get_if<bool>(&v)) return *b ? "true" : "false";
    return jsonValue(v);
}

void dumpJson(TableDatabase& db, std::ostream& out) {
    const TableLayout& l = *db.layout();
    out << "{\"version\": " << l.version << ", \"record_count\": " << l.recordCount
        << ", \"next_stamp\": " << l.nextStamp << ", \"record_length\": " << l.recordLength
        << ", \"fields\": [";
    for (size_t i = 0; i < l.fields.size(); ++i) {
        const Field& f = l.fields[i];
        out << (i ? ", " : "") << "{\"name\": " << jsonString(f.name) << ", \"type\": " << f.type
            << ", \"offset\": " << f.offset << ", \"width\": " << f.width << "}";
    }
    out << "], \"records\": [";
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        const int32_t stamp = db.currentStamp().value();
        out << (db.position() ? ", " : "") << "{\"stamp\": " << (stamp < 0 ? -stamp : stamp)
            << ", \"deleted\": " << (stamp < 0 ? "true" : "false") << ", \"values\": {";
        for (size_t i = 0; i < l.fields.size(); ++i)
            out << (i ? ", " : "") << jsonString(l.fields[i].name) << ": "
                << jsonValue(db.read(l.fields[i].name).value());
        out << "}}";
    }
    out << "]}\n";
}

void dumpPlain(TableDatabase& db, const std::string& file, std::ostream& out) {
    const TableLayout& l = *db.layout();
    out << file << ": version " << l.version << ", " << l.recordCount << " records, next stamp "
        << l.nextStamp << ", record length " << l.recordLength << "\n";
    for (const Field& f : l.fields) {
        out << "  field " << f.name << "  " << typeName(f.type);
        if (f.type == kFieldText) out << "(" << f.width << ")";
        out << "  at " << f.offset << "\n";
    }
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        const int32_t stamp = db.currentStamp().value();
        out << "record " << (db.position() + 1) << " (stamp " << (stamp < 0 ? -stamp : stamp)
            << (stamp < 0 ? ", deleted" : "") << ")\n";
        for (const Field& f : l.fields)
            out << "  " << f.name << " = " << plainValue(db.read(f.name).value()) << "\n";
    }
}

}  // namespace

int initCommand(const std::string& dir, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    if (!std::filesystem::is_directory(pathFromUtf8(dir), ec)) {
        err << "tolvanectl: " << dir << ": not a folder\n";
        return 1;
    }
    TableDatabase db;
    const OpenedTables report = openOrCreateTables(db, dir);
    for (const std::string& moved : report.setAside)
        out << "unreadable table kept as " << moved << "\n";
    out << schema::kSettingsFile << ": " << originName(report.settings) << "\n";
    out << schema::kBellFile << ": " << originName(report.bells) << "\n";
    for (const std::string& e : report.errors) err << "tolvanectl: " << e << "\n";
    return report.usable() ? 0 : 1;
}

int dumpCommand(const std::string& file, bool json, std::ostream& out, std::ostream& err) {
    TableDatabase db;
    // Shown as it is: a repair it needs happens only in what we print, never in the file, which
    // a ringing program may be writing.
    const Status s = db.open(file, kDumpAlias, TableDatabase::Access::kReadOnly);
    if (!s.isOk()) {
        err << "tolvanectl: " << s.message() << "\n";
        return 1;
    }
    if (json)
        dumpJson(db, out);
    else
        dumpPlain(db, file, out);
    return 0;
}

int checkCommand(const std::string& rawFile, std::ostream& out, std::ostream& err) {
    const std::string file = TableDatabase::withDefaultExtension(rawFile);
    FileSystem& fs = *FileSystem::platform();
    auto opened = fs.openExisting(file, /*writable=*/false);
    if (!opened.isOk()) {
        err << "tolvanectl: " << file << ": " << opened.status().message() << "\n";
        return 1;
    }
    RandomAccessFile& f = *opened.value();
    auto size = f.size();
    TableLayout layout;
    std::string prefix;
    Status s = size.isOk() ? readTableLayout(f, size.value(), &layout, &prefix) : size.status();
    if (!s.isOk()) {
        err << "tolvanectl: " << file << ": " << s.message() << "\n";
        return 1;
    }
    const RepairPlan plan = planRepair(layout, size.value());
    if (plan.damaged()) {
        out << file << ": damaged: " << plan.damage << "\n"
            << "no program reads or writes it as it is; tolvanectl repair " << file << " keeps its "
            << plan.recordCount << " complete records (and the file as it is, as " << file
            << ".damaged)\n";
        return 1;
    }
    out << file << ": passes the open checks (" << layout.fields.size() << " fields, record length "
        << layout.recordLength << ")\n";
    if (!plan.needed()) {
        out << "no repair needed: " << layout.recordCount << " records\n";
        return 0;
    }
    if (plan.lowersCount)
        out << "repair would lower the record count from " << layout.recordCount << " to "
            << plan.recordCount << "\n";
    if (plan.cutsBytes)
        out << "repair would cut " << (size.value() - plan.fileSize) << " bytes after the last "
            << "complete record\n";
    return 0;
}

int repairCommand(const std::string& rawFile, std::ostream& out, std::ostream& err) {
    const std::string file = TableDatabase::withDefaultExtension(rawFile);
    TableDatabase db;
    FileSystem& fs = db.fileSystem();
    if (!fs.exists(file)) {
        err << "tolvanectl: " << file << ": no such file\n";
        return 1;
    }
    // Nothing of the file as it was is lost: the repair drops what a damaged file cannot give.
    auto kept = copyAside(fs, file);
    if (!kept.isOk()) {
        err << "tolvanectl: " << file
            << ": cannot keep a copy before repairing: " << kept.status().message() << "\n";
        return 1;
    }
    auto repaired = db.repairFile(file);
    if (!repaired.isOk()) {
        err << "tolvanectl: " << repaired.status().message() << "\n";
        fs.remove(kept.value());
        return 1;
    }
    const RepairPlan& plan = repaired.value();
    if (!plan.needed()) {
        fs.remove(kept.value());
        out << file << ": no repair needed\n";
        return 0;
    }
    out << file << ": repaired: " << plan.recordCount << " records kept; the file as it was is "
        << kept.value() << "\n";
    return 0;
}

}  // namespace tolvane::cli
