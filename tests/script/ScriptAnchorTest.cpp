// Points a script shows in the preview with obj.setanchor: where they come
// from (the tracks or a list parameter), when they are made, and what a drag
// of one writes back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/HookScope.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/AnchorEvent.h"
#include "effect/AnchorList.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemString.h"
#include "effect/RenderContext.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/image/PixelFormat.h"
#include "script/ScriptEffect.h"
#include "script/ScriptPluginInstance.h"
#include "script/ScriptService.h"

namespace {

using Anchor::AnchorItem;

constexpr const char* kEngines[] = {"lua", "luaJIT"};

class AnchorScript : public Effect::ScriptEffect {
public:
    AnchorScript() : ScriptEffect(L"anchors", kInput, kVideo) {}
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<AnchorScript>(); }
};

class PlainOutput : public Effect::EffectBase {
public:
    PlainOutput() {
        role = kOutput;
        media = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<PlainOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext& context) override { return context.view; }
};

void frameSize(const Media::RenderBuffer&, int32_t& width, int32_t& height) {
    width = 320;
    height = 180;
}

// A script object, focused, on frame 0 of a 320 x 180 scene: one pixel of
// the frame is one unit of the object.
class ScriptAnchorTest : public testing::Test {
protected:
    void SetUp() override {
        object = scene.createObject(0, 0, 30);
        object->effects = {script, std::make_shared<PlainOutput>()};
        scene.focusObject = object;
        context.scene = &scene;
        context.object = object;
        context.frame = 0;
        context.anchorList = &anchors;
        context.view.frameBuffer = &frame;
    }

    // A new script effect of the text in the object's place.
    void setScript(const std::string& text) {
        script = std::make_shared<AnchorScript>();
        object->effects[0] = script;
        script->createCommonResource();
        script->setScript({L"anchors", text}, L"/scripts", nullptr, nullptr);
    }
    // One run of the body after the header; what it wrote with mes, or its error.
    std::string run(const char* engine, const std::string& header, const std::string& body) {
        setScript(header + "\n" + body);
        return exec(engine);
    }
    std::string exec(const char* engine) {
        anchors.clear();
        try {
            auto instance = service.get()->findScriptPlugin(engine)->createEffectInstance(*script, context);
            instance->executeEffect(script->commonResource().scriptText);
            return System::wideToUtf8(instance->messageText);
        } catch (const std::exception& e) {
            return std::string("error: ") + e.what();
        }
    }
    std::vector<const AnchorItem*> points() const {
        std::vector<const AnchorItem*> out;
        for (const AnchorItem& item : anchors.items)
            if (item.type == AnchorItem::kPoint) out.push_back(&item);
        return out;
    }
    size_t lines() const {
        size_t n = 0;
        for (const AnchorItem& item : anchors.items) n += item.type == AnchorItem::kColourPolyline;
        return n;
    }
    std::string listText(const char* name) const {
        const auto found = script->variableMap().find(name);
        if (found == script->variableMap().end()) return "missing";
        return System::wideToUtf8(static_cast<const Effect::EffectItemString&>(*found->second).text);
    }
    // A drag of the anchor by whole pixels from where it was pressed.
    bool drag(const AnchorItem& item, int32_t dx, int32_t dy, int32_t kind = Anchor::AnchorEvent::kDrag) {
        Anchor::AnchorEvent event;
        event.object = item.object;
        event.effect = item.effect;
        event.id = item.id;
        event.flags = item.flags;
        event.kind = kind;
        event.matrix = item.matrix;
        event.position = item.position;
        event.startPosition = item.startPosition;
        event.label = item.label;
        event.tag = item.tag;
        event.totalX = event.stepX = dx;
        event.totalY = event.stepY = dy;
        event.viewport = {0, 0, 320, 180};
        return script->anchorEvent(event);
    }

    System::HookScope<Effect::FrameSizeReader> sizes{Effect::setFrameSizeReader, &frameSize};
    System::ServiceHolder<Plugin::ScriptService> service;
    Edit::Scene scene{0, 0};
    std::shared_ptr<Edit::Object> object;
    std::shared_ptr<AnchorScript> script = std::make_shared<AnchorScript>();
    Media::RenderBuffer frame{Media::PixelFormat::kR16G16B16A16Float, Media::Direct3DService::SampleDesc{}};
    Anchor::AnchorList anchors;
    Render::RenderContext context;
};

