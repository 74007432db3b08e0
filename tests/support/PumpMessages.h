#pragma once
// Window tests wait for what the window shows or logs by dispatching its
// messages, never by sleeping.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/window/MessageQueue.h"

namespace TestSupport {

// Dispatches the thread's window messages until the condition holds. The
// deadline only keeps a broken run from hanging: past it the test fails,
// naming what never came.
inline bool pumpUntil(const std::function<bool()>& condition, const std::string& what) {
    namespace W = Platform::window;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "never: " << what;
            return false;
        }
        W::msgWaitForMultipleObjects(0, nullptr, false, 100, W::kQsAllInput);
        W::Message m;
        while (W::peekMessage(m, nullptr, 0, 0, W::kPmRemove)) {
            W::translateMessage(m);
            W::dispatchMessage(m);
        }
    }
    return true;
}

}  // namespace TestSupport
