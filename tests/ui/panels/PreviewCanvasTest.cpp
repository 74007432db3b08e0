// The preview canvas in the main window, driven through the input router:
// where a frame lands at each zoom, where the anchors land on it, which one
// a pointer move picks (type first, then distance, then the lower id), and
// the drags they turn into anchor events for their effect.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "effect/AnchorEvent.h"
#include "effect/EffectBase.h"
#include "media/image/ImageBuffer.h"
#include "platform/window/KeyMap.h"
#include "support/RouterDriver.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ExtraColours.h"
#include "ui/framework/DockFixture.h"
#include "ui/panels/PreviewControl.h"

namespace {

using Anchor::AnchorItem;
using Component::PreviewControl;
using TestSupport::Input;

// An effect that keeps the anchor events it receives.
class RecordingEffect : public Effect::EffectBase {
public:
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<RecordingEffect>(); }
    bool anchorEvent(const Anchor::AnchorEvent& event) override {
        events.push_back(event);
        events.back().effect.reset();  // no cycle through the effect's own records
        return true;
    }
    std::vector<Anchor::AnchorEvent> events;
};

class PreviewCanvas : public DockWindow {
protected:
    void SetUp() override {
        DockWindow::SetUp();
        stopServices();
        addStyleColours(install() / "style.conf",
                        std::string(kButtonColours) + "OutsideDisplay=000080\nAnchor=ffffff\nAnchorEdge=000000\nAnchorHover=ff0000\n");
        addStyleLines(install() / "style.conf", "Layout", "ScrollBarSize=20\n");
        startServices();
        area = std::make_unique<PreviewControl>(container, 0, 0, 0, 0, &zoom);
        container.updateChildLayout();
        // A 320 x 180 frame.
        Media::ImageBuffer image(28, 320, 180);
        area->setImage(image);
    }
    void TearDown() override {
        area.reset();
        DockWindow::TearDown();
    }
    // Paints at the zoom, which lays the frame and its anchors out.
    void show(int32_t percent) {
        area->setZoom(percent);
        ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
        area->procPaint();
    }
    // Anchors at normalised points, of the recording effect.
    AnchorItem& add(int32_t type, int32_t id, float x, float y, uint32_t flags = AnchorItem::kProjected) {
        AnchorItem& item = area->anchors().items.emplace_back(type, flags, effect.get(), object, effect, id);
        item.points = {{x, y}};
        return item;
    }
    // The canvas pixel of a normalised point, in window pixels.
    struct Pixel {
        int32_t x, y;
    };
    Pixel pixelOf(float x, float y) const {
        const auto& r = area->canvas().imageRect();
        const auto& c = area->canvas().fullRect;
        return {c.x + static_cast<int32_t>((r.left + r.right) / 2 + x * (r.right - r.left) / 2),
                c.y + static_cast<int32_t>((r.top + r.bottom) / 2 - y * (r.bottom - r.top) / 2)};
    }
    AnchorItem* hoverAt(int32_t x, int32_t y) {
        driver.send({Input::Move, x, y});
        return area->canvas().hoveredAnchor();
    }

    int32_t zoom = 0;
    Window::MouseRect panel{20, 40, 660, 380};
    Window::ControlContainer container{0, &panel, &panel};
    std::unique_ptr<PreviewControl> area;
    std::shared_ptr<RecordingEffect> effect = std::make_shared<RecordingEffect>();
    std::shared_ptr<Edit::Object> object;
    TestSupport::RouterDriver driver;
};

