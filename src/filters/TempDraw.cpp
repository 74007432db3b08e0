#include "filters/TempDraw.h"

namespace Effect {

TempDraw::TempDraw() {
    name = L"オフスクリーン描画";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<EffectBase> TempDraw::createInstance() const { return std::make_shared<TempDraw>(); }

std::shared_ptr<Media::ResourceBuffer> TempDraw::filterVideo(Render::RenderContext&,
                                                             std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::TempDraw::filterVideo");
}

}  // namespace Effect
