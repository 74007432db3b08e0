#include "effect/EffectBase.h"

#include "core/Exception.h"
#include "effect/NameTranslation.h"

namespace Effect {

EffectBase::~EffectBase() = default;

std::shared_ptr<Media::ResourceBuffer> EffectBase::inputVideo(Render::RenderContext&) {
    throw System::notImplementException("Effect::EffectBase::inputVideo");
}

void EffectBase::preInputVideo(Render::RenderContext&) {}

void EffectBase::outputVideo(Render::RenderContext&, Media::RenderBuffer&, std::shared_ptr<Media::ResourceBuffer>) {
    throw System::notImplementException("Effect::EffectBase::outputVideo");
}

void EffectBase::updateAnchor(Render::RenderContext&, int32_t, int32_t) {}

OutputView EffectBase::getOutputView(Render::RenderContext&) {
    throw System::notImplementException("Effect::EffectBase::getOutputView");
}

std::shared_ptr<Media::ResourceBuffer> EffectBase::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    image.reset();  // released before the throw, so the buffer never leaks
    throw System::notImplementException("Effect::EffectBase::filterVideo");
}

void EffectBase::controlVideo(Render::RenderContext&) {}

std::shared_ptr<Media::AudioBuffer> EffectBase::inputAudio(Render::AudioRenderContext&) {
    throw System::notImplementException("Effect::EffectBase::inputAudio");
}

void EffectBase::preInputAudio(Render::AudioRenderContext&) {}

void EffectBase::outputAudio(Render::AudioRenderContext&, Media::AudioBuffer&, std::shared_ptr<Media::AudioBuffer>) {
    throw System::notImplementException("Effect::EffectBase::outputAudio");
}

std::shared_ptr<Media::AudioBuffer> EffectBase::filterAudio(Render::AudioRenderContext&,
                                                            std::shared_ptr<Media::AudioBuffer> audio) {
    audio.reset();
    throw System::notImplementException("Effect::EffectBase::filterAudio");
}

void EffectBase::controlAudio(Render::AudioRenderContext&) {}

const EffectDefine* EffectBase::getPairedInputEffect() const { return nullptr; }

std::wstring EffectBase::getDisplayName() const { return translateName(name); }

bool EffectBase::hasLinkedAudio(int32_t) const { return false; }

EffectItemInteger* EffectBase::getLayerRange() {
    throw System::notImplementException("Effect::EffectBase::getLayerRange");
}

bool EffectBase::anchorEvent(const Anchor::AnchorEvent&) {
    throw System::notImplementException("Effect::EffectBase::anchorEvent");
}

bool EffectBase::itemEvent(const ItemEvent&) { return false; }

bool EffectBase::isSupportedFile(const std::wstring&) const { return false; }

void EffectBase::updateItemState() {}

void EffectBase::setupItemControls(Component::EffectSetting&) {}

void EffectBase::createCommonResource() {}

void EffectBase::shareResource(const EffectBase&) {}

std::shared_ptr<EffectBase> EffectBase::instantiate() const {
    std::shared_ptr<EffectBase> instance = createInstance();
    instance->shareResource(*this);
    return instance;
}

}  // namespace Effect
