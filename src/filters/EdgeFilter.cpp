#include "filters/EdgeFilter.h"

#include "edit/UpdateSection.h"
#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

EdgeFilter::EdgeFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    luminanceEdge.notify = 1;
    alphaEdge.notify = 1;
    menuGroup = L"抽出";
}

namespace {

enum : size_t { kColourEdges, kBrightEdges, kAlphaEdges };

}  // namespace

void EdgeFilter::createCommonResource() {
    auto made = ShaderResource::create(3, 32);
    FilterPasses::loadShaders(*made, {"EdgeColor", "EdgeBright", "EdgeAlpha"},
                              "Effect::EdgeFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> EdgeFilter::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    const Constant record{{color.red / 255.0f, color.green / 255.0f, color.blue / 255.0f, 1.0f},
                          FilterValue::percent(threshold.getValue(context)),
                          FilterValue::percent(strength.getValue(context))};
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, record);
    const size_t kind = luminanceEdge.value ? kBrightEdges : alphaEdge.value ? kAlphaEdges : kColourEdges;
    auto target = FilterPasses::newImage(image->width, image->height);
    resource->shaders[kind]->drawResourceToResourceWithConstant(*target, *image, buffer, nullptr);
    return target;
}

bool EdgeFilter::itemEvent(const ItemEvent& event) {
    if (event.kind != ItemEvent::kItemChanged) return false;
    if (luminanceEdge.value && alphaEdge.value) {
        if (event.item == &luminanceEdge)
            alphaEdge.value = 0;
        else if (event.item == &alphaEdge)
            luminanceEdge.value = 0;
        if (event.scope) {
            event.scope->effectStateChanged = true;
            event.scope->colorSettingChanged = true;
        }
    }
    return true;
}

}  // namespace Effect
