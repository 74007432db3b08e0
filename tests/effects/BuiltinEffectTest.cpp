#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/File.h"
#include "core/IniFile.h"
#include "core/TextConvert.h"
#include "effect/EffectBase.h"
#include "effect/EffectDefine.h"
#include "effect/EffectItem.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effect/MovementBase.h"
#include "effect/MovementDefine.h"
#include "effect/AudioRenderContext.h"
#include "effect/EffectItemGroup.h"
#include "effect/RenderContext.h"
#include "effects/BasicOutput.h"
#include "effects/BuiltinFixture.h"
#include "effects/CameraControl.h"
#include "effects/ParticleOutput.h"
#include "effects/PartEffect.h"
#include "effects/SceneChange.h"
#include "effects/VideoOutput.h"
#include "effects/WaveImageInput.h"
#include "media/gpu/PixelShader.h"
#include "support/ItemTraits.h"

using Effect::EffectBase;

namespace {

// What every source, output and control declares: its codes, its menu group,
// and the section its default prototype writes (its items in order).
struct Expected {
    const wchar_t* name;
    uint8_t role, media, placement;
    const wchar_t* menuGroup;
    size_t itemCount;
    const char* section;
};

const Expected kBuiltins[] = {
    {L"動画ファイル", 1, 3, 3, L"", 5,
     "effect.name=動画ファイル\r\n"
     "再生位置=0.000,0.000,再生範囲,0\r\n"
     "再生速度=100.00\r\n"
     "ファイル=\r\n"
     "ループ再生=0\r\n"
     "音声付き=0\r\n"},
    {L"画像ファイル", 1, 1, 1, L"", 3,
     "effect.name=画像ファイル\r\n"
     "ファイル=\r\n"
     "表示番号=0\r\n"
     "連番ファイル=0\r\n"},
    {L"音声ファイル", 1, 2, 2, L"", 4,
     "effect.name=音声ファイル\r\n"
     "再生位置=0.000,0.000,再生範囲,0\r\n"
     "再生速度=100.00\r\n"
     "ファイル=\r\n"
     "ループ再生=0\r\n"},
    {L"テキスト", 1, 1, 1, L"", 15,
     "effect.name=テキスト\r\n"
     "サイズ=40.00\r\n"
     "字間=0.00\r\n"
     "行間=0.00\r\n"
     "表示速度=0.00\r\n"
     "フォント=Noto Sans CJK JP\r\n"
     "文字色=ffffff\r\n"
     "影・縁色=000000\r\n"
     "文字装飾=標準文字\r\n"
     "文字揃え=左寄せ[上]\r\n"
     "B=0\r\n"
     "I=0\r\n"
     "テキスト=\r\n"
     "文字毎に個別オブジェクト=0\r\n"
     "移動座標上に表示=0\r\n"
     "オブジェクトの長さを自動調節=0\r\n"},
    {L"図形", 1, 1, 1, L"", 6,
     "effect.name=図形\r\n"
     "図形の種類=円\r\n"
     "サイズ=100\r\n"
     "縦横比=0.00\r\n"
     "ライン幅=4000\r\n"
     "色=ffffff\r\n"
     "角を丸くする=0\r\n"},
    {L"シーン", 1, 3, 3, L"", 4,
     "effect.name=シーン\r\n"
     "再生位置=0.000,0.000,再生範囲,0\r\n"
     "再生速度=100.00\r\n"
     "シーン=0\r\n"
     "ループ再生=0\r\n"},
    {L"フレームバッファ", 1, 1, 1, L"", 2,
     "effect.name=フレームバッファ\r\n"
     "アルファチャンネルを維持=1\r\n"
     "フレームバッファをクリア=0\r\n"},
    {L"直前オブジェクト", 1, 1, 1, L"", 0, "effect.name=直前オブジェクト\r\n"},
    {L"標準描画", 2, 1, 1, L"", 13,
     "effect.name=標準描画\r\n"
     "X=0.00\r\n"
     "Y=0.00\r\n"
     "Z=0.00\r\n"
     "中心X=0.00\r\n"
     "中心Y=0.00\r\n"
     "中心Z=0.00\r\n"
     "X軸回転=0.00\r\n"
     "Y軸回転=0.00\r\n"
     "Z軸回転=0.00\r\n"
     "拡大率=100.000\r\n"
     "縦横比=0.000\r\n"
     "透明度=0.00\r\n"
     "合成モード=通常\r\n"},
    {L"音声再生", 2, 2, 2, L"", 2,
     "effect.name=音声再生\r\n"
     "音量=100.00\r\n"
     "左右=0.00\r\n"},
    {L"映像再生", 2, 3, 3, L"", 14,
     "effect.name=映像再生\r\n"
     "X=0.00\r\n"
     "Y=0.00\r\n"
     "Z=0.00\r\n"
     "中心X=0.00\r\n"
     "中心Y=0.00\r\n"
     "中心Z=0.00\r\n"
     "X軸回転=0.00\r\n"
     "Y軸回転=0.00\r\n"
     "Z軸回転=0.00\r\n"
     "拡大率=100.000\r\n"
     "縦横比=0.000\r\n"
     "透明度=0.00\r\n"
     "合成モード=通常\r\n"
     "音量=100.00\r\n"},
    {L"基本出力", 2, 1, 1, L"", 2,
     "effect.name=基本出力\r\n"
     "透明度=0.00\r\n"
     "合成モード=通常\r\n"},
    {L"パーティクル出力", 2, 1, 1, L"", 21,
     "effect.name=パーティクル出力\r\n"
     "X=0.00\r\n"
     "Y=0.00\r\n"
     "Z=0.00\r\n"
     "出力頻度=20.0\r\n"
     "出力速度=400.0\r\n"
     "加速度=0.0\r\n"
     "出力方向=0.00\r\n"
     "拡散角度=30.00\r\n"
     "透過率=0.00\r\n"
     "透過速度=0.00\r\n"
     "拡大率=100.000\r\n"
     "拡大速度=0.000\r\n"
     "回転角=0.00\r\n"
     "回転速度=0.00\r\n"
     "重力=0.00\r\n"
     "生存時間=0.0\r\n"
     "移動範囲の座標からランダムに出力=0\r\n"
     "出力方向の基準を移動方向にする=0\r\n"
     "回転角の基準を移動方向にする=0\r\n"
     "3Dランダム回転=0\r\n"
     "合成モード=通常\r\n"},
    {L"部分フィルタ", 4, 1, 1, L"", 9,
     "effect.name=部分フィルタ\r\n"
     "X=0\r\n"
     "Y=0\r\n"
     "回転=0.00\r\n"
     "サイズ=100\r\n"
     "縦横比=0.00\r\n"
     "ぼかし=0\r\n"
     "マスクの種類=円\r\n"
     "シーンの長さを合わせる=0\r\n"
     "マスクの反転=0\r\n"},
    {L"グループ制御", 4, 1, 1, L"オブジェクト制御", 8,
     "effect.name=グループ制御\r\n"
     "X=0.00\r\n"
     "Y=0.00\r\n"
     "Z=0.00\r\n"
     "X軸回転=0.00\r\n"
     "Y軸回転=0.00\r\n"
     "Z軸回転=0.00\r\n"
     "拡大率=100.000\r\n"
     "対象レイヤー数=0\r\n"},
    {L"グループ制御(音声)", 4, 2, 2, L"オブジェクト制御", 3,
     "effect.name=グループ制御(音声)\r\n"
     "音量=100.00\r\n"
     "左右=0.00\r\n"
     "対象レイヤー数=0\r\n"},
    // The target layer's X, Y and Z belong to "目標レイヤー", not to the effect.
    {L"カメラ制御", 4, 1, 4, L"オブジェクト制御", 10,
     "effect.name=カメラ制御\r\n"
     "X=0.00\r\n"
     "Y=0.00\r\n"
     "Z=-1024.00\r\n"
     "目標X=0.00\r\n"
     "目標Y=0.00\r\n"
     "目標Z=0.00\r\n"
     "目標レイヤー=0\r\n"
     "傾き=0.00\r\n"
     "視野角=0.00\r\n"
     "対象レイヤー数=0\r\n"},
    {L"音声波形表示", 1, 1, 1, L"カスタムオブジェクト", 14,
     "effect.name=音声波形表示\r\n"
     "横幅=800\r\n"
     "高さ=400\r\n"
     "再生位置=0.000,0.000,再生範囲,0\r\n"
     "再生速度=100.00\r\n"
     "音量=100.00\r\n"
     "ファイル=\r\n"
     "波形の色=ffffff\r\n"
     "波形のプリセット=\r\n"
     "スペクトラム表示=0\r\n"
     "ミラー表示=0\r\n"
     "横解像度=0\r\n"
     "縦解像度=0\r\n"
     "横スペース=0\r\n"
     "縦スペース=0\r\n"},
    {L"シーンチェンジ", 4, 1, 5, L"シーンチェンジ", 7,
     "effect.name=シーンチェンジ\r\n"
     "種類=クロスフェード\r\n"
     "角度=0\r\n"
     "分割数=5\r\n"
     "ぼかし=2\r\n"
     "縦方向=0\r\n"
     "反転=0\r\n"
     "縦横比固定=1\r\n"},
};

class BuiltinEffectTest : public BuiltinFixture {
protected:
    std::string section(const EffectBase& effect) const {
        System::File file;
        file.open(wide(root_ / "section.ini"), System::File::kWrite);
        file.write("[Effect.0]\r\n", 12);
        effect.saveIniSectionParameter(file);
        file.close();
        return readFile(root_ / "section.ini").substr(12);
    }
    std::string registered(const char* kind) const {
        std::string out;
        for (const auto& line : log.lines)
            if (line.level == "INFO" && line.message.rfind(kind, 0) == 0)
                out += line.message.substr(std::string(kind).size()) + " ";
        return out;
    }
    static std::string names(const std::vector<Menu::MenuDefineBase*>& list) {
        std::string out;
        for (const Menu::MenuDefineBase* entry : list) out += System::wideToUtf8(entry->getName()) + " ";
        return out;
    }
};

TEST_F(BuiltinEffectTest, CatalogueRegistersInTableOrder) {
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(registered("register movement "),
              "[移動無し] [再生範囲] [直線移動] [直線移動(時間制御)] [補間移動] [補間移動(時間制御)] [ランダム移動] "
              "[瞬間移動] ");
    std::string expected;
    for (const Expected& e : kBuiltins) expected += "[" + System::wideToUtf8(e.name) + "] ";
    EXPECT_EQ(registered("register effect "), expected);
    EXPECT_EQ(service->findEffect(L"動画ファイル").order, 8);
    EXPECT_EQ(service->findEffect(L"シーンチェンジ").order, 8 + static_cast<int32_t>(std::size(kBuiltins)) - 1);
}

TEST_F(BuiltinEffectTest, DefaultPrototypesWriteTheirItemTablesAndReadBack) {
    for (const Expected& e : kBuiltins) {
        SCOPED_TRACE(System::wideToUtf8(e.name));
        const Effect::EffectDefine& define = service->findEffect(e.name);
        const EffectBase& prototype = *define.prototype();
        EXPECT_EQ(prototype.role, e.role);
        EXPECT_EQ(prototype.media, e.media);
        EXPECT_EQ(prototype.placement, e.placement);
        EXPECT_EQ(std::wstring(prototype.menuGroup), e.menuGroup);
        EXPECT_EQ(define.label, e.menuGroup);
        EXPECT_EQ(prototype.items.size(), e.itemCount);
        const std::string written = section(prototype);
        EXPECT_EQ(written, e.section);

        // Read into a fresh instance: every item equal, the same text again.
        System::IniFile ini;
        ini.loadFile(wide(root_ / "section.ini"));
        const auto back = service->getEffect(e.name);
        back->loadIniSectionParameter(ini.getSection("Effect", 0));
        ASSERT_EQ(back->items.size(), prototype.items.size());
        for (size_t i = 0; i < back->items.size(); ++i)
            EXPECT_TRUE(back->items[i]->equals(*prototype.items[i])) << System::wideToUtf8(back->items[i]->name);
        EXPECT_EQ(section(*back), written);
    }
    EXPECT_TRUE(std::none_of(log.lines.begin(), log.lines.end(), [](const auto& l) { return l.level == "WARN"; }));
}

TEST_F(BuiltinEffectTest, ClassResourcesAreMadeOnceAndShared) {
    // (name, programs, constant buffer bytes, programs loaded with the resource)
    const struct {
        const wchar_t* name;
        size_t programs;
        uint32_t constantBytes;
        bool loaded;
    } cases[] = {
        {L"標準描画", 0, 160, false},  {L"映像再生", 0, 160, false},   {L"部分フィルタ", 2, 32, true},
        {L"カメラ制御", 1, 16, true},  {L"音声波形表示", 3, 48, true}, {L"シーンチェンジ", 3, 0, true},
    };
    const auto resourceOf = [](const EffectBase& e) -> const Effect::ShaderResource* {
        if (auto* o = dynamic_cast<const Effect::BasicOutput*>(&e)) return o->resource.get();
        if (auto* p = dynamic_cast<const Effect::PartEffect*>(&e)) return p->resource.get();
        if (auto* c = dynamic_cast<const Effect::CameraControl*>(&e)) return c->resource.get();
        if (auto* w = dynamic_cast<const Effect::WaveImageInput*>(&e)) return w->resource.get();
        if (auto* s = dynamic_cast<const Effect::SceneChange*>(&e)) return s->resource.get();
        return nullptr;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.name));
        const EffectBase& prototype = *service->findEffect(c.name).prototype();
        const Effect::ShaderResource* resource = resourceOf(prototype);
        ASSERT_NE(resource, nullptr);
        EXPECT_EQ(resource->shaders.size(), c.programs);
        EXPECT_EQ(resource->constantBytes, c.constantBytes);
        EXPECT_EQ(resource->constant != nullptr, c.constantBytes > 0);
        for (const auto& shader : resource->shaders)
            EXPECT_EQ(shader->shader != nullptr, c.loaded);  // the others come with their drawing

