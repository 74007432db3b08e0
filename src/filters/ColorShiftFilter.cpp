#include "filters/ColorShiftFilter.h"

#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/OptionList.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {}  // namespace

ColorShiftFilter::ColorShiftFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

void ColorShiftFilter::createCommonResource() {
    common = std::make_shared<CommonResource>(std::array<const char*, 1>{"ColorShift"},
                                              "Effect::ColorShiftFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> ColorShiftFilter::filterVideo(Render::RenderContext& context,
                                                                     std::shared_ptr<Media::ResourceBuffer> image) {
    const float theta = FilterValue::radians(angle.getValue(context));
    const float w = static_cast<float>(shift.getValue(context));
    const float dx = -std::sin(theta) * w, dy = std::cos(theta) * w;
    const int32_t mx = static_cast<int32_t>(std::ceil(std::abs(dx) - 0.001f));
    const int32_t my = static_cast<int32_t>(std::ceil(std::abs(dy) - 0.001f));
    const int32_t shiftKind = kind.index;
    if (!image || shiftKind < 0 || shiftKind > 5 || image->width == 0 || image->height == 0) return image;

    const float width = static_cast<float>(image->width), height = static_cast<float>(image->height);
    auto target = FilterPasses::newImage(image->width + 2 * static_cast<uint32_t>(mx),
                                         image->height + 2 * static_cast<uint32_t>(my));
    Constant& c = common->constant;
    c = Constant{};
    c.inverseSize[0] = 1 / width;
    c.inverseSize[1] = 1 / height;
    c.offset[0] = static_cast<float>(-mx);
    c.offset[1] = static_cast<float>(-my);
    c.alpha = FilterValue::percent(strength.getValue(context));
    c.mode = shiftKind / 3;
    const float d[2] = {dx / width, dy / height};
    // Red and green, red and blue, or green and blue move apart.
    float* first = shiftKind % 3 == 2 ? c.offsetG : c.offsetR;
    float* second = shiftKind % 3 == 0 ? c.offsetG : c.offsetB;
    for (int i = 0; i < 2; ++i) {
        first[i] = d[i];
        second[i] = -d[i];
    }
    Platform::gpu::Buffer* constant = common->upload();
    FilterPasses::bindSampler(0);
    common->shaders[0].drawResourceToResourceWithConstant(*target, *image, constant, nullptr);
    return target;
}

// The channel pairs shifted.
std::shared_ptr<const EffectItemSelect::SharedList> ColorShiftFilter::kindList() {
    static const auto list =
        makeOptionList({{0, L"赤緑A"}, {1, L"赤青A"}, {2, L"緑青A"}, {3, L"赤緑B"}, {4, L"赤青B"}, {5, L"緑青B"}});
    return list;
}

}  // namespace Effect
