// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PictureButton.h"

#include <QPainter>

namespace tolvane {

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::setPicture(State state, const QPixmap& picture) {
    m_pictures[static_cast<int>(state)] = picture;
    update();
}

PictureButton::State PictureButton::state() const {
    if (!isEnabled()) return State::kDisabled;
    if (isDown()) return State::kPressed;
    if (m_hover) return State::kHot;
    return State::kNormal;
}

const QPixmap& PictureButton::currentPicture() const {
    const QPixmap& p = m_pictures[static_cast<int>(state())];
    return p.isNull() ? m_pictures[static_cast<int>(State::kNormal)] : p;
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), currentPicture());
}

void PictureButton::enterEvent(QEnterEvent* e) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(e);
}

void PictureButton::leaveEvent(QEvent* e) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(e);
}

}  // namespace tolvane