        auto first = service->getEffect(c.name);
        auto second = service->getEffect(c.name);
        EXPECT_NE(first, second);
        EXPECT_EQ(resourceOf(*first), resource);
        EXPECT_EQ(resourceOf(*second), resource);
        first.reset();  // releasing one instance leaves the other's resource
        EXPECT_EQ(resourceOf(*second), resource);
        // Created but not shared yet: none.
        EXPECT_EQ(resourceOf(*prototype.createInstance()), nullptr);
    }
}

TEST_F(BuiltinEffectTest, LayerRangesAndPairedInputs) {
    for (const wchar_t* name : {L"グループ制御", L"グループ制御(音声)", L"カメラ制御"}) {
        const auto control = service->getEffect(name);
        Effect::EffectItemInteger* range = control->getLayerRange();
        ASSERT_NE(range, nullptr) << System::wideToUtf8(name);
        EXPECT_EQ(range->name, L"対象レイヤー数");
        EXPECT_EQ(range, control->findItemByName(L"対象レイヤー数"));
        EXPECT_EQ(range->value, 0);
    }
    for (const wchar_t* name : {L"標準描画", L"部分フィルタ", L"シーンチェンジ", L"動画ファイル"})
        EXPECT_THROW(service->getEffect(name)->getLayerRange(), std::runtime_error) << System::wideToUtf8(name);

    EXPECT_EQ(service->getEffect(L"パーティクル出力")->getPairedInputEffect(), &service->findEffect(L"図形"));
    EXPECT_EQ(service->getEffect(L"標準描画")->getPairedInputEffect(), nullptr);
}

