#pragma once
#include "effect/EffectClass.h"
#include "effects/InputMovieEffect.h"
#include "render/cache/CacheService.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// The sound of a media file, played from its play position.
class AudioLoad : public EffectClass<AudioLoad>, public Cache::CacheInstance {
public:
    static constexpr const wchar_t* kName = L"音声ファイル";

    EffectItemNumber playPosition{&items, L"再生位置", 0, 0, 20000, 0.001};
    EffectItemNumber playSpeed{&items, L"再生速度", 100, -2000, 2000, 0.01};
    EffectItemFile file{&items, L"ファイル"};
    EffectItemCheck loop{&items, L"ループ再生"};

    AudioLoad();
    std::shared_ptr<Media::AudioBuffer> inputAudio(Render::AudioRenderContext& context) override;
    void preInputAudio(Render::AudioRenderContext& context) override;
    std::wstring getDisplayName() const override;
    bool itemEvent(const ItemEvent& event) override;
    bool isSupportedFile(const std::wstring& path) const override;

    InputMovieEffect movie;
};

}  // namespace Effect
