// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PlayCommand.h"

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <iostream>

#include "bells/audio/AudioPlayback.h"
#include "bells/core/PlayList.h"
#include "platform/FolderListing.h"
#include "schedule/core/Schema.h"

namespace tolvane::cli {

namespace {
std::atomic<bool> g_interrupted{false};
void onInterrupt(int) {
    g_interrupted = true;
}
}  // namespace

int playCommand(int argc, char** argv, const std::string& music) {
    QCoreApplication app(argc, argv);
    PlaybackHooks hooks;
    hooks.onListEnd = [&app] {
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    };
    AudioPlayback playback(audioSinkFactory(), hooks);
    PlaylistBellSound sound(playback, [] { return uint64_t{0}; });
    if (!countsAsFile(music) && listMp3Files(music).empty()) {
        std::cerr << "tolvanectl: " << music << ": no MP3 files to play\n";
        return 1;
    }
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    // The handler may only set a flag; the event loop looks at it.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (g_interrupted) {
            sound.stop();
            app.quit();
        }
    });
    watch.start(50);
    sound.start(music, {});
    app.exec();
    return 0;
}

}  // namespace tolvane::cli
