#include "platform/os/WaitableTimer.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {
using namespace Platform::os;
using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

TEST(OsWaitableTimer, PeriodicExpiriesAndConsumingWait) {
    WaitableTimer t;
    ASSERT_EQ(t.create(), Platform::kOk);
    EXPECT_EQ(t.wait(0), kWaitTimeout);  // not armed
    const auto start = Clock::now();
    ASSERT_EQ(t.set(30, 30), Platform::kOk);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(t.wait(kInfinite), kWaitObject0);
    EXPECT_GE(msSince(start), 90);
    // The wait took the expiry: it is not signalled right after.
    EXPECT_EQ(t.wait(0), kWaitTimeout);
}

TEST(OsWaitableTimer, ReArmRestartsAndCancelStops) {
    WaitableTimer t;
    ASSERT_EQ(t.create(), Platform::kOk);
    ASSERT_EQ(t.set(20, 20), Platform::kOk);
    ASSERT_EQ(t.wait(kInfinite), kWaitObject0);
    const auto start = Clock::now();
    ASSERT_EQ(t.set(60, 60), Platform::kOk);
    ASSERT_EQ(t.wait(kInfinite), kWaitObject0);
    EXPECT_GE(msSince(start), 60);
    ASSERT_EQ(t.cancel(), Platform::kOk);
    EXPECT_EQ(t.wait(100), kWaitTimeout);
}

TEST(OsWaitableTimer, OneShotAndInvalidTimer) {
    WaitableTimer t;
    EXPECT_TRUE(Platform::failed(t.set(1, 0)));
    ASSERT_EQ(t.create(), Platform::kOk);
    ASSERT_EQ(t.set(0, 0), Platform::kOk);  // due now
    EXPECT_EQ(t.wait(1000), kWaitObject0);
    EXPECT_EQ(t.wait(50), kWaitTimeout);
}

}  // namespace
