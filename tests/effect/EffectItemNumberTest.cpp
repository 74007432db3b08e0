#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <stdexcept>

#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effect/MovementBase.h"
#include "effect/MovementLookup.h"
#include "effect/RenderContext.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "support/TestModelQueries.h"

using namespace Effect;

namespace {

const MovementBase& movement(const wchar_t* name) {
    const MovementBase* m = findMovement(name);
    if (!m) throw std::runtime_error("no such movement");
    return *m;
}

struct NumberFixture : testing::Test {
    ItemList items;
    EffectItemNumber x{&items, L"X", 0, -2000, 2000, 0.1};
    EffectItemNumber percent{&items, L"拡大率", 100, 0, 5000, 0.01};
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 0);
    Render::RenderContext context;

    void at(int32_t frame, double precise) {
        context.frame = frame;
        context.preciseFrame = precise;
        context.resetObject(object);
    }
    void at(int32_t frame) { at(frame, frame); }
};

}  // namespace

TEST_F(NumberFixture, ConstructorStoresStepUnits) {
    EXPECT_EQ(percent.defaultValue, 10000);
    EXPECT_EQ(percent.scale, 100);
    EXPECT_EQ(percent.maximum, 500000);
    EXPECT_EQ(percent.values, std::vector<int32_t>{10000});
    EXPECT_EQ(percent.movement, &getNoMove());
    EXPECT_EQ(percent.toString(), "100.00");
    EXPECT_EQ(x.toString(), "0.0");
}

TEST_F(NumberFixture, SetValueRoundsHalvesAwayFromZeroAndClamps) {
    ItemList list;
    EffectItemNumber n(&list, L"n", 0, -1000, 5000, 0.01);
    const struct {
        double value;
        int32_t stored;
    } cases[] = {
        {1.005, 100},  // the product lies just below 100.5 in double precision
        {0.125, 13},       {-0.125, -13},    {0.005, 1},      {-0.005, -1},
        {5000.01, 500000}, {-3000, -100000}, {1e300, 500000}, {-1e300, -100000},
    };
    for (const auto& c : cases) {
        n.setValue(c.value, 0);
        EXPECT_EQ(n.values[0], c.stored) << c.value;
    }
    // Out-of-range indexes are ignored.
    n.setValue(7, 1);
    n.setValue(7, -1);
    EXPECT_EQ(n.values, std::vector<int32_t>{-100000});
    // A minimum above the maximum: the maximum wins above it, the minimum below.
    EffectItemNumber odd(&list, L"odd", 0, 10, 5, 1);
    odd.setValue(20, 0);
    EXPECT_EQ(odd.values[0], 5);
    odd.setValue(-20, 0);
    EXPECT_EQ(odd.values[0], 10);
}

TEST_F(NumberFixture, TextForms) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"100.00", "100.00"},
        {"-0.05", "-0.05"},
        {"12.344", "12.34"},
        {" 7", "7.00"},
        {"0.00,50.00,100.00,直線移動,1", "0.00,50.00,100.00,直線移動,1"},
        {"1,2,3,4,瞬間移動,0", "1.00,2.00,3.00,4.00,瞬間移動,0"},
        {"0,10,ランダム移動,4|15.5", "0.00,10.00,ランダム移動,4|15.5"},
        {"0,10,ランダム移動,4", "0.00,10.00,ランダム移動,4"},
        {"0,100,直線移動(時間制御),0|0.25,0,0.25,1", "0.00,100.00,直線移動(時間制御),0|0.25,0,0.25,1"},
        {"0,1,2,再生範囲,0", "0.00,1.00,再生範囲,0"},
    };
    ItemList list;
    EffectItemNumber item(&list, L"n", 100, -5000, 5000, 0.01);
    for (const Case& c : cases) {
        item.fromString(c.in);
        EXPECT_EQ(item.toString(), c.out) << c.in;
    }
}