TEST(PreviewFrameLayout, FrameRectangleAndScrollRangesAtEachZoom) {
    const struct {
        const char* what;
        int32_t bw, bh, w, h, zoom, scrollX, scrollY;
        float left, top, right, bottom;
        int32_t contentWidth, contentHeight;
    } cases[] = {
        {"fit, wider frame: bands above and below", 1920, 1080, 960, 720, 0, 0, 0, 0, 90, 960, 630, 0, 0},
        {"fit, taller frame: bands left and right", 1080, 1920, 960, 720, 0, 0, 0, 277.5f, 0, 682.5f, 720, 0, 0},
        {"fit with a negative zoom", 320, 180, 640, 360, -5, 0, 0, 0, 0, 640, 360, 0, 0},
        {"100 % smaller than the canvas: centred", 320, 180, 640, 360, 100, 0, 0, 160, 90, 480, 270, 0, 0},
        {"50 %", 320, 180, 640, 360, 50, 0, 0, 240, 135, 400, 225, 0, 0},
        {"200 % larger: scrolled to the left edge", 1920, 1080, 960, 540, 200, 0, 0, 0, 0, 3840, 2160, 3840, 2160},
        {"200 % scrolled", 1920, 1080, 960, 540, 200, 100, 50, -100, -50, 3740, 2110, 3840, 2160},
        {"200 %, narrower but taller: across stays centred", 200, 400, 640, 360, 200, 7, 10, 120, -10, 520, 790, 400,
         800},
        {"no frame", 0, 0, 640, 360, 100, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const PreviewControl::Layout at = PreviewControl::layoutFrame(c.bw, c.bh, c.w, c.h, c.zoom, c.scrollX, c.scrollY);
        EXPECT_FLOAT_EQ(c.left, at.left) << c.what;
        EXPECT_FLOAT_EQ(c.top, at.top) << c.what;
        EXPECT_FLOAT_EQ(c.right, at.right) << c.what;
        EXPECT_FLOAT_EQ(c.bottom, at.bottom) << c.what;
        EXPECT_EQ(c.contentWidth, at.contentWidth) << c.what;
        EXPECT_EQ(c.contentHeight, at.contentHeight) << c.what;
    }
}

TEST_F(PreviewCanvas, AnchorsLandOnTheFrameAtEveryZoom) {
    add(AnchorItem::kPoint, 1, 0, 0);
    add(AnchorItem::kPoint, 2, 1, 1);
    add(AnchorItem::kPoint, 3, -0.5f, -0.5f);
    // The canvas is the panel, 660 x 380, less the scroll bars when they show.
    const struct {
        const char* what;
        int32_t zoom;
        float left, top, right, bottom;
        bool bars;
    } zooms[] = {
        {"fit", 0, 0, 4.5f, 660, 375.5f, false},
        {"100 %", 100, 170, 100, 490, 280, false},
        {"50 %", 50, 250, 145, 410, 235, false},
        {"300 %: scroll bars, centred", 300, -161, -91, 799, 449, true},
    };
    for (const auto& z : zooms) {
        show(z.zoom);
        const auto& r = area->canvas().imageRect();
        EXPECT_FLOAT_EQ(z.left, r.left) << z.what;
        EXPECT_FLOAT_EQ(z.top, r.top) << z.what;
        EXPECT_FLOAT_EQ(z.right, r.right) << z.what;
        EXPECT_FLOAT_EQ(z.bottom, r.bottom) << z.what;
        EXPECT_EQ(z.bars, area->scrollBarsShown()) << z.what;
        const auto& items = area->anchors().items;
        const float cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        const float hw = (r.right - r.left) / 2, hh = (r.bottom - r.top) / 2;
        ASSERT_EQ(3u, items.size());
        EXPECT_FLOAT_EQ(cx, items[0].screenPoints[0].x) << z.what;
        EXPECT_FLOAT_EQ(cy, items[0].screenPoints[0].y) << z.what;
        EXPECT_FLOAT_EQ(cx + hw, items[1].screenPoints[0].x) << z.what << ": the top-right corner";
        EXPECT_FLOAT_EQ(cy - hh, items[1].screenPoints[0].y) << z.what;
        EXPECT_FLOAT_EQ(cx - hw / 2, items[2].screenPoints[0].x) << z.what;
        EXPECT_FLOAT_EQ(cy + hh / 2, items[2].screenPoints[0].y) << z.what;
    }
}

TEST_F(PreviewCanvas, APointerMovePicksTheAnchorUnderItAtEveryZoom) {
    add(AnchorItem::kObjectPoint, 100000000, 0, 0, AnchorItem::kProjected | AnchorItem::kObjectAnchor);
    add(AnchorItem::kPoint, 7, 0.5f, 0);
    add(AnchorItem::kPoint, 5, 0.5f, 0);
    add(AnchorItem::kSmallPoint, 3, -0.5f, 0.5f);
    add(AnchorItem::kPoint, 9, -0.5f, -0.5f, AnchorItem::kProjected | AnchorItem::kNeverHit);
    for (const int32_t z : {0, 100, 50, 200}) {
        show(z);
        const std::string at = "zoom " + std::to_string(z);
        const Pixel centre = pixelOf(0, 0), right = pixelOf(0.5f, 0), small = pixelOf(-0.5f, 0.5f),
                    hidden = pixelOf(-0.5f, -0.5f);
        const struct {
            const char* what;
            int32_t x, y;
            int32_t id;  // -1: none
        } moves[] = {
            {"on the object's centre", centre.x, centre.y, 100000000},
            {"35 pixels off the centre: inside the object circle", centre.x - 35, centre.y, 100000000},
            {"37 pixels off the centre: outside it", centre.x, centre.y + 37, -1},
            {"two equal points at one place: the lower id", right.x, right.y, 5},
            {"19 pixels from them: still the points", right.x - 19, right.y, 5},
            {"inside the small point's edge", small.x + 9, small.y, 3},
            {"just past the small point", small.x + 11, small.y, -1},
            {"a point never hit", hidden.x, hidden.y, -1},
        };
        for (const auto& m : moves) {
            AnchorItem* hit = hoverAt(m.x, m.y);
            if (m.id < 0) {
                EXPECT_EQ(nullptr, hit) << at << ": " << m.what;
            } else {
                ASSERT_NE(nullptr, hit) << at << ": " << m.what;
                EXPECT_EQ(m.id, hit->id) << at << ": " << m.what;
            }
        }
    }
}

TEST_F(PreviewCanvas, ShapesPickedByTypeBeforeDistance) {
    // A large outline around the frame's centre, a point and a size handle inside it.
    AnchorItem& outline = add(AnchorItem::kPolygon, 100000000, 0, 0);
    outline.points = {{-0.5f, 0.5f}, {-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}};
    AnchorItem& handle = add(AnchorItem::kHandle, 2, 0.1f, 0.1f);
    handle.points = {{0.1f, 0.1f}, {0.1f, -0.4f}, {0.4f, 0.1f}};
    add(AnchorItem::kPoint, 1, 0.1f, 0.1f);
    show(100);
    const Pixel h = pixelOf(0.1f, 0.1f), inside = pixelOf(-0.3f, -0.3f), outside = pixelOf(0.7f, 0.7f);
    const struct {
        const char* what;
        int32_t x, y, id;
    } moves[] = {
        {"the handle wins over the point and the outline", h.x, h.y, 2},
        {"off the handle, on the point", h.x + 10, h.y, 1},
        {"inside the outline only", inside.x, inside.y, 100000000},
        {"outside everything", outside.x, outside.y, -1},
    };
    for (const auto& m : moves) {
        AnchorItem* hit = hoverAt(m.x, m.y);
        if (m.id < 0) {
            EXPECT_EQ(nullptr, hit) << m.what;
            continue;
        }
        ASSERT_NE(nullptr, hit) << m.what;
        EXPECT_EQ(m.id, hit->id) << m.what;
    }
}

TEST_F(PreviewCanvas, ADragSendsOneClickThenStepsWithTotalsAndArrowsNudgeByOnePixel) {
    add(AnchorItem::kPoint, 4, 0, 0);
    show(100);
    const Pixel p = pixelOf(0, 0);
    driver.run({{Input::Move, p.x, p.y}, {Input::Press, p.x, p.y}, {Input::Move, p.x + 10, p.y + 3},
                {Input::Move, p.x + 25, p.y - 4}});
    EXPECT_EQ(1, area->canvas().dragMode());
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    router->dispatch(router->window, Platform::window::kWmKeyDown, Platform::window::kVkRight, 0);
    driver.send({Input::Release, p.x + 25, p.y - 4});
    EXPECT_EQ(0, area->canvas().dragMode());
    const std::vector<std::array<int32_t, 5>> expected{
        {Anchor::AnchorEvent::kClick, 0, 0, 0, 0},
        {Anchor::AnchorEvent::kDrag, 10, 3, 10, 3},
        {Anchor::AnchorEvent::kDrag, 25, -4, 15, -7},
        {Anchor::AnchorEvent::kDrag, 26, -4, 1, 0},
    };
    ASSERT_EQ(expected.size(), effect->events.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Anchor::AnchorEvent& e = effect->events[i];
        EXPECT_EQ(expected[i], (std::array<int32_t, 5>{e.kind, e.totalX, e.totalY, e.stepX, e.stepY})) << "event " << i;
        EXPECT_EQ(4, e.id);
        EXPECT_FLOAT_EQ(170, e.viewport.x) << "the frame's rectangle is the viewport";
        EXPECT_FLOAT_EQ(320, e.viewport.width);
    }
}

TEST_F(PreviewCanvas, APressOnAClickOnlyIconSendsOneClickAndNoDrag) {
    AnchorItem& icon = add(AnchorItem::kIcon, AnchorItem::kClippingViewIcon, 0, 0,
                           AnchorItem::kProjected | AnchorItem::kPinned | AnchorItem::kClickOnly);
    icon.points = {{0, 0}, {32, 32}};
    show(100);
    // Pinned to the frame's top-right corner.
    const auto& r = area->canvas().imageRect();
    EXPECT_FLOAT_EQ(r.right - 32, area->anchors().items[0].screenPoints[0].x);
    EXPECT_FLOAT_EQ(r.top, area->anchors().items[0].screenPoints[0].y);
    const int32_t x = area->canvas().fullRect.x + static_cast<int32_t>(r.right) - 16;
    const int32_t y = area->canvas().fullRect.y + static_cast<int32_t>(r.top) + 16;
    driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Move, x + 30, y + 30}, {Input::Release, x, y}});
    ASSERT_EQ(1u, effect->events.size());
    EXPECT_EQ(Anchor::AnchorEvent::kClick, effect->events[0].kind);
}

}  // namespace

