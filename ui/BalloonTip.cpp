// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BalloonTip.h"

#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <memory>

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

void BalloonTip::popUpBeside(QWidget* target, const QString& text, int shownMs) {
    setText(text);
    adjustSize();
    move(tipPlaceBeside(*target, size()));
    show();
    const int showing = ++m_shown;
    QTimer::singleShot(shownMs, this, [this, showing] {
        if (showing == m_shown) hide();
    });
}

namespace {

// Where w's top-left corner is in the coordinates its window's tips are placed in: the window
// system's own idea of the window's place. On X11 that is the screen; a Wayland compositor tells
// no client where its windows are, and places a tip relative to the window it belongs to.
QPoint placeOf(const QWidget& w) {
    const QWidget* window = w.window();
    const QWindow* handle = window->windowHandle();
    return handle ? handle->mapToGlobal(w.mapTo(window, QPoint(0, 0)))
                  : w.mapToGlobal(QPoint(0, 0));
}

// The window's controls that a tip must leave visible: the widgets with no visible widget inside
// (a list's viewport, a button, a label), in global coordinates.
std::vector<QRect> controlRects(const QWidget& window) {
    std::vector<QRect> rects;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow()) continue;
        const bool leaf = std::none_of(w->children().begin(), w->children().end(), [](QObject* c) {
            auto* child = qobject_cast<QWidget*>(c);
            return child && child->isVisible() && !child->isWindow();
        });
        if (leaf) rects.emplace_back(placeOf(*w), w->size());
    }
    return rects;
}

}  // namespace

QPoint tipPlaceBeside(const QWidget& target, const QSize& size) {
    const QRect at(placeOf(target), target.size());
    constexpr int kGap = 6;
    const QPoint candidates[] = {
        {at.right() + kGap, at.top()},
        {at.left(), at.bottom() + kGap},
        {at.left() - kGap - size.width(), at.top()},
        {at.left(), at.top() - kGap - size.height()},
    };
    const std::vector<QRect> controls = controlRects(*target.window());
    for (const QPoint& p : candidates) {
        const QRect tip(p, size);
        if (std::none_of(controls.begin(), controls.end(),
                         [&](const QRect& c) { return c.intersects(tip); }))
            return p;
    }
    const QRect window = target.window()->frameGeometry();
    return {window.right() + kGap, at.top()};
}

void showTipsInTurn(QWidget* window, std::vector<std::pair<QPointer<QWidget>, QString>> tips,
                    int eachMs) {
    // One balloon for each tip (气球提示框1, 2, ...), each shown when the one before goes.
    std::vector<BalloonTip*> balloons;
    for (size_t i = 0; i < tips.size(); ++i) {
        balloons.push_back(new BalloonTip(window));
        balloons.back()->setObjectName(QStringLiteral("气球提示框%1").arg(i + 1));
    }
    for (size_t i = 0; i < tips.size(); ++i) {
        BalloonTip* tip = balloons[i];
        const auto& [target, text] = tips[i];
        const auto show = [window, tip, target = target, text = text, eachMs] {
            // The window went, and its tips with it; a control gone leaves its tip out.
            if (window->isVisible() && target)
                tip->popUpBeside(target, text, eachMs);
            else if (window->isVisible())
                emit tip->hidden();
        };
        if (i == 0)
            QTimer::singleShot(0, tip, show);  // once the window is up and placed
        else
            QObject::connect(balloons[i - 1], &BalloonTip::hidden, tip,
                             [tip, show] { QTimer::singleShot(0, tip, show); });
    }
}
}  // namespace tolvane
