#include "filters/PolarFilter.h"

#include <algorithm>
#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

PolarFilter::PolarFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"変形";
}

void PolarFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 32);
    FilterPasses::loadShaders(*made, {"Polar"}, "Effect::PolarFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> PolarFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    constexpr double pi = 3.141592653589793;
    const double w = image->width, h = image->height;
    const double e = centerWidth.getValue(context);
    const double f = zoom.getValue(context) / 100 * (w + h) / pi + e;
    double degrees = angle.getValue(context);
    while (degrees < 0) degrees += 360;
    struct Constant {
        float rsize, offset, pix, pia, pio, kx, ky, pad;
    } constant{};
    static_assert(sizeof(Constant) == 32);
    const double pia = swirl.getValue(context) * 2 * pi / (f - e);
    constant.rsize = float(f);
    constant.offset = float(e);
    constant.pix = float(degrees * pi / 180 + 3.5 * pi);
    constant.pia = float(pia);
    constant.pio = float(std::min(std::abs(pia * w * 2 * std::sqrt(2.0) / (2 * pi)), w));
    constant.kx = float(w / (2 * pi));
    constant.ky = float((h + e) / f);
    context.view.centerX = context.view.centerY = 0;

    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, constant);
    // Bilinear, mirrored across the seam of the angle, transparent beyond the rows.
    constexpr size_t kMirrorBorder = 4;
    FilterPasses::bindSampler(kMirrorBorder);
    const auto side = static_cast<uint32_t>(std::min(std::ceil(2 * f), 65536.0));
    auto target = FilterPasses::newImage(side, side);
    resource->shaders[0]->drawResourceToResourceWithConstant(*target, *image, buffer, nullptr);
    return target;
}

}  // namespace Effect
