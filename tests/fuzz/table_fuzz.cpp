// SPDX-License-Identifier: GPL-3.0-or-later
// Opens arbitrary bytes as a table, then walks it, reads every field of every record, and
// changes it. Nothing may crash, hang or read outside the file.

#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/TableDatabase.h"
#include "tests/support/MemFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tolvane::test::MemFileSystem fs;
    fs.put("fuzz.edb", std::string(reinterpret_cast<const char*>(data), size));
    tolvane::TableDatabase::Options options;
    options.fileSystem = &fs;
    options.now = [] { return 0.0; };
    tolvane::TableDatabase db(options);
    if (!db.open("fuzz.edb", "f").isOk()) return 0;

    const tolvane::TableLayout layout = *db.layout();
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        (void)db.currentStamp();
        for (const tolvane::Field& f : layout.fields) (void)db.read(f.name);
    }
    if (db.recordCount() > 0) {
        db.goFirst();
        db.deleteCurrent();
        if (!layout.fields.empty()) (void)db.write(layout.fields.back().name, std::string("x"));
    }
    std::vector<tolvane::Value> values;
    for (const tolvane::Field& f : layout.fields) {
        if (f.type == tolvane::kFieldText)
            values.emplace_back(std::string("铃声"));
        else if (f.type == tolvane::kFieldLogical)
            values.emplace_back(true);
        else
            values.emplace_back(int64_t{1});
    }
    (void)db.append(values);
    (void)db.purge();
    for (db.goFirst(); !db.endOfTable(); db.skip())
        for (const tolvane::Field& f : layout.fields) (void)db.read(f.name);
    return 0;
}
