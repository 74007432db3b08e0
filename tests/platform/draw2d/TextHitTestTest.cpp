// Hit testing of laid-out text, in character positions: the cluster under a
// point (past a line's end: its last character, trailing), the caret's place
// before a character, and the boxes a range covers line by line.
#include "platform/draw2d/TextHitTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/draw2d/Draw2d.h"

namespace {
namespace D = Platform::draw2d;

class TextHitTest : public ::testing::Test {
protected:
    void lay(const std::string& text) {
        ASSERT_EQ(Platform::kOk, D::TextFormat::create("Noto Sans CJK JP", D::kWeightNormal, D::FontStyle::Normal,
                                                       D::kStretchNormal, 20, "", format));
        format->setWordWrapping(D::WordWrapping::NoWrap);
        ASSERT_EQ(Platform::kOk, D::TextLayout::create(text, *format, 65536, 65536, layout));
    }
    // The caret's x before the character.
    float caretX(uint32_t position) {
        float x = 0, y = 0;
        D::HitTestMetrics m;
        EXPECT_EQ(Platform::kOk, D::hitTestTextPosition(*layout, position, false, x, y, m));
        return x;
    }
    // The position a click at the point gives (the next one on a trailing hit).
    uint32_t clicked(float x, float y) {
        bool trailing = false, inside = false;
        D::HitTestMetrics m;
        EXPECT_EQ(Platform::kOk, D::hitTestPoint(*layout, x, y, trailing, inside, m));
        return m.textPosition + (trailing ? std::max(m.length, 1u) : 0);
    }

    std::unique_ptr<D::TextFormat> format;
    std::unique_ptr<D::TextLayout> layout;
};

TEST_F(TextHitTest, PointsAndPositionsCountCharacters) {
    // Ideographs of this family are one em wide: 20 pixels each.
    lay("一二三\n四\n\n五六");
    EXPECT_FLOAT_EQ(0, caretX(0));
    EXPECT_NEAR(20, caretX(1), 0.01);
    EXPECT_NEAR(60, caretX(3), 0.01) << "before the line break: the line's end";
    EXPECT_FLOAT_EQ(0, caretX(4));
    float x = 0, y0 = 0, y1 = 0;
    D::HitTestMetrics first, second;
    ASSERT_EQ(Platform::kOk, D::hitTestTextPosition(*layout, 0, false, x, y0, first));
    ASSERT_EQ(Platform::kOk, D::hitTestTextPosition(*layout, 4, false, x, y1, second));
    EXPECT_NEAR(y1, y0 + first.height, 0.01) << "the second line starts below the first";
    const float line = first.height;
    const struct {
        float x, y;
        uint32_t position;
    } clicks[] = {
        {5, 1, 0},         {15, 1, 1},           {55, 1, 3},         // halves of the characters
        {500, 1, 3},                                                  // past the end: before the break
        {-50, line * 1.5f, 4},  {500, line * 1.5f, 5},                // the second line
        {10, line * 2.5f, 6},                                         // the empty third line
        {500, line * 9, 9},                                           // below the text: the last line's end
    };
    for (const auto& c : clicks) EXPECT_EQ(c.position, clicked(c.x, c.y)) << c.x << "," << c.y;
    D::HitTestMetrics end;
    ASSERT_EQ(Platform::kOk, D::hitTestTextPosition(*layout, 99, false, x, y1, end));
    EXPECT_NEAR(40, x, 0.01) << "past the end: the end of the last line";
    EXPECT_EQ(1u, D::maxBidiReorderingDepth(*layout));
}

TEST_F(TextHitTest, ARangeGivesOneBoxPerLinePart) {
    lay("一二三\n四五");
    std::vector<D::HitTestMetrics> boxes;
    ASSERT_EQ(Platform::kOk, D::hitTestTextRange(*layout, 1, 2, boxes));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NEAR(20, boxes[0].left, 0.01);
    EXPECT_NEAR(40, boxes[0].width, 0.01);
    // Across the break: the rest of the first line, a mark for the break, the start of the second.
    ASSERT_EQ(Platform::kOk, D::hitTestTextRange(*layout, 2, 3, boxes));
    ASSERT_EQ(3u, boxes.size());
    EXPECT_NEAR(40, boxes[0].left, 0.01);
    EXPECT_NEAR(60, boxes[1].left, 0.01);
    EXPECT_NEAR(0, boxes[2].left, 0.01);
    EXPECT_NEAR(20, boxes[2].width, 0.01);
    EXPECT_GT(boxes[2].top, boxes[0].top);
    ASSERT_EQ(Platform::kOk, D::hitTestTextRange(*layout, 3, 0, boxes));
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
