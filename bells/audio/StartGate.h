// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Holds a prepared stream until its second: the player opens the file and the output ahead, and
// whoever asks for the bell opens the gate from its own thread, without waiting for the player
// thread to take the request in.

#include <condition_variable>
#include <mutex>

namespace tolvane {

class StartGate {
public:
    // Lets the waiting stream go on; any thread.
    void open() { settle(State::Open); }
    // The stream is not wanted after all; any thread.
    void cancel() { settle(State::Cancelled); }
    // Until opened (true) or cancelled (false).
    bool wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_state != State::Shut; });
        return m_state == State::Open;
    }

private:
    enum class State { Shut, Open, Cancelled };
    void settle(State state) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_state == State::Shut) m_state = state;
        }
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::Shut;
};

}  // namespace tolvane