TEST_F(NumberFixture, TextFormFailuresLeaveTheItemUnchanged) {
    percent.fromString("0.00,50.00,100.00,直線移動,1");
    const std::string before = percent.toString();
    const char* bad[] = {"1.0,直線移動",        "abc", "", "1,2,未知の移動,0", "1,2,直線移動,x", "1,z,直線移動,0",
                         "1,2,ランダム移動,0|q"};
    for (const char* text : bad) {
        EXPECT_ANY_THROW(percent.fromString(text)) << text;
        EXPECT_EQ(percent.toString(), before) << text;
    }
    try {
        percent.fromString("1.0,直線移動");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("invalid effect parameter."), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("Effect::EffectItemNumber::fromString"), std::string::npos);
    }
    try {
        percent.fromString("1,2,未知の移動,0");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("not found movement."), std::string::npos);
    }
}

TEST_F(NumberFixture, ValueTextDigits) {
    ItemList list;
    EffectItemNumber thousandth(&list, L"t", 0, -100, 100, 0.001);
    EXPECT_EQ(thousandth.valueText(5), "0.005");
    EXPECT_EQ(thousandth.valueText(-1234), "-1.234");
    EXPECT_EQ(percent.valueText(1234), "12.34");
    EXPECT_EQ(percent.valueText(-150), "-1.50");
    EffectItemNumber whole(&list, L"w", 0, -100, 100, 1);
    EXPECT_EQ(whole.valueText(-7), "-7");
    EXPECT_EQ(percent.valueText(INT32_MIN), "-21474836.48");
}

TEST_F(NumberFixture, ResizeKeepsTheEndValueLast) {
    percent.setMovement(movement(L"直線移動"));  // count -1 keeps the list
    percent.values = {1, 2, 3, 4};
    EXPECT_EQ(percent.resizeValues(2), 2);
    EXPECT_EQ(percent.values, (std::vector<int32_t>{1, 4}));
    EXPECT_EQ(percent.resizeValues(4), 4);
    EXPECT_EQ(percent.values, (std::vector<int32_t>{1, 4, 4, 4}));
    percent.flags = EffectItemNumber::kIgnoreMidpoints;
    EXPECT_EQ(percent.resizeValues(7), 2);
    percent.setMovement(getNoMove());
    EXPECT_EQ(percent.resizeValues(5), 1);
}

TEST_F(NumberFixture, MovementFlagsFollowTheMovementDefaults) {
    object->midpoints = {10, 20};
    percent.setMovement(movement(L"補間移動"));
    percent.resizeValues(4);
    percent.updateMovementFlags(*object);
    EXPECT_EQ(percent.flags, EffectItemNumber::kAccelerate | EffectItemNumber::kDecelerate);
    EXPECT_EQ(percent.values.size(), 4u);
    percent.setMovement(movement(L"ランダム移動"));
    percent.updateMovementFlags(*object);
    EXPECT_EQ(percent.flags, EffectItemNumber::kIgnoreMidpoints);
    EXPECT_EQ(percent.values.size(), 2u);
    EXPECT_EQ(percent.settings, std::vector<double>{15});
    percent.settings = {1, 2};
    EXPECT_EQ(percent.getMovementSettings(), std::vector<double>{15});
}

