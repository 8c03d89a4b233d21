// SPDX-License-Identifier: GPL-3.0-or-later
#include "bells/audio/PcmDevice.h"

#include <cstring>

namespace tolvane {

PcmDevice::PcmDevice(std::shared_ptr<PlaylistSource> source,
                     std::function<void(const std::string& file)> onFirstData, QObject* parent)
    : QIODevice(parent), m_source(std::move(source)), m_onFirstData(std::move(onFirstData)) {
    const PcmFormat f = m_format = m_source->format();
    m_frameBytes = qint64{f.channels} * 2;
    m_tailLeft = static_cast<qint64>(f.bytesPerSecond()) * kTailMs / 1000;
    m_tailLeft -= m_tailLeft % m_frameBytes;
    open(QIODevice::ReadOnly);
}

qint64 PcmDevice::bytesAvailable() const {
    // Decoding happens on demand, so there is always more until the end.
    return m_finished ? QIODevice::bytesAvailable() : QIODevice::bytesAvailable() + (1 << 16);
}

qint64 PcmDevice::readData(char* data, qint64 maxSize) {
    if (m_finished) return 0;
    maxSize -= maxSize % m_frameBytes;
    if (maxSize <= 0) return 0;
    while (!m_inTail) {
        const auto got = static_cast<qint64>(m_source->read(data, static_cast<size_t>(maxSize)));
        if (got > 0) {
            if (!std::exchange(m_fileReported, true) && m_onFirstData)
                m_onFirstData(m_source->currentPath());
            return got;
        }
        // The next file follows at once when this stream can play it; otherwise the tail.
        if (!m_source->openNext() || !(m_source->format() == m_format))
            m_inTail = true;
        else
            m_fileReported = false;
    }
    if (m_tailLeft > 0) {
        const qint64 n = std::min(maxSize, m_tailLeft);
        std::memset(data, 0, static_cast<size_t>(n));
        m_tailLeft -= n;
        return n;
    }
    m_finished = true;
    return 0;
}

}  // namespace tolvane
