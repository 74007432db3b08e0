#include <gtest/gtest.h>

#include <future>
#include <regex>

#include "effect/AnchorList.h"
#include "media/gpu/RenderBuffer.h"
#include "render/RenderFixture.h"
#include "render/ResourceCache.h"

namespace RenderTest {
namespace {

using Strings = std::vector<std::string>;

class VideoWorkerTest : public RenderFixture {};

TEST_F(VideoWorkerTest, SceneWithoutObjectsIsAClearedFrameOfTheSceneSize) {
    // The frame buffer is reused between requests: a frame without objects
    // after one with objects must still come out cleared, at the new size.
    solid(0, "A", {1, 0, 0, 1}, 0, 0, 8, 6);
    const Frame drawn = render(5);
    ASSERT_EQ(drawn.frame, 5);
    EXPECT_FALSE(drawn.clear());

    struct Case {
        int32_t width, height;
    };
    for (const Case c : {Case{8, 6}, Case{5, 3}, Case{16, 9}}) {
        scene->videoWidth = c.width;
        scene->videoHeight = c.height;
        const Frame empty = render(200);  // after the object's end
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        EXPECT_EQ(empty.frame, 200);
        EXPECT_EQ(empty.width, static_cast<uint32_t>(c.width));
        EXPECT_EQ(empty.height, static_cast<uint32_t>(c.height));
        EXPECT_TRUE(empty.clear());
    }
}

TEST_F(VideoWorkerTest, LaterLayersDrawOverEarlierOnesAndOnlyTheirOwnPixels) {
    solid(0, "A", {1, 0, 0, 1}, 0, 0, 4, 4);
    solid(1, "B", {0, 0.5f, 0, 1}, 2, 2, 4, 3);
    const Frame f = render(0);
    ASSERT_EQ(f.width, 8u);
    const struct {
        uint32_t x, y;
        float r, g, a;
    } expected[] = {
        {0, 0, 1, 0, 1},     // A alone
        {3, 3, 0, 0.5f, 1},  // B over A
        {5, 4, 0, 0.5f, 1},  // B alone
        {7, 0, 0, 0, 0},     // nothing
        {1, 5, 0, 0, 0},     // below A
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(std::to_string(e.x) + "," + std::to_string(e.y));
        EXPECT_FLOAT_EQ(f.at(e.x, e.y)[0], e.r);
        EXPECT_FLOAT_EQ(f.at(e.x, e.y)[1], e.g);
        EXPECT_FLOAT_EQ(f.at(e.x, e.y)[3], e.a);
    }
}

TEST_F(VideoWorkerTest, FilterObjectsAfterAnObjectJoinItsChainUpToTheNextObject) {
    // Layer 3 holds nothing, or something no video lookup finds: the chain goes on past it.
    enum Gap { kEmpty, kAudioOnly, kHidden };
    for (const Gap gap : {kEmpty, kAudioOnly, kHidden}) {
        SCOPED_TRACE(gap);
        scene = std::make_shared<Edit::Scene>(0, 0);
        SetUp();
        solid(1, "A");
        filterObject(2, "f2");
        if (gap == kAudioOnly) add(kTone, 3);
        if (gap == kHidden) {
            solid(3, "H");
            scene->layers[3]->layer->hide = true;
        }
        filterObject(4, "f4");
        solid(5, "B");
        ASSERT_EQ(render(0).frame, 0);
        const Steps s = steps();
        EXPECT_EQ(s.prepared, (Strings{"prepare A @L1", "prepare f2 @L2", "prepare f4 @L4", "prepare B @L5"}));
        EXPECT_EQ(s.drawn, (Strings{"in A", "filter f2 @L2", "filter f4 @L4", "out @L1", "in B", "out @L5"}));
    }
}

TEST_F(VideoWorkerTest, DisabledFiltersAreSkippedByEveryPass) {
    auto a = solid(0, "A");
    filter(a, "own-off").disabled = 1;
    filter(a, "own");
    filterObject(1, "obj");
    filter(scene->findLayerObject(1, 0, 0), "obj-off").disabled = 1;
    // A filter object whose every effect is off counts as an empty layer.
    filterObject(2, "all-off").disabled = 1;
    filterObject(3, "after");
    ASSERT_EQ(render(0).frame, 0);
    const Steps s = steps();
    EXPECT_EQ(s.prepared, (Strings{"prepare A @L0", "prepare own @L0", "prepare obj @L1", "prepare after @L3"}));
    EXPECT_EQ(s.drawn, (Strings{"in A", "filter own @L0", "filter obj @L1", "filter after @L3", "out @L0"}));
}

TEST_F(VideoWorkerTest, AFilterGivingNoImageStopsTheObjectOnly) {
    auto a = solid(0, "A", {1, 0, 0, 1}, 0, 0, 2, 2);
    filter(a, "stop").none = true;
    filter(a, "later");
    filterObject(1, "obj");
    solid(2, "B", {0, 0, 1, 1}, 4, 0, 2, 2);
    auto none = solid(3, "C");
    source(*none).none = true;  // an input without an image draws nothing either
    const Frame f = render(0);
    const Steps s = steps();
    EXPECT_EQ(s.drawn, (Strings{"in A", "filter stop @L0", "in B", "out @L2", "in C"}));
    EXPECT_FLOAT_EQ(f.at(0, 0)[3], 0);                 // A not drawn
    EXPECT_FLOAT_EQ(f.at(4, 0)[2], 1);                 // B drawn
    EXPECT_EQ(worker.previousObjectImage(), nullptr);  // dropped at the end of the walk
}

TEST_F(VideoWorkerTest, GroupRangesDecideWhichObjectsTheGroupActsOn) {
    struct Case {
        int32_t range;
        bool withFilter;
        int32_t groupOf[3];  // the group control's layer seen by the objects on layers 4, 5, 6
    };
    const Case cases[] = {
        {2, true, {3, 3, -1}},
        {0, true, {3, 3, 3}},  // 0: every later layer
        {1, false, {3, -1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        scene = std::make_shared<Edit::Scene>(0, 0);
        SetUp();
        auto group = control(kGroupName, 3, c.range);
        if (c.withFilter) filter(group, "g");
        std::shared_ptr<Edit::Object> objects[3];
        for (int32_t i = 0; i < 3; ++i) objects[i] = solid(4 + i, "O" + std::to_string(4 + i));
        ASSERT_EQ(render(0).frame, 0);
        const Steps s = steps();
        Strings drawn{"control @L3"};
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(source(*objects[i]).seenGroupLayer, c.groupOf[i]) << "layer " << 4 + i;
            drawn.push_back("in O" + std::to_string(4 + i));
            if (c.withFilter && c.groupOf[i] == 3) drawn.push_back("filter g @L3");
            drawn.push_back("out @L" + std::to_string(4 + i));
        }
        EXPECT_EQ(s.drawn, drawn);
        EXPECT_EQ(s.prepared.front(), "prepare control @L3");
    }
}

TEST_F(VideoWorkerTest, NestedGroupsRunTheInnerGroupsFiltersFirst) {
    auto outer = control(kGroupName, 1, 0);
    filter(outer, "outer");
    auto inner = control(kGroupName, 2, 1);
    filter(inner, "inner");
    auto both = solid(3, "both");
    filterObject(4, "own");  // a filter object is in the chain before the groups
    auto outside = solid(5, "outer-only");
    ASSERT_EQ(render(0).frame, 0);
    EXPECT_EQ(source(*both).seenGroupLayer, 2);
    EXPECT_EQ(source(*outside).seenGroupLayer, 1);
    EXPECT_EQ(steps().drawn, (Strings{"control @L1", "control @L2", "in both", "filter own @L4", "filter inner @L2",
                                      "filter outer @L1", "out @L3", "in outer-only", "filter outer @L1", "out @L5"}));
}

TEST_F(VideoWorkerTest, OtherControlsRunTheirStepWithoutOpeningAGroup) {
    control(kOtherControl, 0, 0);
    auto a = solid(1, "A");
    ASSERT_EQ(render(0).frame, 0);
    const Steps s = steps();
    EXPECT_EQ(s.prepared, (Strings{"prepare control @L0", "prepare A @L1"}));
    EXPECT_EQ(s.drawn, (Strings{"control @L0", "in A", "out @L1"}));
    EXPECT_EQ(source(*a).seenGroupLayer, -1);
}

TEST_F(VideoWorkerTest, ASceneRenderingItselfGetsAClearedFrameAndAWarning) {
    struct Case {
        bool preInput;
        Strings warnings;
        int32_t innerObjectsDrawn;
    };
    const Case cases[] = {
        {false, {"recursive scene. index=0 num=1"}, 0},
        // Data rendered ahead has its own key: one level renders, the next one is stopped.
        {true, {"recursive scene. index=1000000000 num=2"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preInput);
        scene = std::make_shared<Edit::Scene>(0, 0);
        SetUp();
        auto a = solid(0, "A", {0, 0, 1, 1});
        Media::Direct3DService& d3d = *Media::Direct3DService::get();
        Media::RenderBuffer inner(d3d.pixelFormat, d3d.defaultSampleDesc);
        Render::ResourceCache cache(0);
        int32_t nesting = 0;
        source(*a).onPrepare = [&](Render::RenderContext& context) {
            if (nesting++ < 2)
                Render::RenderWorkerBase::RenderSection(worker, *context.scene, context.frame, inner, &cache, nullptr,
                                                        0, Render::RenderWorkerBase::kAllLayers, c.preInput);
        };
        ThreadLog log;
        const Frame outer = render(0);
        EXPECT_EQ(log.messages("WARN"), c.warnings);
        EXPECT_EQ(outer.at(0, 0)[2], 1);  // the outer walk goes on
        const Steps s = steps();
        EXPECT_EQ(std::count(s.drawn.begin(), s.drawn.end(), "in A"), 1 + c.innerObjectsDrawn);
        const Frame innerFrame = readFrame(0, inner);
        EXPECT_EQ(innerFrame.width, 8u);
        EXPECT_EQ(innerFrame.at(0, 0)[2], c.innerObjectsDrawn ? 1 : 0);
        // The keys are released: the next request is no recursion.
        source(*a).onPrepare = nullptr;
        ThreadLog again;
        render(1);
        EXPECT_TRUE(again.messages("WARN").empty());
    }
}

TEST_F(VideoWorkerTest, AQueuedPreviewIsReplacedByTheNextPreview) {
    solid(0, "A");
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    std::mutex mutex;
    std::vector<std::pair<int32_t, int32_t>> done;  // (tag, frame)
    const auto request = [&](Render::RenderTaskType tag, int32_t frame, bool hold) {
        worker.requestRenderingFrame(tag, frame, [&, tag, hold](int32_t f, Media::RenderBuffer&, Anchor::AnchorList*) {
            if (hold) open.wait();
            const std::lock_guard guard(mutex);
            done.emplace_back(tag, f);
        });
    };
    request(Render::kRenderExport, 0, true);  // holds the render thread until the gate opens
    request(Render::kRenderPreview, 1, false);
    request(Render::kRenderPlayback, 2, false);
    request(Render::kRenderPreview, 3, false);
    request(Render::kRenderExport, 4, false);
    gate.set_value();
    worker.waitAll();
    EXPECT_EQ(done, (std::vector<std::pair<int32_t, int32_t>>{{3, 0}, {2, 2}, {1, 3}, {3, 4}}));
}

TEST_F(VideoWorkerTest, AnObjectThatFailsIsLoggedAndTheFrameStillCompletes) {
    source(*solid(0, "A")).failInput = true;
    solid(1, "B", {0, 1, 0, 1}, 4, 0, 2, 2);
    ThreadLog log;
    const Frame f = render(0);
    EXPECT_EQ(f.frame, 0);
    EXPECT_FLOAT_EQ(f.at(4, 0)[1], 1);
    EXPECT_FLOAT_EQ(f.at(0, 0)[3], 0);
    const auto errors = log.messages("ERROR");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "[RenderObjectWorkerVideo] exception.\nsolid source failed");
}

TEST_F(VideoWorkerTest, AWalkThatFailsWaitsForItsQueuedDrawingAndCallsNoCallback) {
    // The first object's drawing is queued when the second object's
    // preparation throws: it must run before the frame's buffers go away.
    int32_t unlockedWhileDrawing = 0;
    source(*solid(0, "A", {1, 0, 0, 1}, 0, 0, 8, 6)).onInput = [&] {
        const std::unique_lock edit(lock, std::try_to_lock);
        unlockedWhileDrawing += edit.owns_lock() ? 1 : 0;
    };
    source(*solid(1, "B")).onPrepare = [](Render::RenderContext&) { throw std::runtime_error("prepare failed"); };
    ThreadLog log;
    EXPECT_EQ(render(0).frame, -1);
    EXPECT_EQ(log.messages("ERROR"), (Strings{"[RenderVideoWorker] exception.\nprepare failed"}));
    EXPECT_EQ(steps().drawn, (Strings{"in A", "out @L0"}));
    EXPECT_EQ(unlockedWhileDrawing, 0);
    // The lock was released and the scene key removed: an edit and the next frame go ahead.
    { const std::unique_lock edit(lock); }
    source(*scene->findLayerObject(1, 0, 0)).onPrepare = nullptr;
    EXPECT_EQ(render(1).frame, 1);
    EXPECT_TRUE(log.messages("WARN").empty());
}

TEST_F(VideoWorkerTest, TheSceneIsLockedWhileDrawingAndFreeForTheCallback) {
    int32_t lockedWhileDrawing = 0;
    source(*solid(0, "A")).onInput = [&] {
        const std::unique_lock edit(lock, std::try_to_lock);
        lockedWhileDrawing += edit.owns_lock() ? 0 : 1;
    };
    bool lockedInCallback = true;
    worker.requestRenderingFrame(Render::kRenderExport, 0, [&](int32_t, Media::RenderBuffer&, Anchor::AnchorList*) {
        const std::unique_lock edit(lock, std::try_to_lock);  // a callback may open an edit scope
        lockedInCallback = !edit.owns_lock();
    });
    worker.waitAll();
    EXPECT_EQ(lockedWhileDrawing, 1);
    EXPECT_FALSE(lockedInCallback);
}

TEST_F(VideoWorkerTest, EachFrameLogsItsRenderTime) {
    solid(0, "A");
    ThreadLog log;
    render(7);
    const auto lines = log.lines();
    const auto line = std::find_if(lines.begin(), lines.end(), [](const ThreadLog::Line& l) {
        return l.scope == "Render::RenderVideoWorker::requestRenderingFrame";
    });
    ASSERT_NE(line, lines.end());
    EXPECT_EQ(line->level, "VERBOSE");
    EXPECT_TRUE(std::regex_match(line->message, std::regex(R"(rendered video frame \[7\] \d+\.\d{3} ms)")))
        << line->message;
}

TEST_F(VideoWorkerTest, AFrameOfManyObjectsIsSubmittedOnceAndStaysOnTheGpu) {
    for (int32_t i = 0; i < 10; ++i)
        solid(i, "S" + std::to_string(i), {0, 0, 1, 1}, static_cast<uint32_t>(i % 4) * 2, 0, 2, 2);
    render(0);  // textures and pipelines made once
    Media::Direct3DService& d3d = *Media::Direct3DService::get();
    const uint64_t before = d3d.context->submissionCount();
    bool called = false;
    worker.requestRenderingFrame(Render::kRenderExport, 0,
                                 [&called](int32_t, Media::RenderBuffer&, Anchor::AnchorList*) { called = true; });
    worker.waitAll();
    EXPECT_TRUE(called);
    EXPECT_EQ(d3d.context->submissionCount() - before, 1u);  // the flush at the end of the frame
}

TEST_F(VideoWorkerTest, OnlyPreviewsCollectTheFramesAnchors) {
    solid(0, "A");
    solid(2, "B");
    const auto anchorLayers = [this](Render::RenderTaskType tag) {
        std::vector<int32_t> layers;
        worker.requestRenderingFrame(tag, 0, [&layers](int32_t, Media::RenderBuffer&, Anchor::AnchorList* list) {
            ASSERT_NE(list, nullptr);
            for (const Anchor::AnchorItem& item : list->items) layers.push_back(item.id);
        });
        worker.waitAll();
        return layers;
    };
    EXPECT_EQ(anchorLayers(Render::kRenderPreview), (std::vector<int32_t>{0, 2}));
    // Each request starts from an empty list.
    EXPECT_EQ(anchorLayers(Render::kRenderPreview), (std::vector<int32_t>{0, 2}));
    EXPECT_TRUE(anchorLayers(Render::kRenderExport).empty());
}

}  // namespace
}  // namespace RenderTest
