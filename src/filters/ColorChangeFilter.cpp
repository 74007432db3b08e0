#include "filters/ColorChangeFilter.h"

#include <algorithm>

#include "core/Exception.h"
#include "effect/EffectService.h"
#include "effect/RenderContext.h"
#include "filters/ChromaKeyFilter.h"
#include "filters/FilterBase.h"
#include "filters/YuvColor.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

ColorChangeFilter::ColorChangeFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"色調整";
}

void ColorChangeFilter::createCommonResource() {
    common = std::make_shared<CommonResource>(std::array<const char*, 2>{"ColorChangePlain", "ColorChangeBorder"},
                                              "Effect::ColorChangeFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> ColorChangeFilter::filterVideo(Render::RenderContext& context,
                                                                      std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image || before.unset || after.unset) return image;
    EffectService* service = EffectService::get();
    if (!service) throw System::messageException("Effect::EffectService::getDefaultEffect", "default effect not found");
    ChromaKeyFilter& chromaKey = service->getDefaultEffect<ChromaKeyFilter>();
    const int32_t r = FilterValue::pixels(border.getValue(context));
    const float color[3] = {before.red / 255.0f, before.green / 255.0f, before.blue / 255.0f};
    const auto map = chromaKey.createKeyMap(*image, color, static_cast<float>(hueRange.getValue(context)),
                                            static_cast<float>(saturationRange.getValue(context)), r, false, false);
    Constant& c = common->constant;
    c = Constant{};
    const auto to = yuvOf(after), from = yuvOf(before);
    c.afterY = to[0];
    c.afterU = to[1];
    c.afterV = to[2];
    c.beforeY = std::max(from[0], 0.001f);
    c.beforeU = from[1];
    c.beforeV = from[2];
    c.range = r;
    c.divie = 1.0f / static_cast<float>((2 * r + 1) * (2 * r + 1));
    c.correct = correctColor.value ? 1.0f : 0.0f;
    Platform::gpu::Buffer* constant = common->upload();
    Media::Direct3DService::get()->context->setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, constant);
    auto target = FilterPasses::newImage(image->width, image->height);
    common->shaders[r < 1 ? 0 : 1].drawTwoResourcesToResource(*target, *image, *map, nullptr);
    return target;
}

}  // namespace Effect
