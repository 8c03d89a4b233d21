// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPointer>
#include <utility>
#include <vector>

namespace tolvane {

// A balloon tip: a small window with a text at a screen point, closing by itself after a while
// or at a click. Showing it does not wait.
class BalloonTip final : public QLabel {
    Q_OBJECT
public:
    static constexpr int kShownMs = 8000;
    explicit BalloonTip(QWidget* parent = nullptr);
    void popUp(const QPoint& screenPoint, const QString& text);
    // Beside target, where it covers no control of target's window (right, below, left or above
    // it; else right of the window), for shownMs.
    void popUpBeside(QWidget* target, const QString& text, int shownMs = kShownMs);

signals:
    void hidden();

protected:
    void mousePressEvent(QMouseEvent*) override { hide(); }
    void hideEvent(QHideEvent*) override { emit hidden(); }

private:
    int m_shown = 0;  // which showing the timer's hide belongs to
};

// Where a tip of size goes beside target so that it covers no control of target's window, in
// global coordinates: right of target, below, left, above, the first that covers none; else to
// the right of the window.
QPoint tipPlaceBeside(const QWidget& target, const QSize& size);

// The tips of a window, one at a time, each beside what it explains; the next when the one shown
// goes (its time is up, or a click). The tips are the window's children.
void showTipsInTurn(QWidget* window, std::vector<std::pair<QPointer<QWidget>, QString>> tips,
                    int eachMs);

}  // namespace tolvane
