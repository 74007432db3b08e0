#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemText.h"
#include "effect/EffectService.h"
#include "filters/DropShadowFilter.h"
#include "filters/FilterFixture.h"
#include "filters/FilterSteps.h"
#include "media/gpu/ResourceService.h"

namespace {

// The filters that draw (the others hand their input on until they do).
// clang-format off
const std::wstring kDrawingFilters[] = {
    L"ぼかし",
    L"放射ブラー",
    L"方向ブラー",
    L"境界ぼかし",
    L"縁取り",
    L"ドロップシャドウ",
    L"凸エッジ",
    L"グロー",
    L"エッジ抽出",
    L"シャープ",
    L"モザイク",
    L"ノイズ除去",
    L"レンズブラー",
    L"発光",
    L"閃光",
    L"拡散光",
    L"ライト",
    L"波紋",
    L"ラスター",
    L"極座標変換",
    L"インターレース解除",
    L"ノイズ",
};
// clang-format on
// Filters whose steps are built but that may hand on the same image, a new one
// or none: view changes, sound, cuts, and drawing filters whose values here
// make them an identity.
const std::wstring kBuiltFilters[] = {L"座標",
                                      L"拡大率",
                                      L"透明度",
                                      L"回転",
                                      L"領域拡張",
                                      L"反転",
                                      L"音量フェード",
                                      L"モノラル化",
                                      L"音量調整",
                                      L"色調補正",
                                      L"グラデーション",
                                      L"単色化",
                                      L"特定色域変換",
                                      L"色ずれ",
                                      L"クロマキー",
                                      L"ルミナンスキー",
                                      L"カラーキー",
                                      L"クリッピング",
                                      L"斜めクリッピング",
                                      L"扇クリッピング",
                                      L"マスク",
                                      L"ワイプ",
                                      L"フェード",
                                      L"振動",
                                      L"画像ループ",
                                      L"オブジェクト分割",
                                      L"オフスクリーン描画",
                                      L"リサイズ",
                                      L"ディスプレイスメントマップ",
                                      L"スクリプト制御"};

// A shadow drawn as a drawing of its own hands the object's image on.
bool drawsApart(const Effect::EffectBase& effect) {
    const auto* shadow = dynamic_cast<const Effect::DropShadowFilter*>(&effect);
    return shadow && shadow->separate.value;
}

// Values other than the defaults, so that an item that reads back wrong shows.
void changeValues(Effect::EffectBase& effect) {
    for (Effect::EffectItem* item : effect.items) {
        if (auto* number = item->to<Effect::EffectItemNumber>())
            number->values.assign(number->values.size(), number->maximum);
        else if (auto* integer = item->to<Effect::EffectItemInteger>())
            integer->value = integer->maximum;
        else if (auto* check = item->to<Effect::EffectItemCheck>())
            check->value = !check->value;
        else if (auto* text = item->to<Effect::EffectItemText>())
            text->text = L"obj.ox = 1\nobj.oy = 2";
        else if (auto* color = item->to<Effect::EffectItemColor>())
            color->fromString(color->unset ? "123456" : "");
        else if (auto* select = item->to<Effect::EffectItemSelect>())
            select->index = select->options->indexMap.rbegin()->first;
    }
}

std::string chainOf(const Edit::Object& object) {
    std::string chain;
    for (const auto& effect : object.effects) chain += System::wideToUtf8(effect->name) + " ";
    return chain;
}

class FilterProjectTest : public FilterFixture {
protected:
    void SetUp() override {
        FilterFixture::SetUp();
        previousPoster_ = Edit::Project::setErrorPoster([this](const std::wstring& t) { posted.push_back(t); });
    }
    void TearDown() override {
        Edit::Project::setErrorPoster(previousPoster_);
        FilterFixture::TearDown();
    }
    std::vector<std::wstring> posted;

private:
    Edit::Project::ErrorPoster previousPoster_;
};

TEST_F(FilterProjectTest, EveryFilterLoadsRendersAndSavesUnchanged) {
    std::vector<std::wstring> filters;
    for (const Menu::MenuDefineBase* entry : service->getEffectMenuList(201, 0, 0)) filters.push_back(entry->getName());
    ASSERT_EQ(filters.size(), 57u);

    Edit::Project project;
    auto scene = project.getOrCreateScene(0);
    std::vector<std::string> expectedChains;
    // A filter object of each filter, every other one with changed values.
    for (size_t i = 0; i < filters.size(); ++i) {
        auto object = scene->createObject(filters[i], static_cast<int32_t>(i), 0, 29);
        if (i % 2 == 1) changeValues(*object->effects.front());
        expectedChains.push_back(chainOf(*object));
    }
    // And the filters carried by the objects they suit: a figure with every
    // video filter, a sound with the audio filters, the camera with its own.
    auto figure = scene->createObject(L"図形", 60, 0, 29);
    auto sound = scene->createObject(L"音声ファイル", 61, 0, 29);
    auto camera = scene->createObject(L"カメラ制御", 62, 0, 29);
    for (const std::wstring& name : filters) {
        const uint8_t media = service->findEffect(name).prototype()->media;
        Edit::Object& carrier = media == Effect::EffectBase::kAudio    ? *sound
                                : media == Effect::EffectBase::kCamera ? *camera
                                                                       : *figure;
        carrier.addEffect(name);
        changeValues(*carrier.effects.back());
    }
    for (const auto& object : {figure, sound, camera}) expectedChains.push_back(chainOf(*object));
    scene->update();
    const std::wstring first = wide(root_ / "first.vpj2");
    project.saveProjectFile(first);

    Edit::Project back;
    EXPECT_TRUE(back.loadProjectFile(first));
    EXPECT_TRUE(posted.empty()) << System::wideToUtf8(posted.front());
    const auto loaded = back.getScene(0);
    ASSERT_NE(loaded, nullptr);
    std::vector<std::shared_ptr<Edit::Object>> objects;
    for (size_t i = 0; i < expectedChains.size(); ++i) {
        const int32_t layer =
            i < filters.size() ? static_cast<int32_t>(i) : static_cast<int32_t>(i - filters.size()) + 60;
        const auto& onLayer = loaded->getLayer(layer).objects;
        ASSERT_EQ(onLayer.size(), 1u) << layer;
        EXPECT_EQ(chainOf(*onLayer.front()), expectedChains[i]);
        objects.push_back(onLayer.front());
    }

    // Rendering: the filters that draw hand on an image of their own; those
    // that do not draw yet hand the picture on, each object's filter saying
    // so once however many frames are drawn.
    const System::ServiceHolder<Resource::ResourceService> resources;
    log.lines.clear();
    FilterSteps steps;
    size_t filterCount = 0, drawing = 0, built = 0;
    for (int frame = 0; frame < 2; ++frame)
        for (const auto& object : objects)
            for (const auto& effect : object->effects)
                if (effect->role == Effect::EffectBase::kFilter) {
                    const bool draws = std::count(std::begin(kDrawingFilters), std::end(kDrawingFilters),
                                                  std::wstring(effect->name)) > 0;
                    const bool done =
                        std::count(std::begin(kBuiltFilters), std::end(kBuiltFilters), std::wstring(effect->name)) > 0;
                    if (draws && !drawsApart(*effect))
                        EXPECT_TRUE(steps.drawsOn(*effect)) << System::wideToUtf8(effect->name);
                    else if (done)
                        (void)steps.passesOn(*effect);
                    else
                        EXPECT_TRUE(steps.passesOn(*effect)) << System::wideToUtf8(effect->name);
                    filterCount += frame == 0;
                    drawing += frame == 0 && draws;
                    built += frame == 0 && done;
                }
    EXPECT_EQ(filterCount, 2 * filters.size());
    EXPECT_EQ(drawing, 2 * std::size(kDrawingFilters));
    EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                            [](const auto& l) { return l.level == "WARN" && l.message == "not implement."; }),
              static_cast<std::ptrdiff_t>(filterCount - drawing - built));

    back.saveProjectFile(wide(root_ / "second.vpj2"));
    const std::string written = readFile(root_ / "first.vpj2");
    EXPECT_EQ(readFile(root_ / "second.vpj2"), written);
    // Changed values are in the file: an unset colour set, a set one unset, the last option.
    EXPECT_NE(written.find("終了色=123456\r\n"), std::string::npos);
    EXPECT_NE(written.find("開始色=\r\n"), std::string::npos);
    EXPECT_NE(written.find("ワイプの種類=ワイプ(ハート)\r\n"), std::string::npos);
    EXPECT_NE(written.find("スクリプト=obj.ox = 1\\nobj.oy = 2\r\n"), std::string::npos);
}

}  // namespace
