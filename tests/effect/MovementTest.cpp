#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effect/MovementBase.h"
#include "effect/MovementLookup.h"
#include "effect/RandomMove.h"
#include "effect/ScriptMovement.h"
#include "effect/RenderContext.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "support/TestModelQueries.h"
#include "support/LogCapture.h"

using namespace Effect;

namespace {

struct MovementFixture : testing::Test {
    ItemList items;
    EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 0);
    Render::RenderContext context;

    MovementFixture() {
        object->start = 0;
        object->end = 100;
    }
    double valueAt(const EffectItemNumber& item, double frame) {
        context.frame = static_cast<int32_t>(std::floor(frame));
        context.preciseFrame = frame;
        context.resetObject(object);
        return item.getValue(context);
    }
};

}  // namespace

TEST(MovementRegistryTest, BuiltinsInOrderWithTheirDefaults) {
    const struct {
        const wchar_t* name;
        int32_t count, accel, ignore;
        uint8_t anchors, timeControl, inMenu;
        bool trajectory;
    } rows[] = {
        // name                   count accel ignore anchors time menu trajectory
        {L"移動無し", 1, -1, 0, 1, 0, 1, true},       {L"再生範囲", 2, -1, 0, 1, 0, 0, true},
        {L"直線移動", -1, 0, 0, 1, 0, 1, true},       {L"直線移動(時間制御)", -1, 0, -1, 0, 1, 1, true},
        {L"補間移動", -1, 1, -1, 1, 0, 1, true},      {L"補間移動(時間制御)", -1, -1, -1, 0, 1, 1, true},
        {L"ランダム移動", -1, -1, 2, 1, 0, 1, false}, {L"瞬間移動", -1, -1, -1, 1, 0, 1, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        const MovementBase* m = findMovement(row.name);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->valueCount, row.count);
        EXPECT_EQ(m->accelerate, row.accel);
        EXPECT_EQ(m->decelerate, row.accel);
        EXPECT_EQ(m->ignoreMidpoints, row.ignore);
        EXPECT_EQ(m->sectionAnchors, row.anchors);
        EXPECT_EQ(m->timeControl, row.timeControl);
        EXPECT_EQ(m->inMenu, row.inMenu);
        EXPECT_EQ(m->hasTrajectory(), row.trajectory);
    }
    EXPECT_EQ(findMovement(L"ランダム移動")->defaultSettings, std::vector<double>{15});
    EXPECT_EQ(findMovement(L"none"), nullptr);
}

TEST_F(MovementFixture, LinearMove) {
    x.fromString("0,100,直線移動,0");
    EXPECT_DOUBLE_EQ(valueAt(x, 50), 50);
    x.fromString("0,100,直線移動,1");
    EXPECT_DOUBLE_EQ(valueAt(x, 50), 31.25);
    x.fromString("0,100,直線移動,2");
    EXPECT_DOUBLE_EQ(valueAt(x, 50), 68.75);
    // Over sections: acceleration only in the first, deceleration only in the last.
    object->midpoints = {50};
    x.fromString("0,100,200,直線移動,3");
    EXPECT_DOUBLE_EQ(valueAt(x, 25), 31.25);
    EXPECT_DOUBLE_EQ(valueAt(x, 75), 168.75);
    EXPECT_DOUBLE_EQ(valueAt(x, 100), 200);
    // 中間点無視: one straight line over the whole object.
    x.fromString("0,200,直線移動,4");
    EXPECT_DOUBLE_EQ(valueAt(x, 25), 50);
}

