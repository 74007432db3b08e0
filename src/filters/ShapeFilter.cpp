#include "filters/ShapeFilter.h"

#include "effect/RenderContext.h"
#include "filters/BokashiFilter.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

ShapeFilter::ShapeFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

void ShapeFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 0);
    FilterPasses::loadShaders(*made, {"Sharpen"}, "Effect::ShapeFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> ShapeFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    std::shared_ptr<Media::ResourceBuffer> copy(image->clone());
    auto blurred =
        FilterPasses::blurPrototype().blurImage(std::move(copy), FilterValue::pixels(range.getValue(context)), 0.0f, 2);
    const float level = FilterValue::percent(strength.getValue(context));
    Platform::gpu::Buffer* buffer = FilterPasses::uploadShared(level);
    // The blur binds its own constants: ours go to b0 for this pass.
    FilterPasses::device().setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, buffer);
    auto target = FilterPasses::newImage(image->width, image->height);
    resource->shaders[0]->drawTwoResourcesToResource(*target, *image, *blurred, nullptr);
    return target;
}

}  // namespace Effect
