#include "filters/ImageLoop.h"

namespace Effect {

ImageLoop::ImageLoop() {
    name = L"画像ループ";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"配置";
}

std::shared_ptr<EffectBase> ImageLoop::createInstance() const { return std::make_shared<ImageLoop>(); }

std::shared_ptr<Media::ResourceBuffer> ImageLoop::filterVideo(Render::RenderContext&,
                                                              std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ImageLoop::filterVideo");
}

}  // namespace Effect