TEST_F(MovementFixture, TimeControlledLinearWalksByDistance) {
    object->midpoints = {50};
    // Distances 100 and 300: the middle key is reached at a quarter of the object.
    x.fromString("0,100,400,直線移動(時間制御),0");
    EXPECT_DOUBLE_EQ(valueAt(x, 25), 100);
    EXPECT_DOUBLE_EQ(valueAt(x, 50), 200);
    EXPECT_DOUBLE_EQ(valueAt(x, 100), 400);
    Render::SectionPosition p = context.section;
    p.progress = 0.2;
    EXPECT_EQ(x.movement->getCurrentSection(x, p), 0);
    p.progress = 0.3;
    EXPECT_EQ(x.movement->getCurrentSection(x, p), 1);
    // With a group the distance is taken over the item, the next member and
    // the one after that (cyclically: for two members, the item again).
    EffectItemGroup group({&x, &y});
    x.fromString("0,30,30,直線移動(時間制御),0");
    y.fromString("0,40,160,直線移動(時間制御),0");
    const double d0 = std::sqrt(2 * 40.0 * 40 + 30.0 * 30), d1 = std::sqrt(2 * 120.0 * 120);
    EXPECT_NEAR(valueAt(y, 100 * d0 / (d0 + d1)), 40, 1e-9);
    // 加速 doubles the first chord.
    x.fromString("0,30,30,直線移動(時間制御),1");
    y.fromString("0,40,160,直線移動(時間制御),1");
    EXPECT_NEAR(valueAt(y, 100 * 2 * d0 / (2 * d0 + d1)), 40, 1e-9);
    // A member with another movement is not a coordinate: the item counts alone.
    x.fromString("0,30,30,直線移動,0");
    EXPECT_NEAR(valueAt(y, 100 * 80.0 / 200), 40, 1e-9);  // y keeps 加速: chords 80 and 120
}

TEST_F(MovementFixture, InterpolationEndTangents) {
    x.fromString("0,100,補間移動,0");
    EXPECT_NEAR(valueAt(x, 50), 50, 1e-9);
    const double freeStart = valueAt(x, 1), freeEnd = 100 - valueAt(x, 99);
    x.fromString("0,100,補間移動,3");
    EXPECT_NEAR(valueAt(x, 50), 50, 1e-9);
    const double easedStart = valueAt(x, 1), easedEnd = 100 - valueAt(x, 99);
    // Without 加速 and 減速 the motion starts and ends moving; with them, at rest.
    EXPECT_GT(freeStart, 0.5);
    EXPECT_GT(freeEnd, 0.5);
    EXPECT_LT(easedStart, 0.1);
    EXPECT_LT(easedEnd, 0.1);
    EXPECT_NEAR(freeStart, freeEnd, 1e-9);
    // The curve passes through every key.
    object->midpoints = {30, 60};
    x.fromString("0,80,20,100,補間移動,0");
    EXPECT_NEAR(valueAt(x, 30), 80, 1e-9);
    EXPECT_NEAR(valueAt(x, 60), 20, 1e-9);
    EXPECT_NEAR(valueAt(x, 100), 100, 1e-9);
}

// Values worked out separately from the formulas of the movements (tangent
// rule, section-length easing, extrapolated end points, arc-length walk).
TEST_F(MovementFixture, ValuesFollowTheFormulas) {
    struct Case {
        std::vector<int32_t> midpoints;
        const char* text;
        std::vector<std::pair<double, double>> frameValues;
        double tolerance = 1e-6;
    };
    const Case cases[] = {
        {{}, "0,100,補間移動,0", {{1, 0.904507156}, {10, 9.381058840}, {33, 32.499342680}, {77, 77.697726519}}},
        {{}, "0,100,補間移動,3", {{1, 0.037435782}, {10, 3.305294200}, {33, 26.738013399}, {77, 85.270332594}}},
        {{}, "0,100,補間移動,1", {{10, 2.458416520}, {50, 40}, {77, 74.147533920}, {99, 99.085547561}}},
        {{30, 60},
         "0,80,20,100,補間移動,0",
         {{1, 2.953769482},
          {10, 33.065180944},
          {33, 77.965958101},
          {50, 34.404606656},
          {77, 45.706362432},
          {99, 97.807561980}}},
        {{30, 60},
         "0,80,20,100,補間移動,3",
         {{1, 0.322041025}, {10, 21.735126759}, {77, 54.277300926}, {99, 99.818000150}}},
        {{30, 60},
         "0,80,20,100,補間移動(時間制御),0",
         {{1, 2.251658870}, {10, 25.720355304}, {33, 78.355478574}, {50, 50}, {77, 39.449009430}, {99, 97.748341130}}},
        {{30, 60},
         "0,80,20,100,直線移動(時間制御),3",
         {{1, 0.067151641}, {10, 6.232890625}, {33, 54.454509141}, {50, 50}, {77, 70.713113516}, {99, 99.932848359}}},
        // A four-value time-control curve through (0.5, 0) and (1 - 0.2, 1 - 0.7); its parameter is
        // solved to 1e-6, so the value is that close as a fraction of the distance.
        {{}, "0,100,直線移動(時間制御),0|0.5,0,0.2,0.7", {{10, 0.4258085}, {50, 14.3049652}, {90, 70.4396032}}, 1e-3},
    };
    for (const Case& c : cases) {
        object->midpoints = c.midpoints;
        x.fromString(c.text);
        for (const auto& [frame, value] : c.frameValues)
            EXPECT_NEAR(valueAt(x, frame), value, c.tolerance) << c.text << " @" << frame;
    }
    // The random points of the 64-bit generator for seeds 0 and 2.
    const struct {
        uint64_t seed;
        int64_t j;
        float r;
    } points[] = {{0, 0, 0.144010693f},     {0, 1, 0.291795075f}, {0, 2, 0.0466615856f}, {0, -1, 0.160051271f},
                  {0, 12345, 0.119505569f}, {2, 0, 0.798945725f}, {2, 1, 0.176540926f},  {2, 12345, 0.0378537029f}};
    for (const auto& p : points) EXPECT_FLOAT_EQ(RandomMove::random(p.seed, p.j), p.r) << p.seed << "," << p.j;
}

