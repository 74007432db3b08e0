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
#include "ui/controls/ControlFixture.h"
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

class ExplorerScreen : public ControlWindow {
protected:
    void SetUp() override {
        if (std::getenv("VELMO_OWN_SCREEN") == nullptr) GTEST_SKIP() << "runs on its own screen";
        if (std::getenv("DISPLAY") == nullptr || std::system("command -v xdotool >/dev/null") != 0)
            GTEST_SKIP() << "needs a display and xdotool";
        // The dates shown are those of one zone on every machine.
        setenv("TZ", "UTC", 1);
        tzset();
        ControlWindow::SetUp();
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
    void xdotool(const std::string& actions) { ASSERT_EQ(std::system(("xdotool " + actions).c_str()), 0) << actions; }
    std::string screen(W::Point p) {
        W::clientToScreen(service->window, p);
        return std::to_string(p.x) + " " + std::to_string(p.y);
    }
    int32_t indexOf(const std::string& name) const {
        const auto& entries = panel_->explorer.entries;
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].name == name) return static_cast<int32_t>(i);
        return -1;
    }
    static void runFor(std::chrono::milliseconds span) {
        const auto until = std::chrono::steady_clock::now() + span;
        TestSupport::pumpUntil([&] { return std::chrono::steady_clock::now() >= until; }, "the time passing");
    }

    // The panel's pixels match the reference within a small share.
    void expectLooksLikeReference(const char* name) {
        TestSupport::RouterDriver::drawQueued();
        runFor(std::chrono::milliseconds(200));
        W::Point origin{panel_->clientRect.x, panel_->clientRect.y};
        W::clientToScreen(service->window, origin);
        const std::string file = (root_ / "screen.png").string();
        ASSERT_EQ(0, std::system(("import -window root -crop 600x320+" + std::to_string(origin.x) + "+" +
                                  std::to_string(origin.y) + " +repage " + file + " 2>/dev/null")
                                     .c_str()));
        const std::filesystem::path reference = std::filesystem::path(VELMO_CONTROLS_DATA) / (std::string(name) + ".png");
        if (std::getenv("VELMO_WRITE_REFERENCE") != nullptr)
            std::filesystem::copy_file(file, reference, std::filesystem::copy_options::overwrite_existing);
        auto shot = Media::ImageService::get()->loadFromFile(System::utf8ToWide(file));
        auto expected = Media::ImageService::get()->loadFromFile(reference.wstring());
        ASSERT_TRUE(shot && expected) << reference;
        ASSERT_EQ(expected->width, shot->width);
        ASSERT_EQ(expected->height, shot->height);
        size_t differing = 0;
        for (uint32_t y = 0; y < shot->height; ++y)
            for (uint32_t x = 0; x < shot->width; ++x) {
                const uint8_t* a = shot->data() + size_t(y) * shot->pitch + size_t(x) * 4;
                const uint8_t* b = expected->data() + size_t(y) * expected->pitch + size_t(x) * 4;
                for (int c = 0; c < 3; ++c)
                    if (std::abs(int(a[c]) - int(b[c])) > 24) {
                        ++differing;
                        break;
                    }
            }
        EXPECT_LT(double(differing) / double(shot->width * shot->height), 0.01) << name << " against " << reference;
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
