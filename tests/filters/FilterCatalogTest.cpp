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
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "filters/FilterFixture.h"
#include "support/ItemTraits.h"

using Effect::EffectBase;

namespace {

// What every filter declares: its codes, its menu group, and the section its
// default prototype writes (its items in order, with their default texts).
struct Expected {
    const wchar_t* name;
    uint8_t media, placement;
    const wchar_t* menuGroup;
    size_t itemCount;
    const char* section;
};

const Expected kFilters[] = {
    {L"色調補正", 1, 1, L"色調整", 6,
     "effect.name=色調補正\r\n"
     "明るさ=100.00\r\n"
     "コントラスト=100.00\r\n"
     "色相=0.00\r\n"
     "輝度=100.00\r\n"
     "彩度=100.00\r\n"
     "飽和する=1\r\n"},
    {L"グラデーション", 1, 1, L"色調整", 9,
     "effect.name=グラデーション\r\n"
     "強さ=100.0\r\n"
     "中心X=0.0\r\n"
     "中心Y=0.0\r\n"
     "角度=0.00\r\n"
     "幅=100\r\n"
     "合成モード=通常\r\n"
     "形状=線形\r\n"
     "開始色=ffffff\r\n"
     "終了色=\r\n"},
    {L"単色化", 1, 1, L"色調整", 3,
     "effect.name=単色化\r\n"
     "強さ=100.0\r\n"
     "色=ffffff\r\n"
     "輝度を保持する=1\r\n"},
    {L"特定色域変換", 1, 1, L"色調整", 6,
     "effect.name=特定色域変換\r\n"
     "色相範囲=16\r\n"
     "彩度範囲=96\r\n"
     "境界補正=1\r\n"
     "変換前の色=\r\n"
     "変換後の色=ffffff\r\n"
     "色彩補正=0\r\n"},
    {L"クリッピング", 1, 1, L"クリッピング", 5,
     "effect.name=クリッピング\r\n"
     "上=0\r\n"
     "下=0\r\n"
     "左=0\r\n"
     "右=0\r\n"
     "中心の位置を変更=0\r\n"},
    {L"斜めクリッピング", 1, 1, L"クリッピング", 5,
     "effect.name=斜めクリッピング\r\n"
     "中心X=0.0\r\n"
     "中心Y=0.0\r\n"
     "角度=0.00\r\n"
     "ぼかし=1\r\n"
     "幅=0\r\n"},
    {L"扇クリッピング", 1, 1, L"クリッピング", 6,
     "effect.name=扇クリッピング\r\n"
     "中心X=0.0\r\n"
     "中心Y=0.0\r\n"
     "基準角=0.00\r\n"
     "範囲角=90.00\r\n"
     "ぼかし=1\r\n"
     "基準角を中央にする=0\r\n"},
    {L"マスク", 1, 1, L"クリッピング", 10,
     "effect.name=マスク\r\n"
     "X=0.0\r\n"
     "Y=0.0\r\n"
     "回転=0.00\r\n"
     "サイズ=100\r\n"
     "縦横比=0.00\r\n"
     "ぼかし=0\r\n"
     "マスクの種類=円\r\n"
     "シーンの長さを合わせる=0\r\n"
     "マスクの反転=0\r\n"
     "元のサイズに合わせる=0\r\n"},
    {L"ぼかし", 1, 1, L"ぼかし", 4,
     "effect.name=ぼかし\r\n"
     "範囲=5\r\n"
     "縦横比=0.00\r\n"
     "光の強さ=0.0\r\n"
     "サイズ固定=0\r\n"},
    {L"レンズブラー", 1, 1, L"ぼかし", 4,
     "effect.name=レンズブラー\r\n"
     "範囲=5\r\n"
     "光の強さ=32.0\r\n"
     "形状=円\r\n"
     "サイズ固定=0\r\n"},
    {L"放射ブラー", 1, 1, L"ぼかし", 4,
     "effect.name=放射ブラー\r\n"
     "範囲=20.00\r\n"
     "X=0.0\r\n"
     "Y=0.0\r\n"
     "サイズ固定=0\r\n"},
    {L"方向ブラー", 1, 1, L"ぼかし", 3,
     "effect.name=方向ブラー\r\n"
     "範囲=20\r\n"
     "角度=50.00\r\n"
     "サイズ固定=0\r\n"},
    {L"境界ぼかし", 1, 1, L"ぼかし", 3,
     "effect.name=境界ぼかし\r\n"
     "範囲=5\r\n"
     "縦横比=0.00\r\n"
     "透明度の境界をぼかす=0\r\n"},
    {L"グロー", 1, 1, L"光効果", 10,
     "effect.name=グロー\r\n"
     "強さ=40.00\r\n"
     "拡散=50\r\n"
     "角度=25.00\r\n"
     "しきい値=80.0\r\n"
     "比率=100.0\r\n"
     "ぼかし=1\r\n"
     "形状=クロス(4本)\r\n"
     "光色=\r\n"
     "光成分のみ=0\r\n"
     "サイズ固定=0\r\n"},
    {L"発光", 1, 1, L"光効果", 6,
     "effect.name=発光\r\n"
     "強さ=100.0\r\n"
     "拡散=250\r\n"
     "しきい値=80.0\r\n"
     "拡散速度=0\r\n"
     "光色=\r\n"
     "サイズ固定=0\r\n"},
    {L"閃光", 1, 1, L"光効果", 6,
     "effect.name=閃光\r\n"
     "強さ=100.0\r\n"
     "X=0.0\r\n"
     "Y=0.0\r\n"
     "合成モード=前方に合成\r\n"
     "光色=\r\n"
     "サイズ固定=0\r\n"},
    {L"拡散光", 1, 1, L"光効果", 3,
     "effect.name=拡散光\r\n"
     "強さ=50.0\r\n"
     "拡散=12\r\n"
     "サイズ固定=0\r\n"},
    {L"ライト", 1, 1, L"光効果", 5,
     "effect.name=ライト\r\n"
     "強さ=100.0\r\n"
     "拡散=25\r\n"
     "比率=0.0\r\n"
     "逆光=0\r\n"
     "色=ffffff\r\n"},
    {L"色ずれ", 1, 1, L"光効果", 4,
     "effect.name=色ずれ\r\n"
     "ずれ幅=5.0\r\n"
     "角度=90.00\r\n"
     "強さ=100\r\n"
     "色ずれの種類=赤緑A\r\n"},
    {L"縁取り", 1, 1, L"装飾", 3,
     "effect.name=縁取り\r\n"
     "サイズ=5\r\n"
     "ぼかし=5\r\n"
     "縁色=ffffff\r\n"},
    {L"ドロップシャドウ", 1, 1, L"装飾", 6,
     "effect.name=ドロップシャドウ\r\n"
     "X=-40\r\n"
     "Y=24\r\n"
     "濃さ=40.0\r\n"
     "拡散=10\r\n"
     "影色=000000\r\n"
     "影を別オブジェクトで描画=0\r\n"},
    {L"凸エッジ", 1, 1, L"装飾", 3,
     "effect.name=凸エッジ\r\n"
     "幅=4\r\n"
     "高さ=1.00\r\n"
     "角度=45.00\r\n"},
    {L"クロマキー", 1, 1, L"抽出", 6,
     "effect.name=クロマキー\r\n"
     "色相範囲=16\r\n"
     "彩度範囲=96\r\n"
     "境界補正=1\r\n"
     "基準色=\r\n"
     "色彩補正=0\r\n"
     "透過補正=0\r\n"},
    {L"ルミナンスキー", 1, 1, L"抽出", 3,
     "effect.name=ルミナンスキー\r\n"
     "基準輝度=2048\r\n"
     "輝度範囲=512\r\n"
     "モード=暗い部分を透過\r\n"},
    {L"カラーキー", 1, 1, L"抽出", 4,
     "effect.name=カラーキー\r\n"
     "輝度範囲=400\r\n"
     "色差範囲=400\r\n"
     "境界補正=1\r\n"
     "基準色=\r\n"},
    {L"エッジ抽出", 1, 1, L"抽出", 5,
     "effect.name=エッジ抽出\r\n"
     "強さ=100.0\r\n"
     "しきい値=0.00\r\n"
     "色=ffffff\r\n"
     "輝度エッジを抽出=1\r\n"
     "透明度エッジを抽出=0\r\n"},
    {L"波紋", 1, 1, L"変形", 8,
     "effect.name=波紋\r\n"
     "中心X=0.0\r\n"
     "中心Y=0.0\r\n"
     "幅=30.0\r\n"
     "高さ=15.0\r\n"
     "速度=150.0\r\n"
     "波紋数=0\r\n"
     "波紋間隔=0\r\n"
     "増幅減衰回数=0\r\n"},
    {L"ラスター", 1, 1, L"変形", 5,
     "effect.name=ラスター\r\n"
     "横幅=100\r\n"
     "高さ=100\r\n"
     "周期=1.00\r\n"
     "縦ラスター=0\r\n"
     "ランダム振幅=0\r\n"},
    {L"極座標変換", 1, 1, L"変形", 4,
     "effect.name=極座標変換\r\n"
     "中心幅=0\r\n"
     "拡大率=100.00\r\n"
     "回転=0.00\r\n"
     "渦巻=0.000\r\n"},
    {L"ディスプレイスメントマップ", 1, 1, L"変形", 15,
     "effect.name=ディスプレイスメントマップ\r\n"
     "X=0.0\r\n"
     "Y=0.0\r\n"
     "回転=0.00\r\n"
     "サイズ=200\r\n"
     "縦横比=0.000\r\n"
     "ぼかし=5\r\n"
     "変形X=0.00\r\n"
     "変形Y=0.00\r\n"
     "拡大変形=0.00\r\n"
     "拡大縦横=0.000\r\n"
     "回転変形=0.00\r\n"
     "変形方法=移動変形\r\n"
     "マップの種類=円\r\n"
     "シーンの長さを合わせる=0\r\n"
     "元のサイズに合わせる=0\r\n"},
    {L"リサイズ", 1, 1, L"変形", 5,
     "effect.name=リサイズ\r\n"
     "拡大率=100.000\r\n"
     "X=100.000\r\n"
     "Y=100.000\r\n"
     "補間なし=0\r\n"
     "ピクセル数でサイズ指定=0\r\n"},
    {L"シャープ", 1, 1, L"加工", 2,
     "effect.name=シャープ\r\n"
     "強さ=50.0\r\n"
     "範囲=5\r\n"},
    {L"ノイズ除去", 1, 1, L"加工", 3,
     "effect.name=ノイズ除去\r\n"
     "強さ=100.0\r\n"
     "範囲=2\r\n"
     "しきい値=20\r\n"},
    {L"インターレース解除", 1, 1, L"加工", 1,
     "effect.name=インターレース解除\r\n"
     "解除方法=奇数\r\n"},
    {L"ノイズ", 1, 1, L"加工", 10,
     "effect.name=ノイズ\r\n"
     "強さ=100.0\r\n"
     "速度X=0.0\r\n"
     "速度Y=0.0\r\n"
     "変化速度=0.0\r\n"
     "周期X=1.00\r\n"
     "周期Y=1.00\r\n"
     "しきい値=0.0\r\n"
     "シード=0\r\n"
     "合成モード=アルファ値と乗算\r\n"
     "ノイズの種類=Type1\r\n"},
    {L"モザイク", 1, 1, L"加工", 1,
     "effect.name=モザイク\r\n"
     "サイズ=12\r\n"},
    {L"オフスクリーン描画", 1, 1, L"", 0, "effect.name=オフスクリーン描画\r\n"},
    {L"画像ループ", 1, 1, L"配置", 5,
     "effect.name=画像ループ\r\n"
     "横回数=1\r\n"
     "縦回数=1\r\n"
     "オフセットX=0.000\r\n"
     "オフセットY=0.000\r\n"
     "個別オブジェクト=0\r\n"},
    {L"オブジェクト分割", 1, 1, L"配置", 2,
     "effect.name=オブジェクト分割\r\n"
     "横分割数=10\r\n"
     "縦分割数=10\r\n"},
    {L"フェード", 1, 1, L"切り替え効果", 2,
     "effect.name=フェード\r\n"
     "イン=0.50\r\n"
     "アウト=0.50\r\n"},
    {L"ワイプ", 1, 1, L"切り替え効果", 7,
     "effect.name=ワイプ\r\n"
     "イン=0.50\r\n"
     "アウト=0.50\r\n"
     "ぼかし=2\r\n"
     "ワイプの種類=ワイプ(円)\r\n"
     "縦横比固定=1\r\n"
     "反転(イン)=0\r\n"
     "反転(アウト)=0\r\n"},
    {L"振動", 1, 1, L"アニメーション効果", 6,
     "effect.name=振動\r\n"
     "X=10\r\n"
     "Y=10\r\n"
     "Z=0\r\n"
     "周期=1\r\n"
     "ランダムに強さを変える=1\r\n"
     "複雑に振動=0\r\n"},
    {L"スクリプト制御", 1, 1, L"アニメーション効果", 1,
     "effect.name=スクリプト制御\r\n"
     "スクリプト=\r\n"},
    {L"並行光源(カメラ制御)", 4, 4, L"カメラ制御", 5,
     "effect.name=並行光源(カメラ制御)\r\n"
     "緯度=0.00\r\n"
     "経度=0.00\r\n"
     "傾き=0.00\r\n"
     "明るさ=50.00\r\n"
     "色=ffffff\r\n"},
    {L"環境光(カメラ制御)", 4, 4, L"カメラ制御", 2,
     "effect.name=環境光(カメラ制御)\r\n"
     "明るさ=50.00\r\n"
     "色=ffffff\r\n"},
    {L"ライトブルーム(カメラ制御)", 4, 4, L"カメラ制御", 2,
     "effect.name=ライトブルーム(カメラ制御)\r\n"
     "強さ=100.0\r\n"
     "拡散=400\r\n"},
    {L"材質設定(カメラ制御)", 1, 1, L"カメラ制御", 1,
     "effect.name=材質設定(カメラ制御)\r\n"
     "光沢度=70\r\n"},
    {L"カメラ制御オプション", 1, 1, L"カメラ制御", 2,
     "effect.name=カメラ制御オプション\r\n"
     "オブジェクトの向き=標準\r\n"
     "裏面を表示しない=0\r\n"},
    {L"座標", 1, 1, L"基本効果", 3,
     "effect.name=座標\r\n"
     "X=0.00\r\n"
     "Y=0.00\r\n"
     "Z=0.00\r\n"},
    {L"拡大率", 1, 1, L"基本効果", 4,
     "effect.name=拡大率\r\n"
     "拡大率=100.000\r\n"
     "X=100.000\r\n"
     "Y=100.000\r\n"
     "Z=100.000\r\n"},
    {L"透明度", 1, 1, L"基本効果", 1,
     "effect.name=透明度\r\n"
     "透明度=0.00\r\n"},
    {L"回転", 1, 1, L"基本効果", 3,
     "effect.name=回転\r\n"
     "X=0.00\r\n"
     "Y=0.00\r\n"
     "Z=0.00\r\n"},
    {L"領域拡張", 1, 1, L"基本効果", 5,
     "effect.name=領域拡張\r\n"
     "上=0\r\n"
     "下=0\r\n"
     "左=0\r\n"
     "右=0\r\n"
     "塗りつぶし=0\r\n"},
    {L"反転", 1, 1, L"基本効果", 5,
     "effect.name=反転\r\n"
     "上下反転=0\r\n"
     "左右反転=0\r\n"
     "輝度反転=0\r\n"
     "色相反転=0\r\n"
     "透明度反転=0\r\n"},
    {L"音量フェード", 2, 2, L"音声効果", 2,
     "effect.name=音量フェード\r\n"
     "イン=0.50\r\n"
     "アウト=0.50\r\n"},
    {L"モノラル化", 2, 2, L"音声効果", 1,
     "effect.name=モノラル化\r\n"
     "比率=0.00\r\n"},
    {L"音量調整", 2, 2, L"音声効果", 2,
     "effect.name=音量調整\r\n"
     "音量=100.00\r\n"
     "左右=0.00\r\n"},
};

// The sources, outputs and controls, in their places among the filters.
const char* const kCatalogue =
    "[動画ファイル] [画像ファイル] [音声ファイル] [テキスト] [図形] [シーン] [フレームバッファ] [直前オブジェクト] "
    "[標準描画] [音声再生] [映像再生] [基本出力] [パーティクル出力] [部分フィルタ] [グループ制御] "
    "[グループ制御(音声)] [カメラ制御] [音声波形表示] "
    "[色調補正] [グラデーション] [単色化] [特定色域変換] [クリッピング] [斜めクリッピング] [扇クリッピング] [マスク] "
    "[ぼかし] [レンズブラー] [放射ブラー] [方向ブラー] [境界ぼかし] [グロー] [発光] [閃光] [拡散光] [ライト] [色ずれ] "
    "[縁取り] [ドロップシャドウ] [凸エッジ] [クロマキー] [ルミナンスキー] [カラーキー] [エッジ抽出] [波紋] [ラスター] "
    "[極座標変換] [ディスプレイスメントマップ] [リサイズ] [シャープ] [ノイズ除去] [インターレース解除] [ノイズ] "
    "[モザイク] "
    "[オフスクリーン描画] [画像ループ] [オブジェクト分割] [フェード] [ワイプ] [シーンチェンジ] [振動] [スクリプト制御] "
    "[並行光源(カメラ制御)] [環境光(カメラ制御)] [ライトブルーム(カメラ制御)] [材質設定(カメラ制御)] "
    "[カメラ制御オプション] [座標] [拡大率] [透明度] [回転] [領域拡張] [反転] [音量フェード] [モノラル化] [音量調整] ";

class FilterCatalogTest : public FilterFixture {
protected:
    std::string section(const EffectBase& effect) const {
        System::File file;
        file.open(wide(root_ / "section.ini"), System::File::kWrite);
        file.write("[Effect.0]\r\n", 12);
        effect.saveIniSectionParameter(file);
        file.close();
        return readFile(root_ / "section.ini").substr(12);
    }
    std::string registered() const {
        static const std::string kind = "register effect ";
        std::string out;
        for (const auto& line : log.lines)
            if (line.level == "INFO" && line.message.rfind(kind, 0) == 0) out += line.message.substr(kind.size()) + " ";
        return out;
    }
    static std::string names(const std::vector<Menu::MenuDefineBase*>& list) {
        std::string out;
        for (const Menu::MenuDefineBase* entry : list) out += System::wideToUtf8(entry->getName()) + " ";
        return out;
    }
};

TEST_F(FilterCatalogTest, WholeCatalogueRegistersInTableOrder) {
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(registered(), kCatalogue);
    // The eight movements come first; the menu order follows the table, the
    // scripts (none here) between "振動" and "スクリプト制御".
    EXPECT_EQ(service->findEffect(L"動画ファイル").order, 8);
    EXPECT_EQ(service->findEffect(L"色調補正").order, 8 + 18);
    EXPECT_EQ(service->findEffect(L"シーンチェンジ").order, 8 + 59);
    EXPECT_EQ(service->findEffect(L"振動").order, 8 + 60);
    EXPECT_EQ(service->findEffect(L"音量調整").order, 8 + 75);
    EXPECT_EQ(service->effects().size(), 76u);
}

TEST_F(FilterCatalogTest, DefaultPrototypesWriteTheirItemTablesAndReadBack) {
    for (const Expected& e : kFilters) {
        SCOPED_TRACE(System::wideToUtf8(e.name));
        const Effect::EffectDefine& define = service->findEffect(e.name);
        const EffectBase& prototype = *define.prototype();
        EXPECT_EQ(prototype.role, EffectBase::kFilter);
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
    // Every filter of the catalogue is in the table.
    size_t filters = 0;
    for (const auto& [name, define] : service->effects()) filters += define->prototype()->role == EffectBase::kFilter;
    EXPECT_EQ(filters, std::size(kFilters));
    EXPECT_TRUE(std::none_of(log.lines.begin(), log.lines.end(), [](const auto& l) { return l.level == "WARN"; }));
}

TEST_F(FilterCatalogTest, ItemKindsLimitsAndSteps) {
    // One row per item whose kind or range the written default does not show.
    const struct {
        const wchar_t* effect;
        const wchar_t* item;
        uint8_t type;
        double minimum, maximum, step;  // number items only
    } cases[] = {
        {L"色調補正", L"色相", 1, -3600, 3600, 0.01},
        {L"グラデーション", L"幅", 1, 0, 2000, 1},
        {L"グラデーション", L"開始色", 14, 0, 0, 0},
        {L"グラデーション", L"終了色", 14, 0, 0, 0},
        {L"単色化", L"色", 7, 0, 0, 0},
        {L"特定色域変換", L"色相範囲", 1, 0, 256, 1},
        {L"特定色域変換", L"変換前の色", 14, 0, 0, 0},
        {L"特定色域変換", L"変換後の色", 14, 0, 0, 0},
        {L"斜めクリッピング", L"幅", 1, -2000, 2000, 1},
        {L"扇クリッピング", L"範囲角", 1, -360, 360, 0.01},
        {L"マスク", L"マスクの種類", 15, 0, 0, 0},
        {L"ぼかし", L"範囲", 1, 0, 1000, 1},
        {L"ぼかし", L"縦横比", 1, -100, 100, 0.01},
        {L"ぼかし", L"光の強さ", 1, 0, 60, 0.1},
        {L"レンズブラー", L"形状", 8, 0, 0, 0},
        {L"放射ブラー", L"範囲", 1, 0, 80, 0.01},
        {L"グロー", L"ぼかし", 1, 0, 50, 1},
        {L"グロー", L"光色", 14, 0, 0, 0},
        {L"発光", L"拡散", 1, 10, 1000, 1},
        {L"閃光", L"光色", 14, 0, 0, 0},
        {L"ライト", L"比率", 1, -100, 100, 0.1},
        {L"ドロップシャドウ", L"影色", 7, 0, 0, 0},
        {L"凸エッジ", L"高さ", 1, 0, 3, 0.01},
        {L"クロマキー", L"基準色", 14, 0, 0, 0},
        {L"ルミナンスキー", L"基準輝度", 1, -4096, 8192, 1},
        {L"カラーキー", L"境界補正", 1, 0, 80, 1},
        {L"カラーキー", L"基準色", 14, 0, 0, 0},
        {L"波紋", L"幅", 1, 1, 400, 0.1},
        {L"波紋", L"波紋数", 0, 0, 100, 1},
        {L"波紋", L"増幅減衰回数", 0, -100, 100, 1},
        {L"極座標変換", L"拡大率", 1, 100, 800, 0.01},
        {L"極座標変換", L"渦巻", 1, -8, 8, 0.001},
        {L"ディスプレイスメントマップ", L"マップの種類", 15, 0, 0, 0},
        {L"ノイズ除去", L"範囲", 1, 1, 8, 1},
        {L"ノイズ", L"シード", 0, 0, 100, 1},
        {L"モザイク", L"サイズ", 1, 1, 2000, 1},
        {L"画像ループ", L"オフセットX", 1, -10000, 10000, 0.001},
        {L"振動", L"X", 1, -500, 500, 1},
        {L"振動", L"周期", 1, 1, 100, 1},
        {L"スクリプト制御", L"スクリプト", 4, 0, 0, 0},
        {L"ライトブルーム(カメラ制御)", L"拡散", 1, 0, 2000, 1},
        {L"座標", L"X", 1, -100000, 100000, 0.01},
        {L"拡大率", L"Z", 1, 0, 10000, 0.001},
        {L"音量調整", L"音量", 1, 0, 1000, 0.01},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.effect) + " " + System::wideToUtf8(c.item));
        const auto effect = service->getEffect(c.effect);
        Effect::EffectItem* item = effect->findItemByName(c.item);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->type, c.type);
        if (auto* number = item->to<Effect::EffectItemNumber>()) {
            // Limits and step as text, so that the step's own rounding shows.
            const double limits[] = {c.minimum, c.maximum};
            number->values.assign(number->values.size(), number->minimum);
            EXPECT_EQ(std::stod(number->toString()), limits[0]);
            number->values.assign(number->values.size(), number->maximum);
            EXPECT_EQ(std::stod(number->toString()), limits[1]);
            EXPECT_DOUBLE_EQ(1.0 / number->scale, c.step);
        } else if (c.type == 0) {
            auto* integer = static_cast<Effect::EffectItemInteger*>(item);
            EXPECT_EQ(integer->minimum, c.minimum);
            EXPECT_EQ(integer->maximum, c.maximum);
        }
    }
}

