// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPoint>

namespace tolvane {

// The header picture of the frameless main window: dragging it moves the window, as a title bar
// would.
class HeaderStrip final : public QLabel {
    Q_OBJECT
public:
    explicit HeaderStrip(QWidget* parent = nullptr) : QLabel(parent) {}

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_dragging = false;
    QPoint m_grabOffset;
};

}  // namespace tolvane