TEST_F(ScriptAnchorTest, ListParametersReadAndWriteTheirNumbers) {
    struct Case {
        const char* list;
        std::vector<float> values;
    };
    const Case cases[] = {
        {"10,20,30,40", {10, 20, 30, 40}},
        {"1.5, -2,x,3", {1.5f, -2}},  // a word ends the list
        {"", {}},
        {"7", {7}},
    };
    for (const Case& c : cases) {
        setScript(std::string("--dialog:Points,pos={") + c.list + "}\nmes('')");
        EXPECT_EQ(script->getAnchorValues("pos"), c.values) << c.list;
    }
    // Not a list parameter, or none of that name: nothing.
    setScript("--track0:Size,0,100,10\n--dialog:Name,who=\"x\"\nmes('')");
    EXPECT_TRUE(script->getAnchorValues("track0").empty());
    EXPECT_TRUE(script->getAnchorValues("who").empty());
    EXPECT_TRUE(script->getAnchorValues("nothing").empty());
    setScript("--dialog:Points,pos={0}\nmes('')");
    script->setAnchorValues("pos", {1, -2.5f, 1.0f / 3});
    EXPECT_EQ(listText("pos"), "1.00,-2.50,0.33");
}

TEST_F(ScriptAnchorTest, SetanchorMakesPointsAndLinesOfTheFocusedObject) {
    for (const char* engine : kEngines) {
        // Points of a list parameter: its values as the points, padded to
        // the count; the script's table of that name receives them all.
        EXPECT_EQ(run(engine, "--dialog:Points,pos={10,20}", "mes(obj.setanchor('pos', 3) .. ' ' .. #pos .. ' ' .. pos[6])"),
                  "3 6 0")
            << engine;
        std::vector<const AnchorItem*> made = points();
        ASSERT_EQ(made.size(), 3u) << engine;
        EXPECT_EQ(made[0]->position.x, 10);
        EXPECT_EQ(made[0]->position.y, 20);
        EXPECT_EQ(made[2]->id, 2);
        EXPECT_EQ(made[2]->flags & ~AnchorItem::kProjected, Effect::ScriptEffect::kAnchor2d);
        EXPECT_EQ(made[2]->label, "pos");
        EXPECT_EQ(made[2]->tag, 6u);
        EXPECT_EQ(made[0]->effect, script);
        EXPECT_EQ(lines(), 0u);

        // In and out halves, three coordinates, lines within each half.
        EXPECT_EQ(run(engine, "--dialog:Points,p={1,2,3,4,5,6}", "mes(obj.setanchor('p', 6, 'xyz', 'inout', 'line'))"),
                  "6")
            << engine;
        made = points();
        ASSERT_EQ(made.size(), 6u) << engine;
        EXPECT_EQ(made[1]->position.z, 6);
        EXPECT_EQ(made[2]->flags & 3u, 1u);
        EXPECT_EQ(made[3]->flags & 3u, 2u);
        EXPECT_EQ(made[5]->flags & Effect::ScriptEffect::kAnchor3d, Effect::ScriptEffect::kAnchor3d);
        EXPECT_EQ(lines(), 4u) << engine;

        // A table gives lines only: a loop of three points is three segments.
        EXPECT_EQ(run(engine, "", "mes(obj.setanchor({0, 0, 10, 0, 10, 10}, 3, 'loop', 'color', 0xff0000))"), "3")
            << engine;
        EXPECT_TRUE(points().empty());
        EXPECT_EQ(lines(), 3u) << engine;
        ASSERT_FALSE(anchors.items.empty());
        EXPECT_EQ(anchors.items[0].colour[0], 1.0f);
        EXPECT_EQ(anchors.items[0].colour[1], 0.0f);

        // An object that is not focused, or a locked effect: the count and nothing else.
        scene.focusObject.reset();
        EXPECT_EQ(run(engine, "--dialog:Points,pos={10,20}", "mes(obj.setanchor('pos', 2, 'star') .. #pos)"), "22")
            << engine;
        EXPECT_TRUE(anchors.empty());
        scene.focusObject = object;
        setScript("--dialog:Points,pos={10,20}\nmes(obj.setanchor('pos', 2))");
        script->locked = 1;
        EXPECT_EQ(exec(engine), "2") << engine;
        EXPECT_TRUE(anchors.empty());
        // Not rendered for the preview.
        context.anchorList = nullptr;
        EXPECT_EQ(run(engine, "--dialog:Points,pos={10,20}", "mes(obj.setanchor('pos', 2))"), "2") << engine;
        context.anchorList = &anchors;
        EXPECT_TRUE(anchors.empty());
    }
}