TEST_F(FilterCatalogTest, OptionListsOfTheSelectItems) {
    const struct {
        const wchar_t* effect;
        const wchar_t* item;
        const char* options;  // value:name in list order
    } cases[] = {
        {L"グラデーション", L"合成モード",
         "0:通常 1:加算 2:減算 3:乗算 4:スクリーン 5:オーバーレイ 6:比較(明) 7:比較(暗) 8:輝度 9:色差 10:陰影 11:明暗 "
         "12:差分 "},
        {L"グラデーション", L"形状", "0:線形 1:円形 2:矩形 3:凸形 "},
        {L"レンズブラー", L"形状", "0:背景 1:円 2:四角形 3:三角形 4:五角形 5:六角形 6:星型 7:ハート 8:arrow "},
        {L"グロー", L"形状",
         "0:通常 1:クロス(4本) 2:クロス(6本) 3:クロス(8本) 4:クロス(10本) 5:クロス(12本) 6:ライン "},
        {L"閃光", L"合成モード", "0:前方に合成 1:後方に合成 2:光成分のみ "},
        {L"色ずれ", L"色ずれの種類", "0:赤緑A 1:赤青A 2:緑青A 3:赤緑B 4:赤青B 5:緑青B "},
        {L"ルミナンスキー", L"モード",
         "0:暗い部分を透過 1:明るい部分を透過 2:明暗部分を透過 3:明暗部分を透過(補間無し) 4:基準部分を透過 "
         "5:基準部分を透過(補間無し) "},
        {L"ディスプレイスメントマップ", L"変形方法", "0:移動変形 1:拡大変形 2:回転変形 "},
        {L"インターレース解除", L"解除方法", "0:奇数 1:偶数 2:二重化 "},
        {L"ノイズ", L"合成モード", "0:アルファ値と乗算 1:明るさと乗算 "},
        {L"ノイズ", L"ノイズの種類", "0:Type1 1:Type2 2:Type3 3:Type4 4:Type5 5:Type6 "},
        {L"ワイプ", L"ワイプの種類",
         "0:ワイプ(円) 1:ワイプ(四角) 2:ワイプ(時計) 3:ワイプ(横) 4:ワイプ(縦) 5:ワイプ(星型) 6:ワイプ(ハート) "},
        {L"カメラ制御オプション", L"オブジェクトの向き", "0:標準 3:カメラの方を向く "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.effect) + " " + System::wideToUtf8(c.item));
        const auto effect = service->getEffect(c.effect);
        auto* select = effect->findItemByName(c.item)->to<Effect::EffectItemSelect>();
        ASSERT_NE(select, nullptr);
        EXPECT_EQ(select->type, Effect::EffectItem::kSelect);
        ASSERT_NE(select->options, nullptr);
        std::string options;
        for (const auto& [value, name] : select->options->indexMap)
            options += std::to_string(value) + ":" + System::wideToUtf8(name) + " ";
        EXPECT_EQ(options, c.options);
        // Every option is written by its name and read back to its value.
        for (const auto& [value, name] : select->options->indexMap) {
            select->index = value;
            const std::string text = select->toString();
            select->index = -1;
            select->fromString(text);
            EXPECT_EQ(select->index, value) << text;
        }
    }
}

