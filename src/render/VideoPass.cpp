#include "render/VideoPass.h"

#include <cwchar>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/RenderContext.h"
#include "media/gpu/ResourceBuffer.h"
#include "render/GroupLayers.h"

namespace Render {

namespace {

using Effect::EffectBase;

// Puts the object that was current at entry back, with its section position.
class KeepCurrent {
public:
    explicit KeepCurrent(RenderContext& context)
        : context_(context), object_(context.object), section_(context.section) {}
    ~KeepCurrent() {
        context_.object = std::move(object_);
        context_.section = section_;
    }
    KeepCurrent(const KeepCurrent&) = delete;
    KeepCurrent& operator=(const KeepCurrent&) = delete;

private:
    RenderContext& context_;
    std::shared_ptr<Edit::Object> object_;
    SectionPosition section_;
};

bool isGroupControl(const Edit::Object& object) {
    return !object.effects.empty() && object.effects.front()->role == EffectBase::kControl &&
           std::wcscmp(object.effects.front()->name, VideoPass::kGroupControlName) == 0;
}

}  // namespace

bool VideoPass::isVideoFilter(const EffectBase& effect) {
    return effect.role == EffectBase::kFilter && !effect.disabled &&
           (effect.media == EffectBase::kVideo || effect.media == EffectBase::kVideoAudio);
}

void VideoPass::collectObjectChain(RenderContext& context, int32_t media) {
    auto chain = std::make_shared<ObjectChain>();
    chain->push_back(context.object);
    const Edit::Scene& scene = *context.scene;
    const int32_t last = std::min(scene.lastUsedLayer, scene.layerCount() - 1);
    for (int32_t layer = context.object->layer + 1; layer <= last; ++layer) {
        std::shared_ptr<Edit::Object> next = scene.findLayerObject(layer, context.frame, media);
        if (!next)
            continue;
        if (next->effects.front()->role != EffectBase::kFilter)
            break;
        chain->push_back(std::move(next));
    }
    context.chain = std::move(chain);
}

void VideoPass::addGroupChain(RenderContext& context, const GroupLayers& groups) {
    const std::shared_ptr<Edit::Object>& group = context.view.groupControl;
    if (!group)
        return;
    if (!context.chain)
        context.chain = std::make_shared<ObjectChain>();
    if (group->effects.size() >= 2)
        context.chain->push_back(group);
    int32_t layer = groups.enclosing(*group);
    while (layer != -1) {
        std::shared_ptr<Edit::Object> outer = context.scene->findLayerObject(layer, context.frame, EffectBase::kVideo);
        if (!outer || !isGroupControl(*outer))
            break;
        if (outer->effects.size() >= 2)
            context.chain->push_back(outer);
        const int32_t next = groups.enclosing(*outer);
        if (next >= layer)
            break;
        layer = next;
    }
}

void VideoPass::preInputVideo(RenderContext& context) {
    if (!context.chain)
        return;
    const KeepCurrent keep(context);
    for (const auto& object : *context.chain) {
        context.setObject(object);
        for (const auto& effect : object->effects)
            if ((effect->role == EffectBase::kInput || effect->role == EffectBase::kFilter) && !effect->disabled)
                effect->preInputVideo(context);
    }
}

VideoPass::Image VideoPass::filterVideo(RenderContext& context, Image image, const EffectBase* startAfter) {
    if (!context.chain)
        return image;
    const KeepCurrent keep(context);
    bool skipping = startAfter != nullptr;
    for (const auto& object : *context.chain) {
        if (!image)
            break;
        context.setObject(object);
        for (const auto& effect : object->effects) {
            if (skipping) {
                skipping = effect.get() != startAfter;
                continue;
            }
            if (!isVideoFilter(*effect))
                continue;
            image = effect->filterVideo(context, std::move(image));
            if (!image)
                return nullptr;
        }
    }
    return image;
}

VideoPass::Image VideoPass::applyFilters(RenderContext& context, Image image, const EffectBase* startAfter,
                                         RenderContext* outer) {
    struct KeepAnchors {
        RenderContext& context;
        Anchor::AnchorList* anchors;
        ~KeepAnchors() { context.anchorList = anchors; }
    } keep{context, context.anchorList};
    context.anchorList = nullptr;
    image = filterVideo(context, std::move(image), startAfter);
    if (outer && context.customShape)
        outer->customShape = 1;
    return image;
}

void VideoPass::controlVideo(RenderContext& context) {
    if (!context.chain)
        return;
    const KeepCurrent keep(context);
    for (const auto& object : *context.chain) {
        context.setObject(object);
        for (const auto& effect : object->effects)
            if (effect->role == EffectBase::kFilter && !effect->disabled)
                effect->controlVideo(context);
    }
}

void VideoPass::outputVideo(RenderContext& context, const Image& image) {
    if (!image || !context.chain || context.chain->empty())
        return;
    const KeepCurrent keep(context);
    const std::shared_ptr<Edit::Object>& first = context.chain->front();
    context.setObject(first);
    if (first->effects.size() < 2 || !context.view.frameBuffer)
        return;
    first->effects[1]->outputVideo(context, *context.view.frameBuffer, image);
}

void VideoPass::updateFilterAnchors(RenderContext& context, int32_t width, int32_t height) {
    if (!context.anchorList || !context.chain)
        return;
    const KeepCurrent keep(context);
    for (const auto& object : *context.chain) {
        context.setObject(object);
        for (const auto& effect : object->effects)
            if (isVideoFilter(*effect))
                effect->updateAnchor(context, width, height);
    }
}

void VideoPass::updateOutputAnchor(RenderContext& context, int32_t width, int32_t height) {
    if (!context.anchorList || !context.chain || context.chain->empty())
        return;
    const KeepCurrent keep(context);
    const std::shared_ptr<Edit::Object>& first = context.chain->front();
    context.setObject(first);
    if (first->effects.size() >= 2)
        first->effects[1]->updateAnchor(context, width, height);
}

void VideoPass::renderVideo(RenderContext& context, Image& previousObjectImage) {
    if (!context.object || context.object->effects.empty())
        return;
    if (context.object->clipping)
        context.view.cameraControl.reset();  // masks are drawn without the camera
    context.previousObjectImage = &previousObjectImage;
    Image image = context.object->effects.front()->inputVideo(context);
    context.previousObjectImage = nullptr;
    if (!image)
        return;
    previousObjectImage.reset();
    image = filterVideo(context, std::move(image), nullptr);
    if (!image)
        return;
    outputVideo(context, image);
    const auto width = static_cast<int32_t>(image->width);
    const auto height = static_cast<int32_t>(image->height);
    if (!context.plainPlacement)
        updateFilterAnchors(context, width, height);
    updateOutputAnchor(context, width, height);
    previousObjectImage = std::move(image);
}

}  // namespace Render
