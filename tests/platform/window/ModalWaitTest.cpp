// The UI thread's waits block: while a modal box, a file dialog or the plain
// queue wait has nothing to do, the thread uses next to no processor time.
// Run under xvfb-run; skipped without a display.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <ostream>
#include <future>
#include <sstream>
#include <string>
#include <thread>

#include "platform/window/FileDialog.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"

namespace {
namespace W = Platform::window;

// User and system clock ticks a thread of this process has used so far.
long threadTicks(uint32_t tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string line;
    std::getline(in, line);
    // The name in parentheses may hold spaces: count the fields after it.
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int index = 3; rest >> field; ++index) {
        if (index == 14) utime = std::stol(field);
        if (index == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return utime + stime;
}

struct Idle {
    const char* name;
    std::function<void()> wait;  // returns once a quit message arrives
};
void PrintTo(const Idle& idle, std::ostream* out) { *out << idle.name; }

class ModalWait : public ::testing::TestWithParam<Idle> {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr || !W::hasDisplay()) GTEST_SKIP() << "no display: run under xvfb-run";
        // A blinking text cursor and the theme's animations redraw the dialogs
        // now and then: GTK's own work, not the wait's.
        g_object_set(gtk_settings_get_default(), "gtk-cursor-blink", FALSE, "gtk-enable-animations", FALSE, nullptr);
    }
};

// Once the wait runs (its first timer tick), another thread reads the UI
// thread's processor time over five seconds and then posts the quit that
// ends the wait.
std::promise<void>* g_started = nullptr;
void startMeasuring(W::WindowHandle, uint32_t, uintptr_t id, uint32_t) {
    W::killTimer(nullptr, id);
    if (g_started != nullptr) g_started->set_value();
    g_started = nullptr;
}

TEST_P(ModalWait, UsesNextToNoProcessorTimeWhileNothingHappens) {
    const uint32_t ui = W::currentThreadId();
    std::promise<void> started;
    g_started = &started;
    long used = -1;
    std::thread measure([&, future = started.get_future()] {
        future.wait();
        const long before = threadTicks(ui);
        std::this_thread::sleep_for(std::chrono::seconds(5));
        used = threadTicks(ui) - before;
        W::postThreadMessage(ui, W::kWmQuit, 0, 0);
    });
    ASSERT_NE(W::setTimer(nullptr, 0, 300, startMeasuring), 0u);
    GetParam().wait();
    measure.join();
    W::Message quit;
    while (W::peekMessage(quit, nullptr, W::kWmQuit, W::kWmQuit, W::kPmRemove)) {
    }
    // Five seconds are 5 x ticks-per-second; a twentieth of that is the limit.
    const long limit = 5 * ::sysconf(_SC_CLK_TCK) / 20;
    EXPECT_LT(used, limit) << GetParam().name << " used " << used << " ticks in 5 s";
}

INSTANTIATE_TEST_SUITE_P(
    Waits, ModalWait,
    ::testing::Values(Idle{"message box",
                           [] { W::messageBox(nullptr, "Waiting.", "Velmo Kirta2", W::kMbOk | W::kMbIconError); }},
                      Idle{"open dialog",
                           [] {
                               // A folder with one file, which the dialog selects.
                               char folder[] = "/tmp/velmo-modal-XXXXXX";
                               ASSERT_NE(::mkdtemp(folder), nullptr);
                               const std::string file = std::string(folder) + "/a.vpj2";
                               std::ofstream(file) << "[project]\n";
                               W::FileDialogRequest request;
                               request.path = file;
                               (void)W::fileDialog(request);
                               ::unlink(file.c_str());
                               ::rmdir(folder);
                           }},
                      Idle{"queue wait",
                           [] {
                               W::Message m;
                               while (W::getMessage(m, nullptr, 0, 0) > 0) W::dispatchMessage(m);
                           }}),
    [](const ::testing::TestParamInfo<Idle>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

}  // namespace