namespace {

// The brightest colour drawn on the row between two canvas pixels, as 0xRRGGBB per channel maximum.
uint32_t brightestOnRow(Component::PreviewControl& area, int32_t fromX, int32_t toX, int32_t y) {
    uint32_t r = 0, g = 0, b = 0;
    Platform::draw2d::RenderTarget* target = area.canvas().target;
    for (int32_t x = fromX; x <= toX; ++x) {
        const uint32_t p = target->pixel(area.canvas().fullRect.x + x, area.canvas().fullRect.y + y);
        r = std::max(r, (p >> 16) & 0xFF), g = std::max(g, (p >> 8) & 0xFF), b = std::max(b, p & 0xFF);
    }
    return (r << 16) | (g << 8) | b;
}

TEST_F(PreviewCanvas, AnchorsAreDrawnInTheirLookAndHiddenOnesAreNot) {
    add(AnchorItem::kObjectPoint, 100000000, -0.5f, 0, AnchorItem::kProjected | AnchorItem::kObjectAnchor);
    add(AnchorItem::kObjectPoint, 100000000, 0.5f, 0,
        AnchorItem::kProjected | AnchorItem::kObjectAnchor | AnchorItem::kNotDrawn);
    show(100);
    area->canvas().procPaint();
    const auto& items = area->anchors().items;
    const auto ringRight = [&](const AnchorItem& item) {
        const int32_t x = static_cast<int32_t>(item.screenPoints[0].x), y = static_cast<int32_t>(item.screenPoints[0].y);
        return brightestOnRow(*area, x + 34, x + 38, y);
    };
    EXPECT_GT(ringRight(items[0]) & 0xFF, 0x80u) << "the plain anchor in the white \"Anchor\"";
    EXPECT_LT(ringRight(items[1]) & 0xFF, 0x20u) << "an anchor not drawn leaves the black frame";
    // Hovered, it is drawn again on top in red.
    const Pixel p = pixelOf(-0.5f, 0);
    ASSERT_NE(nullptr, hoverAt(p.x, p.y));
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    const uint32_t hovered = ringRight(items[0]);
    EXPECT_GT((hovered >> 16) & 0xFF, 0xC0u) << std::hex << hovered;
    EXPECT_LT(hovered & 0xFF, 0x80u) << "red over the white ring" << std::hex << hovered;
}

}  // namespace
