#include "filters/BorderBlurFilter.h"

#include <algorithm>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

// Shader order in the class resource.
enum : size_t { kFade, kAlphaMask, kAlphaBoxH, kAlphaBoxV };

}  // namespace

BorderBlurFilter::BorderBlurFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"ぼかし";
}

void BorderBlurFilter::createCommonResource() {
    auto made = ShaderResource::create(4, 0);
    FilterPasses::loadShaders(*made, {"BorderFade", "AlphaEdgeMask", "AlphaBoxH", "AlphaBoxV"},
                              "Effect::BorderBlurFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> BorderBlurFilter::filterVideo(Render::RenderContext& context,
                                                                     std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t r = FilterValue::pixels(range.getValue(context));
    const float ratio = FilterValue::percent(aspect.getValue(context));
    int32_t rx = r, ry = r;
    if (ratio > 0)
        ry = std::max(0, static_cast<int32_t>((1.0f - ratio) * static_cast<float>(r)));
    else if (ratio < 0)
        rx = std::max(0, static_cast<int32_t>((1.0f + ratio) * static_cast<float>(r)));
    const Constant record{{rx, ry}, {1.0f / static_cast<float>(2 * rx + 1), 1.0f / static_cast<float>(2 * ry + 1)}};
    Platform::gpu::Buffer* buffer = FilterPasses::uploadShared(record);
    auto& shaders = resource->shaders;

    auto output = FilterPasses::newImage(image->width, image->height);
    if (!alphaBorder.value) {
        shaders[kFade]->drawResourceToResourceWithConstant(*output, *image, buffer, nullptr);
        return output;
    }
    auto across = FilterPasses::newImage(image->width, image->height);
    shaders[kAlphaBoxV]->drawResourceToResourceWithConstant(*output, *image, buffer, nullptr);
    shaders[kAlphaBoxH]->drawResourceToResourceWithConstant(*across, *output, buffer, nullptr);
    shaders[kAlphaMask]->drawTwoResourcesToResource(*output, *image, *across, nullptr);
    return output;
}

}  // namespace Effect
