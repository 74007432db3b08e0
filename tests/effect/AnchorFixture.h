#pragma once
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/AnchorCommands.h"
#include "effect/AnchorEvent.h"
#include "effect/EffectBase.h"
#include "effect/AnchorList.h"
#include "effect/EffectItemNumber.h"
#include "effect/MovementLookup.h"
#include "effect/OutputView.h"
#include "effect/RenderContext.h"
#include "support/TestModelQueries.h"

namespace anchors {

// The frame's size comes through the reader the program installs; this one
// answers 640 x 360 for the stand-in frame, which it never reads.
alignas(std::max_align_t) inline unsigned char gFrame[16] = {};
inline Media::RenderBuffer* const kFrame = reinterpret_cast<Media::RenderBuffer*>(gFrame);
constexpr float kWidth = 640, kHeight = 360;

// Records what anchor events asked of the edit side, with settings the test sets.
class RecordingCommands : public Effect::AnchorCommands {
public:
    std::vector<int32_t> shownFrames, cursorFrames;
    bool visible = true;
    int32_t shown = -1;
    bool movePoints = true, centerAnchor = false, snap = true;
    int pictures[2] = {};

    void showSection(const Edit::Object&, int32_t frame) override { shownFrames.push_back(frame); }
    int32_t shownKey(const Edit::Object&) const override { return shown; }
    void setCursorFrame(int32_t frame) override { cursorFrames.push_back(frame); }
    bool visibleClippingObject() const override { return visible; }
    void setVisibleClippingObject(bool v) override { visible = v; }
    const void* clippingIcon(bool v) const override { return &pictures[v ? 1 : 0]; }
    bool displayObjectMovePoint() const override { return movePoints; }
    bool displayObjectCenterAnchor() const override { return centerAnchor; }
    bool anchorObjectMoveSnap() const override { return snap; }
};

// A source that only heads the chain.
class StillSource : public Effect::EffectBase {
public:
    StillSource() { role = kInput; }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<StillSource>(); }
};

// Clip-space position of a point of the scene drawn with the view's own
// projection (no camera, no group), the view placed at (x, y, z).
inline Platform::math::Float4 clipOf(float wx, float wy, float x, float y, float z) {
    const float depth = 1024.0f / (z + 1024.0f);
    return {2 * ((wx - x) * depth + x) / kWidth, -2 * ((wy - y) * depth + y) / kHeight, 0, 1};
}

class AnchorFixture : public testing::Test {
protected:
    void SetUp() override {
        previousReader_ = Effect::setFrameSizeReader(
            [](const Media::RenderBuffer&, int32_t& width, int32_t& height) { width = 640, height = 360; });
        previousCommands_ = Effect::AnchorCommands::setCurrent(&commands);
        scene.videoWidth = 640;
        scene.videoHeight = 360;
        context.scene = &scene;
        context.view.frameBuffer = kFrame;
        context.anchorList = &list;
    }
    void TearDown() override {
        Effect::AnchorCommands::setCurrent(previousCommands_);
        Effect::setFrameSizeReader(previousReader_);
    }
    void place(const std::shared_ptr<Edit::Object>& o, int32_t frame) {
        context.object = o;
        context.frame = frame;
        context.preciseFrame = frame;
        context.section = Render::SectionPosition::locate(*o, frame, frame);
    }
    static void setValues(Effect::EffectItemNumber& item, const std::vector<double>& values,
                          const wchar_t* movement = L"直線移動") {
        if (values.size() > 1) item.movement = Effect::findMovement(movement);
        item.values.resize(values.size());
        for (size_t i = 0; i < values.size(); ++i) item.setValue(values[i], static_cast<int32_t>(i));
    }
    std::vector<const Anchor::AnchorItem*> ofType(int32_t type) const {
        std::vector<const Anchor::AnchorItem*> out;
        for (const Anchor::AnchorItem& item : list.items)
            if (item.type == type) out.push_back(&item);
        return out;
    }
    // The drag event the preview sends for the item after a move by dx, dy pixels.
    static Anchor::AnchorEvent dragOf(const Anchor::AnchorItem& item, int32_t dx, int32_t dy) {
        Anchor::AnchorEvent event;
        event.object = item.object;
        event.effect = item.effect;
        event.id = item.id;
        event.flags = item.flags;
        event.kind = Anchor::AnchorEvent::kDrag;
        event.matrix = item.matrix;
        event.position = item.position;
        event.startPosition = item.startPosition;
        event.vectorA = item.vectorA;
        event.vectorB = item.vectorB;
        event.referencePoint = item.referencePoint;
        event.stepX = event.totalX = dx;
        event.stepY = event.totalY = dy;
        event.viewport = {0, 0, kWidth, kHeight};
        return event;
    }

    RecordingCommands commands;
    Edit::Scene scene{0, 0};
    Render::RenderContext context;
    Anchor::AnchorList list;

private:
    Effect::FrameSizeReader previousReader_ = nullptr;
    Effect::AnchorCommands* previousCommands_ = nullptr;
};

}  // namespace anchors
