#include "filters/ColorFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

ColorFilter::ColorFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"色調整";
}

void ColorFilter::createCommonResource() {
    common = std::make_shared<CommonResource>(std::array<const char*, 1>{"ColorCorrection"},
                                              "Effect::ColorFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> ColorFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image) return image;
    const float k = FilterValue::percent(contrast.getValue(context));
    const float b = FilterValue::percent(brightness.getValue(context));
    Constant& c = common->constant;
    c.contrast = k;
    c.brightness = (b - 1.5f) * k + 0.5f;
    c.hue = FilterValue::radians(hue.getValue(context));
    c.luminance = FilterValue::percent(luminance.getValue(context));
    c.chroma = FilterValue::percent(saturation.getValue(context));
    c.processSaturate = saturate.value != 0;
    c.processYUV = !(c.hue == 0 && c.luminance == 1 && c.chroma == 1);
    Platform::gpu::Buffer* constant = common->upload();
    auto target = FilterPasses::newImage(image->width, image->height);
    common->shaders[0].drawResourceToResourceWithConstant(*target, *image, constant, nullptr);
    return target;
}

}  // namespace Effect
