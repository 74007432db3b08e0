#include "filters/ColorKeyFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/YuvColor.h"
#include "media/gpu/BlendStateList.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

constexpr size_t kCopy = 2;  // the shared plain copy

}  // namespace

ColorKeyFilter::ColorKeyFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"抽出";
}

void ColorKeyFilter::createCommonResource() {
    common = std::make_shared<CommonResource>(std::array<const char*, 2>{"ColorKeyMask", "ColorKeyBorder"},
                                              "Effect::ColorKeyFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> ColorKeyFilter::filterVideo(Render::RenderContext& context,
                                                                   std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image || key.unset || image->width == 0 || image->height == 0) return image;
    image = FilterPasses::ownImage(std::move(image));
    const int32_t r = FilterValue::pixels(border.getValue(context));
    Constant& c = common->constant;
    const auto yuv = yuvOf(key);
    for (int i = 0; i < 3; ++i) c.key[i] = yuv[size_t(i)];
    c.range = r;
    c.len[0] = static_cast<float>(luminanceRange.getValue(context) / 4096);
    c.len[1] = c.len[2] = static_cast<float>(colorRange.getValue(context) / 4096);
    c.divie = 1.0f / static_cast<float>((2 * r + 1) * (2 * r + 1));
    Platform::gpu::Buffer* constant = common->upload();
    const std::unique_ptr<Media::ResourceBuffer> mask =
        Media::ResourceBuffer::createBlank(image->width, image->height, Media::Direct3DService::get()->maskFormat);
    common->shaders[0].drawResourceToResourceWithConstant(*mask, *image, constant, nullptr);

    // The image's colour and alpha times the mask, in place.
    const Platform::gpu::BlendState* multiply = FilterPasses::blend(7);
    if (r < 1)
        FilterPasses::sharedShaders()[kCopy].drawResourceToResource(*image, *mask, multiply);
    else
        common->shaders[1].drawResourceToResourceWithConstant(*image, *mask, constant, multiply);
    return image;
}

}  // namespace Effect
