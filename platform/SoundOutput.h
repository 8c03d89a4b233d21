// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A stream of 16-bit PCM to the system's default sound output, written from one thread that may
// wait: waveOut on Windows, a PulseAudio stream on Linux (its client library loaded at run time).
// Each plays at the stream's own rate and starts with the first block written.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Status.h"

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
    // Whether the system told what the output was like when the stream opened; when not, an
    // empty inaudibleBecause says nothing, and nobody may claim the bell was heard.
    virtual bool audibilityKnown() const { return true; }
};

// What an output is like, as far as anyone hearing it goes.
struct OutputState {
    bool muted = false;
    int volumePercent = 100;     // of the output's full volume, the average of its channels
    bool portUnplugged = false;  // the active port is known to be unplugged (a headphone jack)
    bool operator==(const OutputState&) const = default;
};

// Below this volume a bell is taken as not heard: the loudspeakers of a corridor need more.
constexpr int kAudibleVolumePercent = 20;

// Where and how loud the bells play: an output by the sound server's name for it (empty: the
// server's default, as it is when each bell starts) and the bell stream's own volume, percent of
// the output's. The output's own volume and mute are never changed for it.
struct OutputChoice {
    std::string output;
    int volumePercent = 100;
    bool operator==(const OutputChoice&) const = default;
};

// An output as the sound server describes it. known is false where the system does not tell;
// present is false without a server, or without the output chosen. stateKnown is false where the
// system tells whether the output is there but not its mute, level or port (Wine's endpoints,
// whose values are made up): state then says nothing.
struct OutputReport {
    bool known = false;
    bool present = false;
    bool serverRunning = false;
    bool stateKnown = true;
    std::string name;  // the output the bells would play on now
    OutputState state;
    bool operator==(const OutputReport&) const = default;
};
// Reads the output named (empty: the default) on a connection of its own, closed again: for the
// status of an administrator.
OutputReport readOutput(const std::string& name);

// Why nobody hears an output in state, in this thread's language (the ring log's words under a
// Chinese UiTextLanguage); empty when it can be heard.
std::string inaudibleReason(const OutputState& state);
// Why the bells of an output chosen by name (empty: the default) cannot be heard, as a sentence
// for the window, the log and the status, in this thread's language; empty when nothing is known
// to be wrong.
std::string outputProblem(const OutputReport& report, const std::string& chosen);

// Follows an output while it lives: onChange gets its state at once and after every change the
// sound server announces (an output added, removed, muted, turned down, its port unplugged, the
// default changed, the server gone or back), on a thread of the watch's own. Nothing is polled
// while the server runs. Linux: one PulseAudio connection, subscribed to sink and server events.
class OutputWatch {
public:
    virtual ~OutputWatch() = default;
};
std::unique_ptr<OutputWatch> watchOutput(const std::string& name,
                                         std::function<void(const OutputReport&)> onChange);

// An output the user may choose: the server's name for it, and what a person reads.
struct OutputName {
    std::string name;
    std::string description;
};
// The sound server's outputs now; empty without a server (or where the system does not tell).
std::vector<OutputName> listOutputs();

// The user asked: unmutes the output named (empty: the default) and raises its volume to the
// audible floor when it is below it. The only change this program makes to an output.
Status makeOutputAudible(const std::string& name);

// Loads what the output needs ahead of the first bell (Linux: the PulseAudio client library);
// false when it cannot be had, said once on stderr. Any thread; later calls return at once.
bool loadSoundOutput();

// Opens the output chosen for rate Hz and channels (1 or 2) channels, at the bell volume; nullptr
// with why when there is no output (no sound device or server). An output chosen but not there
// gives way to the default, and the stream says so in inaudibleBecause: whoever listens at the
// output chosen hears nothing.
std::unique_ptr<SoundOutput> openSoundOutput(int rate, int channels, const OutputChoice& choice,
                                             std::string* why);

}  // namespace tolvane
