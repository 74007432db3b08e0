#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/AudioRenderContext.h"
#include "effect/LinearMove.h"
#include "effect/RenderContext.h"
#include "effects/MovieLoad.h"

namespace {

// A movie object from frame 100 to 999 of a 30/1 scene, on a 10-second file
// already probed.
class PlayPositionTest : public testing::Test {
protected:
    void SetUp() override {
        source.file.path = L"/media/ten.mp4";
        source.movie.length = 10;
        source.movie.hasVideo = 1;
        source.movie.probed = 1;
        object->start = 100;
        object->end = 999;
    }

    double videoTime(int32_t frame, int32_t mediaFrameOffset = 0) {
        Render::RenderContext context;
        place(context, frame);
        context.mediaFrameOffset = mediaFrameOffset;
        return source.movie.getVideoTime(context);
    }
    double audioTime(int32_t frame) {
        Render::AudioRenderContext context;
        place(context, frame);
        return source.movie.getAudioTime(context);
    }
    void place(Render::ContextBase& context, int32_t frame) {
        context.scene = &scene;
        context.object = object;
        context.frame = frame;
        context.preciseFrame = frame;
        context.section = Render::SectionPosition::locate(*object, frame, frame);
    }
    void range(double lo, double hi) {
        source.playPosition.setValue(lo, 0);
        source.playPosition.setValue(hi, 1);
    }

    Edit::Scene scene{0, 0};
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 100, 999);
    Effect::MovieLoad source;
};

TEST_F(PlayPositionTest, FramesMapToMediaTimes) {
    struct Case {
        const char* what;
        double lo, hi, speed;
        bool loop;
        int32_t frame;  // after the start
        double time;
    };
    const Case cases[] = {
        {"default", 0, 0, 100, false, 45, 1.5},
        {"past the end shows the end", 0, 0, 100, false, 400, 10},
        {"range", 2, 4, 100, false, 30, 3},
        {"range end is held", 2, 4, 100, false, 90, 4},
        {"range end above the length", 1, 15, 100, false, 300, 10},
        {"range start above the length", 12, 0, 100, false, 0, 10},
        {"double speed", 0, 0, 200, false, 45, 3},
        {"backwards starts at the end", 0, 0, -100, false, 0, 10},
        {"backwards runs down", 0, 0, -100, false, 30, 9},
        {"backwards stops at the start", 0, 0, -100, false, 400, 0},
        {"backwards loop", 0, 0, -100, true, 330, 9},
        {"backwards loop stays above the start", 0, 0, -100, true, 300, 10},
        {"loop", 0, 0, 100, true, 330, 1},
        {"loop in a range", 2, 4, 100, true, 75, 2.5},
        {"loop over an empty range", 3, 3, 100, true, 45, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        range(c.lo, c.hi);
        source.playSpeed.setValue(c.speed, 0);
        source.loop.value = c.loop;
        EXPECT_NEAR(videoTime(100 + c.frame), c.time, 1e-9);
    }
}

TEST_F(PlayPositionTest, TheRenderAheadOfATransitionPlaysOnPastTheRange) {
    range(0, 4);
    EXPECT_NEAR(videoTime(250), 4, 1e-9);
    EXPECT_NEAR(videoTime(220, 30), 5, 1e-9);  // the frames before a transition keep playing
}

TEST_F(PlayPositionTest, SoundOutsideTheRangeIsSilent) {
    range(2, 4);
    EXPECT_NEAR(audioTime(100), 2, 1e-9);
    EXPECT_NEAR(audioTime(159), 2 + 59.0 / 30, 1e-9);
    EXPECT_EQ(audioTime(160), 11);  // at the range end: length + 1
}

TEST_F(PlayPositionTest, EachSectionPlaysAtItsOwnSpeed) {
    static const Effect::LinearMove linear;
    object->start = 0;
    object->end = 89;
    object->midpoints = {30, 60};
    source.playSpeed.movement = &linear;
    source.playSpeed.values = {10000, 20000, 5000, 5000};  // 100 %, 200 %, 50 %
    struct Case {
        int32_t frame;
        double time;
    };
    for (const Case c : {Case{15, 0.5}, Case{30, 1}, Case{45, 2}, Case{60, 3}, Case{75, 3.25}}) {
        SCOPED_TRACE(c.frame);
        EXPECT_NEAR(videoTime(c.frame), c.time, 1e-9);
    }
}

}  // namespace

namespace {

// Frames keep their pictures when the object is cut or its edges move.
TEST_F(PlayPositionTest, SplitsAndEdgeMovesKeepThePictures) {
    struct Case {
        const char* what;
        int32_t kind, start, end;  // the geometry after the change
        double lo, hi;             // the play range before
    };
    const Case cases[] = {
        {"start moved right", Effect::ItemEvent::kStartMoved, 130, 999, 0, 0},
        {"start moved right in a range", Effect::ItemEvent::kStartMoved, 160, 999, 1, 8},
        {"end moved left", Effect::ItemEvent::kEndMoved, 100, 220, 0, 0},
        {"the later piece of a split", Effect::ItemEvent::kSplit, 250, 999, 0, 0},
        {"the earlier piece of a split", Effect::ItemEvent::kSplit, 100, 249, 2, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        object->start = 100;
        object->end = 999;
        range(c.lo, c.hi);
        double before[4];
        const int32_t probes[4] = {c.start, c.start + 20, c.end - 20, c.end};
        for (int i = 0; i < 4; ++i)
            before[i] = videoTime(probes[i]);
        const Effect::InputMovieEffect::Geometry former = Effect::InputMovieEffect::geometryOf(*object);
        object->start = c.start;
        object->end = c.end;
        Effect::ItemEvent event;
        event.kind = c.kind;
        event.object = object;
        event.frame = c.kind == Effect::ItemEvent::kEndMoved ? former.end : former.start;
        EXPECT_TRUE(c.kind == Effect::ItemEvent::kSplit ? source.movie.onObjectRangeChanged(event, former)
                                                         : source.itemEvent(event));
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(videoTime(probes[i]), before[i], 1e-9) << probes[i];
    }
}

TEST_F(PlayPositionTest, AnObjectWithALoopKeepsItsPositionWhenMoved) {
    source.loop.value = 1;
    const auto former = Effect::InputMovieEffect::geometryOf(*object);
    object->start = 130;
    Effect::ItemEvent event;
    event.kind = Effect::ItemEvent::kStartMoved;
    event.object = object;
    event.frame = 100;
    EXPECT_FALSE(source.movie.onObjectRangeChanged(event, former));
    EXPECT_EQ(source.playPosition.keyValue(0), 0);
}

}  // namespace
