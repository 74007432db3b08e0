#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <utility>

#include "core/BadFunctionCall.h"

namespace Event {

// One list of listeners of the event service. Listeners are only appended and
// are called in that order; one added while the list is being called runs
// from the next call on. A slot without a target fails with "bad function call".
template <class... Args>
class EventListenerList {
public:
    using Listener = std::function<void(Args...)>;

    void add(Listener listener) { listeners_.push_back(std::move(listener)); }

    void call(Args... args) const {
        // A deque keeps the running callable in place while a listener appends.
        const size_t count = listeners_.size();
        for (size_t i = 0; i < count; ++i) {
            const Listener& listener = listeners_[i];
            if (!listener) throw System::BadFunctionCall();
            listener(args...);
        }
    }

    size_t size() const { return listeners_.size(); }

private:
    std::deque<Listener> listeners_;
};

}  // namespace Event
