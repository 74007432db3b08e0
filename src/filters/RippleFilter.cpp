#include "filters/RippleFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterPasses.h"
#include "filters/ObjectTime.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

RippleFilter::RippleFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"変形";
    positionItems = {&centerX, &centerY};
}

void RippleFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 32);
    FilterPasses::loadShaders(*made, {"Ripple"}, "Effect::RippleFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> RippleFilter::filterVideo(Render::RenderContext& context,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    struct Constant {
        float center[2];
        float multiply[2];
        float offset;
        int32_t rippleNum, interval, amplifier;
    } constant{};
    static_assert(sizeof(Constant) == 32);
    constant.center[0] = float(image->width * 0.5 + centerX.getValue(context));
    constant.center[1] = float(image->height * 0.5 + centerY.getValue(context));
    constant.multiply[0] = float(1 / (width.getValue(context) * 2));
    constant.multiply[1] = float(height.getValue(context) * 0.5);
    constant.offset = float(ObjectTime::of(context).elapsed * speed.getValue(context));
    constant.interval = interval.value + 1;
    constant.rippleNum = constant.interval * count.value;
    constant.amplifier = constant.interval * amplify.value;
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, constant);
    FilterPasses::bindSampler(0);
    auto target = FilterPasses::newImage(image->width, image->height);
    resource->shaders[0]->drawResourceToResourceWithConstant(*target, *image, buffer, nullptr);
    return target;
}

}  // namespace Effect
