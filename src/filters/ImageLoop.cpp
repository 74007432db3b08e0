#include "filters/ImageLoop.h"

#include <algorithm>
#include <cstdint>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "filters/ObjectDivide.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"
#include "render/VideoPass.h"

namespace Effect {
namespace {

constexpr size_t kWrapSampler = 2;

}  // namespace

ImageLoop::ImageLoop() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"配置";
}

void ImageLoop::createCommonResource() {
    resource = ShaderResource::create(1, 16);
    FilterPasses::loadShaders(*resource, {"LoopTile"}, "Effect::ImageLoop::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> ImageLoop::tile(Media::ResourceBuffer& image, int32_t across, int32_t down,
                                                       float ox, float oy) const {
    const uint64_t width = uint64_t(image.width) * uint64_t(std::max(across, 1));
    const uint64_t height = uint64_t(image.height) * uint64_t(std::max(down, 1));
    auto target = std::make_shared<Media::ResourceBuffer>(
        static_cast<uint32_t>(std::min<uint64_t>(width, Media::ResourceBuffer::kMaxSize)),
        static_cast<uint32_t>(std::min<uint64_t>(height, Media::ResourceBuffer::kMaxSize)));
    const float constant[4] = {ox, oy, static_cast<float>(std::max(across, 1)), static_cast<float>(std::max(down, 1))};
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, constant);
    FilterPasses::bindSampler(kWrapSampler);
    // Every pixel is written: no blending, whatever the new target held.
    resource->shaders[0]->drawResourceToResourceWithConstant(*target, image, buffer, nullptr);
    return target;
}

std::shared_ptr<Media::ResourceBuffer> ImageLoop::filterVideo(Render::RenderContext& context,
                                                              std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image || image->width == 0 || image->height == 0) return image;
    const int32_t across = std::max(1, FilterValue::pixels(columns.getValue(context)));
    const int32_t down = std::max(1, FilterValue::pixels(rows.getValue(context)));
    const auto ox = static_cast<float>(offsetX.getValue(context));
    const auto oy = static_cast<float>(offsetY.getValue(context));
    if (!separate.value) return tile(*image, across, down, ox, oy);

    // One object per tile: the scrolled image is drawn once, then copied for
    // each tile before it runs through the rest of the chain and the output.
    const int32_t tiles = across * down;
    context.count = ObjectDivide::multiplyPieces(context.count, tiles);
    context.index = ObjectDivide::multiplyPieces(context.index, tiles);
    const auto scrolled = tile(*image, 1, 1, ox, oy);
    const uint32_t w = image->width, h = image->height;
    image.reset();
    for (int32_t i = 0; i < down; ++i)
        for (int32_t j = 0; j < across; ++j) {
            Render::RenderContext piece = context;
            piece.view.x += (static_cast<float>(j) - static_cast<float>(across - 1) / 2) * static_cast<float>(w);
            piece.view.y += (static_cast<float>(i) - static_cast<float>(down - 1) / 2) * static_cast<float>(h);
            auto copy = std::make_shared<Media::ResourceBuffer>(w, h);
            copy->copyRegion(*scrolled, 0, 0, w, h);
            auto result = Render::VideoPass::applyFilters(piece, std::move(copy), this, &context);
            Render::VideoPass::outputVideo(piece, result);
            if (context.index < INT32_MAX) ++context.index;
        }
    context.keepTransform = 1;
    Render::VideoPass::updateOutputAnchor(context, static_cast<int32_t>(w) * across, static_cast<int32_t>(h) * down);
    return nullptr;
}

}  // namespace Effect
