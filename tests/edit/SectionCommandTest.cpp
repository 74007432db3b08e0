// The midpoint, length, empty-frame and cursor commands on a real edit
// service, as tables of cases against the scene's state text with undo and
// redo after each command.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "edit/EditCommandTargets.h"
#include "edit/Layer.h"
#include "edit/ObjectSectionCommands.h"
#include "edit/support/CommandFixture.h"
#include "edit/support/ModelFixture.h"
#include "effect/MovementLookup.h"
#include "support/LogCapture.h"

namespace {

using namespace EditTest;
namespace Cmd = Edit::EditCommand;
using ObjectPtr = std::shared_ptr<Edit::Object>;

class SectionCommandTest : public CommandFixture {};
using Case = CommandCase<SectionCommandTest>;

TEST_F(SectionCommandTest, MidpointsAtAFrameGoToTheTargetsThatCanTakeThem) {
    runCases<SectionCommandTest>(
        *this, {
                   {"in the middle of the focus object", [](auto& t) { t.focus(t.add(0, 0, 30)); },
                    [](auto&) { Cmd::createSection(15); }, "L0: 0..30{15}"},
                   {"at the start: passed over", [](auto& t) { t.focus(t.add(0, 0, 30)); },
                    [](auto&) { Cmd::createSection(0); }, "L0: 0..30"},
                   {"at the end: passed over", [](auto& t) { t.focus(t.add(0, 0, 30)); },
                    [](auto&) { Cmd::createSection(30); }, "L0: 0..30"},
                   {"on an existing midpoint: passed over",
                    [](auto& t) {
                        auto o = t.add(0, 0, 30);
                        t.edit([&](auto&) { o->addSection(10); });
                        t.focus(o);
                    },
                    [](auto&) { Cmd::createSection(10); }, "L0: 0..30{10}"},
                   {"every selected object that holds the frame",
                    [](auto& t) {
                        t.select({t.add(0, 0, 30), t.add(1, 10, 20), t.add(2, 40, 50)});
                    },
                    [](auto&) { Cmd::createSection(15); }, "L0: 0..30{15}; L1: 10..20{5}; L2: 40..50"},
                   {"the selection wins over the focus",
                    [](auto& t) {
                        t.focus(t.add(0, 0, 30));
                        t.select({t.add(1, 0, 30)});
                    },
                    [](auto&) { Cmd::createSection(15); }, "L0: 0..30; L1: 0..30{15}"},
                   {"a removed focus object is no target",
                    [](auto& t) {
                        auto o = t.add(0, 0, 30);
                        t.focus(o);
                        o->layer = -1;
                    },
                    [](auto&) { Cmd::createSection(15); }, "L0: 0..30"},
                   {"one object: the given frame", [](auto& t) { t.add(0, 0, 30); },
                    [](auto& t) { Cmd::createSection(t.scene().getLayer(0).objects[0], 12); }, "L0: 0..30{12}"},
                   {"one object, on a midpoint: the next free frame of that section",
                    [](auto& t) {
                        auto o = t.add(0, 0, 30);
                        t.edit([&](auto&) { o->addSection(10); });
                    },
                    [](auto& t) { Cmd::createSection(t.scene().getLayer(0).objects[0], 10); }, "L0: 0..30{10,11}"},
               });
}

TEST_F(SectionCommandTest, AMidpointKeepsEveryValueAtItsFrame) {
    auto o = add(0, 0, 30);
    auto& x = xItem(o->effects[0]);
    edit([&](auto&) {
        x.movement = Effect::findMovement(L"直線移動");
        x.resizeValues(2);
        x.setValue(0, 0);
        x.setValue(300, 1);
    });
    focus(o);
    std::map<int32_t, double> before;
    for (int32_t f : {5, 15, 25}) before[f] = Edit::EffectManager::getItemValuesAt(scene(), o, f, false)[&x].value;
    expectCommand(
        "at 15", [] { Cmd::createSection(15); }, "L0: 0..30{15}");
    ASSERT_EQ(x.values.size(), 3u);
    EXPECT_EQ(x.values[1], 150 * x.scale);
    for (int32_t f : {5, 15, 25})
        EXPECT_DOUBLE_EQ(Edit::EffectManager::getItemValuesAt(scene(), o, f, false)[&x].value, before[f]) << f;
}

TEST_F(SectionCommandTest, MidpointsAreRemovedOnlyWhereTheyLie) {
    const auto withMidpoints = [](SectionCommandTest& t) {
        auto o = t.add(0, 0, 30);
        t.edit([&](auto&) {
            o->addSection(10);
            o->addSection(20);
        });
        t.focus(o);
    };
    runCases<SectionCommandTest>(
        *this, {
                   {"at 20: midpoint 20", withMidpoints, [](auto&) { Cmd::deleteSection(20); }, "L0: 0..30{10}"},
                   {"at 15: none", withMidpoints, [](auto&) { Cmd::deleteSection(15); }, "L0: 0..30{10,20}"},
                   {"at the start: none", withMidpoints, [](auto&) { Cmd::deleteSection(0); }, "L0: 0..30{10,20}"},
                   {"from every selected object with one there",
                    [](auto& t) {
                        auto a = t.add(0, 0, 30), b = t.add(1, 10, 40);
                        t.edit([&](auto&) {
                            a->addSection(20);
                            b->addSection(20);
                            b->addSection(25);
                        });
                        t.select({a, b});
                    },
                    [](auto&) { Cmd::deleteSection(20); }, "L0: 0..30; L1: 10..40{15}"},
                   {"one object by number", withMidpoints,
                    [](auto& t) { Cmd::deleteSection(t.scene().focusObject, 1); }, "L0: 0..30{20}"},
                   {"one object, number 0: nothing", withMidpoints,
                    [](auto& t) { Cmd::deleteSection(t.scene().focusObject, 0); }, "L0: 0..30{10,20}"},
                   {"one object, number past the last: nothing", withMidpoints,
                    [](auto& t) { Cmd::deleteSection(t.scene().focusObject, 3); }, "L0: 0..30{10,20}"},
               });
}

TEST_F(SectionCommandTest, TheMidpointEntriesFindATargetAtTheCursor) {
    auto o = add(0, 0, 30);
    edit([&](auto&) {
        o->addSection(10);
        o->addSection(20);
    });
    focus(o);
    struct Row {
        int32_t frame;
        bool add, remove;
    } rows[] = {
        {0, false, true},  // the start: a section of the object is longer than one frame
        {5, true, false},  {10, false, true},  {15, true, false},
        {20, false, true}, {30, false, false}, {40, false, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Cmd::canCreateSectionAt(scene(), r.frame), r.add) << r.frame;
        EXPECT_EQ(Cmd::canDeleteSectionAt(scene(), r.frame), r.remove) << r.frame;
    }
    // Only a one-frame section from the cursor on: nothing to delete there.
    auto tight = add(1, 0, 3);
    edit([&](auto&) { tight->addSection(2); });
    ASSERT_EQ(tight->midpoints, std::vector<int32_t>{2});
    focus(tight);
    EXPECT_FALSE(Cmd::canDeleteSectionAt(scene(), 2));
    EXPECT_TRUE(Cmd::canDeleteSectionAt(scene(), 0));
    focus(nullptr);
    EXPECT_FALSE(Cmd::canCreateSectionAt(scene(), 15));
}

TEST_F(SectionCommandTest, TheLengthComesFromTheDialogAndStopsAtTheNextObject) {
    const auto setUp = [](std::optional<int32_t> frames, std::function<void(SectionCommandTest&)> more) {
        return [=](SectionCommandTest& t) {
            t.dialogs->frameAnswers.push_back(frames);
            more(t);
        };
    };
    runCases<SectionCommandTest>(*this, {
                                            {"to 50 frames", setUp(50, [](auto& t) { t.focus(t.add(0, 0, 30)); }),
                                             [](auto&) { Cmd::changeObjectLength(); }, "L0: 0..49"},
                                            // The shortest an object gets by stretching ends one frame past its start.
                                            {"0 gives the shortest object",
                                             setUp(0, [](auto& t) { t.focus(t.add(0, 10, 30)); }),
                                             [](auto&) { Cmd::changeObjectLength(); }, "L0: 10..11"},
                                            {"1 the same", setUp(1, [](auto& t) { t.focus(t.add(0, 10, 30)); }),
                                             [](auto&) { Cmd::changeObjectLength(); }, "L0: 10..11"},

                                            {"cancel", setUp(std::nullopt, [](auto& t) { t.focus(t.add(0, 0, 30)); }),
                                             [](auto&) { Cmd::changeObjectLength(); }, "L0: 0..30"},
                                            {"the next object limits it",
                                             setUp(100,
                                                   [](auto& t) {
                                                       t.focus(t.add(0, 0, 30));
                                                       t.add(0, 60, 70);
                                                   }),
                                             [](auto&) { Cmd::changeObjectLength(); }, "L0: 0..59 60..70"},
                                            {"midpoints scale with the length",
                                             setUp(61,
                                                   [](auto& t) {
                                                       auto o = t.add(0, 0, 30);
                                                       t.edit([&](auto&) { o->addSection(10); });
                                                       t.focus(o);
                                                   }),
                                             [](auto&) { Cmd::changeObjectLength(); }, "L0: 0..60{20}"},
                                            {"shrinking keeps the midpoints apart and in order",
                                             setUp(2,
                                                   [](auto& t) {
                                                       auto o = t.add(0, 0, 30);
                                                       t.edit([&](auto&) {
                                                           o->addSection(10);
                                                           o->addSection(11);
                                                           o->addSection(12);
                                                       });
                                                       t.focus(o);
                                                   }),
                                             [](auto&) { Cmd::changeObjectLength(); }, "L0: 0..4{1,2,3}"},
                                            {"every selected object",
                                             setUp(11,
                                                   [](auto& t) {
                                                       t.select({t.add(0, 0, 30), t.add(1, 5, 6)});
                                                   }),
                                             [](auto&) { Cmd::changeObjectLength(); }, "L0: 0..10; L1: 5..15"},
                                        });
    // The dialog starts from the first target's length.
    restart();
    select({add(0, 0, 30), add(1, 0, 5)});
    dialogs->asked.clear();
    Cmd::changeObjectLength();
    ASSERT_FALSE(dialogs->asked.empty());
    EXPECT_EQ(dialogs->asked.back().title, L"オブジェクトの長さを変更");
}

// A file may hold an object whose last midpoint is its last frame (frames
// 10,11,12); shortening it must not push its end into the next object.
class StretchTest : public ModelFixture {};

TEST_F(StretchTest, ShorteningAnObjectWithAMidpointOnItsLastFrameKeepsItOffTheNextObject) {
    auto o = scene.createObject(0, 10, 12);
    o->midpoints = {1, 2};
    scene.createObject(0, 13, 20);
    settle();
    scene.stretchObjectLength(*o, 1);
    settle();
    EXPECT_EQ(o->end, 12);
    EXPECT_EQ(o->midpoints, (std::vector<int32_t>{1, 2}));
    // With room behind it the end still stays one frame past the last midpoint.
    auto free = scene.createObject(1, 10, 12);
    free->midpoints = {1, 2};
    settle();
    scene.stretchObjectLength(*free, 1);
    EXPECT_EQ(free->end, 13);
}

TEST_F(SectionCommandTest, AStretchedLayerRangeControlActsOnItsNewFrames) {
    auto control = add(0, 0, 30, kGroup);
    add(1, 0, 100);
    focus(control);
    dialogs->frameAnswers.push_back(81);
    expectCommand(
        "stretch", [] { Cmd::changeObjectLength(); }, "L0: 0..80; L1: 0..100");
    ASSERT_EQ(scene().getLayer(0).controlRanges.size(), 1u);
    EXPECT_EQ(scene().getLayer(0).controlRanges[0].end, 80);
    ASSERT_TRUE(undo().undo());
    EXPECT_EQ(scene().getLayer(0).controlRanges[0].end, 30);
}

TEST_F(SectionCommandTest, EmptyFramesMoveEverythingFromTheFrameOn) {
    const auto ask = [](std::optional<int32_t> frames, std::function<void(SectionCommandTest&)> more) {
        return [=](SectionCommandTest& t) {
            t.dialogs->frameAnswers.push_back(frames);
            more(t);
        };
    };
    const auto at = [](int32_t frame) { return [=](SectionCommandTest&) { Cmd::insertNullFrame(frame); }; };
    runCases<SectionCommandTest>(
        *this,
        {
            {"30 at 100",
             ask(30,
                 [](auto& t) {
                     t.add(0, 90, 120);
                     t.add(1, 100, 150);
                     t.add(1, 200, 210);
                 }),
             at(100), "L0: 90..120; L1: 130..180 230..240"},
            {"hidden and locked layers up to the last used one take part",
             ask(10,
                 [](auto& t) {
                     t.add(0, 50, 60);
                     t.add(2, 50, 60);
                     t.add(5, 0, 60);
                     t.edit([](Edit::Scene& s) {
                         s.getLayer(0).layer->hide = true;
                         s.getLayer(2).layer->lock = true;
                     });
                 }),
             at(50), "L0: 60..70; L2: 60..70; L5: 0..60"},
            {"at the scene's end nothing moves", ask(10, [](auto& t) { t.add(0, 0, 60); }), at(61), "L0: 0..60"},
            {"past the scene's end nothing moves", ask(10, [](auto& t) { t.add(0, 0, 60); }), at(500), "L0: 0..60"},
            {"cancel", ask(std::nullopt, [](auto& t) { t.add(0, 100, 150); }), at(0), "L0: 100..150"},
            {"0 frames", ask(0, [](auto& t) { t.add(0, 100, 150); }), at(0), "L0: 100..150"},
            {"a move stops at the last frame there is",
             ask(1000,
                 [](auto& t) {
                     t.add(0, 2147483000, 2147483600);
                     t.add(1, 10, 20);
                 }),
             at(5), "L0: 2147483047..2147483647; L1: 57..67"},
        });
    restart();
    dialogs->frameAnswers.push_back(5);
    Cmd::insertNullFrame(0);
    EXPECT_EQ(dialogs->asked.back().title, L"空のフレームを挿入");
}

TEST_F(SectionCommandTest, TheCursorStepsAlongTheFocusObjectsBoundaries) {
    auto o = add(0, 0, 30);
    add(1, 0, 100);
    edit([&](auto&) {
        o->addSection(10);
        o->addSection(20);
    });
    struct Row {
        int32_t from, next, prev;
    } rows[] = {
        {10, 20, 0}, {25, 30, 20}, {30, 30, 20}, {20, 30, 10}, {0, 10, 0}, {5, 10, 0}, {40, 30, 30},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Cmd::nextSectionFrame(*o, r.from), r.next) << r.from;
        EXPECT_EQ(Cmd::prevSectionFrame(*o, r.from), r.prev) << r.from;
    }
    // Before the object both go forward to its start.
    auto late = add(2, 50, 60);
    EXPECT_EQ(Cmd::nextSectionFrame(*late, 40), 50);
    EXPECT_EQ(Cmd::prevSectionFrame(*late, 40), 50);

