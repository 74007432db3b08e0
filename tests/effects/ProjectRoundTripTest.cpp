#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectDefine.h"
#include "effect/EffectService.h"
#include "effect/EffectItem.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemText.h"
#include "effects/BuiltinFixture.h"

namespace {

// An object headed by every source and control, and by the particle output
// (which brings its figure); the other outputs come with their sources.
const wchar_t* const kHeads[] = {
    L"動画ファイル", L"画像ファイル",       L"音声ファイル",     L"テキスト",         L"図形",
    L"シーン",       L"フレームバッファ",   L"直前オブジェクト", L"パーティクル出力", L"部分フィルタ",
    L"グループ制御", L"グループ制御(音声)", L"カメラ制御",       L"音声波形表示",     L"シーンチェンジ",
};

// Values other than the defaults, so that an item that reads back wrong shows.
void changeValues(Effect::EffectBase& effect) {
    for (Effect::EffectItem* item : effect.items) {
        if (auto* number = item->to<Effect::EffectItemNumber>())
            number->values.assign(number->values.size(), number->maximum);
        else if (auto* check = item->to<Effect::EffectItemCheck>())
            check->value = !check->value;
        else if (auto* text = item->to<Effect::EffectItemText>())
            text->text = L"一行目\n二行目";
        else if (auto* color = item->to<Effect::EffectItemColor>())
            color->fromString("123456");
    }
}

class ProjectRoundTripTest : public BuiltinFixture {
protected:
    void SetUp() override {
        BuiltinFixture::SetUp();
        previousPoster_ = Edit::Project::setErrorPoster([this](const std::wstring& t) { posted.push_back(t); });
    }
    void TearDown() override {
        Edit::Project::setErrorPoster(previousPoster_);
        BuiltinFixture::TearDown();
    }
    std::vector<std::wstring> posted;

private:
    Edit::Project::ErrorPoster previousPoster_;
};

TEST_F(ProjectRoundTripTest, EveryBuiltinObjectLoadsAndSavesUnchanged) {
    Edit::Project project;
    auto scene = project.getOrCreateScene(0);
    std::vector<std::string> expectedChains;
    for (size_t i = 0; i < std::size(kHeads); ++i) {
        auto object = scene->createObject(kHeads[i], static_cast<int32_t>(i), 0, 29);
        std::string chain;
        for (const auto& effect : object->effects) {
            if (i % 2 == 1) changeValues(*effect);
            chain += System::wideToUtf8(effect->name) + " ";
        }
        expectedChains.push_back(chain);
    }
    // A scene change that wipes with a mask of the transition list.
    scene->getLayer(14).objects.front()->effects.front()->findItemByName(L"種類")->fromString("ワイプ(星型)");
    scene->update();
    const std::wstring first = wide(root_ / "first.vpj2");
    project.saveProjectFile(first);

    Edit::Project back;
    EXPECT_TRUE(back.loadProjectFile(first));
    EXPECT_TRUE(posted.empty());
    const auto loaded = back.getScene(0);
    ASSERT_NE(loaded, nullptr);
    for (size_t i = 0; i < std::size(kHeads); ++i) {
        const auto& objects = loaded->getLayer(static_cast<int32_t>(i)).objects;
        ASSERT_EQ(objects.size(), 1u) << i;
        std::string chain;
        for (const auto& effect : objects.front()->effects) chain += System::wideToUtf8(effect->name) + " ";
        EXPECT_EQ(chain, expectedChains[i]);
    }
    back.saveProjectFile(wide(root_ / "second.vpj2"));
    const std::string written = readFile(root_ / "first.vpj2");
    EXPECT_EQ(readFile(root_ / "second.vpj2"), written);
    EXPECT_NE(written.find("種類=ワイプ(星型)\r\n"), std::string::npos);
    EXPECT_NE(written.find("表示番号=10000\r\n連番ファイル=1\r\n"), std::string::npos) << "changed values are written";
    // Every output went into the file with its source.
    for (const char* output : {"標準描画", "音声再生", "映像再生", "基本出力", "パーティクル出力"})
        EXPECT_NE(written.find(std::string("effect.name=") + output + "\r\n"), std::string::npos) << output;
    EXPECT_TRUE(std::none_of(log.lines.begin(), log.lines.end(), [](const auto& l) { return l.level == "WARN"; }));
}

TEST_F(ProjectRoundTripTest, NewObjectsStartFromTheSavedDefaults) {
    Effect::EffectDefine& figure = service->findEffect(L"図形");
    auto edited = figure.createEffect();
    edited->findItemByName(L"サイズ")->fromString("250");
    figure.saveDefaultParam(*edited);

    Edit::Project project;
    auto scene = project.getOrCreateScene(0);
    const auto first = scene->createObject(L"図形", 0, 0, 9);
    EXPECT_EQ(first->effects.front()->findItemByName(L"サイズ")->toString(), "250");
    // The other items keep the constructor defaults.
    EXPECT_EQ(first->effects.front()->findItemByName(L"ライン幅")->toString(), "4000");

    figure.resetDefaultParam(*edited);
    const auto second = scene->createObject(L"図形", 1, 0, 9);
    EXPECT_EQ(second->effects.front()->findItemByName(L"サイズ")->toString(), "100");
    EXPECT_EQ(first->effects.front()->findItemByName(L"サイズ")->toString(), "250") << "objects keep their values";
}

}  // namespace
