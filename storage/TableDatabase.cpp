// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/TableDatabase.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "base/PathText.h"
#include "platform/TextCodec.h"
#include "storage/Coding.h"
#include "storage/FieldValue.h"

namespace tolvane {

using namespace table_format;

struct TableDatabase::Table {
    std::string path;                        // canonical
    std::unique_ptr<RandomAccessFile> file;  // open only while reading or changing the table
    bool writable = true;
    FileIdentity identity;  // of the file as this database last read or wrote it
    TableLayout layout;
    std::string prefix;   // header, field count and descriptors, as in the file
    std::string records;  // recordCount * recordLength bytes, as in the file
    int32_t pointer = 0;

    int32_t count() const { return layout.recordCount; }
    size_t recordLength() const { return static_cast<size_t>(layout.recordLength); }
    char* record(int32_t i) { return records.data() + static_cast<size_t>(i) * recordLength(); }
    const char* record(int32_t i) const {
        return records.data() + static_cast<size_t>(i) * recordLength();
    }
    uint64_t fileOffsetOf(int32_t i) const { return layout.sizeFor(i); }
};

namespace {

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string companionPath(const std::string& path) {
    return utf8FromPath(pathFromUtf8(path).replace_extension(".EDT"));
}

// Where a table is rebuilt before it replaces the real one.
std::string scratchPath(const std::string& path) {
    return path + ".tmp";
}

std::string int32Bytes(int32_t v) {
    std::string b(4, '\0');
    putInt32(b.data(), v);
    return b;
}

// A new table's bytes, read as a file to learn its layout.
class BytesFile final : public RandomAccessFile {
public:
    explicit BytesFile(const std::string& bytes) : m_bytes(bytes) {}
    Status read(uint64_t offset, size_t n, char* dst) override {
        if (offset > m_bytes.size() || n > m_bytes.size() - offset)
            return Status::ioError("unexpected end of file");
        m_bytes.copy(dst, n, static_cast<size_t>(offset));
        return Status::ok();
    }
    Status write(uint64_t, std::string_view) override { return Status::notSupported("read-only"); }
    Status truncate(uint64_t) override { return Status::notSupported("read-only"); }
    Status sync() override { return Status::ok(); }
    Result<uint64_t> size() override { return static_cast<uint64_t>(m_bytes.size()); }

private:
    const std::string& m_bytes;
};

}  // namespace

TableDatabase::TableDatabase() : TableDatabase(Options{}) {}
TableDatabase::TableDatabase(Options options) : m_options(std::move(options)) {}
TableDatabase::~TableDatabase() = default;

std::string TableDatabase::withDefaultExtension(const std::string& path) {
    return pathFromUtf8(path).has_extension() ? path : path + ".EDB";
}

Status TableDatabase::create(const std::string& rawPath, const std::vector<FieldDef>& fields,
                             const std::vector<std::vector<Value>>& records) {
    if (rawPath.empty()) return Status::invalidArgument("a table file needs a name");
    const std::string path = withDefaultExtension(rawPath);
    WriteLock lock(*this, path);
    if (!lock.status().isOk()) return lock.status().about(path);
    return createFile(path, fields, records).about(path);
}

Status TableDatabase::createFile(const std::string& path, const std::vector<FieldDef>& fields,
                                 const std::vector<std::vector<Value>>& records) {
    auto bytes = encodeNewTable(fields, m_options.now());
    if (!bytes.isOk()) return bytes.status();
    if (!records.empty())
        if (Status s = appendToNewTable(records, &bytes.value()); !s.isOk()) return s;
    FileSystem& fs = *m_options.fileSystem;
    const std::string canonical = fs.canonicalPath(path);
    for (const auto& [alias, table] : m_tables)
        if (table->path == canonical)
            return Status::alreadyOpen("open as \"" + alias + "\", so it cannot be replaced");

    const std::string scratch = scratchPath(path);
    Status s = writeWholeFile(fs, scratch, bytes.value(), m_options.sync);
    if (s.isOk()) s = fs.replace(scratch, path);
    if (!s.isOk()) {
        fs.remove(scratch);
        return s;
    }
    const bool needsCompanion = std::any_of(fields.begin(), fields.end(), [](const FieldDef& f) {
        return f.type == kFieldByteSet || f.type == kFieldMemo;
    });
    if (!needsCompanion) return Status::ok();
    std::string companion(kCompanionHeaderSize, '\0');
    std::copy(kCompanionMagic, kCompanionMagic + 4, companion.data());
    return writeWholeFile(fs, companionPath(path), companion, m_options.sync);
}

Status TableDatabase::appendToNewTable(const std::vector<std::vector<Value>>& records,
                                       std::string* bytes) {
    BytesFile file(*bytes);
    TableLayout layout;
    std::string prefix;
    if (Status s = readTableLayout(file, bytes->size(), &layout, &prefix); !s.isOk()) return s;
    int32_t stamp = std::max(1, layout.nextStamp);
    for (const auto& values : records) {
        auto record = encodeRecord(layout, values, stamp++);
        if (!record.isOk()) return record.status();
        *bytes += record.value();
    }
    putInt32(bytes->data() + kRecordCountOffset, static_cast<int32_t>(records.size()));
    putInt32(bytes->data() + kNextStampOffset, stamp);
    return Status::ok();
}

Status TableDatabase::open(const std::string& rawPath, const std::string& alias, Access access) {
    const std::string path = withDefaultExtension(rawPath);
    return openFile(path, alias, access).about(path);
}

Status TableDatabase::openFile(const std::string& path, const std::string& alias, Access access) {
    FileSystem& fs = *m_options.fileSystem;
    const std::string canonical = fs.canonicalPath(path);
    for (const auto& [otherAlias, table] : m_tables)
        if (table->path == canonical)
            return Status::alreadyOpen("already open as \"" + otherAlias + "\"");
    if (m_tables.count(alias)) return Status::alreadyOpen("alias \"" + alias + "\" is in use");

    auto t = std::make_unique<Table>();
    t->path = canonical;
    t->writable = access == Access::kReadWrite;
    if (t->writable) {
        // A repair and the scratch file's removal are changes: never while another writer works.
        if (Status s = acquireLock(lockPathOf(canonical)); !s.isOk()) return s;
        Status s = readFile(*t, path, /*repair=*/true);
        if (s.isOk() && fs.exists(scratchPath(path))) fs.remove(scratchPath(path));
        releaseLock(lockPathOf(canonical));
        if (!s.isOk()) return s;
    } else if (Status s = readFile(*t, path, /*repair=*/false); !s.isOk()) {
        return s;
    }
    m_current = t.get();
    m_tables[alias] = std::move(t);
    return Status::ok();
}

Result<RepairPlan> TableDatabase::repairFile(const std::string& rawPath) {
    const std::string path = withDefaultExtension(rawPath);
    FileSystem& fs = *m_options.fileSystem;
    const std::string lockPath = lockPathOf(fs.canonicalPath(path));
    if (Status s = acquireLock(lockPath); !s.isOk()) return s.about(path);
    auto repaired = [&]() -> Result<RepairPlan> {
        auto file = fs.openExisting(path, /*writable=*/true);
        if (!file.isOk()) return file.status();
        auto size = file.value()->size();
        if (!size.isOk()) return size.status();
        TableLayout layout;
        std::string prefix;
        if (Status s = readTableLayout(*file.value(), size.value(), &layout, &prefix); !s.isOk())
            return s;
        const RepairPlan plan = planRepair(layout, size.value());
        if (!plan.needed()) return plan;
        // Count first, then cut: a crash in between leaves a file this repairs again.
        Status s = Status::ok();
        if (plan.lowersCount)
            s = file.value()->write(kRecordCountOffset, int32Bytes(plan.recordCount));
        if (s.isOk()) s = file.value()->truncate(plan.fileSize);
        if (s.isOk() && m_options.sync) s = file.value()->sync();
        if (!s.isOk()) return s;
        return plan;
    }();
    releaseLock(lockPath);
    if (!repaired.isOk()) return repaired.status().about(path);
    return repaired;
}

Status TableDatabase::readFile(Table& t, const std::string& path, bool repair) {
    FileSystem& fs = *m_options.fileSystem;
    // Taken before the read: a change while reading makes the next check read again.
    auto identity = fs.identity(path);
    if (!identity.isOk()) return identity.status();
    auto file = fs.openExisting(path, t.writable);
    if (!file.isOk()) return file.status();
    t.file = std::move(file).value();
    auto size = t.file->size();
    if (!size.isOk()) return size.status();
    if (Status s = readTableLayout(*t.file, size.value(), &t.layout, &t.prefix); !s.isOk())
        return s;

    const RepairPlan plan = planRepair(t.layout, size.value());
    if (plan.damaged()) return Status::corruption(plan.damage);
    if (plan.needed() && repair) {
        // Count first, then cut: a crash in between leaves a file the next open repairs again.
        Status s = Status::ok();
        if (plan.lowersCount) s = t.file->write(kRecordCountOffset, int32Bytes(plan.recordCount));
        if (s.isOk()) s = t.file->truncate(plan.fileSize);
        if (s.isOk()) s = syncIfWanted(t);
        if (!s.isOk()) return s;
        identity = fs.identity(path);
        if (!identity.isOk()) return identity.status();
    }
    t.identity = identity.value();
    t.layout.recordCount = plan.recordCount;
    putInt32(t.prefix.data() + kRecordCountOffset, plan.recordCount);
    t.records.resize(static_cast<size_t>(plan.recordCount) * t.recordLength());
    Status s = Status::ok();
    if (!t.records.empty())
        s = t.file->read(t.layout.dataStart(), t.records.size(), t.records.data());
    // Let go of the file once it is in memory: Windows will not put a rebuilt table in the place
    // of a file another process holds open, so a ringer that kept it would block every purge and
    // change of tolvanectl for as long as it runs.
    t.file.reset();
    return s;
}

namespace {

bool sameFields(const std::vector<Field>& a, const std::vector<Field>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Field& x, const Field& y) {
        return x.name == y.name && x.type == y.type && x.offset == y.offset && x.size == y.size;
    });
}

}  // namespace

