// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux sound output: a PulseAudio playback stream (PulseAudio, or PipeWire's PulseAudio
// service) on a threaded main loop of its own.
//
// It connects afresh for each stream: a program started before the server (an early autostart, a
// restarted server) is heard once the server is there, and no stream is open between bells. The
// watch of the output keeps one connection of its own, which only hears the server's events. The
// asynchronous API, not the simple one: Stop and the next bell must not wait while the writer waits
// for the server to take more (with a null sink that was up to a period of the sink, 30 ms here).
//
// The client library and the eleven it brings are loaded once the program is up, not at its
// start, where they cost the window milliseconds before its first paint.

#include <dlfcn.h>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/UiText.h"
#include "platform/SoundOutput.h"

namespace tolvane {

namespace {

// What this output calls of libpulse, looked up in it when it is loaded.
#define TOLVANE_PULSE_CALLS(X)         \
    X(context_connect)                 \
    X(context_rttime_new)              \
    X(context_set_sink_mute_by_name)   \
    X(context_set_sink_volume_by_name) \
    X(context_set_subscribe_callback)  \
    X(context_subscribe)               \
    X(cvolume_set)                     \
    X(rtclock_now)                     \
    X(sw_volume_from_linear)           \
    X(context_get_server_info)         \
    X(context_get_sink_info_by_index)  \
    X(context_get_sink_info_by_name)   \
    X(context_get_sink_info_list)      \
    X(context_disconnect)              \
    X(context_get_state)               \
    X(context_new)                     \
    X(context_set_state_callback)      \
    X(context_unref)                   \
    X(operation_cancel)                \
    X(operation_get_state)             \
    X(operation_unref)                 \
    X(stream_connect_playback)         \
    X(stream_drain)                    \
    X(stream_flush)                    \
    X(stream_get_buffer_attr)          \
    X(stream_get_device_index)         \
    X(stream_get_latency)              \
    X(stream_get_state)                \
    X(proplist_free)                   \
    X(proplist_new)                    \
    X(proplist_sets)                   \
    X(stream_new_with_proplist)        \
    X(stream_set_buffer_attr)          \
    X(stream_set_state_callback)       \
    X(stream_set_write_callback)       \
    X(stream_unref)                    \
    X(stream_update_timing_info)       \
    X(stream_writable_size)            \
    X(stream_write)                    \
    X(threaded_mainloop_free)          \
    X(threaded_mainloop_get_api)       \
    X(threaded_mainloop_lock)          \
    X(threaded_mainloop_new)           \
    X(threaded_mainloop_signal)        \
    X(threaded_mainloop_start)         \
    X(threaded_mainloop_stop)          \
    X(threaded_mainloop_unlock)        \
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

// A bell starts on a small buffer, so its first samples are heard soon after they are written;
// once it plays, the buffer grows, so a busy machine that leaves the player waiting a moment
// does not break the tone. A stop throws the buffer away, so it is not heard longer.
constexpr int kStartBufferMs = 60;
constexpr int kPlayingBufferMs = 500;

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
void onTimingInfo(pa_stream*, int, void* loop) {
    wakeWaiters(loop);
}

// A wait on the loop that a timer ends, unless something else wakes it first.
struct LoopAlarm {
    pa_threaded_mainloop* loop;
    bool rang = false;
    static void ring(pa_mainloop_api* api, pa_time_event* event, const struct timeval*,
                     void* self) {
        auto* alarm = static_cast<LoopAlarm*>(self);
        api->time_free(event);
        alarm->rang = true;
        wakeWaiters(alarm->loop);
    }
};

OutputState stateOf(const pa_sink_info& info) {
    OutputState state;
    state.muted = info.mute != 0;
    uint64_t sum = 0;
    for (uint8_t c = 0; c < info.volume.channels; ++c) sum += info.volume.values[c];
    const uint64_t channels = info.volume.channels ? info.volume.channels : 1;
    state.volumePercent =
        static_cast<int>((sum / channels * 100 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM);
    state.portUnplugged = info.active_port && info.active_port->available == PA_PORT_AVAILABLE_NO;
    return state;
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
        query.state = stateOf(*info);
    }
    wakeWaiters(query.loop);
}

// What an output is like now, asked of the server without waiting: the server's default output's
// name first when none is chosen, then the output. done is called once, on the loop's thread;
// the query deletes itself after it.
class OutputQuery {
public:
    static void start(pa_context* context, const std::string& chosen,
                      std::function<void(const OutputReport&)> done) {
        auto* query = new OutputQuery(std::move(done));
        query->m_report.known = query->m_report.serverRunning = true;
        query->m_report.name = chosen;
        pa_operation* started =
            chosen.empty()
                ? pa().context_get_server_info(context, onServer, query)
                : pa().context_get_sink_info_by_name(context, chosen.c_str(), onSink, query);
        query->startedOrEnd(started);
    }

private:
    explicit OutputQuery(std::function<void(const OutputReport&)> done) : m_done(std::move(done)) {}

