#include "effects/GroupControl.h"

#include "core/Exception.h"

namespace Effect {

GroupControl::GroupControl() {
    name = L"グループ制御";
    role = kControl;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"オブジェクト制御";
}

std::shared_ptr<EffectBase> GroupControl::createInstance() const { return std::make_shared<GroupControl>(); }

EffectItemInteger* GroupControl::getLayerRange() { return &layers; }

void GroupControl::controlVideo(Render::RenderContext&) {
    throw System::notImplementException("Effect::GroupControl::controlVideo");
}

}  // namespace Effect