Result<bool> TableDatabase::refresh(Table& t) {
    auto identity = m_options.fileSystem->identity(t.path);
    if (!identity.isOk()) return identity.status();
    if (identity.value() == t.identity) return false;

    Table fresh;
    fresh.path = t.path;
    fresh.writable = t.writable;
    if (Status s = readFile(fresh, t.path, /*repair=*/t.writable); !s.isOk()) return s;
    // Callers hold FieldRefs into t's fields: a table whose fields changed is not this table.
    if (!sameFields(fresh.layout.fields, t.layout.fields))
        return Status::corruption("its fields are no longer those of the open table");
    const int32_t stamp = t.pointer < t.count() ? std::abs(decodeInt32(t.record(t.pointer))) : 0;
    int32_t pointer = fresh.count();
    for (int32_t i = 0; stamp != 0 && i < fresh.count(); ++i)
        if (std::abs(decodeInt32(fresh.record(i))) == stamp) pointer = i;
    fresh.layout.fields = std::move(t.layout.fields);
    t.file = std::move(fresh.file);
    t.identity = fresh.identity;
    t.layout = std::move(fresh.layout);
    t.prefix = std::move(fresh.prefix);
    t.records = std::move(fresh.records);
    t.pointer = stamp == 0 ? std::min(t.pointer, t.count()) : pointer;
    return true;
}

