#include "filters/ChromaKeyFilter.h"

#include <algorithm>
#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

ChromaKeyFilter::ChromaKeyFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"抽出";
}

void ChromaKeyFilter::createCommonResource() {
    common = std::make_shared<CommonResource>(std::array<const char*, 3>{"ChromaKeyMap", "ChromaKeyPlain",
                                                                         "ChromaKeyBorder"},
                                              "Effect::ChromaKeyFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> ChromaKeyFilter::filterVideo(Render::RenderContext& context,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image || key.unset) return image;
    const int32_t r = FilterValue::pixels(border.getValue(context));
    const float color[3] = {key.red / 255.0f, key.green / 255.0f, key.blue / 255.0f};
    const auto map = createKeyMap(*image, color, static_cast<float>(hueRange.getValue(context)),
                                  static_cast<float>(saturationRange.getValue(context)), r, correctColor.value != 0,
                                  correctAlpha.value != 0);
    auto target = FilterPasses::newImage(image->width, image->height);
    // The key map's constants are still bound.
    common->shaders[r < 1 ? 1 : 2].drawTwoResourcesToResource(*target, *image, *map, nullptr);
    return target;
}

std::shared_ptr<Media::ResourceBuffer> ChromaKeyFilter::createKeyMap(Media::ResourceBuffer& image, const float color[3],
                                                                     float hueRange, float saturationRange,
                                                                     int32_t border, bool spill, bool soft) {
    const float r = color[0], g = color[1], b = color[2];
    const float u = -0.169f * r - 0.331f * g + 0.5f * b;
    const float v = 0.5f * r - 0.419f * g - 0.081f * b;
    Constant& c = common->constant;
    c = Constant{};
    c.keyH = std::atan2(v, u) / 3.14159265f;
    c.keyS = std::max(std::sqrt(u * u + v * v), 0.001f);
    c.lenH = hueRange / 256;
    c.lenS = saturationRange * c.keyS / 256;
    c.keyU = u;
    c.keyV = v;
    c.range = border;
    c.divie = 1.0f / static_cast<float>((2 * border + 1) * (2 * border + 1));
    c.correct = spill ? 1.0f : 0.0f;
    c.transparent = soft ? 0.0f : 1.0f;
    Platform::gpu::Buffer* constant = common->upload();
    auto map = FilterPasses::newImage(image.width, image.height);
    common->shaders[0].drawResourceToResourceWithConstant(*map, image, constant, nullptr);
    // The composite passes of the caller read the same constants.
    Media::Direct3DService::get()->context->setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, constant);
    return map;
}

}  // namespace Effect
