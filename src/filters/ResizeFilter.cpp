#include "filters/ResizeFilter.h"

#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

ResizeFilter::ResizeFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"変形";
}

namespace {

// The samplers and shared shaders of the two ways of resampling.
constexpr size_t kLinearClamp = 1, kPointClamp = 6;
constexpr size_t kTextureCopy = 11, kResample = 19;

}  // namespace

std::shared_ptr<Media::ResourceBuffer> ResizeFilter::filterVideo(Render::RenderContext& context,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    const double s = zoom.getValue(context) * 0.01;
    double bx = x.getValue(context) * 0.01, by = y.getValue(context) * 0.01;
    if (byPixels.value) {
        bx = double(FilterValue::pixels(x.getValue(context))) / image->width;
        by = double(FilterValue::pixels(y.getValue(context))) / image->height;
    }
    const double rx = s * bx, ry = s * by;
    if (rx == 1 && ry == 1) return image;
    if (rx <= 0 || ry <= 0) return nullptr;
    const double width = std::round(image->width * rx), height = std::round(image->height * ry);
    if (width < 1 || height < 1) return nullptr;
    // The image constructor keeps each side within the largest size.
    auto target = FilterPasses::newImage(uint32_t(std::min(width, 65536.0)), uint32_t(std::min(height, 65536.0)));
    if (noInterpolation.value) {
        FilterPasses::bindSampler(kPointClamp);
        FilterPasses::sharedShaders()[kTextureCopy].drawResourceToResource(*target, *image, nullptr);
        return target;
    }
    FilterPasses::bindSampler(kLinearClamp);
    const float inverseRatio[2] = {float(1 / rx), float(1 / ry)};
    Platform::gpu::Buffer* buffer = FilterPasses::uploadShared(inverseRatio);
    FilterPasses::sharedShaders()[kResample].drawResourceToResourceWithConstant(*target, *image, buffer, nullptr);
    return target;
}

}  // namespace Effect
