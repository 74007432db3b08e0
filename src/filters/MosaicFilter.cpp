#include "filters/MosaicFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

MosaicFilter::MosaicFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

void MosaicFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 0);
    FilterPasses::loadShaders(*made, {"Mosaic"}, "Effect::MosaicFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> MosaicFilter::filterVideo(Render::RenderContext& context,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t a = FilterValue::pixels(size.getValue(context));
    if (a < 2) return image;
    const uint32_t cell = static_cast<uint32_t>(a), w = image->width, h = image->height;
    // The grid centred on the image.
    const int32_t ox = static_cast<int32_t>(w % (2 * cell) / 2), oy = static_cast<int32_t>(h % (2 * cell) / 2);

    const int32_t down[2] = {a, oy - a};
    Platform::gpu::Buffer* buffer = FilterPasses::uploadShared(down);
    auto columns = FilterPasses::newImage(w, h / cell + 2);
    FilterPasses::shared(FilterPasses::kShrinkVertical)
        .drawResourceToResourceWithConstant(*columns, *image, buffer, nullptr);
    const int32_t across[2] = {a, ox - a};
    buffer = FilterPasses::uploadShared(across);
    auto cells = FilterPasses::newImage(w / cell + 2, columns->height);
    FilterPasses::shared(FilterPasses::kShrinkHorizontal)
        .drawResourceToResourceWithConstant(*cells, *columns, buffer, nullptr);

    const float record[3] = {static_cast<float>(a - ox), static_cast<float>(a - oy), static_cast<float>(a)};
    buffer = FilterPasses::uploadShared(record);
    auto target = FilterPasses::newImage(w, h);
    resource->shaders[0]->drawResourceToResourceWithConstant(*target, *cells, buffer, nullptr);
    return target;
}

}  // namespace Effect
