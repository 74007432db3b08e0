#pragma once
// The control window on its own X screen, driven by xdotool: the test skips
// unless it runs on a screen of its own with xdotool and import at hand, and
// it compares a rectangle of the window with a reference picture in
// tests/ui/controls/data (VELMO_WRITE_REFERENCE=1 writes the reference anew).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/TextConvert.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "platform/window/TopLevel.h"
#include "support/PumpMessages.h"
#include "ui/controls/ControlFixture.h"

class ScreenWindow : public ControlWindow {
protected:
    void SetUp() override {
        if (std::getenv("VELMO_OWN_SCREEN") == nullptr) GTEST_SKIP() << "runs on its own screen";
        if (std::getenv("DISPLAY") == nullptr || std::system("command -v xdotool import >/dev/null") != 0)
            GTEST_SKIP() << "needs a display, xdotool and import";
        ControlWindow::SetUp();
    }

    void xdotool(const std::string& actions) { ASSERT_EQ(std::system(("xdotool " + actions).c_str()), 0) << actions; }
    // The screen position of a client point, as xdotool takes it.
    std::string screen(int32_t x, int32_t y) {
        Platform::window::Point p{x, y};
        Platform::window::clientToScreen(service->window, p);
        return std::to_string(p.x) + " " + std::to_string(p.y);
    }
    // Dispatches for the duration: the main loop runs the timers meanwhile.
    static void runFor(std::chrono::milliseconds span) {
        const auto until = std::chrono::steady_clock::now() + span;
        TestSupport::pumpUntil([&] { return std::chrono::steady_clock::now() >= until; }, "the time passing");
    }
    // The screen's pixels of the client rectangle at (x, y) of the size.
    std::shared_ptr<Media::ImageBuffer> screenshot(int32_t x, int32_t y, int32_t w, int32_t h) {
        Platform::window::Point origin{x, y};
        Platform::window::clientToScreen(service->window, origin);
        const std::string command = "import -window root -crop " + std::to_string(w) + "x" + std::to_string(h) + "+" +
                                    std::to_string(origin.x) + "+" + std::to_string(origin.y) + " +repage " +
                                    shotFile().string() + " 2>/dev/null";
        if (std::system(command.c_str()) != 0) return nullptr;
        return Media::ImageService::get()->loadFromFile(System::utf8ToWide(shotFile().string()));
    }
    // The share of pixels whose colour differs from the reference by more than a small step.
    static double differingShare(const Media::ImageBuffer& shot, const std::filesystem::path& reference) {
        auto expected = Media::ImageService::get()->loadFromFile(reference.wstring());
        if (!expected || expected->width != shot.width || expected->height != shot.height) return 1.0;
        size_t differing = 0;
        for (uint32_t y = 0; y < shot.height; ++y)
            for (uint32_t x = 0; x < shot.width; ++x) {
                const uint8_t* a = shot.data() + size_t(y) * shot.pitch + size_t(x) * 4;
                const uint8_t* b = expected->data() + size_t(y) * expected->pitch + size_t(x) * 4;
                for (int c = 0; c < 3; ++c)
                    if (std::abs(int(a[c]) - int(b[c])) > 24) {
                        ++differing;
                        break;
                    }
            }
        return double(differing) / double(shot.width * shot.height);
    }
    // Draws what is queued, lets the look settle, and compares the client
    // rectangle with the named reference: less than 1 % of it may differ.
    void expectRectLooksLike(const char* name, int32_t x, int32_t y, int32_t w, int32_t h) {
        TestSupport::RouterDriver::drawQueued();
        runFor(std::chrono::milliseconds(200));
        TestSupport::RouterDriver::drawQueued();
        auto shot = screenshot(x, y, w, h);
        ASSERT_TRUE(shot);
        const std::filesystem::path reference =
            std::filesystem::path(VELMO_CONTROLS_DATA) / (std::string(name) + ".png");
        if (std::getenv("VELMO_WRITE_REFERENCE") != nullptr)
            std::filesystem::copy_file(shotFile(), reference, std::filesystem::copy_options::overwrite_existing);
        EXPECT_LT(differingShare(*shot, reference), 0.01) << name << " against " << reference;
    }

private:
    std::filesystem::path shotFile() const { return root_ / "screen.png"; }
};
