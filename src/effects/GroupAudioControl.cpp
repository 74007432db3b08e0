#include "effects/GroupAudioControl.h"

#include "core/Exception.h"

namespace Effect {

GroupAudioControl::GroupAudioControl() {
    name = L"グループ制御(音声)";
    role = kControl;
    media = kAudio;
    placement = kAudio;
    menuGroup = L"オブジェクト制御";
}

std::shared_ptr<EffectBase> GroupAudioControl::createInstance() const { return std::make_shared<GroupAudioControl>(); }

EffectItemInteger* GroupAudioControl::getLayerRange() { return &layers; }

void GroupAudioControl::controlAudio(Render::AudioRenderContext&) {
    throw System::notImplementException("Effect::GroupAudioControl::controlAudio");
}

}  // namespace Effect