TEST_F(FilterCatalogTest, NotifyItemsAndGroups) {
    // (effect, the items whose user changes reach the effect, the item groups by first member);
    // every filter not listed has neither.
    const struct {
        const wchar_t* name;
        const char* notify;
        const char* groups;
    } cases[] = {
        {L"グラデーション", "", "中心X:中心X,中心Y "},
        {L"斜めクリッピング", "", "中心X:中心X,中心Y "},
        {L"扇クリッピング", "", "中心X:中心X,中心Y "},
        {L"マスク", "", "X:X,Y "},
        {L"エッジ抽出", "輝度エッジを抽出 透明度エッジを抽出 ", ""},
        {L"波紋", "", "中心X:中心X,中心Y "},
        {L"ディスプレイスメントマップ", "変形方法 ", "X:X,Y "},
        {L"座標", "", "X:X,Y,Z "},
    };
    for (const Expected& e : kFilters) {
        SCOPED_TRACE(System::wideToUtf8(e.name));
        const auto effect = service->getEffect(e.name);
        const auto [notify, groups] = ItemTraits(*effect);
        const auto listed = std::find_if(std::begin(cases), std::end(cases),
                                         [&](const auto& c) { return std::wstring(c.name) == e.name; });
        EXPECT_EQ(notify, listed == std::end(cases) ? "" : listed->notify);
        EXPECT_EQ(groups, listed == std::end(cases) ? "" : listed->groups);
    }
}

