#include "filters/ObjectDivide.h"

#include <algorithm>
#include <cstdint>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "media/gpu/ResourceBuffer.h"
#include "render/VideoPass.h"

namespace Effect {

ObjectDivide::ObjectDivide() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"配置";
}

int32_t ObjectDivide::multiplyPieces(int32_t value, int32_t pieces) {
    const int64_t product = int64_t(value) * pieces;
    return static_cast<int32_t>(std::clamp<int64_t>(product, INT32_MIN, INT32_MAX));
}

std::shared_ptr<Media::ResourceBuffer> ObjectDivide::filterVideo(Render::RenderContext& context,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image || image->width == 0 || image->height == 0) return image;
    const int32_t nx = std::max(1, FilterValue::pixels(columns.getValue(context)));
    const int32_t ny = std::max(1, FilterValue::pixels(rows.getValue(context)));
    const int64_t W = image->width, H = image->height;
    context.count = multiplyPieces(context.count, nx * ny);
    context.index = multiplyPieces(context.index, nx * ny);
    for (int32_t j = 0; j < ny; ++j)
        for (int32_t i = 0; i < nx; ++i) {
            const int64_t x0 = i * W / nx, x1 = (i + 1) * W / nx;
            const int64_t y0 = j * H / ny, y1 = (j + 1) * H / ny;
            if (x1 > x0 && y1 > y0) {  // more pieces than pixels leaves some empty
                auto piece = std::make_shared<Media::ResourceBuffer>(uint32_t(x1 - x0), uint32_t(y1 - y0));
                piece->copyRegion(*image, uint32_t(x0), uint32_t(y0), uint32_t(x1 - x0), uint32_t(y1 - y0));
                Render::RenderContext moved = context;
                moved.view.x += static_cast<float>(x1 - x0 - W) / 2 + static_cast<float>(x0);
                moved.view.y += static_cast<float>(y1 - y0 - H) / 2 + static_cast<float>(y0);
                auto result = Render::VideoPass::applyFilters(moved, std::move(piece), this, &context);
                if (moved.keepPosition) context.keepPosition = 1;
                Render::VideoPass::outputVideo(moved, result);
            }
            if (context.index < INT32_MAX) ++context.index;
        }
    context.keepTransform = 1;
    Render::VideoPass::updateOutputAnchor(context, int32_t(W), int32_t(H));
    return nullptr;
}

}  // namespace Effect