TEST_F(NumberFixture, TimeControlCurves) {
    percent.setMovement(movement(L"直線移動(時間制御)"));
    // Fewer than 4 values, or a count not a multiple of 4: unchanged.
    percent.timeControl = {0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
    EXPECT_DOUBLE_EQ(percent.applyTimeControl(0.3), 0.3);
    // Four values: a straight diagonal curve maps p to itself.
    percent.timeControl = {1.0 / 3, 1.0 / 3, 1.0 / 3, 1.0 / 3};
    for (double p : {0.0, 0.2, 0.5, 0.9, 1.0}) EXPECT_NEAR(percent.applyTimeControl(p), p, 1e-5) << p;
    // An ease-in curve stays below the diagonal and keeps the ends.
    percent.timeControl = {0.5, 0.0, 0.0, 0.0};
    EXPECT_LT(percent.applyTimeControl(0.5), 0.5);
    EXPECT_NEAR(percent.applyTimeControl(1.0), 1.0, 1e-6);
    // Eight values: points (0, 0) and (1, 1) with straight handles are the diagonal.
    percent.timeControl = {0, 0, 0.25, 0.25, 1, 1, 0.25, 0.25};
    for (double p : {0.1, 0.5, 0.75}) EXPECT_NEAR(percent.applyTimeControl(p), p, 1e-5) << p;
    // Twelve values: a middle point (0.5, 0.8); beyond the last point its Y.
    percent.timeControl = {0, 0, 0.1, 0.1, 0.5, 0.8, 0.1, 0.0, 0.9, 0.9, 0.1, 0.1};
    EXPECT_NEAR(percent.applyTimeControl(0.5), 0.8, 1e-5);
    EXPECT_DOUBLE_EQ(percent.applyTimeControl(0.95), 0.9);
    // A movement without time control ignores the list.
    percent.setMovement(movement(L"直線移動"));
    EXPECT_DOUBLE_EQ(percent.applyTimeControl(0.3), 0.3);
}

TEST_F(NumberFixture, ValueAtAFrame) {
    object->start = 100;
    object->end = 160;
    object->midpoints = {20, 40};
    percent.fromString("0,50,100,10,直線移動,0");
    at(130);
    EXPECT_DOUBLE_EQ(percent.getValue(context), 75);
    EXPECT_DOUBLE_EQ(percent.getValueAt(context, 110), 25);
    EXPECT_DOUBLE_EQ(percent.getSectionTime(context, 130), 1.5);
    // With 中間点無視 the whole object is one section.
    percent.fromString("0,60,直線移動,4");
    EXPECT_DOUBLE_EQ(percent.getValue(context), 30);
    EXPECT_DOUBLE_EQ(percent.getSectionTime(context, 145), 0.75);
}

TEST_F(NumberFixture, EditableAtTheCurrentFrame) {
    object->start = 0;
    object->end = 60;
    object->midpoints = {20, 40};
    percent.fromString("0,1,2,3,直線移動,0");
    struct Case {
        int32_t frame;
        bool fourValues, twoValues, oneValue;
    } cases[] = {
        {0, true, true, true},     // start key
        {20, true, false, true},   // middle key
        {30, false, false, true},  // inside a section
        {60, true, true, true},    // end key
        {59, false, false, true},
    };
    ItemList list;
    EffectItemNumber two(&list, L"two", 0, 0, 10, 1);
    two.fromString("0,1,直線移動,4");
    EffectItemNumber one(&list, L"one", 0, 0, 10, 1);
    for (const Case& c : cases) {
        at(c.frame);
        EXPECT_EQ(percent.isEditableAt(context), c.fourValues) << c.frame;
        EXPECT_EQ(two.isEditableAt(context), c.twoValues) << c.frame;
        EXPECT_EQ(one.isEditableAt(context), c.oneValue) << c.frame;
    }
    // A group takes its largest value count.
    EffectItemGroup group({&two, &one});
    at(20);
    EXPECT_FALSE(group.isEditableAt(context));
    EXPECT_EQ(two.group, &group);
}

TEST_F(NumberFixture, AnchorAddressing) {
    object->midpoints = {20, 40};
    percent.fromString("0,1,2,3,直線移動,0");
    const EffectItemNumber::AnchorAddress start{object.get(), 0}, middle{object.get(), 2}, end{object.get(), 3},
        all{object.get(), EffectItemNumber::kAllKeys};
    EXPECT_TRUE(percent.setAnchorValue(middle, 7));
    EXPECT_EQ(percent.values, (std::vector<int32_t>{0, 100, 700, 300}));
    EXPECT_FALSE(percent.setAnchorValue(middle, 7));
    EXPECT_TRUE(percent.moveAnchorValue(end, 1.5));
    EXPECT_EQ(percent.values.back(), 450);
    EXPECT_TRUE(percent.moveAnchorValue(all, -1));
    EXPECT_EQ(percent.values, (std::vector<int32_t>{0, 0, 600, 350}));  // clamped at the minimum
    EXPECT_TRUE(percent.setAnchorValue(start, 2));
    EXPECT_EQ(percent.values.front(), 200);
    // Two values with midpoints: middle keys address nothing, later ids the end.
    percent.fromString("0,1,直線移動,4");
    EXPECT_FALSE(percent.setAnchorValue(middle, 9));
    EXPECT_TRUE(percent.setAnchorValue({object.get(), 5}, 9));
    EXPECT_EQ(percent.values, (std::vector<int32_t>{0, 900}));
    // One value: every id is value 0.
    percent.fromString("5");
    EXPECT_TRUE(percent.setAnchorValue(end, 1));
    EXPECT_EQ(percent.values, std::vector<int32_t>{100});
}

TEST_F(NumberFixture, MidpointEditsKeepTheEndValueLast) {
    percent.fromString("0,10,直線移動,0");
    percent.insertSectionValue(0, nullptr);
    EXPECT_EQ(percent.values, (std::vector<int32_t>{0, 10000, 1000}));
    EffectItemNumber::CapturedValues captured{{&percent, {2.5, -1}}};
    percent.insertSectionValue(5, &captured);
    EXPECT_EQ(percent.values, (std::vector<int32_t>{0, 10000, 250, 1000}));
    captured[&percent] = {-9, 0};  // not clamped, and placed after section 0
    percent.insertSectionValue(2, &captured);
    EXPECT_EQ(percent.values, (std::vector<int32_t>{0, -900, 10000, 250, 1000}));
    percent.restoreSectionValue(99, nullptr);
    EXPECT_EQ(percent.values.back(), 10000);
    // Fixed-count movements and 中間点無視 items are left alone.
    percent.fromString("0,10,直線移動,4");
    percent.insertSectionValue(0, nullptr);
    EXPECT_EQ(percent.values.size(), 2u);
}

TEST_F(NumberFixture, CopyEqualsAndClone) {
    ItemList list;
    EffectItemNumber other(&list, L"拡大率", 100, 0, 5000, 0.01);
    percent.fromString("0,10,ランダム移動,4|3");
    EXPECT_FALSE(other.equals(percent));
    other.copyFrom(percent);
    EXPECT_TRUE(other.equals(percent));
    EffectItemGroup group({&percent, &x});
    percent.shown = 0;
    const auto snapshot = percent.clone();
    auto* n = snapshot->to<EffectItemNumber>();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->group, &group);
    EXPECT_EQ(n->shown, 0);
    EXPECT_TRUE(n->equals(percent));
    other.settings = {std::nan("")};
    percent.settings = {std::nan("")};
    EXPECT_FALSE(other.equals(percent));
    // copyValuesTo shapes the other item.
    ItemList more;
    EffectItemNumber target(&more, L"t", 0, 0, 10, 1);
    percent.copyValuesTo(target);
    EXPECT_EQ(target.values, (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(target.movement, percent.movement);
    EXPECT_EQ(target.flags, percent.flags);
}

TEST_F(NumberFixture, EmptyValuesRaise) {
    percent.values.clear();
    try {
        percent.keyValue(0);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("item value index out of range."), std::string::npos);
    }
}

TEST_F(NumberFixture, TextFormsIgnoreTheLocale) {
    struct Restore {
        std::string saved = std::setlocale(LC_ALL, nullptr);
        ~Restore() { std::setlocale(LC_ALL, saved.c_str()); }
    } restore;
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    percent.fromString("0,12.5,ランダム移動,4|15.5");
    EXPECT_EQ(percent.toString(), "0.00,12.50,ランダム移動,4|15.5");
    percent.fromString("3.25");
    EXPECT_EQ(percent.values[0], 325);
}