TEST_F(MovementFixture, TimeControlledInterpolation) {
    object->midpoints = {50};
    x.fromString("0,100,400,補間移動(時間制御),0");
    EXPECT_NEAR(valueAt(x, 0), 0, 1e-9);
    EXPECT_NEAR(valueAt(x, 25), 100, 1e-9);
    EXPECT_NEAR(valueAt(x, 100), 400, 1e-9);
    const double a = valueAt(x, 10), b = valueAt(x, 40);
    EXPECT_GT(a, 0);
    EXPECT_LT(a, 100);
    EXPECT_GT(b, 100);
}

TEST_F(MovementFixture, TeleportationShowsTheSectionStartKey) {
    object->midpoints = {50};
    x.fromString("0,10,20,瞬間移動,0");
    EXPECT_DOUBLE_EQ(valueAt(x, 49), 0);
    EXPECT_DOUBLE_EQ(valueAt(x, 50), 10);
    EXPECT_DOUBLE_EQ(valueAt(x, 100), 10);  // the end key is never shown
    EXPECT_TRUE(x.movement->isSegmentInterpolated(x, 1));
    EXPECT_FALSE(x.movement->isSegmentInterpolated(x, 2));
}

TEST_F(MovementFixture, RandomIsDeterministicPerGroupIndex) {
    EffectItemGroup group({&x, &y});
    x.fromString("0,100,ランダム移動,4|10");
    y.fromString("0,100,ランダム移動,4|10");
    // At the grid points the value is the random point itself.
    for (int64_t j : {0, 1, 5}) {
        EXPECT_NEAR(valueAt(x, j * 10.0), 100.0 * RandomMove::random(0, j), 1e-4) << j;
        EXPECT_NEAR(valueAt(y, j * 10.0), 100.0 * RandomMove::random(1, j), 1e-4) << j;
    }
    // The same item position in another object gives the same path.
    const double here = valueAt(x, 37);
    object->start = 500;
    object->end = 600;
    EXPECT_DOUBLE_EQ(valueAt(x, 537), here);
    // X and Y of a group follow different sequences.
    int differing = 0;
    for (int f = 0; f < 100; f += 7) differing += valueAt(x, 500 + f) != valueAt(y, 500 + f);
    EXPECT_GT(differing, 10);
    for (int64_t j = -5; j < 200; ++j) {
        const float r = RandomMove::random(3, j);
        EXPECT_GE(r, 0.0f);
        EXPECT_LE(r, 1.0f);
    }
    // A zero interval counts as 1.
    x.settings = {0};
    EXPECT_NEAR(valueAt(x, 503), 100.0 * RandomMove::random(0, 3), 1e-4);
}

