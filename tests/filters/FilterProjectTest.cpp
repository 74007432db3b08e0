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
#include "filters/FilterSuiteFixture.h"
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
const std::wstring kBuiltFilters[] = {L"並行光源(カメラ制御)",
                                      L"環境光(カメラ制御)",
                                      L"ライトブルーム(カメラ制御)",
                                      L"材質設定(カメラ制御)",
                                      L"カメラ制御オプション",
                                      L"座標",
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

// The effect service is the suite's: each test makes projects of its own from
// its prototypes.
class FilterProjectTest : public FilterSuiteFixture {
protected:
    void SetUp() override {
        FilterSuiteFixture::SetUp();
        previousPoster_ = Edit::Project::setErrorPoster([this](const std::wstring& t) { posted.push_back(t); });
    }
    void TearDown() override {
        Edit::Project::setErrorPoster(previousPoster_);
        FilterSuiteFixture::TearDown();
    }
    std::vector<std::wstring> posted;

private:
    Edit::Project::ErrorPoster previousPoster_;
};

// The filters of the filter-object menu, in its order.
std::vector<std::wstring> menuFilters(const Effect::EffectService& service) {
    std::vector<std::wstring> filters;
    for (const Menu::MenuDefineBase* entry : service.getEffectMenuList(201, 0, 0)) filters.push_back(entry->getName());
    return filters;
}

constexpr size_t kFilterCount = 57;

TEST_F(FilterProjectTest, TheMenuListsEveryFilter) { EXPECT_EQ(menuFilters(*service).size(), kFilterCount); }

// One case per filter (its place in the menu): a filter object of it (with
// changed values at every other place) and the object it suits carrying it
// with changed values are saved, loaded, rendered and saved again unchanged.
class FilterRoundTrip : public FilterProjectTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(FilterRoundTrip, LoadsRendersAndSavesUnchanged) {
    const std::vector<std::wstring> filters = menuFilters(*service);
    ASSERT_EQ(filters.size(), kFilterCount);
    const size_t index = GetParam();
    const std::wstring& name = filters[index];
    SCOPED_TRACE(System::wideToUtf8(name));

    Edit::Project project;
    auto scene = project.getOrCreateScene(0);
    std::vector<std::string> expectedChains;
    auto object = scene->createObject(name, 0, 0, 29);
    if (index % 2 == 1) changeValues(*object->effects.front());
    expectedChains.push_back(chainOf(*object));
    // And the filter carried by the object it suits: a figure for a video
    // filter, a sound for an audio filter, the camera for its own.
    const uint8_t media = service->findEffect(name).prototype()->media;
    auto carrier = media == Effect::EffectBase::kAudio    ? scene->createObject(L"音声ファイル", 1, 0, 29)
                   : media == Effect::EffectBase::kCamera ? scene->createObject(L"カメラ制御", 1, 0, 29)
                                                          : scene->createObject(L"図形", 1, 0, 29);
    carrier->addEffect(name);
    changeValues(*carrier->effects.back());
    expectedChains.push_back(chainOf(*carrier));
    scene->update();
    const std::wstring first = wide(root_ / "first.vpj2");
    project.saveProjectFile(first);

    Edit::Project back;
    EXPECT_TRUE(back.loadProjectFile(first));
    EXPECT_TRUE(posted.empty()) << System::wideToUtf8(posted.front());
    const auto loaded = back.getScene(0);
    ASSERT_NE(loaded, nullptr);
    std::vector<std::shared_ptr<Edit::Object>> objects;
    for (size_t layer = 0; layer < expectedChains.size(); ++layer) {
        const auto& onLayer = loaded->getLayer(static_cast<int32_t>(layer)).objects;
        ASSERT_EQ(onLayer.size(), 1u) << layer;
        EXPECT_EQ(chainOf(*onLayer.front()), expectedChains[layer]);
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
        for (const auto& drawn : objects)
            for (const auto& effect : drawn->effects)
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
    EXPECT_EQ(filterCount, 2u);
    EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                            [](const auto& l) { return l.level == "WARN" && l.message == "not implement."; }),
              static_cast<std::ptrdiff_t>(filterCount - drawing - built));

    back.saveProjectFile(wide(root_ / "second.vpj2"));
    const std::string written = readFile(root_ / "first.vpj2");
    EXPECT_EQ(readFile(root_ / "second.vpj2"), written);
    // Changed values are in the file: an unset colour set, a set one unset, the last option.
    if (name == L"グラデーション") {
        EXPECT_NE(written.find("終了色=123456\r\n"), std::string::npos);
        EXPECT_NE(written.find("開始色=\r\n"), std::string::npos);
    }
    if (name == L"ワイプ") EXPECT_NE(written.find("ワイプの種類=ワイプ(ハート)\r\n"), std::string::npos);
    if (name == L"スクリプト制御")
        EXPECT_NE(written.find("スクリプト=obj.ox = 1\\nobj.oy = 2\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(EveryFilter, FilterRoundTrip, ::testing::Range<size_t>(0, kFilterCount));

// The drawing filters and the built ones are all in the menu.
TEST_F(FilterProjectTest, TheDrawingAndBuiltListsNameMenuFilters) {
    const std::vector<std::wstring> filters = menuFilters(*service);
    std::vector<std::wstring> listed(std::begin(kDrawingFilters), std::end(kDrawingFilters));
    listed.insert(listed.end(), std::begin(kBuiltFilters), std::end(kBuiltFilters));
    for (const std::wstring& name : listed)
        EXPECT_NE(std::find(filters.begin(), filters.end(), name), filters.end()) << System::wideToUtf8(name);
}

}  // namespace
