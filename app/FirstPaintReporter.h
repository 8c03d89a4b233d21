// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// For the start-up benchmark: prints the wall clock (ms) to stderr when the watched widget is
// first painted. Header-only, so that the benchmark's bare toolkit window reports the same way
// without linking the program.

#include <QDateTime>
#include <QEvent>
#include <QObject>
#include <cstdio>

namespace tolvane {

class FirstPaintReporter final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            std::fprintf(stderr, "first-paint-ms %lld\n",
                         static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

}  // namespace tolvane
