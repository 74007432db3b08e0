#include "core/Timer.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/TimerSync.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"

namespace {
namespace W = Platform::window;

// A plain loop over the thread's queue until the quit message.
void runUntilQuit() {
    W::Message m;
    while (W::getMessage(m, nullptr, 0, 0) == 1) {
        W::translateMessage(m);
        W::dispatchMessage(m);
    }
}

TEST(SystemTimer, ClearingAnUnsetTimerIsHarmless) {
    System::Timer timer;
    EXPECT_NO_THROW(timer.clear());
    EXPECT_NO_THROW(timer.clear());
    EXPECT_EQ(timer.id(), 0u);
}

TEST(SystemTimer, SettingTwiceKeepsOneTimerWithTheSecondCallback) {
    System::Timer timer;
    std::vector<std::string> fired;
    timer.set(5000, [&] { fired.push_back("first"); });
    const uintptr_t id = timer.id();
    ASSERT_NE(id, 0u);
    timer.set(20, [&] {
        fired.push_back("second");
        if (fired.size() == 2) W::postQuitMessage(0);
    });
    EXPECT_EQ(timer.id(), id);
    runUntilQuit();
    EXPECT_EQ(fired, (std::vector<std::string>{"second", "second"}));
    timer.clear();
    EXPECT_EQ(timer.id(), 0u);
}

TEST(SystemTimer, CallbackThatClearsItsOwnTimerRunsOnceAndIntact) {
    System::Timer timer;
    int runs = 0;
    // The callable owns state it still reads after clearing its timer.
    auto state = std::make_shared<std::string>("still here");
    std::string after;
    timer.set(10, [&, state] {
        ++runs;
        timer.clear();
        after = *state;
        W::postMessage(nullptr, W::kWmNull, 0, 0);
    });
    state.reset();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(150);
    while (std::chrono::steady_clock::now() < end) {
        W::msgWaitForMultipleObjects(0, nullptr, false, 10, W::kQsAllInput);
        W::Message m;
        while (W::peekMessage(m, nullptr, 0, 0, W::kPmRemove)) W::dispatchMessage(m);
    }
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(after, "still here");
    EXPECT_EQ(timer.id(), 0u);
}

TEST(SystemTimer, AGoneOwnersTimerNoLongerFires) {
    int runs = 0;
    uintptr_t id = 0;
    {
        System::Timer timer;
        timer.set(10, [&] { ++runs; });
        id = timer.id();
    }
    W::Message m;
    W::msgWaitForMultipleObjects(0, nullptr, false, 50, W::kQsAllInput);
    EXPECT_FALSE(W::peekMessage(m, nullptr, W::kWmTimer, W::kWmTimer, W::kPmNoRemove));
    System::Timer::timerProc(nullptr, W::kWmTimer, id, 0);  // an unknown id is ignored
    EXPECT_EQ(runs, 0);
}

TEST(SyncTimer, CallbackRunsFiveTimesInsideTheMainLoop) {
    // The main loop's shape: wait on the registered handles and on input,
    // run the callback of a signalled handle, pump messages on input.
    Sync::Timer timer;
    std::unordered_map<int, std::function<void()>> waitHandles;
    int runs = 0;
    const auto start = std::chrono::steady_clock::now();
    timer.setInterval(200);
    waitHandles[timer.handle().fd] = [&] {
        if (++runs == 5) W::postQuitMessage(0);
    };
    bool quit = false;
    while (!quit) {
        const Platform::os::WaitHandle handles[] = {timer.handle()};
        const uint32_t r = W::msgWaitForMultipleObjects(1, handles, false, Platform::os::kInfinite, W::kQsAllInput);
        ASSERT_NE(r, W::kWaitFailed);
        if (r == W::kWaitObject0) {
            waitHandles[timer.handle().fd]();
        } else if (r == W::kWaitObject0 + 1) {
            W::Message m;
            while (W::peekMessage(m, nullptr, 0, 0, W::kPmRemove)) {
                if (m.message == W::kWmQuit) {
                    quit = true;
                    break;
                }
                W::dispatchMessage(m);
            }
        }
    }
    timer.clear();
    EXPECT_EQ(runs, 5);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

TEST(SystemTimer, FiresInsideAModalMessageBox) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
    System::Timer timer;
    int ticks = 0;
    timer.set(30, [&] {
        if (++ticks != 3) return;
        // Press OK, as the user would.
        GList* all = gtk_window_list_toplevels();
        for (GList* it = all; it != nullptr; it = it->next)
            if (GTK_IS_MESSAGE_DIALOG(it->data))
                if (GtkWidget* ok = gtk_dialog_get_widget_for_response(GTK_DIALOG(it->data), W::kIdOk))
                    gtk_button_clicked(GTK_BUTTON(ok));
        g_list_free(all);
    });
    EXPECT_EQ(W::messageBox(nullptr, "Exporting", "Velmo Kirta2", W::kMbOk), W::kIdOk);
    timer.clear();
    EXPECT_EQ(ticks, 3);
}

}  // namespace
