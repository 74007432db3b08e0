#include "filters/BlurFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

BlurFilter::BlurFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"ぼかし";
}

void BlurFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 32);
    FilterPasses::loadShaders(*made, {"RadialBlur"}, "Effect::BlurFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> BlurFilter::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return radialBlur(*image, context.view.centerX, context.view.centerY, static_cast<float>(range.getValue(context)),
                      static_cast<float>(x.getValue(context)), static_cast<float>(y.getValue(context)),
                      fixedSize.value != 0);
}

std::shared_ptr<Media::ResourceBuffer> BlurFilter::radialBlur(Media::ResourceBuffer& image, float& centreX,
                                                              float& centreY, float strength, float x, float y,
                                                              bool keepSize) const {
    if (strength <= 0) return std::shared_ptr<Media::ResourceBuffer>(image.clone());
    const int32_t w = static_cast<int32_t>(image.width), h = static_cast<int32_t>(image.height);
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);
    const float cx = fw * 0.5f + x, cy = fh * 0.5f + y;
    const float k = 100.0f / (100.0f - strength);
    int32_t left = std::min(0, static_cast<int32_t>(cx - k * cx - 0.5f));
    int32_t top = std::min(0, static_cast<int32_t>(cy - k * cy - 0.5f));
    int32_t right = std::max(w, static_cast<int32_t>(cx - (cx - fw) * k + 0.5f));
    int32_t bottom = std::max(h, static_cast<int32_t>(cy - (cy - fh) * k + 0.5f));

    const int32_t gx = std::max(std::abs(left), std::abs(right - w));
    const int32_t gy = std::max(std::abs(top), std::abs(bottom - h));
    const int32_t n = std::max(10, static_cast<int32_t>(std::hypot(static_cast<double>(std::min(gx, w)),
                                                                   static_cast<double>(std::min(gy, h)))));

    const int32_t limit = static_cast<int32_t>(Media::ResourceBuffer::kMaxSize);
    if (keepSize) {
        left = top = 0;
        right = w;
        bottom = h;
    } else {
        right = std::min(right, left + limit);
        bottom = std::min(bottom, top + limit);
        centreX -= static_cast<float>(right - w + left) * 0.5f;
        centreY -= static_cast<float>(bottom - h + top) * 0.5f;
    }

    const Constant record{n,
                          strength * 0.01f / static_cast<float>(n),
                          {cx, cy},
                          {static_cast<float>(left), static_cast<float>(top)}};
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, record);
    auto target = FilterPasses::newImage(static_cast<uint32_t>(right - left), static_cast<uint32_t>(bottom - top));
    resource->shaders[0]->drawResourceToResourceWithConstant(*target, image, buffer, nullptr);
    return target;
}

}  // namespace Effect
