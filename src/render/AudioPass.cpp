#include "render/AudioPass.h"

#include <algorithm>
#include <cwchar>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/AudioControlView.h"
#include "effect/AudioRenderContext.h"
#include "effect/EffectBase.h"
#include "media/audio/AudioBuffer.h"
#include "render/GroupLayers.h"
#include "render/KeepCurrent.h"

namespace Render {

namespace {

using Effect::EffectBase;

bool isAudioFilter(const EffectBase& effect) {
    return effect.role == EffectBase::kFilter && !effect.disabled &&
           (effect.media == EffectBase::kAudio || effect.media == EffectBase::kVideoAudio);
}

bool holdsSamples(const AudioPass::Samples& samples) { return samples && samples->samples > 0; }

// A member of an audio group sounds with the factors of its innermost group,
// which already hold those of the groups around it.
void applyGroupGain(AudioRenderContext& context) {
    const std::shared_ptr<Edit::Object>& group = context.groupControl;
    if (!group || group->effects.empty()) return;
    if (const auto* view = dynamic_cast<const Effect::AudioControlView*>(group->effects.front().get())) {
        context.leftGain *= view->getLeftFactor();
        context.rightGain *= view->getRightFactor();
    }
}

}  // namespace

void AudioPass::collectObjectChain(AudioRenderContext& context) {
    auto chain = std::make_shared<ObjectChain>();
    chain->push_back(context.object);
    const Edit::Scene& scene = *context.scene;
    const int32_t last = std::min(scene.lastUsedLayer, scene.layerCount() - 1);
    for (int32_t layer = context.object->layer + 1; layer <= last; ++layer) {
        std::shared_ptr<Edit::Object> next = scene.findLayerObject(layer, context.frame, EffectBase::kAudio);
        if (!next) continue;
        if (next->effects.front()->role != EffectBase::kFilter) break;
        chain->push_back(std::move(next));
    }
    context.chain = std::move(chain);
}

void AudioPass::addGroupAudioChain(AudioRenderContext& context, const GroupLayers& groups) {
    const std::shared_ptr<Edit::Object>& group = context.groupControl;
    if (!group) return;
    if (!context.chain) context.chain = std::make_shared<ObjectChain>();
    if (group->effects.size() >= 2) context.chain->push_back(group);
    int32_t layer = groups.enclosing(*group);
    while (layer != -1) {
        std::shared_ptr<Edit::Object> outer = context.scene->findLayerObject(layer, context.frame, EffectBase::kAudio);
        if (!outer || !isGroupControl(*outer, AudioPass::kGroupControlName)) break;
        if (outer->effects.size() >= 2) context.chain->push_back(outer);
        const int32_t next = groups.enclosing(*outer);
        if (next >= layer) break;
        layer = next;
    }
}

void AudioPass::preInputAudio(AudioRenderContext& context) {
    if (!context.chain) return;
    const KeepCurrent keep(context);
    for (const auto& object : *context.chain) {
        context.setObject(object);
        for (const auto& effect : object->effects)
            if (!effect->disabled && (effect->role == EffectBase::kInput || effect->role == EffectBase::kFilter))
                effect->preInputAudio(context);
    }
}

AudioPass::Samples AudioPass::filterAudio(AudioRenderContext& context, Samples samples) {
    if (!context.chain) return samples;
    const KeepCurrent keep(context);
    for (const auto& object : *context.chain) {
        if (!holdsSamples(samples)) break;
        context.setObject(object);
        for (const auto& effect : object->effects) {
            if (!isAudioFilter(*effect)) continue;
            samples = effect->filterAudio(context, std::move(samples));
            if (!holdsSamples(samples)) return nullptr;
        }
    }
    return samples;
}

void AudioPass::outputAudio(AudioRenderContext& context, const Samples& samples) {
    if (!holdsSamples(samples) || !context.chain || context.chain->empty() || !context.mixBuffer) return;
    const KeepCurrent keep(context);
    const std::shared_ptr<Edit::Object> first = context.chain->front();
    context.setObject(first);
    for (const auto& effect : first->effects)
        if (effect->role == EffectBase::kOutput) {
            effect->outputAudio(context, *context.mixBuffer, samples);
            return;
        }
}

void AudioPass::renderAudio(AudioRenderContext& context) {
    Samples samples = context.object->effects.front()->inputAudio(context);
    if (!holdsSamples(samples)) return;
    samples = filterAudio(context, std::move(samples));
    applyGroupGain(context);
    outputAudio(context, samples);
}

}  // namespace Render
