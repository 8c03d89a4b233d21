// The Linux sound output: a PulseAudio playback stream (PulseAudio, or PipeWire's PulseAudio
// service) on a threaded main loop of its own.
//
// It connects afresh for each stream: a program started before the server (an early autostart, a
// restarted server) is heard once the server is there, and nothing of the sound server is
// connected, mapped or awake between bells. The asynchronous API, not the simple one: Stop and the
// next bell must not wait while the writer waits for the server to take more (with a null sink
// that was up to a period of the sink, 30 ms here).
//
// The client library and the eleven it brings are loaded once the program is up, not at its
// start, where they cost the window milliseconds before its first paint.

#include <dlfcn.h>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdio>

#include "platform/SoundOutput.h"

namespace tolvane {

namespace {

// What this output calls of libpulse, looked up in it when it is loaded.
#define TOLVANE_PULSE_CALLS(X)        \
    X(context_connect)                \
    X(context_get_server_info)        \
    X(context_get_sink_info_by_index) \
    X(context_get_sink_info_by_name)  \
    X(context_disconnect)             \
    X(context_get_state)              \
    X(context_new)                    \
    X(context_set_state_callback)     \
    X(context_unref)                  \
    X(operation_cancel)               \
    X(operation_get_state)            \
    X(operation_unref)                \
    X(stream_connect_playback)        \
    X(stream_drain)                   \
    X(stream_flush)                   \
    X(stream_get_device_index)        \
    X(stream_get_state)               \
    X(proplist_free)                  \
    X(proplist_new)                   \
    X(proplist_sets)                  \
    X(stream_new_with_proplist)       \
    X(stream_set_state_callback)      \
    X(stream_set_write_callback)      \
    X(stream_unref)                   \
    X(stream_writable_size)           \
    X(stream_write)                   \
    X(threaded_mainloop_free)         \
    X(threaded_mainloop_get_api)      \
    X(threaded_mainloop_lock)         \
    X(threaded_mainloop_new)          \
    X(threaded_mainloop_signal)       \
    X(threaded_mainloop_start)        \
    X(threaded_mainloop_stop)         \
    X(threaded_mainloop_unlock)       \
    X(threaded_mainloop_wait)

struct PulseCalls {
#define TOLVANE_DECLARE(name) decltype(&::pa_##name) name = nullptr;
    TOLVANE_PULSE_CALLS(TOLVANE_DECLARE)
#undef TOLVANE_DECLARE
};

// libpulse, loaded by the first call from any thread; nullptr when it cannot be (said once).
const PulseCalls* loadPulse() {
    static const PulseCalls* const loaded = []() -> const PulseCalls* {
        static PulseCalls calls;
        void* library = ::dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        bool complete = library != nullptr;
#define TOLVANE_LOOK_UP(name)                                            \
    if (complete)                                                        \
        complete = (calls.name = reinterpret_cast<decltype(calls.name)>( \
                        ::dlsym(library, "pa_" #name))) != nullptr;
        TOLVANE_PULSE_CALLS(TOLVANE_LOOK_UP)
#undef TOLVANE_LOOK_UP
        if (complete) return &calls;
        const char* why = ::dlerror();
        std::fprintf(stderr, "tolvane: no sound output: the PulseAudio client library: %s\n",
                     why ? why : "libpulse.so.0");
        return nullptr;
    }();
    return loaded;
}

// Only once loadPulse found the library loaded.
const PulseCalls& pa() {
    return *loadPulse();
}

constexpr int kBufferMs = 60;

void wakeWaiters(void* loop) {
    pa().threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}
void onContextChange(pa_context*, void* loop) {
    wakeWaiters(loop);
}
void onStreamChange(pa_stream*, void* loop) {
    wakeWaiters(loop);
}
void onRoom(pa_stream*, size_t, void* loop) {
    wakeWaiters(loop);
}
void onDrained(pa_stream*, int, void* loop) {
    wakeWaiters(loop);
}

// The sink a stream plays on, as the server told it.
struct SinkQuery {
    pa_threaded_mainloop* loop = nullptr;
    bool found = false;
    OutputState state;
};
void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    auto& query = *static_cast<SinkQuery*>(userdata);
    if (eol == 0 && info) {
        query.found = true;
        query.state.muted = info->mute != 0;
        uint64_t sum = 0;
        for (uint8_t c = 0; c < info->volume.channels; ++c) sum += info->volume.values[c];
        const uint64_t channels = info->volume.channels ? info->volume.channels : 1;
        query.state.volumePercent =
            static_cast<int>((sum / channels * 100 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM);
        query.state.portUnplugged =
            info->active_port && info->active_port->available == PA_PORT_AVAILABLE_NO;
    }
    wakeWaiters(query.loop);
}

struct ServerQuery {
    pa_threaded_mainloop* loop = nullptr;
    std::string defaultSink;
};
void onServerInfo(pa_context*, const pa_server_info* info, void* userdata) {
    auto& query = *static_cast<ServerQuery*>(userdata);
    if (info && info->default_sink_name) query.defaultSink = info->default_sink_name;
    wakeWaiters(query.loop);
}

// A bell's stream, with properties that keep it out of what desktops do to other streams:
// PulseAudio's module-role-cork mutes "music" and "video" streams while a "phone" stream plays,
// and KDE puts "event" streams under the notification volume, so muting notifications would
// mute the bells. "alarm" is neither (measured with module-role-cork and module-role-ducking
// loaded: a phone stream muted the music stream and left the alarm one alone), and role-based
// policies that know it rank it above music and calls. The application's name, id and icon let a
// volume mixer show the stream as Tolvane's.
pa_stream* newBellStream(pa_context* context, const pa_sample_spec& spec) {
    pa_proplist* properties = pa().proplist_new();
    pa().proplist_sets(properties, PA_PROP_MEDIA_ROLE, "alarm");
    pa().proplist_sets(properties, PA_PROP_MEDIA_NAME, "铃声");
    pa().proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Tolvane");
    pa().proplist_sets(properties, PA_PROP_APPLICATION_ID, "org.tolvane.Tolvane");
    pa().proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "tolvane");
    pa_stream* stream = pa().stream_new_with_proplist(context, "bell", &spec, nullptr, properties);
    pa().proplist_free(properties);
    return stream;
}

// Waits, under the loop's lock, for an operation to end; false when it could not be started.
bool finish(pa_threaded_mainloop* loop, pa_operation* operation) {
    if (!operation) return false;
    while (pa().operation_get_state(operation) == PA_OPERATION_RUNNING)
        pa().threaded_mainloop_wait(loop);
    pa().operation_unref(operation);
    return true;
}

class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : m_loop(loop) {
        pa().threaded_mainloop_lock(loop);
    }
    ~LoopLock() { pa().threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

class PulseOutput final : public SoundOutput {
public:
    PulseOutput() : m_loop(pa().threaded_mainloop_new()) {}

    ~PulseOutput() override {
        if (!m_loop) return;
        pa().threaded_mainloop_stop(m_loop);
        if (m_stream) pa().stream_unref(m_stream);
        if (m_context) {
            pa().context_disconnect(m_context);
            pa().context_unref(m_context);
        }
        pa().threaded_mainloop_free(m_loop);
    }
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // Connects to the default server and opens the playback stream; false when either fails.
    bool open(int rate, int channels) {
        if (!m_loop) return false;
        m_context = pa().context_new(pa().threaded_mainloop_get_api(m_loop), "Tolvane");
        if (!m_context) return false;
        pa().context_set_state_callback(m_context, onContextChange, m_loop);
        if (pa().context_connect(m_context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0 ||
            pa().threaded_mainloop_start(m_loop) < 0)
            return false;
        LoopLock lock(m_loop);
        for (pa_context_state_t s; (s = pa().context_get_state(m_context)) != PA_CONTEXT_READY;) {
            if (!PA_CONTEXT_IS_GOOD(s)) return false;
            pa().threaded_mainloop_wait(m_loop);
        }
        pa_sample_spec spec;
        spec.format = PA_SAMPLE_S16LE;
        spec.rate = static_cast<uint32_t>(rate);
        spec.channels = static_cast<uint8_t>(channels);
        m_stream = newBellStream(m_context, spec);
        if (!m_stream) return false;
        pa().stream_set_state_callback(m_stream, onStreamChange, m_loop);
        pa().stream_set_write_callback(m_stream, onRoom, m_loop);
        pa_buffer_attr attr;
        attr.maxlength = static_cast<uint32_t>(-1);
        const int bytesPerSecond = rate * channels * 2;  // 16-bit samples
        attr.tlength = static_cast<uint32_t>(bytesPerSecond * kBufferMs / 1000);
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE);
        if (pa().stream_connect_playback(m_stream, nullptr, &attr, flags, nullptr, nullptr) < 0)
            return false;
        for (pa_stream_state_t s; (s = pa().stream_get_state(m_stream)) != PA_STREAM_READY;) {
            if (!PA_STREAM_IS_GOOD(s)) return false;
            pa().threaded_mainloop_wait(m_loop);
        }
        m_inaudible = readSinkProblem();
        return true;
    }

    std::string inaudibleBecause() const override { return m_inaudible; }

    bool write(const char* data, size_t n) override {
        LoopLock lock(m_loop);
        while (n > 0) {
            const size_t room = waitForRoom();
            if (room == 0) return false;
            const size_t part = std::min(room, n);
            if (pa().stream_write(m_stream, data, part, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return false;
            data += part;
            n -= part;
        }
        return true;
    }

    void drain() override {
        LoopLock lock(m_loop);
        if (m_interrupted || !streamUsable()) return;
        pa_operation* draining = pa().stream_drain(m_stream, onDrained, m_loop);
        if (!draining) return;
        while (!m_interrupted && streamUsable() &&
               pa().operation_get_state(draining) == PA_OPERATION_RUNNING)
            pa().threaded_mainloop_wait(m_loop);
        if (pa().operation_get_state(draining) == PA_OPERATION_RUNNING)
            pa().operation_cancel(draining);
        pa().operation_unref(draining);
    }

    void interrupt() override {
        LoopLock lock(m_loop);
        m_interrupted = true;
        pa().threaded_mainloop_signal(m_loop, 0);
    }

    void stop() override {
        LoopLock lock(m_loop);
        m_interrupted = true;
        if (!streamUsable()) return;
        // Throws away what the server holds; the stream goes when the sink is deleted.
        if (pa_operation* flushing = pa().stream_flush(m_stream, nullptr, nullptr))
            pa().operation_unref(flushing);
    }

private:
    // Under the lock: the bytes the server takes now, waiting until it takes some; 0 when the
    // stream failed or the wait was interrupted.
    size_t waitForRoom() {
        for (;;) {
            if (m_interrupted || !streamUsable()) return 0;
            const size_t room = pa().stream_writable_size(m_stream);
            if (room == static_cast<size_t>(-1)) return 0;
            if (room > 0) return room;
            pa().threaded_mainloop_wait(m_loop);
        }
    }

    bool streamUsable() const { return pa().stream_get_state(m_stream) == PA_STREAM_READY; }

    // Asks the server about the sink the stream plays on: one round trip on the local socket,
    // before the first sample is written. Under the loop's lock; empty when it cannot be told.
    std::string readSinkProblem() {
        SinkQuery query;
        query.loop = m_loop;
        finish(m_loop, pa().context_get_sink_info_by_index(
                           m_context, pa().stream_get_device_index(m_stream), onSinkInfo, &query));
        return query.found ? inaudibleReason(query.state) : std::string();
    }

    pa_threaded_mainloop* m_loop;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    bool m_interrupted = false;  // under the loop's lock
    std::string m_inaudible;
};

}  // namespace

bool loadSoundOutput() {
    return loadPulse() != nullptr;
}

std::unique_ptr<SoundOutput> openSoundOutput(int rate, int channels, std::string* why) {
    const auto refuse = [why](const char* reason) {
        if (why) *why = reason;
        return nullptr;
    };
    if (!loadPulse()) return refuse("the PulseAudio client library cannot be loaded");
    auto output = std::make_unique<PulseOutput>();
    if (!output->open(rate, channels)) return refuse("no PulseAudio server or stream");
    return output;
}

OutputReport readDefaultOutput() {
    OutputReport report;
    if (!loadPulse()) return report;
    report.known = true;
    pa_threaded_mainloop* loop = pa().threaded_mainloop_new();
    if (!loop) return report;
    pa_context* context = pa().context_new(pa().threaded_mainloop_get_api(loop), "Tolvane");
    if (context && pa().context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0) {
        pa().context_set_state_callback(context, onContextChange, loop);
        if (pa().threaded_mainloop_start(loop) >= 0) {
            LoopLock lock(loop);
            pa_context_state_t s;
            while ((s = pa().context_get_state(context)) != PA_CONTEXT_READY &&
                   PA_CONTEXT_IS_GOOD(s))
                pa().threaded_mainloop_wait(loop);
            ServerQuery server;
            server.loop = loop;
            if (s == PA_CONTEXT_READY &&
                finish(loop, pa().context_get_server_info(context, onServerInfo, &server)) &&
                !server.defaultSink.empty()) {
                SinkQuery sink;
                sink.loop = loop;
                finish(loop, pa().context_get_sink_info_by_name(context, server.defaultSink.c_str(),
                                                                onSinkInfo, &sink));
                report.present = sink.found;
                report.name = server.defaultSink;
                report.state = sink.state;
            }
        }
        pa().threaded_mainloop_stop(loop);
        pa().context_disconnect(context);
    }
    if (context) pa().context_unref(context);
    pa().threaded_mainloop_free(loop);
    return report;
}

}  // namespace tolvane
