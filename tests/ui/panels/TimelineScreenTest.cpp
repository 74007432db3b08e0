// The timeline panel in the real main window: a small scene's objects drawn
// as bars where the view's mapping puts them, in the style's colours, with the
// cursor, the selection colour, a hidden layer and the region past the
// scene's end. Checked by pixel probes of a screenshot within a tolerance.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "platform/window/MessageQueue.h"
#include "support/PumpMessages.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/DockFixture.h"
#include "ui/panels/EditComponent.h"
#include "ui/panels/EditLayerObjectControl.h"

namespace {

namespace W = Platform::window;

// An effect that only says what it is.
class KindEffect : public Effect::EffectBase {
public:
    KindEffect(uint8_t role, uint8_t media) {
        name = L"kind";
        this->role = role;
        this->media = media;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override {
        return std::make_shared<KindEffect>(role, media);
    }
};

constexpr uint32_t kLayer = 0x202020, kLayerDisable = 0x101060, kVideo = 0x3060c0, kAudioSelect = 0xc08030,
                   kCursorWide = 0xff0000, kControl = 0x40c040;

class TimelineScreen : public DockWindow {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr || std::system("command -v import >/dev/null") != 0)
            GTEST_SKIP() << "needs a display and import";
        DockWindow::SetUp();
        stopServices();
        writeFile(install() / "style.conf",
                  "[Color]\nBackground=102030\nWindowBorder=405060\nWindowSeparator=708090\nBorderFocus=f0e0d0\n"
                  "Footer=c08040\nFooterProgress=204080,40a0ff\nText=ffffff\nTextDisable=808080\n"
                  "Layer=202020\nLayerHover=303030\nLayerDisable=101060\nLayerRange=304050\nLayerRangeFrame=6080a0\n"
                  "Border=505050\nGuideLine=ffffff\nObjectVideo=3060c0,3060c0\nObjectVideoSelect=80a0ff\n"
                  "ObjectAudio=a07040,a07040\nObjectAudioSelect=c08030\nObjectControl=40c040,40c040\n"
                  "ObjectControlSelect=a0ffa0\nObjectSection=ffffff\nFrameCursor=ff0000\nFrameCursorWide=ff0000\n"
                  "PlayerCursor=00ff00\nBorderSelect=ffff00\nLayerHeader=282828\nObjectHover=ffffff\n"
                  "FrameRangeSelect=00c0c0\nFrameRangeOutside=600060\nButtonBody=404040\nButtonBodyHover=505050\n"
                  "ButtonBodyPress=606060\nButtonBodyDisable=303030\nButtonBodySelect=707070\nZoomGauge=80a0ff\n"
                  "ZoomGaugeHover=a0c0ff\nZoomGaugeOff=404040\nZoomGaugeOffHover=505050\nBorderHalf=303030\n"
                  "[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\n"
                  "LayerHeight=20\nLayerHeaderWidth=50\nTimeGaugeHeight=30\nScrollBarSize=10\n"
                  "[Font]\nFooter=12,DejaVu Sans\n");
        writeFile(appData() / "velmo2.ini",
                  "[Window]\r\nx=100\r\ny=100\r\nw=700\r\nh=400\r\nzoom=0\r\n"
                  "[Window.edit]\r\nleft=0\r\ntop=0\r\nright=1\r\nbottom=1\r\narea=4\r\nhide=0\r\n");
        startServices();
    }
    void TearDown() override {
        panel.reset();
        DockWindow::TearDown();
    }
    static std::shared_ptr<Edit::Object> add(Edit::Scene& scene, int32_t layer, int32_t start, int32_t end,
                                             uint8_t role, uint8_t media) {
        auto object = scene.createObject(layer, start, end);
        object->effects.push_back(std::make_shared<KindEffect>(role, media));
        return object;
    }
    bool waitUntil(const std::function<bool()>& condition, const std::string& what) {
        return TestSupport::pumpUntil(condition, what);
    }
    struct Probe {
        const char* what;
        int32_t x, y;  // in the object area
        uint32_t rgb;
    };
    // Every probe of the object area shows its colour, within a tolerance.
    bool screenShows(const std::vector<Probe>& probes, std::string& report) {
        W::Point origin{0, 0};
        W::clientToScreen(service->window, origin);
        const std::string file = (root_ / "screen.png").string();
        const std::string command = "import -window root -crop " + std::to_string(service->width) + "x" +
                                    std::to_string(service->height) + "+" + std::to_string(origin.x) + "+" +
                                    std::to_string(origin.y) + " +repage " + file + " 2>/dev/null";
        if (std::system(command.c_str()) != 0) return false;
        auto image = Media::ImageService::get()->loadFromFile(System::utf8ToWide(file));
        if (!image || int32_t(image->width) != service->width) return false;
        const Window::MouseRect& area = panel->objectAreaRect();
        report.clear();
        for (const Probe& p : probes) {
            const uint8_t* px = image->data() + size_t(area.y + p.y) * image->pitch + size_t(area.x + p.x) * 4;
            const int want[3] = {int(p.rgb >> 16) & 0xFF, int(p.rgb >> 8) & 0xFF, int(p.rgb) & 0xFF};
            for (int c = 0; c < 3; ++c)
                if (std::abs(px[c] - want[c]) > 8) {
                    char seen[16];
                    std::snprintf(seen, sizeof seen, "%02x%02x%02x", px[0], px[1], px[2]);
                    report += std::string(p.what) + " shows " + seen + "; ";
                    break;
                }
        }
        return report.empty();
    }

