#include "filters/BasicInvert.h"

#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

// One pass into a new image of the same size, with the record in the shared buffer.
template <class Record>
std::shared_ptr<Media::ResourceBuffer> drawPass(Media::PixelShader& shader,
                                                std::shared_ptr<Media::ResourceBuffer> image, const Record* record) {
    auto target = FilterPasses::newImage(image->width, image->height);
    Platform::gpu::Buffer* constant = record ? FilterPasses::uploadShared(record, sizeof *record) : nullptr;
    shader.drawResourceToResourceWithConstant(*target, *image, constant, nullptr);
    return target;
}

}  // namespace

BasicInvert::BasicInvert() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

void BasicInvert::createCommonResource() {
    common = std::make_shared<CommonResource>(std::array<const char*, 3>{"BasicInvertFlip", "BasicInvertColor",
                                                                         "BasicInvertAlpha"},
                                              "Effect::BasicInvert::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> BasicInvert::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    const bool horizontal = flipHorizontal.value != 0, vertical = flipVertical.value != 0;
    const bool luminance = invertLuminance.value != 0, hue = invertHue.value != 0;
    const bool alpha = invertAlpha.value != 0;
    if (!image || !(horizontal || vertical || luminance || hue || alpha)) return image;
    if (horizontal || vertical) {
        const int32_t w = static_cast<int32_t>(image->width), h = static_cast<int32_t>(image->height);
        const FlipRecord record{{horizontal ? w - 1 : 0, vertical ? h - 1 : 0},
                                {horizontal ? -1 : 1, vertical ? -1 : 1}};
        image = drawPass(common->shaders[0], std::move(image), &record);
    }
    if (luminance || hue) {
        const ColorRecord record{luminance ? 1.0f : 0.0f, luminance ? -1.0f : 1.0f, hue ? -1.0f : 1.0f, 0};
        image = drawPass(common->shaders[1], std::move(image), &record);
    }
    if (alpha) image = drawPass<ColorRecord>(common->shaders[2], std::move(image), nullptr);
    return image;
}

}  // namespace Effect
