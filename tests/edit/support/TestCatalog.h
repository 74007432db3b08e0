#pragma once
// A catalogue of small effects standing in for the built-in ones in the
// model tests. Installing it makes it the catalogue of new objects.
#include <map>
#include <memory>
#include <string>

#include "edit/EffectCatalog.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemText.h"

namespace EditTest {

// One effect class for every test definition; the codes come from the table.
class TestEffect : public Effect::EffectBase {
public:
    struct Codes {
        const wchar_t* name;
        uint8_t role, media, placement;
        bool numbers;     // X (linear) and 拡大率 (no move)
        bool layerRange;  // a layer-range item (controls)
    };
    explicit TestEffect(const Codes& codes);
    std::shared_ptr<Effect::EffectBase> createInstance() const override;
    Effect::EffectItemInteger* getLayerRange() override;
    bool itemEvent(const Effect::ItemEvent& event) override;

    Codes codes;
    std::unique_ptr<Effect::EffectItemNumber> x, zoom;
    std::unique_ptr<Effect::EffectItemCheck> flag;
    std::unique_ptr<Effect::EffectItemText> text;
    std::unique_ptr<Effect::EffectItemInteger> range;
    int32_t lastEvent = 0;
};

class TestCatalog : public Edit::EffectCatalog {
public:
    TestCatalog();
    ~TestCatalog() override;

    const Effect::EffectBase& findEffect(const std::wstring& name) const override;
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase& input) const override;
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase& output) const override;

    TestEffect& get(const std::wstring& name) const;

private:
    std::map<std::wstring, std::unique_ptr<TestEffect>> effects_;
    EffectCatalog* previous_;
};

// The names of the test definitions.
inline constexpr const wchar_t* kImage = L"画像ファイル";       // input, video
inline constexpr const wchar_t* kAudio = L"音声ファイル";       // input, audio
inline constexpr const wchar_t* kMovie = L"動画ファイル";       // input, video and audio
inline constexpr const wchar_t* kFigure = L"図形";              // input, video; paired with kFigureDraw
inline constexpr const wchar_t* kDraw = L"標準描画";            // output, video
inline constexpr const wchar_t* kFigureDraw = L"図形描画";      // output, video, paired input
inline constexpr const wchar_t* kPlay = L"音声再生";            // output, audio
inline constexpr const wchar_t* kPlayBoth = L"映像音声再生";    // output, both
inline constexpr const wchar_t* kBlur = L"ぼかし";              // filter, video
inline constexpr const wchar_t* kVolume = L"音量";              // filter, audio
inline constexpr const wchar_t* kInvert = L"反転";              // filter, both (3)
inline constexpr const wchar_t* kCameraFilter = L"カメラ効果";  // filter, camera (4)
inline constexpr const wchar_t* kNote = L"メモ";                // filter, any (0)
inline constexpr const wchar_t* kGroup = L"グループ制御";       // control, placement 1
inline constexpr const wchar_t* kGroupAudio = L"グループ制御(音声)";
inline constexpr const wchar_t* kCamera = L"カメラ制御";           // control, placement 4
inline constexpr const wchar_t* kSceneChange = L"シーンチェンジ";  // control, placement 5
inline constexpr const wchar_t* kBadRole = L"不正";                // role 9

}  // namespace EditTest
