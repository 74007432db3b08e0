#include "effects/GroupAudioControl.h"

#include "edit/Object.h"
#include "effect/AudioRenderContext.h"
#include "effects/AudioItemValue.h"

namespace Effect {

GroupAudioControl::GroupAudioControl() {
    role = kControl;
    media = kAudio;
    placement = kAudio;
    menuGroup = L"オブジェクト制御";
}

EffectItemInteger* GroupAudioControl::getLayerRange() { return &layers; }

void GroupAudioControl::controlAudio(Render::AudioRenderContext& context) {
    AudioItemValue values(context);
    const double v = values.get(volume) / 100;
    const double p = values.get(pan);
    double left = v, right = v;
    if (p > 0)
        left = v * (100 - p) / 100;
    else if (p < 0)
        right = v * (p + 100) / 100;
    leftFactor = static_cast<float>(left);
    rightFactor = static_cast<float>(right);
    // Nested groups multiply: the walk leaves the enclosing group in the context.
    if (const std::shared_ptr<Edit::Object>& outer = context.groupControl; outer && !outer->effects.empty())
        if (const auto* group = dynamic_cast<const AudioControlView*>(outer->effects.front().get())) {
            leftFactor *= group->getLeftFactor();
            rightFactor *= group->getRightFactor();
        }
}

}  // namespace Effect