    void startedOrEnd(pa_operation* started) {
        if (started) {
            pa().operation_unref(started);
            return;
        }
        m_report.serverRunning = false;
        end();
    }
    void end() {
        m_done(m_report);
        delete this;
    }
    static void onServer(pa_context* context, const pa_server_info* info, void* userdata) {
        auto* query = static_cast<OutputQuery*>(userdata);
        if (!info || !info->default_sink_name) return query->end();
        query->m_report.name = info->default_sink_name;
        query->startedOrEnd(pa().context_get_sink_info_by_name(
            context, query->m_report.name.c_str(), onSink, query));
    }
    static void onSink(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
        auto* query = static_cast<OutputQuery*>(userdata);
        if (eol == 0 && info) {
            query->m_report.present = true;
            query->m_report.state = stateOf(*info);
            return;  // the end of the list follows
        }
        query->end();
    }

    std::function<void(const OutputReport&)> m_done;
    OutputReport m_report;
};

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

// A connection to the default server on a threaded main loop of its own, closed when destroyed.
class PulseConnection {
public:
    PulseConnection() : m_loop(pa().threaded_mainloop_new()) {}
    ~PulseConnection() {
        if (!m_loop) return;
        stop();
        if (m_context) {
            pa().context_disconnect(m_context);
            pa().context_unref(m_context);
        }
        pa().threaded_mainloop_free(m_loop);
    }
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Connects and starts the loop; false without a server. Then call only under the loop's lock.
    bool connect() {
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
        return true;
    }
    // Ends the loop's thread; nothing of the connection is called back after it.
    void stop() { pa().threaded_mainloop_stop(m_loop); }

    pa_threaded_mainloop* loop() const { return m_loop; }
    pa_context* context() const { return m_context; }

private:
    pa_threaded_mainloop* m_loop;
    pa_context* m_context = nullptr;
};

// Under the connection's loop lock: the output as the server describes it now.
OutputReport askOutput(const PulseConnection& connection, const std::string& name) {
    OutputReport report;
    bool done = false;
    OutputQuery::start(connection.context(), name, [&](const OutputReport& told) {
        report = told;
        done = true;
        wakeWaiters(connection.loop());
    });
    while (!done) pa().threaded_mainloop_wait(connection.loop());
    return report;
}

class PulseOutput final : public SoundOutput {
public:
    ~PulseOutput() override {
        m_connection.stop();
        if (m_stream) pa().stream_unref(m_stream);
    }

    // Connects to the default server and opens the playback stream on the output chosen (the
    // default when it is not there); false when either fails.
    bool open(int rate, int channels, const OutputChoice& choice) {
        if (!m_connection.connect()) return false;
        pa_threaded_mainloop* loop = m_connection.loop();
        LoopLock lock(loop);
        const char* device = nullptr;
        if (!choice.output.empty()) {
            if (askOutput(m_connection, choice.output).present)
                device = choice.output.c_str();
            else
                m_choiceMissing = "选定的声音输出 " + choice.output + " 不存在";
        }
        pa_sample_spec spec;
        spec.format = PA_SAMPLE_S16LE;
        spec.rate = static_cast<uint32_t>(rate);
        spec.channels = static_cast<uint8_t>(channels);
        m_stream = newBellStream(m_connection.context(), spec);
        if (!m_stream) return false;
        pa().stream_set_state_callback(m_stream, onStreamChange, loop);
        pa().stream_set_write_callback(m_stream, onRoom, loop);
        pa_buffer_attr attr;
        attr.maxlength = static_cast<uint32_t>(-1);
        m_bytesPerSecond = rate * channels * 2;  // 16-bit samples
        attr.tlength = static_cast<uint32_t>(m_bytesPerSecond * kStartBufferMs / 1000);
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE);
        // The bell volume as a share of the amplitude: 50 % is half as loud a wave (-6 dB).
        pa_cvolume volume;
        pa().cvolume_set(&volume, spec.channels,
                         pa().sw_volume_from_linear(choice.volumePercent / 100.0));
        if (pa().stream_connect_playback(m_stream, device, &attr, flags, &volume, nullptr) < 0)
            return false;
        for (pa_stream_state_t s; (s = pa().stream_get_state(m_stream)) != PA_STREAM_READY;) {
            if (!PA_STREAM_IS_GOOD(s)) return false;
            pa().threaded_mainloop_wait(loop);
        }
        m_inaudible = m_choiceMissing.empty() ? readSinkProblem() : m_choiceMissing;
        return true;
    }

