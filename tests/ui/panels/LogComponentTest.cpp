// The log panel in a main window: its poll timer runs only while it is shown,
// and lines logged on worker threads reach it through the main loop's wait
// handles on the UI thread.
#include "ui/panels/LogComponent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/Clipboard.h"
#include "core/Logger.h"
#include "platform/window/Menu.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "ui/controls/ExtraColours.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/DockFixture.h"

namespace {

namespace W = Platform::window;

class LogPanel : public DockWindow {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        DockWindow::SetUp();
        // The colours of the title strip and the scroll bar.
        stopServices();
        addStyleColours(install() / "style.conf",
                        std::string(kButtonColours) + "TitleHeader=283848\nGrouping=182838\n");
        startServices();
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

TEST_F(LogPanel, TitleStripAndScrollBarFrameTheLinesWhichTheBarFollows) {
    panel_ = std::make_unique<Component::LogComponent>();
    panel_->show(true);
    service->updateLayout();
    const Window::MouseRect& area = panel_->clientRect;
    ASSERT_GT(area.h, 100);
    const Window::MouseRect& header = panel_->header().fullRect;
    const Window::MouseRect& bar = panel_->scrollBar().fullRect;
    const Window::MouseRect& lines = panel_->view().fullRect;
    EXPECT_EQ(panel_->header().title, L"ログ");
    EXPECT_EQ(header.y, area.y);
    EXPECT_EQ(header.h, Window::TitleHeaderHeight + 2);
    EXPECT_EQ(bar.y, header.y + header.h);
    EXPECT_EQ(bar.x + bar.w, area.x + area.w);
    EXPECT_EQ(bar.w, Window::ScrollBarSize);
    EXPECT_EQ(bar.y + bar.h, area.y + area.h);
    EXPECT_EQ(lines.y, bar.y);
    EXPECT_EQ(lines.x + lines.w, bar.x);

    // Fewer lines than fit: all of them at the bottom, the range one short of their count.
    for (int n = 0; n < 5; ++n) System::Log::info("Test", "line %d", n);
    Component::LogViewControl& view = panel_->view();
    ASSERT_TRUE(runUntil([&] { return view.lines.lineCount >= 5; }));
    panel_->procPaint();
    const int32_t count = view.lines.lineCount;
    EXPECT_EQ(panel_->scrollBar().minimum, 0);
    EXPECT_EQ(panel_->scrollBar().maximum, count - 1);
    // The bar's scroll request moves the lines.
    for (int n = 0; n < 200; ++n) System::Log::info("Test", "more %d", n);
    ASSERT_TRUE(runUntil([&] {
        Platform::os::MutexLock lock(System::Logger::get()->mutex());
        return view.lines.lineCount == static_cast<int32_t>(System::Logger::get()->viewLines().size()) &&
               view.lines.lineCount > view.lines.visibleLineCount;
    }));
    panel_->procPaint();
    const int32_t newest = view.lines.firstLine;
    panel_->scrollBar().requestScroll(0);
    EXPECT_EQ(view.lines.firstLine, 0);
    EXPECT_EQ(panel_->scrollBar().first, 0);
    EXPECT_GT(newest, 0);
}

TEST_F(LogPanel, ContextMenuCopiesTheWholeLogOldestFirstAndGraysTheSettingsWithoutADialog) {
    panel_ = std::make_unique<Component::LogComponent>();
    panel_->show(true);
    service->updateLayout();
    System::Log::info("Copy", "first line");
    System::Log::warn("Copy", "second line");
    std::vector<std::string> labels;
    bool settingsEnabled = true;
    W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string text;
            W::getMenuStringAt(menu, i, text);
            labels.push_back(text);
        }
        const W::MenuHandle options = W::getSubMenu(menu, 2);
        if (options != nullptr)
            settingsEnabled = W::isMenuItemEnabled(options, static_cast<uint32_t>(W::getMenuItemId(options, 0)));
        return static_cast<uint32_t>(W::getMenuItemId(menu, 0));
    });
    W::Point p{panel_->clientRect.x + 40, panel_->clientRect.y + 60};
    W::clientToScreen(service->window, p);
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
    W::setMenuAnswerHook(nullptr);
    ASSERT_GE(labels.size(), 4u);
    EXPECT_EQ(labels[0], "ログをコピー");
    EXPECT_EQ(labels[2], "オプション");
    EXPECT_EQ(labels[3], "ウィンドウ配置");
    EXPECT_FALSE(settingsEnabled);

    std::wstring copied;
    ASSERT_TRUE(System::Clipboard::getText(copied));
    const size_t first = copied.find(L"first line");
    const size_t second = copied.find(L"second line");
    ASSERT_NE(first, std::wstring::npos);
    ASSERT_NE(second, std::wstring::npos);
    EXPECT_LT(first, second) << "oldest first";
    EXPECT_EQ(copied.substr(copied.size() - 2), L"\r\n");
    EXPECT_EQ(copied.find(L"\n"), copied.find(L"\r") + 1);
}

}  // namespace
