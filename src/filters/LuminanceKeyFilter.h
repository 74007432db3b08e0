#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "filters/FilterPasses.h"

namespace Effect {

// Makes pixels transparent by their luminance.
class LuminanceKeyFilter : public EffectClass<LuminanceKeyFilter> {
public:
    static constexpr const wchar_t* kName = L"ルミナンスキー";

    // In the shared constant buffer.
    struct Record {
        int32_t type;
        float offset, range;
    };
    using CommonResource = FilterPasses::Shaders<1>;

    EffectItemNumber base{&items, L"基準輝度", 2048, -4096, 8192, 1};
    EffectItemNumber range{&items, L"輝度範囲", 512, 0, 4096, 1};
    EffectItemSelect mode{&items, L"モード", 0, modeList()};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<CommonResource> common;

    LuminanceKeyFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> modeList();
};

}  // namespace Effect
