// The Linux sound output: a PulseAudio playback stream (PulseAudio, or PipeWire's PulseAudio
// service) on a threaded main loop of its own.
//
// It connects afresh for each stream: a program started before the server (an early autostart, a
// restarted server) is heard once the server is there, and nothing of the sound server is
// connected, mapped or awake between bells. The asynchronous API, not the simple one: Stop and the
// next bell must not wait while the writer waits for the server to take more (with a null sink
// that was up to a period of the sink, 30 ms here).

#include <pulse/pulseaudio.h>

#include <algorithm>

#include "ringing/audio/SoundOutputSink.h"

namespace tolvane {

namespace {

constexpr int kBufferMs = 60;

void wakeWaiters(void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
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

class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : m_loop(loop) {
        pa_threaded_mainloop_lock(loop);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

class PulseOutput final : public SoundOutput {
public:
    PulseOutput() : m_loop(pa_threaded_mainloop_new()) {}

    ~PulseOutput() override {
        if (!m_loop) return;
        pa_threaded_mainloop_stop(m_loop);
        if (m_stream) pa_stream_unref(m_stream);
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        pa_threaded_mainloop_free(m_loop);
    }
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // Connects to the default server and opens the playback stream; false when either fails.
    bool open(const PcmFormat& format) {
        if (!m_loop) return false;
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Tolvane");
        if (!m_context) return false;
        pa_context_set_state_callback(m_context, onContextChange, m_loop);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0 ||
            pa_threaded_mainloop_start(m_loop) < 0)
            return false;
        LoopLock lock(m_loop);
        for (pa_context_state_t s; (s = pa_context_get_state(m_context)) != PA_CONTEXT_READY;) {
            if (!PA_CONTEXT_IS_GOOD(s)) return false;
            pa_threaded_mainloop_wait(m_loop);
        }
        pa_sample_spec spec;
        spec.format = PA_SAMPLE_S16LE;
        spec.rate = static_cast<uint32_t>(format.rate);
        spec.channels = static_cast<uint8_t>(format.channels);
        m_stream = pa_stream_new(m_context, "bell", &spec, nullptr);
        if (!m_stream) return false;
        pa_stream_set_state_callback(m_stream, onStreamChange, m_loop);
        pa_stream_set_write_callback(m_stream, onRoom, m_loop);
        pa_buffer_attr attr;
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.tlength = static_cast<uint32_t>(format.bytesPerSecond() * kBufferMs / 1000);
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE);
        if (pa_stream_connect_playback(m_stream, nullptr, &attr, flags, nullptr, nullptr) < 0)
            return false;
        for (pa_stream_state_t s; (s = pa_stream_get_state(m_stream)) != PA_STREAM_READY;) {
            if (!PA_STREAM_IS_GOOD(s)) return false;
            pa_threaded_mainloop_wait(m_loop);
        }
        return true;
    }

    bool write(const char* data, size_t n) override {
        LoopLock lock(m_loop);
        while (n > 0) {
            const size_t room = waitForRoom();
            if (room == 0) return false;
            const size_t part = std::min(room, n);
            if (pa_stream_write(m_stream, data, part, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return false;
            data += part;
            n -= part;
        }
        return true;
    }

    void drain() override {
        LoopLock lock(m_loop);
        if (m_interrupted || !streamUsable()) return;
        pa_operation* draining = pa_stream_drain(m_stream, onDrained, m_loop);
        if (!draining) return;
        while (!m_interrupted && streamUsable() &&
               pa_operation_get_state(draining) == PA_OPERATION_RUNNING)
            pa_threaded_mainloop_wait(m_loop);
        if (pa_operation_get_state(draining) == PA_OPERATION_RUNNING) pa_operation_cancel(draining);
        pa_operation_unref(draining);
    }

    void interrupt() override {
        LoopLock lock(m_loop);
        m_interrupted = true;
        pa_threaded_mainloop_signal(m_loop, 0);
    }

    void stop() override {
        LoopLock lock(m_loop);
        m_interrupted = true;
        if (!streamUsable()) return;
        // Throws away what the server holds; the stream goes when the sink is deleted.
        if (pa_operation* flushing = pa_stream_flush(m_stream, nullptr, nullptr))
            pa_operation_unref(flushing);
    }

private:
    // Under the lock: the bytes the server takes now, waiting until it takes some; 0 when the
    // stream failed or the wait was interrupted.
    size_t waitForRoom() {
        for (;;) {
            if (m_interrupted || !streamUsable()) return 0;
            const size_t room = pa_stream_writable_size(m_stream);
            if (room == static_cast<size_t>(-1)) return 0;
            if (room > 0) return room;
            pa_threaded_mainloop_wait(m_loop);
        }
    }

    bool streamUsable() const { return pa_stream_get_state(m_stream) == PA_STREAM_READY; }

    pa_threaded_mainloop* m_loop;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    bool m_interrupted = false;  // under the loop's lock
};

}  // namespace

std::unique_ptr<PcmSink> makePulseSink(const PcmFormat& format) {
    auto output = std::make_unique<PulseOutput>();
    if (!output->open(format)) return nullptr;
    return makeSoundOutputSink(std::move(output), format);
}

}  // namespace tolvane