    std::string inaudibleBecause() const override { return m_inaudible; }

    bool write(const char* data, size_t n) override {
        LoopLock lock(m_connection.loop());
        while (n > 0) {
            const size_t room = waitForRoom();
            if (room == 0) return false;
            const size_t part = std::min(room, n);
            if (pa().stream_write(m_stream, data, part, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return false;
            data += part;
            n -= part;
            m_written += part;
            if (!m_grown) growBufferOncePlaying();
        }
        return true;
    }

    void drain() override {
        pa_threaded_mainloop* loop = m_connection.loop();
        LoopLock lock(loop);
        if (m_interrupted || !streamUsable()) return;
        pa_operation* draining = pa().stream_drain(m_stream, onDrained, loop);
        if (!draining) return;
        while (!m_interrupted && streamUsable() &&
               pa().operation_get_state(draining) == PA_OPERATION_RUNNING)
            pa().threaded_mainloop_wait(loop);
        if (pa().operation_get_state(draining) == PA_OPERATION_RUNNING)
            pa().operation_cancel(draining);
        pa().operation_unref(draining);
        waitUntilPlayed();
    }

    void interrupt() override {
        LoopLock lock(m_connection.loop());
        m_interrupted = true;
        pa().threaded_mainloop_signal(m_connection.loop(), 0);
    }

    void stop() override {
        LoopLock lock(m_connection.loop());
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
            pa().threaded_mainloop_wait(m_connection.loop());
        }
    }

    bool streamUsable() const { return pa().stream_get_state(m_stream) == PA_STREAM_READY; }

    // Under the lock. A drain ends once the server has mixed the last samples into the output,
    // whose own buffer then still holds what the stream's latency says; a stream removed now is
    // taken out of that buffer too, and the bell's end is never heard. So the end waits that long,
    // as the Windows output waits for the device's clock.
    void waitUntilPlayed() {
        constexpr pa_usec_t kLongestWaitUs = 2'000'000;
        if (m_interrupted || !streamUsable()) return;
        pa_operation* updating =
            pa().stream_update_timing_info(m_stream, onTimingInfo, m_connection.loop());
        if (!finish(m_connection.loop(), updating)) return;
        pa_usec_t unplayed = 0;
        int negative = 0;
        if (pa().stream_get_latency(m_stream, &unplayed, &negative) < 0 || negative) return;
        sleepUnlessInterrupted(std::min(unplayed, kLongestWaitUs));
    }

    void sleepUnlessInterrupted(pa_usec_t us) {
        LoopAlarm alarm{m_connection.loop()};
        pa_time_event* timer = pa().context_rttime_new(
            m_connection.context(), pa().rtclock_now() + us, LoopAlarm::ring, &alarm);
        if (!timer) return;
        while (!alarm.rang && !m_interrupted) pa().threaded_mainloop_wait(m_connection.loop());
        if (!alarm.rang) pa().threaded_mainloop_get_api(m_connection.loop())->time_free(timer);
    }

    // Under the lock. The server starts a stream once it holds its first buffer; from then on only
    // the target length grows. The start threshold stays small, so a stream that ran dry anyway
    // is heard again as soon as the player catches up.
    void growBufferOncePlaying() {
        const pa_buffer_attr* now = pa().stream_get_buffer_attr(m_stream);
        if (!now || m_written < now->tlength) return;
        m_grown = true;
        pa_buffer_attr grown = *now;
        grown.tlength = static_cast<uint32_t>(m_bytesPerSecond * kPlayingBufferMs / 1000);
        grown.maxlength = std::max(grown.maxlength, grown.tlength);
        if (pa_operation* growing = pa().stream_set_buffer_attr(m_stream, &grown, nullptr, nullptr))
            pa().operation_unref(growing);
    }

    // Asks the server about the sink the stream plays on: one round trip on the local socket,
    // before the first sample is written. Under the loop's lock; empty when it cannot be told.
    std::string readSinkProblem() {
        SinkQuery query;
        query.loop = m_connection.loop();
        finish(query.loop, pa().context_get_sink_info_by_index(
                               m_connection.context(), pa().stream_get_device_index(m_stream),
                               onSinkInfo, &query));
        if (!query.found) return {};
        const UiTextLanguage ringLogWords(nullptr);  // said in the bell's line of the ring log
        return inaudibleReason(query.state);
    }

    PulseConnection m_connection;
    pa_stream* m_stream = nullptr;
    bool m_interrupted = false;  // under the loop's lock
    int m_bytesPerSecond = 0;
    size_t m_written = 0;  // under the loop's lock, as m_grown
    bool m_grown = false;
    std::string m_choiceMissing;
    std::string m_inaudible;
};

// Follows an output on a connection of its own, kept open; reconnects every few seconds while
// there is no server (the only time anything is polled), never starting one itself.
class PulseWatch final : public OutputWatch {
public:
    static constexpr pa_usec_t kReconnectUs = 3 * PA_USEC_PER_SEC;

