// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One output stream for one file's PCM. Created, used and destroyed on the player thread.

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "bells/audio/Mp3Decoder.h"
#include "bells/audio/StartGate.h"
#include "platform/SoundOutput.h"

class QIODevice;

namespace tolvane {

class PcmSink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Pulls pcm until it ends; then emits drained(). pcm must outlive the sink's use of it.
    virtual void start(QIODevice* pcm) = 0;
    // As start, but nothing is read or heard before gate opens: the stream is ready ahead of a
    // bell's second. False for a sink that cannot wait off the player thread; the player then
    // calls start when the bell comes.
    virtual bool startWhenOpen(QIODevice* pcm, std::shared_ptr<StartGate> gate) {
        (void)pcm;
        (void)gate;
        return false;
    }
    // Silences the stream at once; drained() does not follow.
    virtual void stop() = 0;
    // Why nobody can hear the stream's output, as it stood when the sink was made; empty when it
    // can be heard or the system does not tell.
    virtual std::string inaudibleBecause() const { return {}; }
    // Whether the system told that at all (see SoundOutput::audibilityKnown).
    virtual bool audibilityKnown() const { return true; }

signals:
    // Everything the source gave has been heard, or the output failed: go on with the next file.
    void drained();
};

// Makes the sink for a format; nullptr when there is no output (no sound server or device).
using PcmSinkFactory = std::function<std::unique_ptr<PcmSink>(const PcmFormat&)>;

// Sinks on the audio output chosen, at the bell volume, as choice() says when each opens (on the
// player thread): a PulseAudio stream on Linux, WASAPI on Windows. Without choice, the default
// output at full bell volume.
PcmSinkFactory audioSinkFactory(std::function<OutputChoice()> choice = nullptr);

// Loads what the default output's first sink needs (on Linux, the PulseAudio client library),
// which is otherwise loaded by the first bell. From any thread, any number of times.
void loadAudioOutput();

}  // namespace tolvane
