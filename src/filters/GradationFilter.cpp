#include "filters/GradationFilter.h"

#include <algorithm>
#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/OptionList.h"
#include "media/gpu/BlendStateList.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

// The shared shaders that draw the gradient: faded by the opacity, or
// combined with a copy of the image by a blend mode.
constexpr size_t kOpacityCopy = 9;
constexpr size_t kBlendComposite = 24;

// An unset colour is transparent black, any other opaque.
void colorOf(const EffectItemColor& color, float out[4]) {
    if (color.unset) {
        out[0] = out[1] = out[2] = out[3] = 0;
        return;
    }
    out[0] = color.red / 255.0f;
    out[1] = color.green / 255.0f;
    out[2] = color.blue / 255.0f;
    out[3] = 1;
}

}  // namespace

GradationFilter::GradationFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"色調整";
    positionItems = {&centerX, &centerY};
}

void GradationFilter::createCommonResource() {
    common = std::make_shared<CommonResource>(std::array<const char*, 1>{"Gradation"},
                                              "Effect::GradationFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> GradationFilter::filterVideo(Render::RenderContext& context,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image || image->width == 0 || image->height == 0) return image;
    image = FilterPasses::ownImage(std::move(image));
    const float opacity = FilterValue::percent(strength.getValue(context));
    const float cx = static_cast<float>(centerX.getValue(context));
    const float cy = static_cast<float>(centerY.getValue(context));
    const float theta = FilterValue::radians(angle.getValue(context));
    const int32_t form = shape.index;
    Constant& c = common->constant;
    c = Constant{};
    colorOf(startColor, c.col0);
    colorOf(endColor, c.col1);
    c.offset[0] = -(static_cast<float>(image->width) / 2 + cx);
    c.offset[1] = -(static_cast<float>(image->height) / 2 + cy);
    c.direction[0] = std::sin(theta);
    c.direction[1] = -std::cos(theta);
    // A width of 0 would divide by zero in the shapes without the added pixel:
    // their edge becomes a step instead.
    c.range = std::max(static_cast<float>(width.getValue(context)) + (form == 0 ? 1.0f : 0.0f), 1e-6f);
    c.type = form;
    Platform::gpu::Buffer* constant = common->upload();
    auto gradient = FilterPasses::newImage(image->width, image->height);
    common->shaders[0].drawResourceToResourceWithConstant(*gradient, *image, constant, nullptr);

    // The gradient over the image in place, premultiplied over.
    Shader::PixelShaderList& list = FilterPasses::sharedShaders();
    const Platform::gpu::BlendState* over = FilterPasses::blend(0);
    const int32_t mode = blend.index;
    if (mode == 0) {
        const float record[1] = {opacity};
        Platform::gpu::Buffer* shared = FilterPasses::uploadShared(record, sizeof record);
        list[kOpacityCopy].drawResourceToResourceWithConstant(*image, *gradient, shared, over);
        return image;
    }
    const std::shared_ptr<Media::ResourceBuffer> backdrop = image->clone();
    struct {
        int32_t blend;
        float alpha;
    } record{mode, opacity};
    Platform::gpu::Buffer* shared = FilterPasses::uploadShared(&record, sizeof record);
    Media::Direct3DService::get()->context->setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, shared);
    list[kBlendComposite].drawTwoResourcesToResource(*image, *gradient, *backdrop, over);
    return image;
}

// The gradient shapes.
std::shared_ptr<const EffectItemSelect::SharedList> GradationFilter::shapeList() {
    static const auto list = makeOptionList({{0, L"線形"}, {1, L"円形"}, {2, L"矩形"}, {3, L"凸形"}});
    return list;
}

}  // namespace Effect
