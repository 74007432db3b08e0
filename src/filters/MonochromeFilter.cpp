#include "filters/MonochromeFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/YuvColor.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

MonochromeFilter::MonochromeFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"色調整";
}

void MonochromeFilter::createCommonResource() {
    common = std::make_shared<CommonResource>(std::array<const char*, 1>{"Monochrome"},
                                              "Effect::MonochromeFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> MonochromeFilter::filterVideo(Render::RenderContext& context,
                                                                     std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image) return image;
    const float s = FilterValue::percent(strength.getValue(context));
    Constant& c = common->constant;
    c.level[0] = keepLuminance.value ? 0.0f : s;
    c.level[1] = s;
    c.level[2] = s;
    c.level[3] = 0;
    const auto yuv = yuvOf(color);
    for (int i = 0; i < 3; ++i) c.yuv[i] = yuv[size_t(i)];
    Platform::gpu::Buffer* constant = common->upload();
    auto target = FilterPasses::newImage(image->width, image->height);
    common->shaders[0].drawResourceToResourceWithConstant(*target, *image, constant, nullptr);
    return target;
}

}  // namespace Effect
