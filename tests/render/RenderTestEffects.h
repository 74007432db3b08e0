#pragma once
// Small effects the render tests draw with, and the catalogue that makes them
// the effects of new objects. Every step an effect takes is written to the
// journal as one line, so a test reads the order in which the worker ran them.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "edit/EffectCatalog.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemInteger.h"

namespace RenderTest {

class Journal {
public:
    void add(std::string line);
    // The lines so far; the journal is empty afterwards.
    std::vector<std::string> take();

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};
Journal& journal();

// The names of the test effects: keys of the catalogue.
inline constexpr const wchar_t* kSolid = L"単色テスト";
inline constexpr const wchar_t* kCopy = L"複写テスト";
inline constexpr const wchar_t* kPass = L"通過テスト";
inline constexpr const wchar_t* kTone = L"音テスト";
inline constexpr const wchar_t* kToneOut = L"音出力テスト";
inline constexpr const wchar_t* kGroupName = L"グループ制御";  // the walk knows a group by this name
inline constexpr const wchar_t* kOtherControl = L"他制御テスト";

// Source: a width x height image of one colour, made on the per-object thread.
class SolidTestSource : public Effect::EffectBase {
public:
    SolidTestSource();
    std::shared_ptr<Effect::EffectBase> createInstance() const override;
    void preInputVideo(Render::RenderContext& context) override;
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;

    std::string tag = "?";
    float color[4] = {1, 1, 1, 1};
    uint32_t width = 2, height = 2;
    bool none = false;       // gives no image
    bool failInput = false;  // throws from inputVideo
    // Runs on the render thread in preInputVideo, after the journal line.
    std::function<void(Render::RenderContext&)> onPrepare;
    // Runs on the per-object thread in inputVideo, after the journal line.
    std::function<void()> onInput;
    // What the context held when the image was made.
    int32_t seenGroupLayer = -2;
};

// Output: copies the image into the frame buffer at (x, y); its anchor
// marks the object.
class CopyTestOutput : public Effect::EffectBase {
public:
    CopyTestOutput();
    std::shared_ptr<Effect::EffectBase> createInstance() const override;
    void outputVideo(Render::RenderContext& context, Media::RenderBuffer& target,
                     std::shared_ptr<Media::ResourceBuffer> image) override;
    // Adds one button anchor named after the object's layer, when the render collects anchors.
    void updateAnchor(Render::RenderContext& context, int32_t width, int32_t height) override;

    uint32_t x = 0, y = 0;
};

// Filter: gives the image back unchanged (or none), noting the layer of the
// object current when it ran.
class PassTestFilter : public Effect::EffectBase {
public:
    PassTestFilter();
    std::shared_ptr<Effect::EffectBase> createInstance() const override;
    void preInputVideo(Render::RenderContext& context) override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
    void controlVideo(Render::RenderContext& context) override;

    std::string tag = "?";
    bool none = false;
};

// Control with a layer range; named as the group control or as another control.
class RangeTestControl : public Effect::EffectBase {
public:
    explicit RangeTestControl(const wchar_t* controlName);
    std::shared_ptr<Effect::EffectBase> createInstance() const override;
    Effect::EffectItemInteger* getLayerRange() override { return &range; }
    void preInputVideo(Render::RenderContext& context) override;
    void controlVideo(Render::RenderContext& context) override;

    Effect::EffectItemInteger range{&items, L"対象レイヤー数", 0, 0, 1000, Effect::EffectItem::kLayerRange};
};

// An audio source and output: a layer holding them has no video object.
class ToneTestSource : public Effect::EffectBase {
public:
    ToneTestSource(const wchar_t* effectName, uint8_t effectRole);
    std::shared_ptr<Effect::EffectBase> createInstance() const override;
};

class TestEffects : public Edit::EffectCatalog {
public:
    TestEffects();
    ~TestEffects() override;
    const Effect::EffectBase& findEffect(const std::wstring& name) const override;
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase& input) const override;
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase& output) const override;

private:
    std::map<std::wstring, std::unique_ptr<Effect::EffectBase>> effects_;
    EffectCatalog* previous_;
};

}  // namespace RenderTest