bool TableDatabase::changedOnDisk(const std::string& alias) {
    auto it = m_tables.find(alias);
    if (it == m_tables.end()) return false;
    auto identity = m_options.fileSystem->identity(it->second->path);
    return !identity.isOk() || !(identity.value() == it->second->identity);
}

Result<bool> TableDatabase::reload(const std::string& alias) {
    auto it = m_tables.find(alias);
    if (it == m_tables.end()) return Status::notFound("no table is open as \"" + alias + "\"");
    Table& t = *it->second;
    // The program's clock must never wait for another writer: its change is read next time.
    bool busy = false;
    if (t.writable)
        if (Status s = acquireLock(lockPathOf(t.path), 0, &busy); !s.isOk() || busy)
            return busy ? Result<bool>(false) : s.about(t.path);
    Result<bool> reloaded = refresh(t);
    if (t.writable) releaseLock(lockPathOf(t.path));
    if (!reloaded.isOk()) return reloaded.status().about(t.path);
    return reloaded;
}

Status TableDatabase::acquireLock(const std::string& lockPath, int waitMs, bool* busy) {
    HeldLock& held = m_locks[lockPath];
    if (held.depth++ > 0) return Status::ok();
    auto lock = m_options.fileSystem->lock(lockPath, waitMs);
    // Where no lock file can be made (a folder we may not write), nobody's changes can be
    // ordered: go on unlocked rather than refuse every change.
    if (lock.isOk() && !lock.value()) {
        m_locks.erase(lockPath);
        if (busy) {
            *busy = true;
            return Status::ok();
        }
        return Status::ioError("another program has been changing it for " +
                               std::to_string(waitMs / 1000) + " s; try again");
    }
    if (lock.isOk()) held.lock = std::move(lock).value();
    return Status::ok();
}

