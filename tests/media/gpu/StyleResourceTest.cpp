// Stroke styles, style brushes and text formats made from the style settings.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "media/gpu/StrokeStyleList.h"
#include "media/gpu/StyleBrush.h"
#include "media/gpu/TextFormat.h"
#include "platform/draw2d/Draw2d.h"

namespace {
namespace D2 = Platform::draw2d;

class Style : public ::testing::Test {
protected:
    void SetUp() override { settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>(); }
    void TearDown() override { settings_.reset(); }
    void set(const char* section, const char* key, const char* value) {
        Setting::SettingService::get()->style.getValue(section, key).text = value;
    }
    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
};

TEST(StrokeStyleList, FourStylesDrawTheirDashesCapsAndJoins) {
    Resource::StrokeStyleList list;
    std::unique_ptr<D2::MemoryTarget> target;
    ASSERT_EQ(Platform::kOk, D2::MemoryTarget::create(64, 64, target));
    D2::SolidColorBrush black{{0, 0, 0, 1}};
    const struct {
        int index;
        std::vector<int> on, off;  // columns of the line's row, line from x 10 to 50, width 4
    } cases[] = {
        {0, {10, 21, 34, 45}, {22, 33, 47}},      // 3 on, 3 off in widths: 12 px on, 12 px off
        {1, {10, 17, 26, 33}, {18, 25, 34, 41}},  // dash: 2 on, 2 off in widths
        {2, {8, 51}, {7, 52}},                    // round caps reach half a width past each end
        {3, {10, 49}, {9, 50}},                   // flat caps end at the points
    };
    for (const auto& c : cases) {
        target->beginDraw();
        target->clear({0, 0, 0, 0});
        target->drawLine({10, 10}, {50, 10}, black, 4, list.get(c.index));
        ASSERT_EQ(Platform::kOk, target->endDraw());
        for (int x : c.on) EXPECT_GT(target->pixel(x, 9) >> 24, 200u) << c.index << " at " << x;
        for (int x : c.off) EXPECT_LT(target->pixel(x, 9) >> 24, 55u) << c.index << " at " << x;
    }
    EXPECT_EQ(list.get(0), list.get(0)) << "made once";
    EXPECT_EQ(D2::LineJoin::Round, list.get(2)->desc().lineJoin);
    EXPECT_EQ(D2::LineJoin::Bevel, list.get(3)->desc().lineJoin);
}

TEST_F(Style, TextWidthIsRoundedUpToAWholePixel) {
    set("Font", "Wide", "10.2,Noto Sans CJK JP");
    set("Font", "Even", "10");
    set("Font", "DefaultFamily", "Noto Sans CJK JP");
    Resource::TextFormat wide(
        [](std::unique_ptr<D2::TextFormat>* slot) { *slot = Resource::TextFormat::createFromStyle("Wide"); });
    Resource::TextFormat even(
        [](std::unique_ptr<D2::TextFormat>* slot) { *slot = Resource::TextFormat::createFromStyle("Even"); });
    EXPECT_EQ(11, wide.getTextWidth(L"一")) << "10.2 px";
    EXPECT_EQ(11, wide.getTextWidth(L"一  ")) << "trailing blanks do not count";
    EXPECT_EQ(10, even.getTextWidth(L"一"));
    EXPECT_EQ(0, even.getTextWidth(L""));
    EXPECT_EQ(L"Noto Sans CJK JP", even.getName()) << "a size alone takes the default family";
    EXPECT_EQ(10.2f, wide.get()->fontSize());
    EXPECT_EQ(D2::WordWrapping::NoWrap, wide.get()->wordWrapping());
}

TEST_F(Style, FontValueTakesSizeThenFamilyAndIgnoresFurtherFields) {
    set("Font", "Three", "14,Noto Serif CJK JP,extra");
    auto f = Resource::TextFormat::createFromStyle("Three");
    EXPECT_EQ("Noto Serif CJK JP", f->familyName());
    EXPECT_EQ(14, f->fontSize());
    set("Font", "Bad", "big");
    EXPECT_THROW(Resource::TextFormat::createFromStyle("Bad"), std::exception);
}

TEST_F(Style, LineHeightIsComputedOnceAndEmptyTextIsOneLine) {
    int made = 0;
    Resource::TextFormat format([&made](std::unique_ptr<D2::TextFormat>* slot) {
        ++made;
        *slot = Resource::TextFormat::create(L"Noto Sans CJK JP", 20);
    });
    const float height = format.getLineHeight();
    EXPECT_GT(height, 20);
    EXPECT_EQ(height, format.getLineHeight());
    EXPECT_EQ(1, made);
    EXPECT_EQ(format.getTrimmingSign(), format.getTrimmingSign()) << "the sign is kept";
}

TEST_F(Style, TrimmingToANegativeWidthSetsWidthZero) {
    Resource::TextFormat format(
        [](std::unique_ptr<D2::TextFormat>* slot) { *slot = Resource::TextFormat::create(L"Noto Sans CJK JP", 10); });
    Resource::TextLayout layout;
    layout.create(format, L"一一一一一一一一一一");
    EXPECT_NEAR(100, layout.getSize().width, 0.01);
    layout.setTrimming(35, format.getTrimmingSign());
    EXPECT_LE(layout.getSize().width, 35);
    layout.setTrimming(-5, format.getTrimmingSign());
    EXPECT_EQ(0, layout.get()->maxWidth());
    EXPECT_EQ(0, layout.getMetrics().layoutWidth);
    Resource::TextLayout part;
    part.create(format, L"一一一", 2);
    EXPECT_NEAR(20, part.getSize().width, 0.01) << "only the given length";
}

TEST_F(Style, BrushesTakeTheirColoursFromTheStyle) {
    set("Color", "One", "ff000080");
    set("Color", "Pair", "000000,ffffff");
    set("Color", "FooterProgress", "00ff00");
    auto solid = Resource::ColorBrush::createFromStyle("One");
    EXPECT_EQ(1, solid->color.r);
    EXPECT_NEAR(0.5f, solid->color.a, 0.01);
    for (size_t index : {0u, 1u, 5u}) {
        auto progress = Resource::ColorBrush::createFromStyleList(index);
        EXPECT_EQ(1, progress->color.g) << "a single colour serves every index";
    }
    set("Color", "FooterProgress", "ff0000,0000ff");
    EXPECT_EQ(1, Resource::ColorBrush::createFromStyleList(1)->color.b);
    EXPECT_EQ(1, Resource::ColorBrush::createFromStyleList(7)->color.b) << "past the end: the last colour";
    auto gradient = Resource::GradientBrush::createFromStyle("Pair");
    EXPECT_EQ(0, gradient->stops[0].color.r);
    EXPECT_EQ(1, gradient->stops[1].color.r);
    EXPECT_EQ(1, gradient->stops[1].position);
    auto fading = Resource::GradientBrush::createFromStyleAlpha("Pair", 0);
    EXPECT_EQ(1, fading->stops[0].color.r);
    EXPECT_EQ(0, fading->stops[0].color.a);
    EXPECT_EQ(1, fading->stops[1].color.a);
    set("Color", "Broken", "zz");
    EXPECT_THROW(Resource::ColorBrush::createFromStyle("Broken"), std::exception);
}

}  // namespace
