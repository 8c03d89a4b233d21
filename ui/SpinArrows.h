// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QToolButton;

namespace tolvane {

// The up/down control of a Time spinner: spun(+1) for the up arrow, spun(-1) for the down one.
class SpinArrows final : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent = nullptr);
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void spun(int direction);

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

}  // namespace tolvane
