// SPDX-License-Identifier: GPL-3.0-or-later
#include "ringer/QuitOnSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/TerminationSignals.h"

namespace tolvane {

void quitOnTerminationSignals(QCoreApplication& app, std::function<void(const char*)> heard) {
    const int fd = watchTerminationSignals();
    if (fd < 0) {
        // Windows' console events come on a thread of the system's: heard on the app's.
        watchConsoleControl([&app, heard](const char* name) {
            QMetaObject::invokeMethod(&app, [&app, heard, name] {
                heard(name);
                app.exit(0);
            });
        });
        return;
    }
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, heard = std::move(heard)] {
        const int signal = takeTerminationSignal();
        if (signal == 0) return;
        heard(terminationSignalName(signal));
        app.exit(0);
    });
}

}  // namespace tolvane
