#pragma once
#include "effect/EffectClass.h"
#include "effects/InputMovieEffect.h"
#include "render/cache/CacheService.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// A movie file with its sound: the object plays the file from its play position.
class MovieLoad : public EffectClass<MovieLoad>, public Cache::CacheInstance {
public:
    static constexpr const wchar_t* kName = L"動画ファイル";

    EffectItemNumber playPosition{&items, L"再生位置", 0, 0, 20000, 0.001};
    EffectItemNumber playSpeed{&items, L"再生速度", 100, -2000, 2000, 0.01};
    EffectItemFile file{&items, L"ファイル"};
    EffectItemCheck loop{&items, L"ループ再生"};
    EffectItemInteger hasAudio{&items, L"音声付き", 0, 0, 1, EffectItem::kHiddenInteger};

    MovieLoad();
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
    void preInputVideo(Render::RenderContext& context) override;
    std::shared_ptr<Media::AudioBuffer> inputAudio(Render::AudioRenderContext& context) override;
    void preInputAudio(Render::AudioRenderContext& context) override;
    std::wstring getDisplayName() const override;
    bool itemEvent(const ItemEvent& event) override;
    bool hasLinkedAudio(int32_t purpose) const override;
    bool isSupportedFile(const std::wstring& path) const override;

    InputMovieEffect movie;

private:
    // The GPU image the frames are uploaded into, kept between frames.
    std::shared_ptr<Media::ResourceBuffer> kept_;
};

}  // namespace Effect
