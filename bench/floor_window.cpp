// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's own floor for the start-up figures: the least a Qt Widgets program does to show a
// window with Chinese text in the program's font (no tables, no list, no style sheet), started
// and measured exactly as the program is. What the program takes beyond it is the program's own.

#include <QApplication>
#include <QLabel>
#include <cstdlib>

#include "app/FirstPaintReporter.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("08:00:00 上课铃"));
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(40);
    label.setFont(font);
    label.setFixedSize(663, 488);
    tolvane::FirstPaintReporter reporter;
    if (std::getenv("TOLVANE_REPORT_FIRST_PAINT")) label.installEventFilter(&reporter);
    label.show();
    return app.exec();
}
