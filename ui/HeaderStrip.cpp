// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/HeaderStrip.h"

#include <QMouseEvent>
#include <QWindow>

namespace tolvane {

void HeaderStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
    // The window manager moves the window as if its title bar were dragged; where there is none
    // to ask, follow the mouse ourselves.
    QWindow* handle = window()->windowHandle();
    if (handle && handle->startSystemMove()) return;
    m_dragging = true;
    m_grabOffset = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
}

void HeaderStrip::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) window()->move(event->globalPosition().toPoint() - m_grabOffset);
    QLabel::mouseMoveEvent(event);
}

void HeaderStrip::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QLabel::mouseReleaseEvent(event);
}

}  // namespace tolvane
