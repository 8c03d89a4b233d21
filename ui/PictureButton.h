// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace tolvane {

// A button drawn from pictures for its states: normal, hot (mouse over it, no button held),
// pressed and disabled. A state without a picture shows the normal one. Clicked when the left
// button is released over it.
class PictureButton final : public QAbstractButton {
    Q_OBJECT
public:
    enum class State { kNormal, kHot, kPressed, kDisabled };

    explicit PictureButton(QWidget* parent = nullptr);
    void setPicture(State state, const QPixmap& picture);
    State state() const;
    // The picture shown now.
    const QPixmap& currentPicture() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    QPixmap m_pictures[4];
    bool m_hover = false;
};

}  // namespace tolvane
