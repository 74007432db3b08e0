// The window's target on a shown window (run under xvfb-run by the test
// command): what endDraw presents is on screen, and the target follows the
// window's client size.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/draw2d/Draw2d.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"

namespace {
namespace W = Platform::window;
namespace D = Platform::draw2d;

class Display : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
    }
};

// Dispatches what the thread's queue holds, `rounds` waits of 10 ms at most.
void pump(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        W::msgWaitForMultipleObjects(0, nullptr, false, 10, W::kQsAllInput);
        W::Message m;
        while (W::peekMessage(m, nullptr, 0, 0, W::kPmRemove)) {
            W::translateMessage(m);
            W::dispatchMessage(m);
        }
    }
}

std::string screenPixel(int x, int y) {
    char command[128];
    std::snprintf(command, sizeof command, "import -window root -crop 1x1+%d+%d -depth 8 txt:- 2>/dev/null", x, y);
    FILE* p = popen(command, "r");
    if (p == nullptr) return "";
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
    pclose(p);
    const auto line = out.find('\n');
    const auto hash = out.find('#', line == std::string::npos ? 0 : line);
    return hash == std::string::npos ? out : out.substr(hash, 7);
}

TEST_F(Display, EndDrawShowsTheDrawingAndTheSizeFollowsTheWindow) {
    W::WindowHandle w = W::createWindow(
        {.title = "draw2d", .x = 60, .y = 80, .width = 160, .height = 100, .procedure = W::defWindowProc});
    ASSERT_NE(nullptr, w);
    W::showWindow(w, W::kSwShow);
    // Mapped and laid out: the first size message has arrived.
    W::Rect client;
    for (int i = 0; i < 200 && !(W::getClientRect(w, client) && client.right == 160 && W::isWindowVisible(w)); ++i)
        pump(1);
    std::unique_ptr<D::WindowTarget> target;
    ASSERT_EQ(Platform::kOk, D::WindowTarget::create(w, target));
    EXPECT_EQ(160u, target->pixelWidth());
    EXPECT_EQ(100u, target->pixelHeight());

    D::SolidColorBrush green{{0, 1, 0, 1}};
    D::SolidColorBrush blue{{0, 0, 1, 1}};
    target->beginDraw();
    target->clear({0, 1, 0, 1});
    target->pushAxisAlignedClip({20, 20, 40, 40}, D::AntialiasMode::Aliased);
    target->fillRectangle({0, 0, 160, 100}, blue);
    target->popAxisAlignedClip();
    ASSERT_EQ(Platform::kOk, target->endDraw());
    gdk_display_sync(gdk_display_get_default());
    W::Point origin{0, 0};
    W::clientToScreen(w, origin);
    std::string inside, outside;
    // The screen shows the frame once the server has it; a bounded number of looks.
    for (int i = 0; i < 50 && (inside != "#0000FF" || outside != "#00FF00"); ++i) {
        pump(1);
        inside = screenPixel(origin.x + 30, origin.y + 30);
        outside = screenPixel(origin.x + 10, origin.y + 10);
    }
    EXPECT_EQ("#0000FF", inside);
    EXPECT_EQ("#00FF00", outside);

    ASSERT_TRUE(W::moveWindow(w, 60, 80, 220, 130));
    for (int i = 0; i < 200 && !(W::getClientRect(w, client) && client.right == 220); ++i) pump(1);
    EXPECT_EQ(220u, target->pixelWidth());
    EXPECT_EQ(130u, target->pixelHeight());
    target->beginDraw();
    target->fillRectangle({200, 110, 220, 130}, blue);
    EXPECT_EQ(Platform::kOk, target->endDraw());
    EXPECT_EQ(0xFF0000FFu, target->pixel(219, 129)) << "drawn on the new surface";
    W::destroyWindow(w);
}

}  // namespace
