// A script's own points in the preview, made by obj.setanchor in a run for
// the preview and dragged through the input router: the drag changes the
// script's tracks or its list parameter, and one undo puts them back.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "PreviewDragFixture.h"
#include "core/HookScope.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "effect/AnchorList.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemString.h"
#include "effect/RenderContext.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "script/ScriptEffect.h"
#include "script/ScriptPluginInstance.h"
#include "script/ScriptService.h"
#include "support/RouterDriver.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ExtraColours.h"
#include "ui/framework/DockFixture.h"
#include "ui/panels/PreviewControl.h"

namespace {

using Anchor::AnchorItem;
using TestSupport::Input;

class DraggedScript : public Effect::ScriptEffect {
public:
    DraggedScript() : ScriptEffect(L"points", kInput, kVideo) {}
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<DraggedScript>(); }
};

// Places the object at the frame's centre.
class CentredOutput : public Effect::EffectBase {
public:
    CentredOutput() {
        role = kOutput;
        media = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<CentredOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext& context) override { return context.view; }
};

void frameSize(const Media::RenderBuffer&, int32_t& width, int32_t& height) {
    width = 320;
    height = 180;
}

class ScriptAnchorDrag : public PreviewDragFixture {
protected:
    void SetUp() override {
        DockWindow::SetUp();
        startEditing();
        scripts.emplace();
        object = scene->createObject(0, 0, 60);
        object->effects = {script, std::make_shared<CentredOutput>()};
        scene->focusObject = object;
        script->createCommonResource();
        script->setScript({L"points",
                           "--track0:X,-1000,1000,0,1\n--track1:Y,-1000,1000,0,1\n"
                           "--dialog:Points,pos={-40,20,60,-30}\n"
                           "obj.setanchor('track', 0, 'line')\nobj.setanchor('pos', 2, 'loop')"},
                          L"/scripts", nullptr, nullptr);
        ASSERT_NO_FATAL_FAILURE(showPreview());
    }
    void TearDown() override {
        area.reset();
        object.reset();
        scene.reset();
        scripts.reset();
        stopEditing();
        DockWindow::TearDown();
    }
    // A run for the preview: its points become the preview's anchors.
    void renderAnchors() {
        Render::RenderContext context;
        context.scene = scene.get();
        context.object = object;
        context.frame = 0;
        context.anchorList = &area->anchors();
        context.view.frameBuffer = &frame;
        area->anchors().clear();
        auto instance = scripts->get()->findScriptPlugin("lua")->createEffectInstance(*script, context);
        instance->executeEffect(script->commonResource().scriptText);
        area->canvas().layoutAnchors();
    }
    const AnchorItem& point(const char* label, int32_t id) const {
        for (const AnchorItem& item : area->anchors().items)
            if (item.type == AnchorItem::kPoint && item.label == label && item.id == id) return item;
        ADD_FAILURE() << "no point " << label << " " << id;
        return area->anchors().items.front();
    }
    void drag(const AnchorItem& item, int32_t dx, int32_t dy) {
        const int32_t x = area->canvas().fullRect.x + static_cast<int32_t>(item.screenPoints[0].x);
        const int32_t y = area->canvas().fullRect.y + static_cast<int32_t>(item.screenPoints[0].y);
        driver.run({{Input::Move, x, y}, {Input::Press, x, y}});
        driver.send({Input::Move, x + dx / 2, y + dy / 2});
        driver.send({Input::Move, x + dx, y + dy});
        driver.send({Input::Release, x + dx, y + dy});
    }
    std::string list() const {
        const auto found = script->variableMap().find("pos");
        return System::wideToUtf8(static_cast<const Effect::EffectItemString&>(*found->second).text);
    }

    System::HookScope<Effect::FrameSizeReader> sizes{Effect::setFrameSizeReader, &frameSize};
    std::optional<System::ServiceHolder<Plugin::ScriptService>> scripts;
    std::shared_ptr<Edit::Object> object;
    std::shared_ptr<DraggedScript> script = std::make_shared<DraggedScript>();
    Media::RenderBuffer frame{Media::PixelFormat::kR16G16B16A16Float, Media::Direct3DService::SampleDesc{}};
};

TEST_F(ScriptAnchorDrag, DraggingATrackPointChangesTheTracksAndOneUndoRestoresThem) {
    script->getTrackItem(0)->values = {10};
    script->getTrackItem(1)->values = {-20};
    renderAnchors();
    drag(point("track", 0), 25, 15);
    EXPECT_EQ(script->getTrackItem(0)->values, std::vector<int32_t>{35});
    EXPECT_EQ(script->getTrackItem(1)->values, std::vector<int32_t>{-5});
    EXPECT_EQ(list(), "-40,20,60,-30") << "the other points stay";
    ASSERT_TRUE(undo->get()->canUndo());
    EXPECT_TRUE(undo->get()->undo());
    EXPECT_EQ(script->getTrackItem(0)->values, std::vector<int32_t>{10});
    EXPECT_EQ(script->getTrackItem(1)->values, std::vector<int32_t>{-20});
    EXPECT_FALSE(undo->get()->canUndo()) << "the whole drag was one record";
}

TEST_F(ScriptAnchorDrag, DraggingAListPointRewritesTheListAndOneUndoRestoresIt) {
    renderAnchors();
    drag(point("pos", 1), -10, 12);
    EXPECT_EQ(list(), "-40.00,20.00,50.00,-18.00");
    EXPECT_TRUE(undo->get()->undo());
    EXPECT_EQ(list(), "-40,20,60,-30");
    // The next run shows the point where the list puts it again.
    renderAnchors();
    EXPECT_EQ(point("pos", 1).position.x, 60);
}

}  // namespace