    std::unique_ptr<Component::EditComponent> panel;
};

TEST_F(TimelineScreen, ObjectsAreDrawnAsBarsOverTheirFrames) {
    using E = Effect::EffectBase;
    auto scene = std::make_shared<Edit::Scene>(0, 0);
    add(*scene, 0, 10, 29, E::kInput, E::kVideo);                   // x 50..150 at five pixels a frame
    add(*scene, 1, 40, 59, E::kInput, E::kAudio)->selected = true;  // x 200..300, solid
    add(*scene, 2, 20, 20, E::kControl, 0);                         // one frame: x 100..105
    scene->reserveLayer(3);
    scene->layers[3]->layer->hide = true;
    scene->update();
    scene->displayZoom = Edit::FrameZoom(50000);
    scene->cursorFrame = 5;
    ASSERT_EQ(scene->length, 59);

    panel = std::make_unique<Component::EditComponent>();
    panel->showScene(scene);
    service->updateLayout();
    W::showWindow(service->window, W::kSwShow);
    const Window::MouseRect& area = panel->objectAreaRect();
    ASSERT_EQ(area.x, panel->clientRect.x + 50);
    ASSERT_EQ(area.y, panel->clientRect.y + 30);
    ASSERT_GT(area.w, 400);
    ASSERT_GT(area.h, 100);
    EXPECT_EQ(panel->view.zoom, 50000);
    EXPECT_EQ(panel->view.pixelOf(10), 50);

    // Rows are 20 high; bars cover y 6..20 of their row.
    const std::vector<Probe> probes = {
        {"layer background above a bar", 100, 3, kLayer},
        {"video bar", 100, 14, kVideo},
        {"video bar's first column", 50, 14, kVideo},
        {"left of the video bar", 48, 14, kLayer},
        {"right of the video bar", 152, 14, kLayer},
        {"cursor band", 27, 14, kCursorWide},
        {"cursor band on the next row", 27, 34, kCursorWide},
        {"selected audio bar", 250, 34, kAudioSelect},
        {"one-frame control bar", 102, 54, kControl},
        {"hidden layer", 100, 74, kLayerDisable},
        {"past the scene's end", 350, 14, kLayerDisable},
        {"past the scene's end on a lower row", 400, 54, kLayerDisable},
    };
    std::string report;
    EXPECT_TRUE(waitUntil([&] { return screenShows(probes, report); }, "the scene's bars on screen")) << report;

    // A cursor event outside the view re-centres it on the frame.
    const int32_t far = 5000;
    scene->cursorFrame = far;
    panel->onCursorFrame(far);
    EXPECT_EQ(panel->view.displayFrame, std::max(0, std::min(far - panel->view.visibleFrames / 2,
                                                             panel->view.frameRange - panel->view.visibleFrames)));
}

}  // namespace

namespace {

constexpr uint32_t kRangeSelect = 0x00c0c0, kRangeOutside = 0x600060, kBackground = 0x102030;

TEST_F(TimelineScreen, TheRulerShowsTheFrameRangeSelection) {
    using E = Effect::EffectBase;
    auto scene = std::make_shared<Edit::Scene>(0, 0);
    add(*scene, 0, 0, 99, E::kInput, E::kVideo);
    scene->update();
    scene->displayZoom = Edit::FrameZoom(50000);
    scene->cursorFrame = 90;
    panel = std::make_unique<Component::EditComponent>();
    panel->showScene(scene);
    service->updateLayout();
    W::showWindow(service->window, W::kSwShow);
    panel->setSelectFrameRange(20, 39);
    // The ruler is 30 high above the rows: its lower half (y -14 .. 0) shows the range, five pixels a frame.
    const std::vector<Probe> probes = {
        {"inside the range", 105, -4, kRangeSelect},
        {"the range's last frame", 197, -4, kRangeSelect},
        {"left of the range", 95, -4, kRangeOutside},
        {"right of the range", 305, -4, kRangeOutside},
        {"the upper half", 305, -20, kBackground},
    };
    std::string report;
    EXPECT_TRUE(waitUntil([&] { return screenShows(probes, report); }, "the range on the ruler")) << report;
}

}  // namespace
