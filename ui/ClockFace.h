// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

namespace tolvane {

// The clock face: eight 32 x 48 cells copied from the digit strip (eleven glyphs: 0..9 and a
// colon). Painting a time copies only into images allocated once.
class ClockFace final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGlyphWidth = 32;
    static constexpr int kGlyphHeight = 48;

    explicit ClockFace(QWidget* parent = nullptr);
    void setDigitStrip(const QImage& strip);
    // Copies the glyphs of h:m:s into the face; nothing when that time is already shown.
    void showTime(int hour, int minute, int second);
    const QImage& face() const { return m_face; }
    // A paused plan's face: drawn faint, so the state shows from across the room.
    void setDimmed(bool dimmed);
    bool dimmed() const { return m_dimmed; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage m_strip;
    QImage m_face;
    int m_shown = -1;  // seconds of the day on the face
    bool m_dimmed = false;
};

}  // namespace tolvane
