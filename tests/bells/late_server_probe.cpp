// SPDX-License-Identifier: GPL-3.0-or-later
// late_server_probe FILE READY GO: plays FILE with no sound server running (it must fail
// silently), creates READY, waits for GO (the server is up), then plays FILE again to its end.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <atomic>
#include <cstdlib>

#include "bells/audio/AudioPlayback.h"

namespace {

bool waitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) return 2;
    std::atomic<int> ended{0};
    int status = 0;
    {
        tolvane::PlaybackHooks hooks;
        hooks.onListEnd = [&] { ++ended; };
        tolvane::AudioPlayback playback(tolvane::audioSinkFactory(), hooks);
        playback.play({argv[1]}, 1);
        if (!waitFor([&] { return ended == 1; }, 5000)) status = 3;
        QFile(argv[2]).open(QIODevice::WriteOnly);
        if (!waitFor([&] { return QFile::exists(argv[3]); }, 20000)) status = 4;
        playback.play({argv[1]}, 1);
        if (status == 0 && !waitFor([&] { return ended == 2; }, 10000)) status = 5;
    }
    // As tolvanectl: no static teardown at exit.
    std::_Exit(status);
}
