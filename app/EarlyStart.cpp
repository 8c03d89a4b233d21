// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/EarlyStart.h"

#include <QFontDatabase>

#include "app/WindowPictures.h"
#include "platform/FontConfiguration.h"

namespace tolvane {

EarlyStart::EarlyStart()
    : m_worker([made = m_applicationMade.get_future()]() mutable {
          loadFontConfiguration();
          if (!made.get()) return;
          QFontDatabase::families();  // the first text measured would otherwise list every font
          readWindowPicturesAhead();
      }) {}

void EarlyStart::applicationMade() {
    if (m_told) return;
    m_told = true;
    m_applicationMade.set_value(true);
}

void EarlyStart::finish() {
    if (!m_told) {
        m_told = true;
        m_applicationMade.set_value(false);
    }
    if (m_worker.joinable()) m_worker.join();
}

EarlyStart::~EarlyStart() {
    finish();
}

}  // namespace tolvane