    const size_t before = records();
    focus(o);
    scene().cursorFrame = 25;
    Cmd::moveCursorToNextSection();
    EXPECT_EQ(scene().cursorFrame, 30);
    Cmd::moveCursorToPrevSection();
    Cmd::moveCursorToPrevSection();
    EXPECT_EQ(scene().cursorFrame, 10);
    focus(nullptr);
    Cmd::moveCursorToNextSection();
    EXPECT_EQ(scene().cursorFrame, 10);
    EXPECT_EQ(records(), before);
}

TEST_F(SectionCommandTest, TheTypedTimeMovesTheCursorWithinTheScene) {
    add(0, 0, 100);
    scene().cursorFrame = 7;
    dialogs->frameAnswers = {40, std::nullopt, 5000};
    Cmd::showMoveTimeDialog();
    EXPECT_EQ(scene().cursorFrame, 40);
    EXPECT_EQ(dialogs->asked.back().title, L"指定時間に移動");
    Cmd::showMoveTimeDialog();
    EXPECT_EQ(scene().cursorFrame, 40);
    Cmd::showMoveTimeDialog();
    EXPECT_EQ(scene().cursorFrame, 100);
    EXPECT_EQ(records(), 0u);
}

TEST_F(SectionCommandTest, EachCommandLogsItsLine) {
    LogCapture log;
    auto o = add(0, 0, 30);
    focus(o);
    Cmd::createSection(15);
    Cmd::createSection(o, 5);
    Cmd::deleteSection(o, 1);
    Cmd::deleteSection(15);
    dialogs->frameAnswers = {20, 3};
    Cmd::changeObjectLength();
    Cmd::insertNullFrame(0);
    EXPECT_TRUE(logged(log, "create section frame=15 num=1"));
    EXPECT_TRUE(logged(log, "create section layer=0 frame=5"));
    EXPECT_TRUE(logged(log, "delete section layer=0 frame=0 section=1"));
    EXPECT_TRUE(logged(log, "delete section frame=15 num=1"));
    EXPECT_TRUE(logged(log, "change object length num=1 length=20"));
    EXPECT_TRUE(logged(log, "insert null frame length=3"));
}

}  // namespace
