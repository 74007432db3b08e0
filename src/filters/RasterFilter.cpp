#include "filters/RasterFilter.h"

#include <functional>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "filters/ObjectTime.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"

namespace Effect {

RasterFilter::RasterFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"変形";
}

void RasterFilter::createCommonResource() {
    auto made = ShaderResource::create(4, 32);
    FilterPasses::loadShaders(*made, {"RasterRows", "RasterColumns", "RasterRandomRows", "RasterRandomColumns"},
                              "Effect::RasterFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> RasterFilter::filterVideo(Render::RenderContext& context,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t a = FilterValue::pixels(width.getValue(context)), l = FilterValue::pixels(height.getValue(context));
    if (a <= 0 || l <= 0) return image;
    const bool columns = vertical.value, random = randomAmplitude.value;
    struct Constant {
        int32_t type;
        float length, cycle, PI2divideRange, divideRange;
        float pad[3];
    } constant{};
    static_assert(sizeof(Constant) == 32);
    const int32_t lines = static_cast<int32_t>(columns ? image->width : image->height);
    constant.type = random;
    constant.length = float(a);
    constant.PI2divideRange = float(6.283185307179586 / l);
    constant.divideRange = float(1.0 / l);
    constant.cycle = float(ObjectTime::of(context).elapsed * cycle.getValue(context) * l + double(l) * (lines / l + 1) -
                           lines / 2.0);

    std::shared_ptr<Media::ResourceBuffer> field;
    if (random) {
        Resource::ResourceService* service = Resource::ResourceService::get();
        if (service) field = service->smoothNoiseTexture.get();
        if (!field) throw std::bad_function_call();
    }
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, constant);
    const uint32_t grow = 2 * static_cast<uint32_t>(a);
    auto target = columns ? FilterPasses::newImage(image->width, image->height + grow)
                          : FilterPasses::newImage(image->width + grow, image->height);
    Media::PixelShader& shader = *resource->shaders[(random ? 2 : 0) + (columns ? 1 : 0)];
    if (random) {
        FilterPasses::device().setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, buffer);
        shader.drawTwoResourcesToResource(*target, *image, *field, nullptr);
    } else {
        shader.drawResourceToResourceWithConstant(*target, *image, buffer, nullptr);
    }
    return target;
}

}  // namespace Effect
