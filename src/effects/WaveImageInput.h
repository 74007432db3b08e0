#pragma once
#include <functional>
#include <vector>

#include "effect/EffectClass.h"
#include "effect/EffectItemButton.h"
#include "effect/EffectItemCheckButton.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFile.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effects/InputMovieEffect.h"
#include "effects/ShaderResource.h"

namespace Edit {
class PopupMenu;
}
namespace Media {
class AudioBuffer;
}

namespace Effect {

// The waveform or spectrum of a sound file, or of the scene's own sound, at
// the current frame: cells of a grid lit by one pixel pass over a row of
// levels.
class WaveImageInput : public EffectClass<WaveImageInput> {
public:
    static constexpr const wchar_t* kName = L"音声波形表示";

    EffectItemNumber width{&items, L"横幅", 800, 10, 4000, 1};
    EffectItemNumber height{&items, L"高さ", 400, 10, 4000, 1};
    EffectItemNumber playPosition{&items, L"再生位置", 0, 0, 20000, 0.001};
    EffectItemNumber playSpeed{&items, L"再生速度", 100, -2000, 2000, 0.01};
    EffectItemNumber volume{&items, L"音量", 100, 0, 1000, 0.01};
    EffectItemFile file{&items, L"ファイル"};
    EffectItemColor color{&items, L"波形の色", 255, 255, 255};
    EffectItemButton preset{&items, L"波形のプリセット"};
    EffectItemCheckButton spectrum{&items, L"スペクトラム表示"};
    EffectItemCheckButton mirror{&items, L"ミラー表示"};
    EffectItemInteger resolutionX{&items, L"横解像度", 0, 0, 4000};
    EffectItemInteger resolutionY{&items, L"縦解像度", 0, 0, 4000};
    EffectItemInteger spaceX{&items, L"横スペース", 0, 0, 100};
    EffectItemInteger spaceY{&items, L"縦スペース", 0, 0, 100};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    // The grid presets of "波形のプリセット".
    struct Preset {
        const wchar_t* name;
        int32_t resolutionX, resolutionY, spaceX, spaceY;
        bool spectrum, mirror;
    };
    static const std::vector<Preset>& presets();
    // Shows a popup menu at the mouse cursor; the window layer installs it at
    // start-up. The argument fills the menu.
    using MenuShower = std::function<void(const std::function<void(Edit::PopupMenu&)>& fill)>;
    // Returns the one installed before.
    static MenuShower setMenuShower(MenuShower shower);

    WaveImageInput();
    void createCommonResource() override;

    void preInputVideo(Render::RenderContext& context) override;
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
    std::wstring getDisplayName() const override;
    bool itemEvent(const ItemEvent& event) override;
    bool isSupportedFile(const std::wstring& path) const override;

    std::shared_ptr<Media::ResourceBuffer> drawWaveform(Render::RenderContext& context,
                                                        const Media::AudioBuffer& sound);
    std::shared_ptr<Media::ResourceBuffer> drawSpectrum(Render::RenderContext& context,
                                                        const Media::AudioBuffer& sound);
    // Sets the grid items to a preset's in one edit step with its undo item.
    void applyPreset(const Preset& preset);
    // The preset menu of the button: one entry per preset.
    void showPresetMenu();

    // The play position of the file (sound only, never looping).
    InputMovieEffect movie;

    // The constant block of the passes, as the shaders read it.
    struct Constant {
        float color[4];
        int32_t size[2];
        int32_t res[2];
        float pad[2];
        float vol;
        float unused;
    };
    static_assert(sizeof(Constant) == 48);

private:
    // The levels as a one-row texture and the pass of program `shader` into a new image.
    std::shared_ptr<Media::ResourceBuffer> drawPass(size_t shader, const float* levels, size_t count, uint32_t width,
                                                    uint32_t height, const Constant& constant);
};

}  // namespace Effect
