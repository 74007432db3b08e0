#include "filters/BasicExpand.h"

#include <algorithm>

#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

// The shared shaders that move an image: reads outside give 0, or the nearest edge texel.
constexpr size_t kShiftCopy = 5;
constexpr size_t kShiftCopyClamp = 6;

}  // namespace

BasicExpand::BasicExpand() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<Media::ResourceBuffer> BasicExpand::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t t = std::max(0, FilterValue::pixels(top.getValue(context)));
    const int32_t b = std::max(0, FilterValue::pixels(bottom.getValue(context)));
    const int32_t l = std::max(0, FilterValue::pixels(left.getValue(context)));
    const int32_t r = std::max(0, FilterValue::pixels(right.getValue(context)));
    if ((t <= 0 && b <= 0 && l <= 0 && r <= 0) || !image) return image;

    Shader::PixelShaderList& list = FilterPasses::sharedShaders();
    auto target = FilterPasses::newImage(image->width + static_cast<uint32_t>(l + r),
                                         image->height + static_cast<uint32_t>(t + b));
    const int32_t offset[4] = {-l, -t, 0, 0};
    Platform::gpu::Buffer* constant = FilterPasses::uploadShared(offset, sizeof offset);
    list[fill.value ? kShiftCopyClamp : kShiftCopy].drawResourceToResourceWithConstant(*target, *image, constant,
                                                                                       nullptr);
    return target;
}

}  // namespace Effect
