#pragma once

// The Table database: table files opened under aliases, one current table, one record pointer
// per open table. Field layout and byte-level behaviour are in docs/file-format.md.
//
// Every change reaches the file before the call returns, ordered so that a crash at any point
// leaves a file that opens with every live record exactly once. Reads are served from a copy of
// the records kept in memory, so walking the schedule costs no system calls.
//
// Not thread-safe: the program uses it from the user-interface thread only.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/Status.h"
#include "platform/FileSystem.h"
#include "storage/TableFormat.h"

namespace tolvane {

// A field value: empty (only as an argument: "leave this field empty"), logical, integer,
// floating-point or text (UTF-8). Integer and floating-point values convert into one another.
using Value = std::variant<std::monostate, bool, int64_t, double, std::string>;

// A field of one open table, looked up once for reading many records (the clock tick's walks).
struct FieldRef {
    const void* table = nullptr;
    const Field* field = nullptr;
};

class TableDatabase {
public:
    struct Options {
        FileSystem* fileSystem = FileSystem::platform();
        // Sync each change to the storage device before returning; off only in benchmarks.
        bool sync = true;
        // Creation time stamped into new files.
        std::function<double()> now = localTimeAsOleDate;
    };
    enum class Access { kReadWrite, kReadOnly };

    TableDatabase();
    explicit TableDatabase(Options options);
    ~TableDatabase();
    TableDatabase(const TableDatabase&) = delete;
    TableDatabase& operator=(const TableDatabase&) = delete;

    FileSystem& fileSystem() const { return *m_options.fileSystem; }

    // A path with no extension gets ".EDB".
    static std::string withDefaultExtension(const std::string& path);

    // Creates an empty table, replacing any file at that path, and does not open it.
    // The replacement is atomic: a crash leaves the old file or the new one.
    Status create(const std::string& path, const std::vector<FieldDef>& fields);

    // Opens a table under alias and makes it current, pointer on the first record. Fails for a
    // file that is already open (same full path); the alias it has keeps working. Repairs a
    // record count that disagrees with the file size (kReadOnly: only in memory).
    Status open(const std::string& path, const std::string& alias,
                Access access = Access::kReadWrite);

    // Makes the table of that alias current; NotFound leaves the current table as it was.
    Status select(const std::string& alias);
    bool hasTable(const std::string& alias) const;

    // The operations below act on the current table; without one they do nothing and fail.
    void goFirst();
    int32_t recordCount() const;
    // Moves forward by count records, stopping just past the last. Fails, moving nothing, when
    // the pointer is already there or count is below 1.
    bool skip(int32_t count = 1);
    bool endOfTable() const;
    int32_t position() const;

    // Reads a field of the current record, typed as the field. The typed forms fail with
    // Status::typeMismatch() when the field is of another kind.
    Result<Value> read(std::string_view field) const;
    Result<std::string> readText(std::string_view field) const;
    Result<int64_t> readInteger(std::string_view field) const;
    Result<bool> readLogical(std::string_view field) const;

    // The field of the current table; valid while that table stays open.
    Result<FieldRef> fieldRef(std::string_view field) const;
    // Whether the current record's text field equals text, without building the text: what the
    // clock tick asks of every record every second. typeMismatch() for a field of another type.
    Result<bool> textEquals(const FieldRef& field, std::string_view text) const;
    Result<bool> readLogical(const FieldRef& field) const;

    Status write(std::string_view field, const Value& value);
    // Values go to the fields in order; missing or empty values leave a field empty. A value of
    // the wrong kind fails the whole append. The new record becomes current.
    Status append(const std::vector<Value>& values);
    // Tests condition with each record from the current one on as the current record; leaves the
    // pointer on the first match, or where it was when there is none.
    bool find(const std::function<bool()>& condition);
    Status deleteCurrent();
    // Removes deleted records from the file and puts the pointer on the first record.
    Status purge();
    // Delete current record, Purge and Append record (values as for append) in one step: a crash
    // leaves the table as it was or with the replacement done, never both records or neither.
    // The new record becomes current.
    Status replaceCurrent(const std::vector<Value>& values);

    // For tools: the layout of the current table and the stamp of its current record
    // (negative when marked deleted).
    const TableLayout* layout() const;
    Result<int32_t> currentStamp() const;

private:
    struct Table;

    Status createFile(const std::string& path, const std::vector<FieldDef>& fields);
    Status openFile(const std::string& path, const std::string& alias, Access access);
    Table* current() const;
    Result<const Field*> fieldOf(std::string_view name) const;
    // REQUIRES: field belongs to the current table.
    Result<const char*> currentFieldBytes(const Field& field) const;
    // The bytes of a referenced field in the current record, after checking its type.
    Result<const char*> referencedBytes(const FieldRef& ref, int32_t type) const;
    Status writeRecordBytes(Table& t, uint64_t fileOffset, std::string_view bytes);
    Status syncIfWanted(Table& t);
    Result<std::string> encodeRecord(const Table& t, const std::vector<Value>& values,
                                     int32_t stamp) const;
    // Writes prefix and records to a new file, syncs it, puts it in place of the table's file and
    // adopts it; the table is unchanged when that fails.
    Status rewriteTable(Table& t, std::string prefix, std::string records);

    Options m_options;
    std::map<std::string, std::unique_ptr<Table>> m_tables;  // by alias
    Table* m_current = nullptr;
};

}  // namespace tolvane