    PulseWatch(std::string name, std::function<void(const OutputReport&)> onChange)
        : m_name(std::move(name)),
          m_onChange(std::move(onChange)),
          m_loop(pa().threaded_mainloop_new()) {}
    ~PulseWatch() override {
        if (!m_loop) return;
        pa().threaded_mainloop_stop(m_loop);
        if (m_retry) pa().threaded_mainloop_get_api(m_loop)->time_free(m_retry);
        dropContext();
        pa().threaded_mainloop_free(m_loop);
    }
    PulseWatch(const PulseWatch&) = delete;
    PulseWatch& operator=(const PulseWatch&) = delete;

    bool start() {
        if (!m_loop) return false;
        {
            LoopLock lock(m_loop);
            connect();
        }
        return pa().threaded_mainloop_start(m_loop) >= 0;
    }

private:
    // On the loop's thread, or before it runs.
    void connect() {
        m_context = pa().context_new(pa().threaded_mainloop_get_api(m_loop), "Tolvane");
        if (!m_context) return;
        pa().context_set_state_callback(m_context, onState, this);
        pa().context_set_subscribe_callback(m_context, onEvent, this);
        if (pa().context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            serverGone();
    }
    void dropContext() {
        if (!m_context) return;
        pa().context_set_state_callback(m_context, nullptr, nullptr);
        pa().context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa().context_disconnect(m_context);
        pa().context_unref(m_context);
        m_context = nullptr;
    }
    void serverGone() {
        OutputReport none;
        none.known = true;
        report(none);
        if (!m_retry)
            m_retry = pa().context_rttime_new(m_context, pa().rtclock_now() + kReconnectUs, onRetry,
                                              this);
    }
    void ask() {
        if (m_asking) {
            m_askAgain = true;  // once the answer under way is in
            return;
        }
        m_asking = true;
        OutputQuery::start(m_context, m_name, [this](const OutputReport& told) {
            m_asking = false;
            report(told);
            if (std::exchange(m_askAgain, false)) ask();
        });
    }
    void report(const OutputReport& told) {
        if (m_reported && m_last == told) return;
        m_reported = true;
        m_last = told;
        m_onChange(told);
    }

    static void onState(pa_context* context, void* userdata) {
        auto* self = static_cast<PulseWatch*>(userdata);
        const pa_context_state_t state = pa().context_get_state(context);
        if (state == PA_CONTEXT_READY) {
            const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK |
                                                                  PA_SUBSCRIPTION_MASK_SERVER);
            if (pa_operation* subscribing = pa().context_subscribe(context, mask, nullptr, nullptr))
                pa().operation_unref(subscribing);
            self->ask();
        } else if (!PA_CONTEXT_IS_GOOD(state)) {
            self->m_asking = self->m_askAgain = false;
            self->serverGone();
        }
    }
    static void onEvent(pa_context*, pa_subscription_event_type_t, uint32_t, void* userdata) {
        static_cast<PulseWatch*>(userdata)->ask();
    }
    static void onRetry(pa_mainloop_api* api, pa_time_event* event, const struct timeval*,
                        void* userdata) {
        auto* self = static_cast<PulseWatch*>(userdata);
        api->time_free(event);
        self->m_retry = nullptr;
        self->dropContext();
        self->connect();
    }

