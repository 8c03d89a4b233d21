// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Any number of listeners to one kind of news. Each add() gives a Subscription: while it lives,
// the listener hears every notify(); when it goes, the listener is forgotten, so a window that
// closes first is never called again. One thread: the one that notifies adds and removes too.

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace tolvane {

class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : m_cancel(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : m_cancel(std::exchange(other.m_cancel, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            cancel();
            m_cancel = std::exchange(other.m_cancel, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { cancel(); }

    void cancel() {
        if (auto c = std::exchange(m_cancel, {})) c();
    }

private:
    std::function<void()> m_cancel;
};

template <typename... Args>
class Listeners {
public:
    using Listener = std::function<void(const Args&...)>;

    // The subscription may outlive this list: cancelling it then does nothing.
    [[nodiscard]] Subscription add(Listener listener) {
        const int id = m_next++;
        (*m_listeners)[id] = std::move(listener);
        return Subscription([id, weak = std::weak_ptr<Map>(m_listeners)] {
            if (auto listeners = weak.lock()) listeners->erase(id);
        });
    }

    // In the order they were added. A listener may cancel itself or another while it is told.
    void notify(const Args&... args) const {
        const auto listeners = m_listeners;  // alive even if a listener ends the list's owner
        std::vector<int> ids;
        for (const auto& entry : *listeners) ids.push_back(entry.first);
        for (const int id : ids) {
            const auto found = listeners->find(id);
            if (found == listeners->end()) continue;
            const Listener listener = found->second;  // a copy: cancelling erases the original
            listener(args...);
        }
    }

    bool empty() const { return m_listeners->empty(); }

private:
    using Map = std::map<int, Listener>;
    std::shared_ptr<Map> m_listeners = std::make_shared<Map>();
    int m_next = 0;
};

}  // namespace tolvane
