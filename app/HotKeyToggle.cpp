// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HotKeyToggle.h"

#include <QWidget>

#include "platform/HotKey.h"

namespace tolvane {

HotKeyToggle::HotKeyToggle(QWidget& window)
    : m_window(window), m_hotKey(std::make_unique<HotKey>(&window)) {
    m_hotKey->onPressed = [this] { onPressed(m_id); };
}

HotKeyToggle::~HotKeyToggle() = default;

void HotKeyToggle::want(bool wanted) {
    if (!wanted || m_id != 0) return;
    const int id = m_nextId++;
    m_id = m_hotKey->grab(id) ? id : 0;
}

bool HotKeyToggle::grab() {
    want(true);
    return m_id != 0;
}

QString HotKeyToggle::trigger() const {
    return m_hotKey->trigger();
}

void HotKeyToggle::release() {
    m_hotKey->release();
    m_id = 0;
}

void toggleWindow(QWidget& window) {
    if (window.isVisible()) {
        window.hide();
    } else {
        window.show();
        if (window.isMinimized()) window.showNormal();
    }
}

void HotKeyToggle::onPressed(int id) {
    if (id == 0 || id != m_id) return;
    toggleWindow(m_window);
}

}  // namespace tolvane