    std::string m_name;
    std::function<void(const OutputReport&)> m_onChange;
    pa_threaded_mainloop* m_loop;
    pa_context* m_context = nullptr;
    pa_time_event* m_retry = nullptr;
    bool m_asking = false;
    bool m_askAgain = false;
    bool m_reported = false;
    OutputReport m_last;
};

struct SuccessWait {
    pa_threaded_mainloop* loop = nullptr;
    bool done = false;
    bool succeeded = false;
};
void onSuccess(pa_context*, int success, void* userdata) {
    auto& wait = *static_cast<SuccessWait*>(userdata);
    wait.done = true;
    wait.succeeded = success != 0;
    wakeWaiters(wait.loop);
}

// Under the loop's lock: whether the server did what operation asked.
bool succeeded(pa_threaded_mainloop* loop, pa_operation* operation, SuccessWait& wait) {
    if (!operation) return false;
    while (!wait.done) pa().threaded_mainloop_wait(loop);
    pa().operation_unref(operation);
    return wait.succeeded;
}

}  // namespace

bool loadSoundOutput() {
    return loadPulse() != nullptr;
}

std::unique_ptr<SoundOutput> openSoundOutput(int rate, int channels, const OutputChoice& choice,
                                             std::string* why) {
    const auto refuse = [why](const char* reason) {
        if (why) *why = reason;
        return nullptr;
    };
    if (!loadPulse()) return refuse("the PulseAudio client library cannot be loaded");
    auto output = std::make_unique<PulseOutput>();
    if (!output->open(rate, channels, choice)) return refuse("no PulseAudio server or stream");
    return output;
}

OutputReport readOutput(const std::string& name) {
    OutputReport report;
    if (!loadPulse()) return report;
    report.known = true;
    PulseConnection connection;
    if (!connection.connect()) return report;
    LoopLock lock(connection.loop());
    return askOutput(connection, name);
}

std::unique_ptr<OutputWatch> watchOutput(const std::string& name,
                                         std::function<void(const OutputReport&)> onChange) {
    if (!loadPulse()) return nullptr;
    auto watch = std::make_unique<PulseWatch>(name, std::move(onChange));
    if (!watch->start()) return nullptr;
    return watch;
}

namespace {

struct OutputList {
    pa_threaded_mainloop* loop = nullptr;
    std::vector<OutputName> outputs;
    bool done = false;
};
void onListedSink(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    auto& list = *static_cast<OutputList*>(userdata);
    if (eol == 0 && info) {
        list.outputs.push_back(
            {info->name ? info->name : "", info->description ? info->description : ""});
        return;
    }
    list.done = true;
    wakeWaiters(list.loop);
}

}  // namespace

std::vector<OutputName> listOutputs() {
    if (!loadPulse()) return {};
    PulseConnection connection;
    if (!connection.connect()) return {};
    LoopLock lock(connection.loop());
    OutputList list;
    list.loop = connection.loop();
    pa_operation* listing =
        pa().context_get_sink_info_list(connection.context(), onListedSink, &list);
    if (!listing) return {};
    while (!list.done) pa().threaded_mainloop_wait(list.loop);
    pa().operation_unref(listing);
    return list.outputs;
}

Status makeOutputAudible(const std::string& name) {
    if (!loadPulse()) return Status::notSupported("the PulseAudio client library cannot be loaded");
    PulseConnection connection;
    if (!connection.connect()) return Status::ioError("没有声音服务器");
    pa_threaded_mainloop* loop = connection.loop();
    LoopLock lock(loop);
    const OutputReport output = askOutput(connection, name);
    if (!output.present) return Status::notFound(outputProblem(output, name));
    SuccessWait unmuted{loop};
    if (output.state.muted &&
        !succeeded(loop,
                   pa().context_set_sink_mute_by_name(connection.context(), output.name.c_str(), 0,
                                                      onSuccess, &unmuted),
                   unmuted))
        return Status::ioError("声音输出 " + output.name + " 不能取消静音");
    if (output.state.volumePercent >= kAudibleVolumePercent) return Status::ok();
    // One channel's volume is every channel's.
    pa_cvolume floor;
    pa().cvolume_set(&floor, 1, PA_VOLUME_NORM * kAudibleVolumePercent / 100);
    SuccessWait raised{loop};
    if (!succeeded(loop,
                   pa().context_set_sink_volume_by_name(connection.context(), output.name.c_str(),
                                                        &floor, onSuccess, &raised),
                   raised))
        return Status::ioError("声音输出 " + output.name + " 的音量不能调高");
    return Status::ok();
}

}  // namespace tolvane
