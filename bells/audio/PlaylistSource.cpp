// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/audio/PlaylistSource.h"

namespace tolvane {

PlaylistSource::PlaylistSource(std::vector<std::string> list, int count, SkipReport onSkipped)
    : m_list(std::move(list)), m_count(count < 0 ? 0 : count), m_onSkipped(std::move(onSkipped)) {}

bool PlaylistSource::openNext() {
    const size_t total = m_list.size() * static_cast<size_t>(m_count);
    while (m_next < total) {
        m_current = m_list[m_next++ % m_list.size()];
        if (m_current.empty()) continue;
        if (m_decoder.open(m_current).isOk()) return true;
        if (m_onSkipped) m_onSkipped(m_current, notOpenedBecause(m_current));
    }
    m_current.clear();
    return false;
}

}  // namespace tolvane
