#pragma once
#include "effect/EffectClass.h"
#include "effects/InputMovieEffect.h"
#include "render/cache/CacheService.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemScene.h"

namespace Effect {

// Another scene of the project with its sound, played from its play position.
class SceneLoad : public EffectClass<SceneLoad>, public Cache::CacheInstance {
public:
    static constexpr const wchar_t* kName = L"シーン";

    EffectItemNumber playPosition{&items, L"再生位置", 0, 0, 20000, 0.001};
    EffectItemNumber playSpeed{&items, L"再生速度", 100, -2000, 2000, 0.01};
    EffectItemScene scene{&items, L"シーン", 0, 0, 1000000};
    EffectItemCheck loop{&items, L"ループ再生"};

    SceneLoad();
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
    void preInputVideo(Render::RenderContext& context) override;
    std::shared_ptr<Media::AudioBuffer> inputAudio(Render::AudioRenderContext& context) override;
    void preInputAudio(Render::AudioRenderContext& context) override;
    std::wstring getDisplayName() const override;
    bool itemEvent(const ItemEvent& event) override;
    bool hasLinkedAudio(int32_t purpose) const override;

    InputMovieEffect movie;

private:
    // The GPU image the frames are uploaded into, kept between frames.
    std::shared_ptr<Media::ResourceBuffer> kept_;
};

}  // namespace Effect
