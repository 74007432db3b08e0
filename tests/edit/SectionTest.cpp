#include <gtest/gtest.h>

#include "edit/support/ModelFixture.h"

using namespace EditTest;
using Edit::Object;

namespace {

class SectionTest : public ModelFixture {
protected:
    // An image object on layer 0 with the given midpoints; X keys 0, 10, 20, ... per boundary.
    std::shared_ptr<Object> object(int32_t start, int32_t end, std::vector<int32_t> midpoints, int32_t layer = 0) {
        auto o = add(kImage, layer, start, end);
        for (int32_t m : midpoints) o->addSection(start + m);
        EXPECT_EQ(o->midpoints, midpoints);
        auto& keys = x(o->effects[0]).values;
        for (size_t i = 0; i < keys.size(); ++i) keys[i] = static_cast<int32_t>(100 * i);
        return o;
    }
};

TEST_F(SectionTest, WhereAMidpointMayGo) {
    auto o = object(0, 30, {});
    for (auto [frame, can] : {std::pair{0, false}, {1, true}, {29, true}, {30, false}, {31, false}, {-1, false}})
        EXPECT_EQ(o->canCreateSection(frame), can) << frame;
    o->addSection(10);
    EXPECT_FALSE(o->canCreateSection(10));
    EXPECT_TRUE(o->canCreateSection(11));

    auto tiny = object(40, 41, {});
    EXPECT_FALSE(tiny->canCreateSection(40));
    EXPECT_FALSE(tiny->canCreateSection(41));
    EXPECT_FALSE(tiny->hasMultiFrameSection(40));
    tiny->addSection(40);
    EXPECT_TRUE(tiny->midpoints.empty());

    auto tight = object(50, 53, {1, 2});  // sections of one frame, then the last spans 1
    EXPECT_FALSE(tight->hasMultiFrameSection(50));
    auto later = object(60, 65, {1, 2});  // only the last section has room
    EXPECT_TRUE(later->hasMultiFrameSection(60));
    settle();
}

TEST_F(SectionTest, AddSectionFindsRoomAndGivesEveryItemAKey) {
    struct Case {
        std::vector<int32_t> before;
        int32_t frame;
        std::vector<int32_t> after;
    } cases[] = {
        {{}, 15, {15}}, {{10, 20}, 10, {10, 11, 20}}, {{}, 0, {1}},         {{}, 30, {29}},
        {{}, 99, {29}}, {{1, 2}, 1, {1, 2, 3}},       {{10}, 25, {10, 25}}, {{10, 11}, 10, {10, 11, 12}},
    };
    for (const auto& c : cases) {
        scene.clear();
        auto o = object(0, 30, c.before);
        o->addSection(c.frame);
        EXPECT_EQ(o->midpoints, c.after) << c.frame;
        settle();
    }
}

TEST_F(SectionTest, RemoveSectionDropsTheMatchingKey) {
    auto o = object(0, 30, {10, 20});
    o->removeSection(0);
    o->removeSection(3);
    EXPECT_EQ(o->midpoints, (std::vector<int32_t>{10, 20}));
    o->removeSection(1);
    EXPECT_EQ(o->midpoints, std::vector<int32_t>{20});
    EXPECT_EQ(x(o->effects[0]).values, (std::vector<int32_t>{0, 200, 300}));
    settle();

    // An item that has lost its keys fails the removal before anything changes.
    x(o->effects[1]).values.clear();
    EXPECT_EQ(thrownText([&] { o->removeSection(1); }),
              "item value index out of range. @ Effect::EffectItemNumber::clampValueIndex");
    EXPECT_EQ(o->midpoints, std::vector<int32_t>{20});
    EXPECT_EQ(x(o->effects[0]).values.size(), 3u);
}

TEST_F(SectionTest, SplitCarriesTheValuesAtTheCut) {
    struct Case {
        int32_t frame;
        bool done;
        int32_t firstEnd;
        std::vector<int32_t> firstMidpoints;
        std::vector<int32_t> secondMidpoints;
        std::vector<int32_t> firstKeys, secondKeys;
    } cases[] = {
        {15, true, 14, {10}, {5}, {0, 100, 140}, {150, 200, 300}},
        {11, true, 10, {}, {9}, {0, 100}, {110, 200, 300}},
        {30, true, 29, {10, 20}, {}, {0, 100, 200, 290}, {300, 300}},
        {1, true, 0, {}, {9, 19}, {0, 0}, {10, 100, 200, 300}},
        {0, false, 0, {}, {}, {}, {}},
        {31, false, 0, {}, {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        scene.clear();
        auto o = object(0, 30, {10, 20});
        settle();
        auto first = std::make_shared<Object>(-1, 0, 0);
        auto second = std::make_shared<Object>(-1, 0, 0);
        ASSERT_EQ(o->split(c.frame, first, second, scene), c.done);
        if (!c.done) {
            EXPECT_TRUE(first->effects.empty());
            continue;
        }
        EXPECT_EQ(first->start, 0);
        EXPECT_EQ(first->end, c.firstEnd);
        EXPECT_EQ(first->midpoints, c.firstMidpoints);
        EXPECT_EQ(second->start, c.frame);
        EXPECT_EQ(second->end, 30);
        EXPECT_EQ(second->midpoints, c.secondMidpoints);
        EXPECT_EQ(x(first->effects[0]).values, c.firstKeys);
        EXPECT_EQ(x(second->effects[0]).values, c.secondKeys);
        EXPECT_EQ(o->midpoints, (std::vector<int32_t>{10, 20}));  // the original is untouched

        // The command's part: both in place of the original.
        scene.layers[0]->objects = {first, second};
        o->layer = -1;
        settle();
    }
}

TEST_F(SectionTest, JoinAppendsAFollowingObjectAsASection) {
    auto o = object(0, 30, {10, 20});
    auto first = std::make_shared<Object>(-1, 0, 0);
    auto second = std::make_shared<Object>(-1, 0, 0);
    ASSERT_TRUE(o->split(15, first, second, scene));
    ASSERT_TRUE(second->join(*first));
    EXPECT_EQ(first->end, 30);
    EXPECT_EQ(first->midpoints, (std::vector<int32_t>{10, 15}));
    EXPECT_EQ(x(first->effects[0]).values, (std::vector<int32_t>{0, 100, 140, 300}));
    EXPECT_EQ(second->start, 15);  // left as it was; the caller takes it out

    struct Case {
        int32_t start, end, layer;
        bool joined;
    } cases[] = {{30, 59, 1, true}, {31, 59, 1, false}, {30, 59, 2, false}, {29, 59, 1, false}};
    for (const auto& c : cases) {
        auto previous = object(0, 29, {}, 1);
        auto next = object(c.start, c.end, {}, c.layer);
        EXPECT_EQ(next->join(*previous), c.joined) << c.start << " " << c.layer;
        if (c.joined) {
            EXPECT_EQ(previous->end, 59);
            EXPECT_EQ(previous->midpoints, std::vector<int32_t>{30});
            EXPECT_EQ(x(previous->effects[0]).values, (std::vector<int32_t>{0, 100, 100}));
        } else {
            EXPECT_EQ(previous->end, 29);
        }
        scene.clear();
    }
}

TEST_F(SectionTest, InputEffectEventReachesOnlyAnInput) {
    auto image = object(0, 9, {});
    Effect::ItemEvent event;
    event.kind = Effect::ItemEvent::kSplit;
    image->sendInputEffectEvent(event);
    EXPECT_EQ(static_cast<TestEffect&>(*image->effects[0]).lastEvent, Effect::ItemEvent::kSplit);
    EXPECT_EQ(event.object, image);
    EXPECT_EQ(event.effect, image->effects[0]);

    auto filter = add(kBlur, 1, 0, 9);
    Effect::ItemEvent other;
    other.kind = Effect::ItemEvent::kFileGiven;
    filter->sendInputEffectEvent(other);
    EXPECT_EQ(static_cast<TestEffect&>(*filter->effects[0]).lastEvent, 0);
    EXPECT_EQ(other.object, nullptr);
}

}  // namespace
