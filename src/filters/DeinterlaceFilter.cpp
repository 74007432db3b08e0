#include "filters/DeinterlaceFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterPasses.h"
#include "filters/OptionList.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

DeinterlaceFilter::DeinterlaceFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

void DeinterlaceFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 0);
    FilterPasses::loadShaders(*made, {"Deinterlace"}, "Effect::DeinterlaceFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> DeinterlaceFilter::filterVideo(Render::RenderContext&,
                                                                      std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t type = method.index;
    Platform::gpu::Buffer* buffer = FilterPasses::uploadShared(type);
    auto target = FilterPasses::newImage(image->width, image->height);
    resource->shaders[0]->drawResourceToResourceWithConstant(*target, *image, buffer, nullptr);
    return target;
}

// The field kept, or both.
std::shared_ptr<const EffectItemSelect::SharedList> DeinterlaceFilter::methodList() {
    static const auto list = makeOptionList({{0, L"奇数"}, {1, L"偶数"}, {2, L"二重化"}});
    return list;
}

}  // namespace Effect