TEST_F(FilterCatalogTest, MaskItemsStartAtTheCircleWithTheirSceneCheck) {
    for (const auto& [effect, key] :
         {std::pair{L"マスク", L"マスクの種類"}, {L"ディスプレイスメントマップ", L"マップの種類"}}) {
        SCOPED_TRACE(System::wideToUtf8(effect));
        const auto instance = service->getEffect(effect);
        auto* mask = static_cast<Effect::EffectItemMaskSelect*>(instance->findItemByName(key));
        EXPECT_EQ(mask->index, 1);
        EXPECT_EQ(mask->sceneId, -1);
        EXPECT_TRUE(mask->path.empty());
        EXPECT_EQ(static_cast<Effect::EffectItem*>(mask->fitScene),
                  instance->findItemByName(L"シーンの長さを合わせる"));
    }
}

TEST_F(FilterCatalogTest, MenuListsOfFilterObjects) {
    const struct {
        uint8_t role, media, placement;
        const char* expected;
    } cases[] = {
        // The filter menu: every filter in table order.
        {201, 0, 0,
         "色調補正 グラデーション 単色化 特定色域変換 クリッピング 斜めクリッピング 扇クリッピング マスク ぼかし "
         "レンズブラー 放射ブラー 方向ブラー 境界ぼかし グロー 発光 閃光 拡散光 ライト 色ずれ 縁取り ドロップシャドウ "
         "凸エッジ クロマキー ルミナンスキー カラーキー エッジ抽出 波紋 ラスター 極座標変換 ディスプレイスメントマップ "
         "リサイズ シャープ ノイズ除去 インターレース解除 ノイズ モザイク オフスクリーン描画 画像ループ "
         "オブジェクト分割 "
         "フェード ワイプ 振動 スクリプト制御 並行光源(カメラ制御) 環境光(カメラ制御) ライトブルーム(カメラ制御) "
         "材質設定(カメラ制御) カメラ制御オプション 座標 拡大率 透明度 回転 領域拡張 反転 音量フェード モノラル化 "
         "音量調整 "},
        // Filters for an audio object.
        {201, 2, 0, "音量フェード モノラル化 音量調整 "},
        // Filters of the camera.
        {201, 0, 4, "並行光源(カメラ制御) 環境光(カメラ制御) ライトブルーム(カメラ制御) "},
        // The object menu holds no filter.
        {200, 0, 0,
         "動画ファイル 画像ファイル 音声ファイル テキスト 図形 シーン フレームバッファ 直前オブジェクト "
         "パーティクル出力 "
         "部分フィルタ グループ制御 グループ制御(音声) カメラ制御 音声波形表示 シーンチェンジ "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(service->getEffectMenuList(c.role, c.media, c.placement)), c.expected)
            << int(c.role) << "," << int(c.media) << "," << int(c.placement);

    std::string labels;
    for (const std::wstring* label : service->getEffectLabelList()) labels += System::wideToUtf8(*label) + " ";
    EXPECT_EQ(
        labels,
        "オブジェクト制御 カスタムオブジェクト 色調整 クリッピング ぼかし 光効果 装飾 抽出 変形 加工 配置 切り替え効果 "
        "シーンチェンジ アニメーション効果 カメラ制御 基本効果 音声効果 ");
}

}  // namespace
