// The log panel in a main window: its poll timer runs only while it is shown,
// and lines logged on worker threads reach it through the main loop's wait
// handles on the UI thread.
#include "ui/panels/LogComponent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/Logger.h"
#include "platform/window/MessageQueue.h"
#include "ui/framework/DockFixture.h"

namespace {

namespace W = Platform::window;

class LogPanel : public DockWindow {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        DockWindow::SetUp();
        logger_ = std::make_unique<System::ServiceHolder<System::Logger>>();
    }
    void TearDown() override {
        panel_.reset();
        logger_.reset();
        DockWindow::TearDown();
    }
    // One pass of the main loop at a time over the registered handles, as
    // the window service runs them, until the condition holds.
    bool runUntil(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::vector<Platform::os::WaitHandle> handles;
            std::vector<Window::WindowService::WaitCallback> callbacks;
            for (const auto& [handle, callback] : service->waitHandles) {
                handles.push_back(handle);
                callbacks.push_back(callback);
            }
            const uint32_t result = W::msgWaitForMultipleObjects(handles.size(), handles.data(), false, 1000, 0);
            if (result < W::kWaitObject0 + handles.size()) callbacks[result - W::kWaitObject0]();
        }
        return true;
    }
    std::unique_ptr<System::ServiceHolder<System::Logger>> logger_;
    std::unique_ptr<Component::LogComponent> panel_;
};

TEST_F(LogPanel, PollsOnlyWhileShownAndFollowsLinesFromWorkers) {
    panel_ = std::make_unique<Component::LogComponent>();
    Component::LogViewControl& view = panel_->view();
    service->updateLayout();
    EXPECT_EQ(panel_->sectionName(), "Window.log");
    EXPECT_FALSE(panel_->shown()) << "hidden on a first start";
    EXPECT_FALSE(view.timerRunning());
    const size_t handlesBefore = service->waitHandles.size();

    panel_->show(true);
    ASSERT_GT(panel_->clientRect.w, 0);
    EXPECT_TRUE(view.timerRunning());
    EXPECT_EQ(service->waitHandles.size(), handlesBefore + 1);

    // Scrolled to the oldest lines, a new line brings the view back to the newest.
    view.lines.firstLine = 0;
    std::thread worker([] {
        for (int n = 0; n < 3; ++n) System::Log::info("Worker", "from the worker %d", n);
    });
    worker.join();
    ASSERT_TRUE(runUntil([&] {
        Platform::os::MutexLock lock(System::Logger::get()->mutex());
        return view.lines.lineCount == static_cast<int32_t>(System::Logger::get()->viewLines().size()) &&
               view.lines.lineCount > 0;
    })) << "the tick never came";
    EXPECT_EQ(view.lines.firstLine, view.lines.lineCount - view.lines.visibleLineCount);
    const std::vector<Component::LogLines::Line> shown = view.lines.copyWindow(*System::Logger::get());
    ASSERT_FALSE(shown.empty());
    EXPECT_NE(shown.front().text.find("from the worker 2"), std::string::npos) << shown.front().text;
    EXPECT_FALSE(view.tick()) << "no new line, no repaint";

    panel_->show(false);
    EXPECT_FALSE(view.timerRunning());
    EXPECT_EQ(service->waitHandles.size(), handlesBefore);
}

}  // namespace
