// Text formats and layouts: measures without trailing blanks, one line for
// empty text, wrapping and ellipsis trimming, grey anti-aliasing.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>
#include <vector>
#include <string>

#include "platform/draw2d/Draw2d.h"

namespace {
namespace D = Platform::draw2d;

// The packaged CJK family: its ideographs are exactly one em wide.
std::unique_ptr<D::TextFormat> format(float size, D::WordWrapping wrapping = D::WordWrapping::NoWrap) {
    std::unique_ptr<D::TextFormat> f;
    EXPECT_EQ(Platform::kOk, D::TextFormat::create("Noto Sans CJK JP", D::kWeightNormal, D::FontStyle::Normal,
                                                   D::kStretchNormal, size, "", f));
    if (f) f->setWordWrapping(wrapping);
    return f;
}

D::TextMetrics measure(const std::string& text, const D::TextFormat& f, float maxWidth = 65536) {
    std::unique_ptr<D::TextLayout> layout;
    EXPECT_EQ(Platform::kOk, D::TextLayout::create(text, f, maxWidth, 65536, layout));
    D::TextMetrics m;
    if (layout) {
        EXPECT_EQ(Platform::kOk, layout->metrics(m));
    }
    return m;
}

TEST(TextLayout, WidthIsFractionalAndLeavesOutTrailingBlanks) {
    auto f = format(10.2f);
    const struct {
        const char* text;
        float width;
        float withBlanks;  // -1: more than the width; -2: the width
    } cases[] = {
        {"一", 10.2f, 10.2f},
        {"一一", 20.4f, 20.4f},
        {"一\xE3\x80\x80", 10.2f, 20.4f},  // ideographic space
        {"一 ", 10.2f, -1},
        {" 一", -1, -2},  // leading blanks count
        {"   ", 0, -1},
        {"", 0, 0},
    };
    for (const auto& c : cases) {
        const D::TextMetrics m = measure(c.text, *f);
        if (c.width >= 0)
            EXPECT_NEAR(c.width, m.width, 0.01) << c.text;
        else
            EXPECT_GT(m.width, 10.2f) << c.text;
        if (c.withBlanks >= 0)
            EXPECT_NEAR(c.withBlanks, m.widthIncludingTrailingWhitespace, 0.01) << c.text;
        else if (c.withBlanks == -2)
            EXPECT_FLOAT_EQ(m.width, m.widthIncludingTrailingWhitespace) << c.text;
        else
            EXPECT_GT(m.widthIncludingTrailingWhitespace, m.width) << c.text;
        EXPECT_EQ(1u, m.lineCount) << c.text;
    }
}

TEST(TextLayout, EmptyTextIsOneLineHighAndEachLineAddsItsHeight) {
    auto f = format(20);
    const float one = measure("一", *f).height;
    EXPECT_GT(one, 20);
    EXPECT_FLOAT_EQ(one, measure("", *f).height);
    const D::TextMetrics two = measure("一\n一", *f);
    EXPECT_EQ(2u, two.lineCount);
    EXPECT_FLOAT_EQ(2 * one, two.height);
    EXPECT_NEAR(20, two.width, 0.01);
}

TEST(TextLayout, NoWrapKeepsOneLineWhereWrapBreaks) {
    const std::string text = "一一一一一 一一一一一";
    EXPECT_EQ(1u, measure(text, *format(10, D::WordWrapping::NoWrap), 30).lineCount);
    EXPECT_GT(measure(text, *format(10, D::WordWrapping::Wrap), 30).lineCount, 1u);
}

TEST(TextLayout, EllipsisTrimmingKeepsTheTextWithinTheMaximumWidth) {
    auto f = format(10);
    std::unique_ptr<D::TextLayout> layout;
    ASSERT_EQ(Platform::kOk, D::TextLayout::create("一一一一一一一一一一", *f, 65536, 65536, layout));
    auto sign = f->createEllipsisTrimmingSign();
    ASSERT_EQ(Platform::kOk, layout->setTrimming(D::TrimmingGranularity::Character, sign.get()));
    D::TextMetrics m;
    ASSERT_EQ(Platform::kOk, layout->metrics(m));
    EXPECT_NEAR(100, m.width, 0.01) << "room enough: nothing trimmed";
    ASSERT_EQ(Platform::kOk, layout->setMaxWidth(35));
    ASSERT_EQ(Platform::kOk, layout->metrics(m));
    EXPECT_LE(m.width, 35);
    EXPECT_GT(m.width, 15);
    EXPECT_EQ(1u, m.lineCount);
    EXPECT_EQ(35, m.layoutWidth);
    ASSERT_EQ(Platform::kOk, layout->setMaxWidth(0));
    EXPECT_EQ(0, layout->maxWidth());
    EXPECT_EQ(Platform::kInvalidArg, layout->setMaxWidth(-5));
    EXPECT_EQ(0, layout->maxWidth()) << "a refused width changes nothing";
}

TEST(TextFormat, RefusesWhatCannotBeSet) {
    std::unique_ptr<D::TextFormat> f;
    EXPECT_EQ(Platform::kInvalidArg, D::TextFormat::create("", 400, D::FontStyle::Normal, 5, 10, "", f));
    EXPECT_EQ(Platform::kInvalidArg, D::TextFormat::create("A", 400, D::FontStyle::Normal, 5, 0, "", f));
    EXPECT_EQ(Platform::kInvalidArg, D::TextFormat::create("A", 0, D::FontStyle::Normal, 5, 10, "", f));
    EXPECT_EQ(Platform::kInvalidArg, D::TextFormat::create("A", 400, D::FontStyle::Normal, 10, 10, "", f));
    EXPECT_FALSE(f);
    auto ok = format(12);
    ASSERT_TRUE(ok);
    EXPECT_EQ("Noto Sans CJK JP", ok->familyName());
    EXPECT_EQ(12, ok->fontSize());
    std::unique_ptr<D::TextLayout> layout;
    EXPECT_EQ(Platform::kInvalidArg, D::TextLayout::create("a", *ok, -1, 10, layout));
}

TEST(TextLayout, InvalidUtf8IsShownNotDropped) {
    auto f = format(10);
    EXPECT_GT(measure("\xFF\xFE", *f).width, 0);
}

TEST(TextLayout, WorkersMeasureAndDrawAtOnceWithTheSameResults) {
    // Layouts, glyph outlines and drawing share Pango's context and the
    // FreeType faces; the layer's lock keeps threads that start together apart.
    auto measureAll = [] {
        auto f = format(13);
        std::vector<float> out;
        for (const char* text : {"一二三", "abc def ", "テキスト", ""}) out.push_back(measure(text, *f).width);
        std::unique_ptr<D::MemoryTarget> target;
        (void)D::MemoryTarget::create(40, 20, target);
        std::unique_ptr<D::TextLayout> layout;
        (void)D::TextLayout::create("永", *f, 100, 100, layout);
        D::SolidColorBrush white{{1, 1, 1, 1}};
        target->beginDraw();
        target->drawTextLayout({1, 1}, *layout, white);
        (void)target->endDraw();
        uint32_t sum = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) sum += target->pixel(x, y) >> 24;
        out.push_back(float(sum));
        return out;
    };
    const std::vector<float> expected = measureAll();
    constexpr int kWorkers = 4;
    std::promise<void> start;
    std::shared_future<void> go = start.get_future().share();
    std::vector<std::future<std::vector<float>>> results;
    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i) {
        std::packaged_task<std::vector<float>()> task([go, &measureAll] {
            go.wait();
            return measureAll();
        });
        results.push_back(task.get_future());
        workers.emplace_back(std::move(task));
    }
    start.set_value();
    for (auto& r : results) EXPECT_EQ(expected, r.get());
    for (auto& w : workers) w.join();
}

TEST(TextLayout, DrawnTextIsGreyAntialiased) {
    std::unique_ptr<D::MemoryTarget> target;
    ASSERT_EQ(Platform::kOk, D::MemoryTarget::create(60, 30, target));
    auto f = format(20);
    std::unique_ptr<D::TextLayout> layout;
    ASSERT_EQ(Platform::kOk, D::TextLayout::create("あ永", *f, 65536, 65536, layout));
    D::SolidColorBrush white{{1, 1, 1, 1}};
    target->beginDraw();
    target->drawTextLayout({2, 1}, *layout, white);
    ASSERT_EQ(Platform::kOk, target->endDraw());
    int partial = 0, full = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            const uint32_t p = target->pixel(x, y);
            const uint32_t a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            ASSERT_TRUE(r == a && g == a && b == a) << "colour fringe at " << x << "," << y;
            if (a == 255) ++full;
            if (a > 0 && a < 255) ++partial;
        }
    EXPECT_GT(full, 20);
    EXPECT_GT(partial, 20) << "edges are anti-aliased";
    EXPECT_EQ(0u, target->pixel(0, 0) >> 24);
}

}  // namespace
