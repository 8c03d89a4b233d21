// SPDX-License-Identifier: GPL-3.0-or-later
// hotkey_holder: another X client that holds Shift+T until it is killed.

#include <QGuiApplication>
#include <cstdio>

#include "platform/HotKey.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    tolvane::HotKey key;
    if (!key.grab(1)) {
        std::fprintf(stderr, "hotkey_holder: cannot grab Shift+T\n");
        return 1;
    }
    std::printf("holding\n");
    std::fflush(stdout);
    return app.exec();
}