namespace {

class FakeEngine : public ScriptMovementRunner {
public:
    bool fail = false;
    double executeMovement(const ScriptMovement&, const EffectItemNumber& item, const Render::SectionPosition& p,
                           Render::RenderContext&) override {
        if (fail) throw std::runtime_error("boom");
        return item.keyValue(0) + p.offset;
    }
};

std::shared_ptr<FakeEngine> gEngine;
std::wstring gAskedEngine;

std::shared_ptr<ScriptMovementRunner> findEngine(const std::wstring& name) {
    gAskedEngine = name;
    if (name == L"unknown") throw std::runtime_error("not found script engine");
    return gEngine;
}

}  // namespace

TEST_F(MovementFixture, ScriptMovementRunsThroughItsEngine) {
    gEngine = std::make_shared<FakeEngine>();
    ScriptMovement::setEngineFinder(findEngine);
    ScriptMovement m(L"揺れ", "--speed:1,0\r\n--param:2.5\n--param:\n--label:Shake\rreturn 1\n");
    std::wstring label;
    m.makeScriptParams(&label, L"luaJIT");
    EXPECT_EQ(label, L"Shake");
    EXPECT_EQ(gAskedEngine, L"luaJIT");
    EXPECT_EQ(m.accelerate, 1);
    EXPECT_EQ(m.decelerate, 0);
    EXPECT_EQ(m.defaultSettings, (std::vector<double>{2.5, 0}));
    m.makeScriptParams(nullptr, L"luaJIT");  // a reload reads the header afresh
    EXPECT_EQ(m.defaultSettings, (std::vector<double>{2.5, 0}));
    x.setMovement(m);  // a fixed-count bind is enough for a run
    x.values = {500};
    EXPECT_DOUBLE_EQ(valueAt(x, 20), 25);
    {
        LogCapture log;
        gEngine->fail = true;
        EXPECT_DOUBLE_EQ(valueAt(x, 20), 0);
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0].level, "WARN");
        EXPECT_EQ(log.lines[0].scope, "Effect::ScriptMovement::getValue");
        EXPECT_EQ(log.lines[0].message, "script exception: boom");
    }
    ScriptMovement unknown(L"u", "--script:unknown\n");
    EXPECT_THROW(unknown.makeScriptParams(nullptr, L"luaJIT"), std::runtime_error);
    ScriptMovement::setEngineFinder(nullptr);
    gEngine.reset();
}

TEST(ScriptMovementTest, HeaderDirectives) {
    struct Case {
        const char* text;
        int32_t accelerate, decelerate, ignore;
        uint8_t timeControl, anchors;
        std::vector<double> settings;
        const wchar_t* information;
        const wchar_t* engine;
    } cases[] = {
        {"", -1, -1, 0, 0, 1, {}, L"", L"lua"},
        {"--twopoint\n", -1, -1, 2, 0, 1, {}, L"", L"lua"},
        {"--speed: 0 , 3\n", 0, 1, 0, 0, 1, {}, L"", L"lua"},
        {"--speed:\n", 0, 0, 0, 0, 1, {}, L"", L"lua"},
        {"--timecontrol\n", -1, -1, 0, 1, 0, {}, L"", L"lua"},
        {"--information:  動き\n--script:luaJIT\n", -1, -1, 0, 0, 1, {}, L"動き", L"luaJIT"},
        {"--[[\n--twopoint\n]]\n--param:1\n", -1, -1, 0, 0, 1, {1}, L"", L"lua"},
        {"--[[ one line ]]\n--param:4\n", -1, -1, 0, 0, 1, {4}, L"", L"lua"},
        {"local a = 1\n-- note\n--param:7", -1, -1, 0, 0, 1, {7}, L"", L"lua"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScriptMovement m(L"s", c.text);
        std::wstring label = L"kept";
        m.makeScriptParams(nullptr, L"lua");
        EXPECT_EQ(m.accelerate, c.accelerate);
        EXPECT_EQ(m.decelerate, c.decelerate);
        EXPECT_EQ(m.ignoreMidpoints, c.ignore);
        EXPECT_EQ(m.timeControl, c.timeControl);
        EXPECT_EQ(m.sectionAnchors, c.anchors);
        EXPECT_EQ(m.defaultSettings, c.settings);
        EXPECT_EQ(m.information, c.information);
        EXPECT_EQ(m.engineName, c.engine);
    }
}