void TableDatabase::releaseLock(const std::string& lockPath) {
    auto it = m_locks.find(lockPath);
    if (it != m_locks.end() && --it->second.depth == 0) m_locks.erase(it);
}

Status TableDatabase::beginChange(Table& t) {
    if (!t.writable)
        return Status::permissionDenied(t.path + ": opened read-only, this user may not write it");
    if (Status s = acquireLock(lockPathOf(t.path)); !s.isOk()) return s;
    auto refreshed = refresh(t);
    if (!refreshed.isOk()) {
        releaseLock(lockPathOf(t.path));
        return refreshed.status().about("cannot read the table again");
    }
    // The file stays open only for the length of the change (see readFile).
    if (auto opened = m_options.fileSystem->openExisting(t.path, true); opened.isOk()) {
        t.file = std::move(opened).value();
    } else {
        releaseLock(lockPathOf(t.path));
        return opened.status().about(t.path);
    }
    return Status::ok();
}

void TableDatabase::endChange(Table& t, const Status& outcome) {
    // After a failed change the file may hold part of it: leave the identity stale so that the
    // next change reads (and repairs) the file first.
    if (outcome.isOk())
        if (auto identity = m_options.fileSystem->identity(t.path); identity.isOk())
            t.identity = identity.value();
    t.file.reset();
    releaseLock(lockPathOf(t.path));
}

TableDatabase::WriteLock::WriteLock(TableDatabase& db) : m_db(db) {
    Table* t = db.current();
    if (!t) {
        m_status = Status::notFound("no table is selected");
        return;
    }
    m_status = db.beginChange(*t);
    if (m_status.isOk()) m_lockPath = lockPathOf(t->path);
}

TableDatabase::WriteLock::WriteLock(TableDatabase& db, const std::string& path) : m_db(db) {
    const std::string lockPath =
        lockPathOf(db.fileSystem().canonicalPath(withDefaultExtension(path)));
    m_status = db.acquireLock(lockPath);
    if (m_status.isOk()) m_lockPath = lockPath;
}

TableDatabase::WriteLock::~WriteLock() {
    if (!m_lockPath.empty()) m_db.releaseLock(m_lockPath);
}

Status TableDatabase::select(const std::string& alias) {
    auto it = m_tables.find(alias);
    if (it == m_tables.end()) return Status::notFound("no table is open as \"" + alias + "\"");
    m_current = it->second.get();
    return Status::ok();
}

bool TableDatabase::hasTable(const std::string& alias) const {
    return m_tables.count(alias) > 0;
}

