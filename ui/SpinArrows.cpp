// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SpinArrows.h"

#include <QToolButton>

namespace tolvane {

SpinArrows::SpinArrows(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { emit spun(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit spun(-1); });
}

void SpinArrows::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

}  // namespace tolvane
