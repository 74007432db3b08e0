#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/OutputShaderEffect.h"
#include "effects/ShaderResource.h"

namespace Media {
class RenderBuffer;
class ResourceBuffer;
}  // namespace Media

namespace Effect {

// Turns the picture of the layers before it from the frame before it began
// into the current one, over its length, by one of the built-in transitions
// or a mask wipe of the transition list.
class SceneChange : public EffectClass<SceneChange>, public OutputShaderEffect {
public:
    static constexpr const wchar_t* kName = L"シーンチェンジ";
    // The first key of "種類" that names a mask wipe.
    static constexpr int32_t kFirstWipe = 13;

    // The programs of the class-wide resource, in order.
    enum Program : size_t { kSlice = 0, kOffset = 1, kRandomLine = 2 };

    // What one transition draws with, built for one call.
    struct SceneChangeParams {
        SceneChange* effect = nullptr;
        ShaderResource* resource = nullptr;
        std::shared_ptr<Media::ResourceBuffer> before;  // the frame before the object began
        Media::RenderBuffer* target = nullptr;          // holds the current frame
        float progress = 0;                             // 0 .. 1
        int32_t angle = 0, divide = 0, blur = 0;
        uint8_t vertical = 0, invert = 0, keepAspect = 0;
    };
    struct SceneChangeDefine;
    using DrawFunction = std::function<void(SceneChangeParams&, const SceneChangeDefine&)>;
    // One built-in transition. The flags say which items show while it is
    // chosen: bit 0 "反転", 1 "角度", 2 "分割数", 3 "ぼかし", 4 "縦横比固定", 5 "縦方向".
    struct SceneChangeDefine {
        std::wstring name;
        DrawFunction draw;
        uint32_t flags = 0;
    };
    static constexpr uint32_t kWipeFlags = 17;

    // The built-in transitions by key, built once.
    static const std::vector<SceneChangeDefine>& defineList();

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
    void createCommonResource() override;
    void preInputVideo(Render::RenderContext& context) override;
    void controlVideo(Render::RenderContext& context) override;
    bool itemEvent(const ItemEvent& event) override;

    // Progress at the frame through an object of the frames: the first frame
    // gives 1 / length, the last 1.
    static float progressAt(int32_t frame, int32_t start, int32_t end);
    // The mask wipe of entry k of the transition list.
    static void wipe(SceneChangeParams& params, int32_t k);
    // What every scene change does before its object: asks the video worker
    // for the frame before the object began.
    static void requestBeforeFrame(Render::RenderContext& context);
    // That frame once rendered; null, with a warning from the scope, when
    // there is none or it is not a rendered frame.
    static Media::RenderBuffer* beforeFrame(Render::RenderContext& context, const char* scope);

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> transitionList();
};

}  // namespace Effect