std::vector<std::string> TableDatabase::aliases() const {
    std::vector<std::string> all;
    for (const auto& [alias, table] : m_tables) all.push_back(alias);
    return all;
}

void TableDatabase::close(const std::string& alias) {
    auto it = m_tables.find(alias);
    if (it == m_tables.end()) return;
    if (m_current == it->second.get()) m_current = nullptr;
    m_tables.erase(it);
}

TableDatabase::Table* TableDatabase::current() const {
    return m_current;
}

void TableDatabase::goFirst() {
    if (Table* t = current()) t->pointer = 0;
}

int32_t TableDatabase::recordCount() const {
    const Table* t = current();
    return t ? std::max(0, t->count()) : 0;
}

bool TableDatabase::skip(int32_t count) {
    Table* t = current();
    if (!t || count < 1 || t->pointer >= t->count()) return false;
    t->pointer = static_cast<int32_t>(std::min<int64_t>(int64_t{t->pointer} + count, t->count()));
    return true;
}

bool TableDatabase::endOfTable() const {
    const Table* t = current();
    return !t || t->pointer >= t->count();
}

int32_t TableDatabase::position() const {
    const Table* t = current();
    return t ? t->pointer : 0;
}

Result<const Field*> TableDatabase::fieldOf(std::string_view name) const {
    const Table* t = current();
    if (!t) return Status::notFound("no table is selected");
    // Callers pass the schema's own spelling; the exact match is the fast, common case.
    for (const Field& f : t->layout.fields)
        if (f.name == name) return &f;
    for (const Field& f : t->layout.fields)
        if (equalIgnoringAsciiCase(f.name, name)) return &f;
    return Status::notFound("the table has no field \"" + std::string(name) + "\"");
}

Result<const char*> TableDatabase::currentFieldBytes(const Field& field) const {
    const Table* t = current();
    if (t->pointer >= t->count()) return Status::notFound("no current record");
    return t->record(t->pointer) + field.offset;
}

Result<Value> TableDatabase::read(std::string_view name) const {
    auto field = fieldOf(name);
    if (!field.isOk()) return field.status();
    auto bytes = currentFieldBytes(*field.value());
    if (!bytes.isOk()) return bytes.status();
    return decodeField(*field.value(), bytes.value());
}

namespace {
template <typename T>
Result<T> typed(Result<Value> v) {
    if (!v.isOk()) return v.status();
    if (const T* x = std::get_if<T>(&v.value())) return *x;
    return Status::typeMismatch();
}
}  // namespace

Result<std::string> TableDatabase::readText(std::string_view name) const {
    // The clock tick reads two texts per record every second: skip the general Value path.
    auto field = fieldOf(name);
    if (!field.isOk()) return field.status();
    if (field.value()->type != kFieldText) return Status::typeMismatch();
    auto bytes = currentFieldBytes(*field.value());
    if (!bytes.isOk()) return bytes.status();
    return decodeText(*field.value(), bytes.value());
}
Result<int64_t> TableDatabase::readInteger(std::string_view name) const {
    return typed<int64_t>(read(name));
}
Result<bool> TableDatabase::readLogical(std::string_view name) const {
    return typed<bool>(read(name));
}

Result<FieldRef> TableDatabase::fieldRef(std::string_view name) const {
    auto field = fieldOf(name);
    if (!field.isOk()) return field.status();
    return FieldRef{current(), field.value()};
}

Result<const char*> TableDatabase::referencedBytes(const FieldRef& ref, int32_t type) const {
    if (!ref.field || ref.table != current())
        return Status::invalidArgument("the field belongs to another table");
    if (ref.field->type != type) return Status::typeMismatch();
    return currentFieldBytes(*ref.field);
}

Result<bool> TableDatabase::textEquals(const FieldRef& ref, std::string_view text) const {
    auto bytes = referencedBytes(ref, kFieldText);
    if (!bytes.isOk()) return bytes.status();
    // An ASCII text is its own GBK form, and GBK bytes never decode to ASCII otherwise: the raw
    // bytes can be compared as they are.
    const auto width = static_cast<size_t>(ref.field->size);
    const char* b = bytes.value();
    const auto* nul = static_cast<const char*>(std::memchr(b, '\0', width));
    const std::string_view stored(b, nul ? static_cast<size_t>(nul - b) : width);
    if (isAscii(text)) return stored == text;
    return decodeText(*ref.field, b) == text;
}

