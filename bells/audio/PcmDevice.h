// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A play list's PCM as a sequential QIODevice for a pull-mode sink, from its current file on
// through every following file of the same format without a gap. It ends, after a short tail of
// silence, at the end of the list or before a file of another format (which needs a new sink).
// The sink reports that it ran dry while its last ~150 ms are still in the sound server: the tail
// is what is still in flight then, so the sound's own end is heard whole.

#include <QIODevice>
#include <functional>
#include <memory>
#include <string>

#include "bells/audio/PlaylistSource.h"

namespace tolvane {

class PcmDevice final : public QIODevice {
    Q_OBJECT
public:
    static constexpr int kTailMs = 300;

    // onFirstData runs once for each file of the list this device plays, when its first samples
    // are handed to the sink, with the file.
    PcmDevice(std::shared_ptr<PlaylistSource> source,
              std::function<void(const std::string& file)> onFirstData, QObject* parent = nullptr);

    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_finished; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::shared_ptr<PlaylistSource> m_source;
    PcmFormat m_format;
    std::function<void(const std::string& file)> m_onFirstData;
    bool m_fileReported = false;  // the current file's first samples were reported
    bool m_inTail = false;
    qint64 m_tailLeft;
    qint64 m_frameBytes;
    bool m_finished = false;
};

}  // namespace tolvane
