#include "ui/BalloonTip.h"

#include <QTimer>

namespace tolvane {

BalloonTip::BalloonTip(QWidget* parent) : QLabel(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    setStyleSheet(
        "QLabel { background: #fffbe6; color: #14233c; border: 1px solid #c9a227;"
        " border-radius: 6px; padding: 8px; }");
    setWordWrap(false);
}

void BalloonTip::popUp(const QPoint& screenPoint, const QString& text) {
    setText(text);
    adjustSize();
    move(screenPoint);
    show();
    QTimer::singleShot(kShownMs, this, &QWidget::hide);
}

}  // namespace tolvane
