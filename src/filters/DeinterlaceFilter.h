#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemSelect.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Rebuilds whole frames from one field or both.
class DeinterlaceFilter : public EffectClass<DeinterlaceFilter> {
public:
    static constexpr const wchar_t* kName = L"インターレース解除";

    EffectItemSelect method{&items, L"解除方法", 0, methodList()};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    DeinterlaceFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> methodList();
};

}  // namespace Effect