Result<bool> TableDatabase::readLogical(const FieldRef& ref) const {
    auto bytes = referencedBytes(ref, kFieldLogical);
    if (!bytes.isOk()) return bytes.status();
    return bytes.value()[0] != 0;
}

Status TableDatabase::syncIfWanted(Table& t) {
    if (!t.file) return Status::ioError("the table file could not be opened again");
    return m_options.sync ? t.file->sync() : Status::ok();
}

Status TableDatabase::writeRecordBytes(Table& t, uint64_t fileOffset, std::string_view bytes) {
    if (!t.writable) return Status::ioError("the table was opened read-only");
    if (!t.file) return Status::ioError("the table file could not be opened again");
    Status s = t.file->write(fileOffset, bytes);
    return s.isOk() ? syncIfWanted(t) : s;
}

Status TableDatabase::write(std::string_view name, const Value& value) {
    auto field = fieldOf(name);
    if (!field.isOk()) return field.status();
    Table& t = *current();
    if (Status s = beginChange(t); !s.isOk()) return s;
    Status s = writeField(t, *field.value(), value);
    endChange(t, s);
    return s;
}

Status TableDatabase::writeField(Table& t, const Field& f, const Value& value) {
    if (t.pointer >= t.count()) return Status::notFound("no current record");
    std::string bytes(t.record(t.pointer) + f.offset, static_cast<size_t>(f.size));
    if (Status s = encodeField(f, value, bytes.data()); !s.isOk()) return s;
    if (Status s =
            writeRecordBytes(t, t.fileOffsetOf(t.pointer) + static_cast<uint64_t>(f.offset), bytes);
        !s.isOk())
        return s;
    std::copy(bytes.begin(), bytes.end(), t.record(t.pointer) + f.offset);
    return Status::ok();
}

Status TableDatabase::append(const std::vector<Value>& values) {
    Table* t = current();
    if (!t) return Status::notFound("no table is selected");
    if (Status s = beginChange(*t); !s.isOk()) return s;
    Status s = appendRecord(*t, values);
    endChange(*t, s);
    return s;
}

Status TableDatabase::appendRecord(Table& t, const std::vector<Value>& values) {
    if (t.count() == INT32_MAX) return Status::invalidArgument("the table is full");
    const int32_t stamp = std::max(1, t.layout.nextStamp);
    auto encoded = encodeRecord(t.layout, values, stamp);
    if (!encoded.isOk()) return encoded.status();
    const std::string& record = encoded.value();
    // The record first, then the stamp, then the count that makes the record part of the table:
    // a crash before the count leaves bytes past the count, which the next open cuts off.
    const int32_t newCount = t.count() + 1;
    const int32_t newNextStamp = stamp == INT32_MAX ? stamp : stamp + 1;
    Status s = writeRecordBytes(t, t.fileOffsetOf(t.count()), record);
    if (s.isOk()) s = t.file->write(kNextStampOffset, int32Bytes(newNextStamp));
    if (s.isOk()) s = t.file->write(kRecordCountOffset, int32Bytes(newCount));
    if (s.isOk()) s = syncIfWanted(t);
    if (!s.isOk()) return s;
    t.records += record;
    t.layout.recordCount = newCount;
    t.layout.nextStamp = newNextStamp;
    putInt32(t.prefix.data() + kRecordCountOffset, newCount);
    putInt32(t.prefix.data() + kNextStampOffset, newNextStamp);
    t.pointer = newCount - 1;
    return Status::ok();
}

bool TableDatabase::find(const std::function<bool()>& condition) {
    Table* t = current();
    if (!t) return false;
    const int32_t start = t->pointer;
    for (int32_t i = start; i < t->count(); ++i) {
        t->pointer = i;
        if (condition()) return true;
    }
    t->pointer = start;
    return false;
}

