// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ClockFace.h"

#include <QPainter>

#include "ui/core/ClockDisplay.h"

namespace tolvane {

ClockFace::ClockFace(QWidget* parent) : QWidget(parent), m_face(256, 49, QImage::Format_RGB32) {
    m_face.fill(Qt::black);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClockFace::setDigitStrip(const QImage& strip) {
    m_strip = strip.convertToFormat(QImage::Format_RGB32);
    m_shown = -1;
}

void ClockFace::showTime(int hour, int minute, int second) {
    const int now = hour * 3600 + minute * 60 + second;
    if (now == m_shown || m_strip.isNull()) return;
    m_shown = now;
    QPainter painter(&m_face);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const std::array<int, 8> glyphs = clockGlyphs(hour, minute, second);
    for (int cell = 0; cell < 8; ++cell)
        painter.drawImage(QPoint(cell * kGlyphWidth, 0), m_strip,
                          QRect(glyphs[cell] * kGlyphWidth, 0, kGlyphWidth, kGlyphHeight));
    painter.end();
    update();
}

void ClockFace::setDimmed(bool dimmed) {
    if (dimmed == m_dimmed) return;
    m_dimmed = dimmed;
    update();
}

void ClockFace::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_face);
    // The face is opaque: a veil of the header's navy over it dims it the same at every paint.
    if (m_dimmed) painter.fillRect(QRect(QPoint(0, 0), m_face.size()), QColor(20, 35, 60, 170));
}

}  // namespace tolvane
