#pragma once

#include <QLabel>

namespace tolvane {

// A balloon tip: a small window with a text at a screen point, closing by itself after a while
// or at a click. Showing it does not wait.
class BalloonTip final : public QLabel {
    Q_OBJECT
public:
    static constexpr int kShownMs = 8000;
    explicit BalloonTip(QWidget* parent = nullptr);
    void popUp(const QPoint& screenPoint, const QString& text);

protected:
    void mousePressEvent(QMouseEvent*) override { hide(); }
};

}  // namespace tolvane