Status TableDatabase::deleteCurrent() {
    Table* t = current();
    if (!t) return Status::notFound("no table is selected");
    if (Status s = beginChange(*t); !s.isOk()) return s;
    Status s = Status::ok();
    const int32_t stamp = t->pointer < t->count() ? decodeInt32(t->record(t->pointer)) : 0;
    if (t->pointer >= t->count())
        s = Status::notFound("no current record");
    else if (stamp > 0)
        s = writeRecordBytes(*t, t->fileOffsetOf(t->pointer), int32Bytes(-stamp));
    if (s.isOk() && stamp > 0) putInt32(t->record(t->pointer), -stamp);
    endChange(*t, s);
    return s;
}

Result<std::string> TableDatabase::encodeRecord(const TableLayout& layout,
                                                const std::vector<Value>& values, int32_t stamp) {
    if (values.size() > layout.fields.size())
        return Status::invalidArgument("more values than the table has fields");
    std::string record(static_cast<size_t>(layout.recordLength), '\0');
    putInt32(record.data(), stamp);
    for (size_t i = 0; i < values.size(); ++i) {
        const Field& f = layout.fields[i];
        if (Status s = encodeField(f, values[i], record.data() + f.offset); !s.isOk()) return s;
    }
    return record;
}

Status TableDatabase::rewriteTable(Table& t, std::string prefix, std::string records) {
    if (!t.writable) return Status::ioError("the table was opened read-only");
    // Changing records in place could leave a record twice (or none) after a crash; instead the
    // new table is written beside the old one and put in its place in one step.
    FileSystem& fs = *m_options.fileSystem;
    const std::string scratch = scratchPath(t.path);
    auto created = fs.createTruncated(scratch);
    if (!created.isOk()) return created.status();
    std::unique_ptr<RandomAccessFile> file = std::move(created).value();
    Status s = fs.copyOwnerAndMode(t.path, scratch);
    if (s.isOk()) s = file->write(0, prefix);
    const size_t chunk =
        std::max<size_t>(1, kPurgeChunkBytes / t.recordLength()) * t.recordLength();
    for (size_t done = 0; s.isOk() && done < records.size(); done += chunk)
        s = file->write(prefix.size() + done, std::string_view(records).substr(done, chunk));
    if (s.isOk()) s = file->sync();
    if (!s.isOk()) {
        file.reset();  // closed before it is removed
        fs.remove(scratch);
        return s;
    }
    // Some systems cannot put a file in the place of one that is open: close ours first and, if
    // the replacement fails, open the old table again.
    t.file.reset();
    file.reset();
    s = fs.replace(scratch, t.path);
    if (!s.isOk()) {
        fs.remove(scratch);
        auto reopened = fs.openExisting(t.path, true);
        if (reopened.isOk()) t.file = std::move(reopened).value();
        return s;
    }
    if (auto reopened = fs.openExisting(t.path, true); reopened.isOk())
        file = std::move(reopened).value();
    t.file = std::move(file);
    t.prefix = std::move(prefix);
    t.records = std::move(records);
    t.layout.recordCount = decodeInt32(t.prefix.data() + kRecordCountOffset);
    t.layout.nextStamp = decodeInt32(t.prefix.data() + kNextStampOffset);
    return Status::ok();
}

Status TableDatabase::purge() {
    Table* t = current();
    if (!t) return Status::notFound("no table is selected");
    if (Status s = beginChange(*t); !s.isOk()) return s;
    Status s = purgeRecords(*t);
    endChange(*t, s);
    return s;
}

Status TableDatabase::purgeRecords(Table& t) {
    std::string live;
    for (int32_t i = 0; i < t.count(); ++i)
        if (decodeInt32(t.record(i)) > 0) live.append(t.record(i), t.recordLength());
    std::string prefix = t.prefix;
    putInt32(prefix.data() + kRecordCountOffset,
             static_cast<int32_t>(live.size() / t.recordLength()));
    if (Status s = rewriteTable(t, std::move(prefix), std::move(live)); !s.isOk()) return s;
    t.pointer = 0;
    return Status::ok();
}

