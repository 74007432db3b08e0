#include "filters/BloomFilter.h"

namespace Effect {

BloomFilter::BloomFilter() {
    name = L"発光";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

std::shared_ptr<EffectBase> BloomFilter::createInstance() const { return std::make_shared<BloomFilter>(); }

std::shared_ptr<Media::ResourceBuffer> BloomFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BloomFilter::filterVideo");
}

}  // namespace Effect
