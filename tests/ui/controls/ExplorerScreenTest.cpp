// The file browser in the real main window, driven with xdotool on a screen
// of its own: it lists a folder the test makes, follows a file made and one
// deleted while it shows (and draws them as the reference picture shows),
// and a file dragged out of it with the pointer is
// dropped on a pad beside it in the same window, which gets the file's path.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "platform/window/DragSource.h"
#include "platform/window/TopLevel.h"
#include "support/PumpMessages.h"
#include "ui/controls/ScreenFixture.h"
#include "ui/controls/ExplorerControl.h"
#include "ui/framework/DropFiles.h"
#include "ui/framework/WindowClientRenderTarget.h"

namespace {

namespace W = Platform::window;

// A drop target beside the browser: takes every file drag and keeps what was dropped.
class DropPad : public Window::WindowControl {
public:
    DropPad(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
        : WindowControl(container, x, y, w, h) {
        acceptDrop = true;
    }
    void procPaint() override {}
    bool procDragOver(int32_t, int32_t, Window::DropFiles&) override {
        ++overs;
        return true;
    }
    bool procDrop(int32_t, int32_t, Window::DropFiles& files) override {
        dropped.insert(dropped.end(), files.files.begin(), files.files.end());
        return true;
    }
    std::vector<std::wstring> dropped;
    int overs = 0;
};

class BrowserPanel : public Window::WindowClientRenderTarget {
public:
    BrowserPanel()
        : WindowClientRenderTarget(&title_, "browser", {0, 0, 1, 1, 0, true}),
          container(priority, &clientRect, &clientRect),
          explorer(container, 0, 0, 450, 300, "Explorer.screen"),
          pad(container, 470, 20, 150, 180) {}
    void procMove() override { container.updateChildLayout(); }
    void procPaint() override {
        if (target == nullptr) return;
        const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                              clientRect.y + clientRect.h, true);
        fillRectangle(0, 0, clientRect.w, clientRect.h,
                      Window::WindowService::get()->brushes.get(Window::StyleBrushList::Grouping));
        for (size_t i = 0; i < container.children.size(); ++i) container.children[i]->procPaint();
    }

    std::wstring title_ = L"browser";
    Window::ControlContainer container;
    Control::ExplorerControl explorer;
    DropPad pad;
};

class ExplorerScreen : public ScreenWindow {
protected:
    void SetUp() override {
        ScreenWindow::SetUp();
        if (IsSkipped()) return;
        // The dates shown are those of one zone on every machine.
        setenv("TZ", "UTC", 1);
        tzset();
        stopServices();
        folder = root_ / "shown";
        std::filesystem::create_directories(folder / "sub");
        for (const char* name : {"first.txt", "second.txt", "gone.txt"}) std::ofstream(folder / name) << name;
        writeFile(appData() / "velmo2.ini",
                  "[Window]\r\nx=200\r\ny=150\r\nw=640\r\nh=400\r\nzoom=0\r\n[Explorer.screen]\r\nFolderPath=" +
                      folder.string() + "\r\n");
        startServices();
        panel_ = std::make_unique<BrowserPanel>();
        service->updateLayout();
        W::showWindow(service->window, W::kSwShow);
        TestSupport::pumpUntil([&] { return panel_->clientRect.w > 0 && Window::PaintQueue::size() == 0; },
                               "the panel laid out");
    }
    void TearDown() override {
        panel_.reset();
        ControlWindow::TearDown();
    }
    std::string screen(W::Point p) { return ScreenWindow::screen(p.x, p.y); }
    int32_t indexOf(const std::string& name) const {
        const auto& entries = panel_->explorer.entries;
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].name == name) return static_cast<int32_t>(i);
        return -1;
    }
    // The panel's pixels match the reference within a small share.
    void expectLooksLikeReference(const char* name) {
        expectRectLooksLike(name, panel_->clientRect.x, panel_->clientRect.y, 600, 320);
    }

    // 2020-01-02 03:04:05 UTC.
    static constexpr time_t kShownTime = 1577934245;
    std::filesystem::path folder;
    std::unique_ptr<BrowserPanel> panel_;
};

TEST_F(ExplorerScreen, ListsFollowsChangesAndDragsAFileOntoADropTarget) {
    Control::ExplorerControl& e = panel_->explorer;
    ASSERT_TRUE(e.initialized) << "shown, so it opened its folder";
    ASSERT_EQ(folder.string(), e.folder());
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return e.entries.size() == 4; }, "the folder listed"));
    EXPECT_EQ(0, indexOf("sub"));

    std::ofstream(folder / "made.txt") << "made";
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return indexOf("made.txt") >= 0; }, "the made file listed"));
    std::filesystem::remove(folder / "gone.txt");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return indexOf("gone.txt") < 0; }, "the deleted file gone"));
    // The same dates on every run, so the picture can be compared.
    for (const char* name : {"sub", "first.txt", "second.txt", "made.txt"}) {
        const timespec times[2] = {{kShownTime, 0}, {kShownTime, 0}};
        ASSERT_EQ(0, ::utimensat(AT_FDCWD, (folder / name).c_str(), times, 0)) << name;
    }
    ASSERT_TRUE(TestSupport::pumpUntil(
        [&] {
            for (const auto& entry : e.entries)
                if (entry.modified != kShownTime) return false;
            return true;
        },
        "the dates read again"));
    expectLooksLikeReference("explorer-listed");

    // Press on the made file, move a little so the drag starts, then carry it to the pad and let go.
    const Window::MouseRect row = e.itemRect(indexOf("made.txt"));
    xdotool("mousemove " + screen({row.x + 60, row.y + row.h / 2}));
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return e.hovered; }, "the pointer over the browser"));
    xdotool("mousedown 1");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return e.dragging; }, "the press"));
    EXPECT_EQ((std::vector<std::string>{(folder / "made.txt").string()}), e.selectedPaths());
    xdotool("mousemove_relative 12 0");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return W::fileDragInProgress(service->window) != nullptr; },
                                       "the file drag started"));
    const Window::MouseRect& pad = panel_->pad.visibleRect;
    xdotool("mousemove " + screen({pad.x + pad.w / 2, pad.y + pad.h / 2}));
    xdotool("mousemove_relative 2 2");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return panel_->pad.overs > 0; }, "the drag over the pad"));
    xdotool("mouseup 1");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return !panel_->pad.dropped.empty(); }, "the drop on the pad"));
    EXPECT_EQ((std::vector<std::wstring>{(folder / "made.txt").wstring()}), panel_->pad.dropped);
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return W::fileDragInProgress(service->window) == nullptr; },
                                       "the drag over"));
    EXPECT_FALSE(e.dragging);
}

}  // namespace
