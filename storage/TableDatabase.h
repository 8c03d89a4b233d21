// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Table database: table files opened under aliases, one current table, one record pointer
// per open table. Field layout and byte-level behaviour are in docs/file-format.md.
//
// Every change reaches the file before the call returns, ordered so that a crash at any point
// leaves a file that opens with every live record exactly once. Reads are served from a copy of
// the records kept in memory, so walking the schedule costs no system calls.
//
// Several processes may share a table file. Each change takes the table's write lock (the lock file
// beside it, "db.edb.lock") for the length of the change, and first reads the table again when
// another process changed the file since this one last read or wrote it; a record being changed
// is found again by its stamp. So no writer overwrites or drops another's record. Read-only
// tables take no lock: appends are ordered and rewrites replace the file by rename, so a reader
// sees the old table or the new one. A table's file is open only while it is read or changed, so
// another process may replace it at any other time, also on Windows.
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
    // How long a change waits for another process's change to the same table to end.
    static constexpr int kWriteLockWaitMs = 5000;

    // Holds a table's write lock for several changes that belong together (find a record, then
    // change it), so that no other process changes the table in between. Changes made under it
    // do not lock again.
    class WriteLock {
    public:
        // The current table's lock; the table is read again first when its file changed.
        explicit WriteLock(TableDatabase& db);
        // The lock of the table file at path, open or not yet created.
        WriteLock(TableDatabase& db, const std::string& path);
        ~WriteLock();
        WriteLock(const WriteLock&) = delete;
        WriteLock& operator=(const WriteLock&) = delete;
        // Not ok when the lock could not be taken or the table not read again: change nothing.
        const Status& status() const { return m_status; }

    private:
        TableDatabase& m_db;
        std::string m_lockPath;
        Status m_status;
    };

    TableDatabase();
    explicit TableDatabase(Options options);
    ~TableDatabase();
    TableDatabase(const TableDatabase&) = delete;
    TableDatabase& operator=(const TableDatabase&) = delete;

    FileSystem& fileSystem() const { return *m_options.fileSystem; }

    // A path with no extension gets ".EDB".
    static std::string withDefaultExtension(const std::string& path);

    // Creates a table holding records (values as for append; none: an empty table), replacing
    // any file at that path, and does not open it. The replacement is atomic: a crash leaves the
    // old file or the new one with all its records, never a table without them.
    Status create(const std::string& path, const std::vector<FieldDef>& fields,
                  const std::vector<std::vector<Value>>& records = {});

    // Opens a table under alias and makes it current, pointer on the first record. Fails for a
    // file that is already open (same full path); the alias it has keeps working. Repairs a
    // record count that disagrees with the file size (kReadOnly: only in memory).
    Status open(const std::string& path, const std::string& alias,
                Access access = Access::kReadWrite);

    // Whether the file of the table open as alias is no longer the one this database last read
    // or wrote (replaced, written by another process, or gone).
    bool changedOnDisk(const std::string& alias);
    // Reads the table open as alias again when its file changed; true when it did, false also
    // while another process is changing it (it never waits: ask again later). The pointer
    // stays on the same record (by stamp), or goes past the last when that record is gone. When
    // the file fails the open checks, or its fields are no longer the table's, the table stays as
    // it was and the error is returned.
    Result<bool> reload(const std::string& alias);

    // Makes the table of that alias current; NotFound leaves the current table as it was.
    Status select(const std::string& alias);
    bool hasTable(const std::string& alias) const;
    // The aliases of the open tables, in alias order.
    std::vector<std::string> aliases() const;
    // Makes a damaged file's header count agree with the complete records it holds, and cuts what
    // follows them, under the table's write lock: for a person who chose to (tolvanectl repair);
    // opening a damaged table never does it. Returns what it did (nothing when no repair was
    // needed). The file must not be open in this database.
    Result<RepairPlan> repairFile(const std::string& path);

    // The full path of the table open as alias; empty when none is.
    std::string pathOf(const std::string& alias) const;

    // Forgets the table open as alias; its file stays as it is. No table is current after it
    // when that one was.
    void close(const std::string& alias);

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
    // Every record of the current table becomes one of records (values as for append), in one
    // step: a crash leaves the old records or the new ones. The pointer goes to the first.
    Status replaceAll(const std::vector<std::vector<Value>>& records);

    // Whether the current table may be changed: not when it was opened read-only (a file this
    // user may read but not write). The failure names the file.
    Status canChange() const;

    // Whether there is a current record and it is not marked deleted. A record marked deleted
    // whose purge never came (a full disk, a crash in between) is gone for every reader of the
    // schedule: walks skip it.
    bool currentIsLive() const;
    // Whether the current table holds records marked deleted, for a writer to purge them.
    bool hasDeletedRecords() const;

    // For tools: the layout of the current table and the stamp of its current record
    // (negative when marked deleted).
    const TableLayout* layout() const;
    // The full path of the current table's file; empty without one.
    std::string currentPath() const;
    Result<int32_t> currentStamp() const;

private:
    struct Table;
    struct HeldLock {
        std::unique_ptr<FileLock> lock;
        int depth = 0;
    };

    static std::string lockPathOf(const std::string& tablePath) { return tablePath + ".lock"; }
    // Ok and *busy when waitMs passed with another process holding the lock (busy may be null
    // when that is an error).
    Status acquireLock(const std::string& lockPath, int waitMs = kWriteLockWaitMs,
                       bool* busy = nullptr);
    void releaseLock(const std::string& lockPath);
    // Lock and bring up to date before a change; after it, note the file as ours and unlock.
    Status beginChange(Table& t);
    void endChange(Table& t, const Status& outcome);
    // Reads the file of t again when it changed since t was read or written.
    Result<bool> refresh(Table& t);
    Status readFile(Table& t, const std::string& path, bool repair);
    // Puts records after the header of a new table's bytes.
    static Status appendToNewTable(const std::vector<std::vector<Value>>& records,
                                   std::string* bytes);
    // The changes themselves, made under the table's lock.
    Status writeField(Table& t, const Field& f, const Value& value);
    Status appendRecord(Table& t, const std::vector<Value>& values);
    Status purgeRecords(Table& t);
    Status replaceRecord(Table& t, const std::vector<Value>& values);
    Status replaceRecords(Table& t, const std::vector<std::vector<Value>>& records);

    Status createFile(const std::string& path, const std::vector<FieldDef>& fields,
                      const std::vector<std::vector<Value>>& records);
    Status openFile(const std::string& path, const std::string& alias, Access access);
    Table* current() const;
    Result<const Field*> fieldOf(std::string_view name) const;
    // REQUIRES: field belongs to the current table.
    Result<const char*> currentFieldBytes(const Field& field) const;
    // The bytes of a referenced field in the current record, after checking its type.
    Result<const char*> referencedBytes(const FieldRef& ref, int32_t type) const;
    Status writeRecordBytes(Table& t, uint64_t fileOffset, std::string_view bytes);
    Status syncIfWanted(Table& t);
    static Result<std::string> encodeRecord(const TableLayout& layout,
                                            const std::vector<Value>& values, int32_t stamp);
    // Writes prefix and records to a new file, syncs it, puts it in place of the table's file and
    // adopts it; the table is unchanged when that fails.
    Status rewriteTable(Table& t, std::string prefix, std::string records);

    Options m_options;
    std::map<std::string, std::unique_ptr<Table>> m_tables;  // by alias
    std::map<std::string, HeldLock> m_locks;                 // by lock file path
    Table* m_current = nullptr;
};

}  // namespace tolvane