TEST_F(ScriptAnchorTest, TrackPointsAreTheKeysOfTheTracks) {
    object->midpoints = {10, 20};
    for (const char* engine : kEngines) {
        setScript("--track0:X,-1000,1000,0,1\n--track1:Y,-1000,1000,0,1\nmes('')");
        Effect::EffectItemNumber& x = *script->getTrackItem(0);
        Effect::EffectItemNumber& y = *script->getTrackItem(1);
        // One value per key: start, the two midpoints, the end.
        x.values = {0, 10, 20, 30};
        y.values = {5, 6, 7, 8};
        EXPECT_EQ(script->getTrackPoints(context, 2, 4), (std::vector<float>{0, 5, 10, 6, 20, 7, 30, 8}));
        // The count given is replaced by the number of keys.
        script->commonResource().scriptText = "mes(obj.setanchor('track', 0))";
        EXPECT_EQ(exec(engine), "4") << engine;
        const std::vector<const AnchorItem*> made = points();
        ASSERT_EQ(made.size(), 4u) << engine;
        EXPECT_EQ(made[2]->position.x, 20);
        EXPECT_EQ(made[2]->position.y, 7);
        EXPECT_EQ(made[3]->label, "track");
    }
}

// A track that does not keep one value per key gives its movement's value
// at the midpoints; the first and last points stay the stored ones.
TEST_F(ScriptAnchorTest, TrackPointsBetweenKeysComeFromTheMovement) {
    object->midpoints = {10};
    setScript("--track0:X,-1000,1000,0,1\nmes('')");
    Effect::EffectItemNumber& x = *script->getTrackItem(0);
    x.values = {0, 30};  // two values with one midpoint: the middle point is computed
    const std::vector<float> points = script->getTrackPoints(context, 1, 3);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0], 0);
    EXPECT_EQ(points[1], static_cast<float>(x.getValueAt(context, 10)));
    EXPECT_EQ(points[2], 30);
}

TEST_F(ScriptAnchorTest, ADragMovesThePointInItsListOrItsTracks) {
    struct Case {
        const char* list;
        int32_t count;  // points the script shows
        int32_t point;
        const char* after;
    };
    const Case cases[] = {
        {"10,20,30,40", 2, 1, "10.00,20.00,35.00,35.00"},
        {"10,20", 2, 1, "10.00,20.00,5.00,-5.00"},  // padded with zeros first
        {"1,2,3,4,5,6", 2, 0, "6.00,-3.00,3.00,4.00"},  // the extra values are dropped
    };
    for (const Case& c : cases) {
        (void)run("lua", std::string("--dialog:Points,pos={") + c.list + "}",
                  "obj.setanchor('pos', " + std::to_string(c.count) + ")");
        const std::vector<const AnchorItem*> made = points();
        ASSERT_GT(made.size(), static_cast<size_t>(c.point)) << c.list;
        EXPECT_TRUE(drag(*made[static_cast<size_t>(c.point)], 5, -5)) << c.list;
        EXPECT_EQ(listText("pos"), c.after) << c.list;
    }
    // A click is not the script's to handle.
    (void)run("lua", "--dialog:Points,pos={1,2}", "obj.setanchor('pos', 1)");
    ASSERT_EQ(points().size(), 1u);
    EXPECT_FALSE(drag(*points()[0], 5, 5, Anchor::AnchorEvent::kClick));
    EXPECT_EQ(listText("pos"), "1,2");

    // A track point moves tracks 0 and 1 at its key, within their range.
    object->midpoints = {10};
    setScript("--track0:X,-1000,1000,0,1\n--track1:Y,-100,100,0,1\nobj.setanchor('track', 0)");
    script->getTrackItem(0)->values = {0, 10, 20};
    script->getTrackItem(1)->values = {0, 95, 0};
    (void)exec("lua");
    ASSERT_EQ(points().size(), 3u);
    EXPECT_TRUE(drag(*points()[1], 7, 9));
    EXPECT_EQ(script->getTrackItem(0)->values, (std::vector<int32_t>{0, 17, 20}));
    EXPECT_EQ(script->getTrackItem(1)->values, (std::vector<int32_t>{0, 100, 0}));
}

}  // namespace
