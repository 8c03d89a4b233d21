#pragma once

// A stream of 16-bit PCM to the system's default sound output, written from one thread that may
// wait: waveOut on Windows, a PulseAudio stream on Linux (its client library loaded at run time).
// Each plays at the stream's own rate and starts with the first block written.

#include <cstddef>
#include <memory>
#include <string>

namespace tolvane {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Queues bytes of whole samples, waiting while the device's queue is full; false when the
    // device failed (the stream is then closed).
    virtual bool write(const char* data, size_t n) = 0;
    // Waits until everything written has been heard, a short silence after it included (some
    // drivers cut the last part of the last block when the stream ends with it).
    virtual void drain() = 0;
    // From another thread, while write() or drain() may be waiting: makes them return at once
    // (write with false). An output whose waits are short may leave it out.
    virtual void interrupt() {}
    // Silences the stream at once (after the writer has returned).
    virtual void stop() = 0;
    // Why nobody can hear what this stream plays, as its output stood when the stream opened
    // ("输出已静音"); empty when it can be heard, or where the system does not tell.
    virtual std::string inaudibleBecause() const { return {}; }
};

// What an output is like, as far as anyone hearing it goes.
struct OutputState {
    bool muted = false;
    int volumePercent = 100;     // of the output's full volume, the average of its channels
    bool portUnplugged = false;  // the active port is known to be unplugged (a headphone jack)
};

// Below this volume a bell is taken as not heard: the loudspeakers of a corridor need more.
constexpr int kAudibleVolumePercent = 20;

// The system's default output as the sound server describes it, for the status of an
// administrator: a connection of its own, closed again (Linux: PulseAudio). known is false where
// the system does not tell (Windows, so far); present is false without a server or output.
struct OutputReport {
    bool known = false;
    bool present = false;
    std::string name;
    OutputState state;
};
OutputReport readDefaultOutput();

// Why nobody hears an output in state, in the ring log's words; empty when it can be heard.
std::string inaudibleReason(const OutputState& state);

// Loads what the output needs ahead of the first bell (Linux: the PulseAudio client library);
// false when it cannot be had, said once on stderr. Any thread; later calls return at once.
bool loadSoundOutput();

// Opens the default output for rate Hz and channels (1 or 2) channels; nullptr with why when there
// is no output (no sound device or server).
std::unique_ptr<SoundOutput> openSoundOutput(int rate, int channels, std::string* why);

}  // namespace tolvane
