#include <gtest/gtest.h>

#include "effect/SectionPosition.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "support/TestModelQueries.h"

using Render::SectionPosition;

namespace {

struct Case {
    int32_t start, end;
    std::vector<int32_t> boundaries;
    int32_t frame;
    double precise;
    int32_t index, count;
    double offset;
    int32_t length;
    double progress;
};

}  // namespace

TEST(SectionPositionTest, LocatesFramesInSections) {
    const Case cases[] = {
        {100, 160, {20, 40}, 130, 130, 1, 3, 10, 20, 0.5},
        // The end frame: offset / length reaches 1.
        {100, 160, {20, 40}, 160, 160, 2, 3, 20, 20, 1.0},
        // Exactly on a boundary: the next section, offset 0.
        {100, 160, {20, 40}, 120, 120, 1, 3, 0, 20, 20.0 / 60},
        {100, 160, {20, 40}, 119, 119, 0, 3, 19, 20, 19.0 / 60},
        {100, 160, {20, 40}, 140, 140, 2, 3, 0, 20, 40.0 / 60},
        // No boundaries: one section over the whole object.
        {0, 30, {}, 15, 15, 0, 1, 15, 30, 0.5},
        // Start equal to end: length 1 and progress 0, never a division by zero.
        {5, 5, {}, 5, 5, 0, 1, 0, 1, 0.0},
        // A fractional frame moves offset and progress, not the index.
        {100, 160, {20, 40}, 119, 119.75, 0, 3, 19.75, 20, 19.75 / 60},
    };
    for (const Case& c : cases) {
        const SectionPosition p = SectionPosition::locate(c.start, c.end, c.boundaries, c.frame, c.precise);
        SCOPED_TRACE(testing::Message() << "frame " << c.frame << " precise " << c.precise);
        EXPECT_EQ(p.index, c.index);
        EXPECT_EQ(p.count, c.count);
        EXPECT_DOUBLE_EQ(p.offset, c.offset);
        EXPECT_EQ(p.length, c.length);
        EXPECT_DOUBLE_EQ(p.progress, c.progress);
    }
}

TEST(SectionPositionTest, ReadsTheObject) {
    Edit::Object object(0, 0, 0);
    object.start = 100;
    object.end = 160;
    object.midpoints = {20, 40};
    const SectionPosition p = SectionPosition::locate(object, 145, 145.0);
    EXPECT_EQ(p.index, 2);
    EXPECT_DOUBLE_EQ(p.offset, 5);
}
