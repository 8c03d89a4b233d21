// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/core/SecondPacer.h"

#include <algorithm>

namespace tolvane {

std::vector<int64_t> SecondPacer::secondsDue(int64_t now) {
    if (m_latest && *m_latest - now > kMaxBackStep) {  // far back: start afresh
        m_latest.reset();
        m_skipped.clear();
    }
    if (m_last && now > *m_last + 1 + kMaxCatchUp && m_latest && now > *m_latest + 1)
        noteSkipped(std::max(*m_last, *m_latest) + 1, now - 1);
    const bool catchUp = m_last && now > *m_last && now - (*m_last + 1) <= kMaxCatchUp;
    std::vector<int64_t> due;
    for (int64_t s = catchUp ? *m_last + 1 : now; s <= now; ++s) {
        if (processed(s)) continue;
        due.push_back(s);
        markProcessed(s);
    }
    m_last = now;
    if (!m_latest || now > *m_latest) m_latest = now;
    std::erase_if(m_skipped,
                  [this](const Span& span) { return *m_latest - span.to > kMaxBackStep; });
    return due;
}

bool SecondPacer::processed(int64_t second) const {
    if (!m_latest || second > *m_latest) return false;
    return std::none_of(m_skipped.begin(), m_skipped.end(), [second](const Span& span) {
        return span.from <= second && second <= span.to;
    });
}

void SecondPacer::markProcessed(int64_t second) {
    for (size_t i = 0; i < m_skipped.size(); ++i) {
        Span& span = m_skipped[i];
        if (second < span.from || second > span.to) continue;
        if (span.from == span.to) {
            m_skipped.erase(m_skipped.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (second == span.from) {
            ++span.from;
        } else if (second == span.to) {
            --span.to;
        } else {
            const Span after{second + 1, span.to};
            span.to = second - 1;
            m_skipped.push_back(after);
        }
        return;
    }
}

void SecondPacer::noteSkipped(int64_t from, int64_t to) {
    if (from > to) return;
    // Bounded: a clock that jumps about all day forgets its oldest passes first.
    if (m_skipped.size() == kMaxSkipped) m_skipped.erase(m_skipped.begin());
    m_skipped.push_back({from, to});
}

}  // namespace tolvane
