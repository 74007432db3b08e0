// The dock layout on screen, driven with xdotool: a separator dragged to its
// 24-pixel limit, a separator within one area dragged past a panel, each
// checked by a screenshot against the expected panel rectangles, and the
// places kept in "Window.*" through a restart.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "platform/window/MessageQueue.h"
#include "support/PumpMessages.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/DockFixture.h"
#include "ui/framework/StyleMetrics.h"

namespace {

namespace W = Platform::window;
using Window::WindowClient;

struct Shown {
    const char* name;
    float left, top, right, bottom;
    uint32_t rgb;
};

class DockScreen : public DockWindow {
protected:
    void SetUp() override {
        // Run on a screen of its own (ui/framework/dock-screen), where no other test's window covers it.
        if (std::getenv("VELMO_OWN_SCREEN") == nullptr) GTEST_SKIP() << "runs on its own screen";
        if (std::getenv("DISPLAY") == nullptr || std::system("command -v xdotool import >/dev/null") != 0)
            GTEST_SKIP() << "needs a display, xdotool and import";
        DockWindow::SetUp();
        // Room around the window on the screen for the pointer to leave it.
        stopServices();
        writeFile(appData() / "velmo2.ini", "[Window]\r\nx=500\r\ny=300\r\nw=900\r\nh=600\r\nzoom=0\r\n");
        startServices();
    }
    void show() {
        addDefaultPanels();
        service->updateLayout();
        W::showWindow(service->window, W::kSwShow);
    }
    // Dispatches the window's messages until the condition holds; the
    // deadline only keeps a broken run from hanging.
    bool waitUntil(const std::function<bool()>& condition, const std::string& what) {
        if (TestSupport::pumpUntil(condition, what)) return true;
        for (const std::string& line : log) ADD_FAILURE() << "seen: " << line;
        return false;
    }
    bool logged(const std::string& prefix) {
        for (const std::string& line : log)
            if (line.rfind(prefix, 0) == 0) return true;
        return false;
    }
    // The value of a key in a section of a settings text, or "missing".
    static std::string iniValue(const std::string& ini, const std::string& section, const std::string& key) {
        const size_t start = ini.find("[" + section + "]\r\n");
        if (start == std::string::npos) return "missing";
        const size_t end = ini.find("\r\n[", start + 1);
        const std::string body = ini.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const size_t at = body.find("\n" + key + "=");
        if (at == std::string::npos) return "missing";
        const size_t from = at + key.size() + 2;
        return body.substr(from, body.find('\r', from) - from);
    }
    void xdotool(const std::string& actions) { ASSERT_EQ(std::system(("xdotool " + actions).c_str()), 0) << actions; }
    std::string at(int32_t x, int32_t y) {
        W::Point p{x, y};
        W::clientToScreen(service->window, p);
        return std::to_string(p.x) + " " + std::to_string(p.y);
    }
    // The screen shows every listed panel where its fractions put it: the
    // inside of each rectangle in the panel's colour, within a tolerance.
    bool screenShows(const std::vector<Shown>& expected) {
        W::Point origin{0, 0};
        W::clientToScreen(service->window, origin);
        const std::string file = (root_ / "screen.png").string();
        const std::string command = "import -window root -crop " + std::to_string(service->width) + "x" +
                                    std::to_string(service->height) + "+" + std::to_string(origin.x) + "+" +
                                    std::to_string(origin.y) + " +repage " + file + " 2>/dev/null";
        if (std::system(command.c_str()) != 0) return false;
        auto image = Media::ImageService::get()->loadFromFile(System::utf8ToWide(file));
        if (!image || int32_t(image->width) != service->width) return false;
        const int32_t w = service->layoutWidth, h = service->layoutHeight, s = Window::WindowSeparatorSize;
        int32_t compared = 0, wrong = 0;
        for (const Shown& e : expected) {
            const int32_t x0 = int32_t(double(w) * e.left), y0 = int32_t(double(h) * e.top);
            const int32_t x1 = int32_t(double(w) * e.right) - s, y1 = int32_t(double(h) * e.bottom) - s;
            for (int32_t y = y0 + 2; y < y1 - 2; y += 3)
                for (int32_t x = x0 + 3; x < x1 - 2; x += 3) {
                    const uint8_t* px = image->data() + size_t(y) * image->pitch + size_t(x) * 4;  // R, G, B, A
                    const int want[3] = {int(e.rgb >> 16) & 0xFF, int(e.rgb >> 8) & 0xFF, int(e.rgb) & 0xFF};
                    ++compared;
                    for (int c = 0; c < 3; ++c)
                        if (std::abs(px[c] - want[c]) > 6) {
                            ++wrong;
                            break;
                        }
                }
        }
        return compared > 0 && wrong * 100 <= compared;
    }
};

TEST_F(DockScreen, SeparatorDragsResizeAndReorderAndThePlacesOutliveARestart) {
    show();
    xdotool("mousemove " + at(500, 200));
    ASSERT_TRUE(waitUntil([&] { return logged("preview:hover"); }, "the preview under the pointer"));
    const int32_t w = service->layoutWidth, h = service->layoutHeight;
    ASSERT_GT(w, 300);

    // The column edge dragged to the window's edge stops 24 pixels from it.
    const int32_t edgeX = int32_t(double(w) * 0.2f) - 3;
    log.clear();
    xdotool("mousemove " + at(edgeX, 100) + " mousedown 1 mousemove " + at(edgeX - 100, 100) + " mousemove " +
            at(2, 100) + " mouseup 1");
    const auto limit = float(24.0 / w);
    // The edge's pixel column truncates the fraction: 24 pixels or one less.
    const std::string narrow = "explorer:1:move 1,0," + std::to_string(int32_t(double(w) * limit) - 5) + ",";
    ASSERT_TRUE(waitUntil([&] { return logged(narrow); }, narrow));
    EXPECT_NEAR(panel("preview").placement.left, limit, 0.0001f);
    std::vector<Shown> expected = {{"explorer:1", 0, 0, limit, 0.7f, 0x800000},
                                   {"scene.list", 0, 0.7f, limit, 1, 0x008000},
                                   {"preview", limit, 0, 0.8f, 0.7f, 0xa0a0a0},
                                   {"edit", limit, 0.7f, 0.8f, 1, 0x606060},
                                   {"object.list", 0.8f, 0, 1, 0.4286f, 0x000080},
                                   {"setting", 0.8f, 0.4286f, 1, 1, 0x808000}};
    ASSERT_TRUE(waitUntil([&] { return screenShows(expected); }, "the narrow left column on screen"));

    // With the colour settings open the right column holds three panels; the
    // lower edge of the object settings dragged above their top: the colour
    // settings take their place.
    WindowClient& color = panel("setting.color");
    service->makeRoomForClient(color);
    color.show(true);
    service->updateLayout();
    const int32_t columnX = int32_t(double(w) * 0.9f);
    const int32_t rowEdge = int32_t(double(h) * 0.7f) - 3;
    log.clear();
    xdotool("mousemove " + at(columnX, rowEdge) + " mousedown 1 mousemove " + at(columnX, rowEdge - 50) +
            " mousemove " + at(columnX, int32_t(double(h) * 0.25f)) + " mouseup 1");
    const std::string moved = "setting.color:move " + std::to_string(int32_t(double(w) * 0.8f) + 1) + "," +
                              std::to_string(int32_t(double(h) * 0.3f)) + ",";
    ASSERT_TRUE(waitUntil([&] { return logged(moved); }, moved));
    expected.resize(4);
    expected.push_back({"object.list", 0.8f, 0, 1, 0.3f, 0x000080});
    expected.push_back({"setting.color", 0.8f, 0.3f, 1, 0.7f, 0x008080});
    expected.push_back({"setting", 0.8f, 0.7f, 1, 1, 0x808000});
    ASSERT_TRUE(waitUntil([&] { return screenShows(expected); }, "the reordered right column on screen"));

    // The places are stored as they are and come back at the next start.
    stopServices();
    const std::string ini = readFile(appData() / "velmo2.ini");
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } stored[] = {
        {"Window.setting.color", "top", "0.300000"},
        {"Window.setting.color", "bottom", "0.700000"},
        {"Window.setting.color", "hide", "0"},
        {"Window.setting", "top", "0.700000"},
        {"Window.setting", "bottom", "1.000000"},
        {"Window.log", "area", "4"},
        {"Window.log", "hide", "1"},
    };
    for (const auto& e : stored) EXPECT_EQ(iniValue(ini, e.section, e.key), e.value) << e.section << " " << e.key;
    char column[32];
    std::snprintf(column, sizeof column, "%f", double(limit));
    EXPECT_EQ(iniValue(ini, "Window.explorer:1", "right"), column);
    startServices();
    log.clear();
    show();
    EXPECT_NEAR(panel("setting.color").placement.top, 0.3f, 0.0001f);
    EXPECT_NEAR(panel("preview").placement.left, limit, 0.0001f);
    EXPECT_FALSE(panel("log").shown());
    ASSERT_TRUE(waitUntil([&] { return screenShows(expected); }, "the stored layout on screen after the restart"));
}

}  // namespace
