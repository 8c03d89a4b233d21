// SPDX-License-Identifier: GPL-3.0-or-later
// Runs under Wine: holds a schedule folder's tables the way the ringer does (opened for writing at
// start, read again within a second of any change by someone else) while tolvanectl.exe changes
// them, as a caretaker's script does beside the running program. Prints the bells' start times
// at start and after each reload, and ends when the file STOP_FILE appears.
// Usage: wine win32_table_holder.exe FOLDER STOP_FILE

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/PathText.h"
#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"

using namespace tolvane;

namespace {

void printBells(TableDatabase& db) {
    std::vector<std::string> starts;
    if (auto bells = readBells(db); bells.isOk())
        for (const BellRecord& bell : bells.value()) starts.push_back(bell.start);
    std::sort(starts.begin(), starts.end());
    std::string line = "bells:";
    for (const std::string& start : starts) line += " " + start;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: win32_table_holder FOLDER STOP_FILE\n");
        return 2;
    }
    const std::string folder = argv[1], stopFile = argv[2];
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, folder);
    if (!opened.usable()) {
        std::fprintf(stderr, "cannot open the tables in %s\n", folder.c_str());
        return 1;
    }
    printBells(db);
    while (GetFileAttributesA(stopFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const ReloadedTables reloaded = reloadChangedTables(db);
        for (const std::string& error : reloaded.errors) std::printf("error: %s\n", error.c_str());
        if (reloaded.bells) printBells(db);
        Sleep(50);
    }
    return 0;
}