// Registers the particle output without the figure it brings.
class WithoutFigure : public Effect::EffectService::Catalog {
public:
    void registerLeading(Effect::EffectService& service) override {
        service.registerEffect<Effect::VideoOutput>();
        service.registerEffect<Effect::ParticleOutput>();
    }
    void registerTrailing(Effect::EffectService&) override {}
};

TEST_F(BuiltinEffectTest, ParticleOutputWithoutItsFigureLeavesTheObjectMenu) {
    service.reset();
    WithoutFigure catalogue;
    Effect::EffectService::setCatalog(&catalogue);
    service = std::make_unique<Effect::EffectService>();
    EXPECT_EQ(service->getEffect(L"パーティクル出力")->getPairedInputEffect(), nullptr);
    EXPECT_EQ(names(service->getEffectMenuList(200, 0, 0)), "");
    EXPECT_EQ(names(service->getEffectMenuList(2, 0, 0)), "標準描画 パーティクル出力 ");
}

TEST_F(BuiltinEffectTest, InputsPairWithTheirOutputs) {
    const struct {
        const wchar_t* input;
        const char* output;
    } cases[] = {
        {L"動画ファイル", "映像再生"}, {L"シーン", "映像再生"},           {L"画像ファイル", "標準描画"},
        {L"テキスト", "標準描画"},     {L"フレームバッファ", "基本出力"}, {L"音声ファイル", "音声再生"},
        {L"音声波形表示", "標準描画"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(System::wideToUtf8(service->getOutputEffect(service->findEffect(c.input)).getName()), c.output)
            << System::wideToUtf8(c.input);
}

TEST_F(BuiltinEffectTest, MenuListsOfTheCatalogue) {
    const struct {
        uint8_t role, media, placement;
        const char* expected;
    } cases[] = {
        {200, 0, 0,
         "動画ファイル 画像ファイル 音声ファイル テキスト 図形 シーン フレームバッファ 直前オブジェクト "
         "パーティクル出力 "
         "部分フィルタ グループ制御 グループ制御(音声) カメラ制御 音声波形表示 シーンチェンジ "},
        {201, 0, 0, ""},
        {200, 3, 0,
         "動画ファイル 画像ファイル 音声ファイル テキスト 図形 シーン フレームバッファ 直前オブジェクト "
         "パーティクル出力 "
         "部分フィルタ グループ制御 グループ制御(音声) カメラ制御 音声波形表示 シーンチェンジ "},
        {200, 4, 0, ""},
        {200, 0, 4, "カメラ制御 "},
        {2, 2, 0, "音声再生 映像再生 "},
        {4, 0, 3, "部分フィルタ グループ制御 グループ制御(音声) "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(service->getEffectMenuList(c.role, c.media, c.placement)), c.expected)
            << int(c.role) << "," << int(c.media) << "," << int(c.placement);
}

TEST_F(BuiltinEffectTest, NotifyItemsAndGroups) {
    // (effect, the items whose user changes reach the effect, the item groups by first member)
    const struct {
        const wchar_t* name;
        const char* notify;
        const char* groups;
    } cases[] = {
        {L"動画ファイル", "再生速度 ファイル ", ""},
        {L"画像ファイル", "ファイル 連番ファイル ", ""},
        {L"音声ファイル", "再生速度 ファイル ", ""},
        {L"テキスト", "表示速度 テキスト 文字毎に個別オブジェクト オブジェクトの長さを自動調節 ", ""},
        {L"図形", "図形の種類 ", ""},
        {L"シーン", "再生速度 シーン ", ""},
        {L"標準描画", "", "X:X,Y,Z "},
        {L"映像再生", "", "X:X,Y,Z "},
        {L"パーティクル出力", "", "X:X,Y,Z "},
        {L"部分フィルタ", "", "X:X,Y "},
        {L"グループ制御", "", "X:X,Y,Z "},
        {L"カメラ制御", "", "X:X,Y,Z 目標X:目標X,目標Y,目標Z "},
        {L"音声波形表示", "再生速度 ファイル ", ""},
        {L"シーンチェンジ", "種類 ", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.name));
        const auto effect = service->getEffect(c.name);
        const auto [notify, groups] = ItemTraits(*effect);
        EXPECT_EQ(notify, c.notify);
        EXPECT_EQ(groups, c.groups);
    }
}

TEST_F(BuiltinEffectTest, PlayPositionsOfferThePlayRange) {
    const Effect::MovementBase* range = service->findMovement(L"再生範囲").movement().get();
    for (const wchar_t* name : {L"動画ファイル", L"音声ファイル", L"シーン", L"音声波形表示"}) {
        SCOPED_TRACE(System::wideToUtf8(name));
        const auto source = service->getEffect(name);
        auto* position = static_cast<Effect::EffectItemNumber*>(source->findItemByName(L"再生位置"));
        ASSERT_NE(position, nullptr);
        EXPECT_EQ(position->movement, range);
        const auto menu = service->getMovementMenuList(position->movementListAdjuster);
        EXPECT_TRUE(std::find(menu.begin(), menu.end(), &service->findMovement(L"再生範囲")) != menu.end());
        EXPECT_EQ(service->getMovementMenuList().size() + 1, menu.size());
    }
}

}  // namespace
