#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Turns the picture of the layers before it from the frame before it began into the current one.
class SceneChange : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"シーンチェンジ";

    EffectItemSelect kind{&items, L"種類", 0, transitionList()};
    EffectItemNumber angle{&items, L"角度", 0, 0, 360, 1};
    EffectItemNumber divide{&items, L"分割数", 5, 2, 1000, 1};
    EffectItemNumber blur{&items, L"ぼかし", 2, 0, 100, 1};
    EffectItemCheck vertical{&items, L"縦方向"};
    EffectItemCheck invert{&items, L"反転"};
    EffectItemCheck keepAspect{&items, L"縦横比固定", true};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    SceneChange();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
    void controlVideo(Render::RenderContext& context) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> transitionList();
};

}  // namespace Effect
