#include "filters/ObjectDivide.h"

namespace Effect {

ObjectDivide::ObjectDivide() {
    name = L"オブジェクト分割";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"配置";
}

std::shared_ptr<EffectBase> ObjectDivide::createInstance() const { return std::make_shared<ObjectDivide>(); }

std::shared_ptr<Media::ResourceBuffer> ObjectDivide::filterVideo(Render::RenderContext&,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ObjectDivide::filterVideo");
}

}  // namespace Effect
