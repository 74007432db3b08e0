#include "platform/os/Event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/os/Wait.h"

namespace {
using namespace Platform::os;

TEST(OsEvent, ManualResetStaysSetUntilReset) {
    Event e;
    ASSERT_EQ(e.create(true, false), Platform::kOk);
    EXPECT_EQ(e.wait(0), kWaitTimeout);
    ASSERT_EQ(e.set(), Platform::kOk);
    ASSERT_EQ(e.set(), Platform::kOk);
    EXPECT_EQ(e.wait(0), kWaitObject0);
    EXPECT_EQ(e.wait(0), kWaitObject0);  // a wait does not clear it
    EXPECT_TRUE(e.isSet());
    ASSERT_EQ(e.reset(), Platform::kOk);
    EXPECT_FALSE(e.isSet());
    EXPECT_EQ(e.wait(10), kWaitTimeout);
}

TEST(OsEvent, AutoResetReleasesOneWaiterPerSet) {
    Event e;
    ASSERT_EQ(e.create(false, true), Platform::kOk);
    EXPECT_EQ(e.wait(0), kWaitObject0);
    EXPECT_EQ(e.wait(0), kWaitTimeout);  // taken by the first wait

    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (e.wait(kInfinite) == kWaitObject0) ++woken;
        });
    for (int i = 0; i < 3; ++i) {
        while (woken.load() != i) std::this_thread::yield();
        (void)e.set();
    }
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken.load(), 3);
    EXPECT_EQ(e.wait(0), kWaitTimeout);
}

TEST(OsEvent, WaitForAnyGivesLowestSignalledIndex) {
    Event a, b, c;
    ASSERT_EQ(a.create(), Platform::kOk);
    ASSERT_EQ(b.create(false), Platform::kOk);
    ASSERT_EQ(c.create(), Platform::kOk);
    const WaitHandle handles[] = {a.handle(), b.handle(), c.handle()};
    EXPECT_EQ(waitForAny(handles, 3, 0), kWaitTimeout);
    (void)c.set();
    (void)b.set();
    EXPECT_EQ(waitForAny(handles, 3, 0), kWaitObject0 + 1);
    EXPECT_EQ(waitForAny(handles, 3, 0), kWaitObject0 + 2);  // b was auto-reset and taken

    std::thread setter([&] { (void)a.set(); });
    (void)c.reset();
    EXPECT_EQ(waitForAny(handles, 3, kInfinite), kWaitObject0);
    setter.join();
}

TEST(OsEvent, FailuresAreReported) {
    Event none;
    EXPECT_FALSE(none.valid());
    EXPECT_TRUE(Platform::failed(none.set()));
    EXPECT_EQ(none.wait(0), kWaitFailed);
    const WaitHandle bad{-1, false};
    EXPECT_EQ(waitForAny(&bad, 1, 0), kWaitFailed);
}

TEST(OsEvent, MovedEventKeepsItsObject) {
    Event a;
    ASSERT_EQ(a.create(true, true), Platform::kOk);
    Event b(std::move(a));
    EXPECT_FALSE(a.valid());
    EXPECT_EQ(b.wait(0), kWaitObject0);
}

struct HookState {
    Event* poke = nullptr;
    int calls = 0;
};

TEST(OsEvent, ThreadWaitHookRunsWhileWaiting) {
    Event poke, done;
    ASSERT_EQ(poke.create(false), Platform::kOk);
    ASSERT_EQ(done.create(), Platform::kOk);
    HookState state{&poke};
    setThreadWaitHook(
        poke.nativeFd(),
        [](void* c) {
            auto* s = static_cast<HookState*>(c);
            (void)s->poke->reset();
            ++s->calls;
        },
        &state);
    std::thread other([&] {
        (void)poke.set();
        // The waiter must have run the hook before done is set.
        while (poke.isSet()) std::this_thread::yield();
        (void)done.set();
    });
    EXPECT_EQ(done.wait(kInfinite), kWaitObject0);
    other.join();
    setThreadWaitHook(-1, nullptr, nullptr);
    EXPECT_GE(state.calls, 1);
}

}  // namespace