Status TableDatabase::replaceCurrent(const std::vector<Value>& values) {
    Table* t = current();
    if (!t) return Status::notFound("no table is selected");
    if (Status s = beginChange(*t); !s.isOk()) return s;
    Status s = replaceRecord(*t, values);
    endChange(*t, s);
    return s;
}

Status TableDatabase::replaceRecord(Table& t, const std::vector<Value>& values) {
    if (t.pointer >= t.count()) return Status::notFound("no current record");
    const int32_t stamp = std::max(1, t.layout.nextStamp);
    auto record = encodeRecord(t.layout, values, stamp);
    if (!record.isOk()) return record.status();
    std::string kept;
    for (int32_t i = 0; i < t.count(); ++i)
        if (i != t.pointer && decodeInt32(t.record(i)) > 0)
            kept.append(t.record(i), t.recordLength());
    kept += record.value();
    const auto count = static_cast<int32_t>(kept.size() / t.recordLength());
    std::string prefix = t.prefix;
    putInt32(prefix.data() + kRecordCountOffset, count);
    putInt32(prefix.data() + kNextStampOffset, stamp == INT32_MAX ? stamp : stamp + 1);
    if (Status s = rewriteTable(t, std::move(prefix), std::move(kept)); !s.isOk()) return s;
    t.pointer = count - 1;
    return Status::ok();
}

Status TableDatabase::replaceAll(const std::vector<std::vector<Value>>& records) {
    Table* t = current();
    if (!t) return Status::notFound("no table is selected");
    if (Status s = beginChange(*t); !s.isOk()) return s;
    Status s = replaceRecords(*t, records);
    endChange(*t, s);
    return s;
}

Status TableDatabase::replaceRecords(Table& t, const std::vector<std::vector<Value>>& records) {
    int32_t stamp = std::max(1, t.layout.nextStamp);
    std::string all;
    for (const std::vector<Value>& values : records) {
        auto record = encodeRecord(t.layout, values, stamp);
        if (!record.isOk()) return record.status();
        all += record.value();
        if (stamp < INT32_MAX) ++stamp;
    }
    std::string prefix = t.prefix;
    putInt32(prefix.data() + kRecordCountOffset, static_cast<int32_t>(records.size()));
    putInt32(prefix.data() + kNextStampOffset, stamp);
    if (Status s = rewriteTable(t, std::move(prefix), std::move(all)); !s.isOk()) return s;
    t.pointer = 0;
    return Status::ok();
}

const TableLayout* TableDatabase::layout() const {
    const Table* t = current();
    return t ? &t->layout : nullptr;
}

Status TableDatabase::canChange() const {
    const Table* t = current();
    if (!t) return Status::notFound("no table is selected");
    if (!t->writable)
        return Status::permissionDenied(t->path + ": opened read-only, this user may not write it");
    return Status::ok();
}

std::string TableDatabase::pathOf(const std::string& alias) const {
    auto it = m_tables.find(alias);
    return it == m_tables.end() ? std::string() : it->second->path;
}

std::string TableDatabase::currentPath() const {
    const Table* t = current();
    return t ? t->path : std::string();
}

bool TableDatabase::currentIsLive() const {
    const Table* t = current();
    return t && t->pointer < t->count() && decodeInt32(t->record(t->pointer)) > 0;
}

bool TableDatabase::hasDeletedRecords() const {
    const Table* t = current();
    if (!t) return false;
    for (int32_t i = 0; i < t->count(); ++i)
        if (decodeInt32(t->record(i)) <= 0) return true;
    return false;
}

Result<int32_t> TableDatabase::currentStamp() const {
    const Table* t = current();
    if (!t) return Status::notFound("no table is selected");
    if (t->pointer >= t->count()) return Status::notFound("no current record");
    return decodeInt32(t->record(t->pointer));
}

}  // namespace tolvane
