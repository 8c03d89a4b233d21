// SPDX-License-Identifier: GPL-3.0-or-later
// fill_schedule DIR N: a program folder with N bells spread over the day, every weekday.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "schedule/core/Schema.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    tolvane::TableDatabase db;
    tolvane::openOrCreateTables(db, argv[1]);
    db.select(tolvane::schema::kBellAlias);
    const int n = std::atoi(argv[2]);
    for (int i = 0; i < n; ++i) {
        const int s = 7 * 3600 + i * 1800;
        char start[16];
        std::snprintf(start, sizeof start, "%02d:%02d:%02d", s / 3600 % 24, s / 60 % 60, s % 60);
        db.append(tolvane::bellValues(
            {start, "", "/srv/bells/bell.mp3", {true, true, true, true, true, false, false}, s}));
    }
    return 0;
}
