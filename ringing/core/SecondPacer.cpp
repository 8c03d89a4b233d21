#include "ringing/core/SecondPacer.h"

namespace tolvane {

std::vector<int64_t> SecondPacer::secondsDue(int64_t now) {
    std::vector<int64_t> due;
    if (m_latest && now <= *m_latest && *m_latest - now <= kMaxBackStep) return due;
    const bool catchUp = m_last && now > *m_last && now - (*m_last + 1) <= kMaxCatchUp;
    for (int64_t s = catchUp ? *m_last + 1 : now; s <= now; ++s) due.push_back(s);
    m_last = now;
    m_latest = now;
    return due;
}

}  // namespace tolvane
