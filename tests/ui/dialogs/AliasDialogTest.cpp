// The alias dialog, answered through the dialogs' scripted-answer hook: its
// caption, the name and label fields with the labels in use as choices, the
// refused names, and what OK and Cancel hand back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "effect/EffectBase.h"
#include "effect/EffectService.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolders.h"
#include "ui/dialogs/AliasDialog.h"
#include "ui/dialogs/EditServiceDialogs.h"
#include "ui/framework/ToolTips.h"

namespace {

namespace W = Platform::window;
constexpr int32_t kOk = Dialog::DialogTemplate::kOkButtonId;

class LabelledEffect : public Effect::EffectBase {
public:
    LabelledEffect(const wchar_t* effectName, const wchar_t* group) {
        name = effectName;
        role = kFilter;
        media = kVideo;
        menuGroup = group;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override {
        return std::make_shared<LabelledEffect>(name, menuGroup);
    }
};

class LabelCatalog : public Effect::EffectService::Catalog {
public:
    void registerLeading(Effect::EffectService& service) override {
        service.registerEffect<LabelledEffect>(L"ぼかし", L"装飾");
        service.registerEffect<LabelledEffect>(L"縁取り", L"装飾");
        service.registerEffect<LabelledEffect>(L"反転", L"");
        service.registerEffect<LabelledEffect>(L"発光", L"光");
    }
    void registerTrailing(Effect::EffectService&) override {}
};

class AliasDialogTest : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        previous_ = Effect::EffectService::setCatalog(&catalog_);
        service_ = std::make_unique<Effect::EffectService>();
    }
    void TearDown() override {
        Window::ToolTips::hide();
        service_.reset();
        Effect::EffectService::setCatalog(previous_);
        TestFolders::TearDown();
    }
    ScriptedDialogs dialogs;

private:
    LabelCatalog catalog_;
    Effect::EffectService::Catalog* previous_ = nullptr;
    std::unique_ptr<Effect::EffectService> service_;
};

TEST_F(AliasDialogTest, NameAndLabelComeBackOnOkOnly) {
    struct Case {
        const char* name;
        const char* typedName;
        const char* typedLabel;
        bool accepted;
        const char* tip;  // shown when refused
    } cases[] = {
        {"a name and a new label", "ring", "保存", true, ""},
        {"a label may stay empty", "ring", "", true, ""},
        {"the name is required", "", "保存", false, "必須項目です"},
        {"a full stop in the name", "a.b", "", false, "使用できない文字が含まれています"},
        {"a colon in the label", "ring", "a:b", false, "使用できない文字が含まれています"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> choices;
        std::wstring tip;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            choices = d.choices(ScriptedDialogs::field(d, "ラベル"));
            d.setText(ScriptedDialogs::field(d, "エイリアス名"), c.typedName);
            d.setText(ScriptedDialogs::field(d, "ラベル"), c.typedLabel);
            d.press(kOk);
            if (d.ended()) return;
            tip = Window::ToolTips::text;
            d.press(W::kDialogIdCancel);
        });
        std::wstring name = L"old", label = L"装飾";
        Dialog::AliasDialog dialog(L"オブジェクト");
        EXPECT_EQ(dialog.show(name, label), c.accepted);
        const auto& shown = dialogs.shown.back();
        EXPECT_EQ(shown.caption, "エイリアスを作成 - オブジェクト");
        EXPECT_EQ(shown.fields,
                  (std::vector<std::pair<std::string, std::string>>{{"エイリアス名", "old"}, {"ラベル", "装飾"}}));
        EXPECT_EQ(choices, (std::vector<std::string>{"装飾", "光"}));
        EXPECT_EQ(System::wideToUtf8(name), c.accepted ? c.typedName : "old");
        EXPECT_EQ(System::wideToUtf8(label), c.accepted ? c.typedLabel : "装飾");
        EXPECT_EQ(System::wideToUtf8(tip).rfind(c.tip, 0), 0u) << System::wideToUtf8(tip);
    }
}

TEST_F(AliasDialogTest, TheEditServiceAsksThroughIt) {
    Dialog::EditServiceDialogs edit;
    dialogs.answers.push_back([](W::DialogWindow& d) {
        d.setText(ScriptedDialogs::field(d, "エイリアス名"), "soft");
        d.press(kOk);
    });
    std::wstring name, label = L"光";
    EXPECT_TRUE(edit.aliasDialog(L"ぼかし", name, label));
    EXPECT_EQ(dialogs.shown.back().caption, "エイリアスを作成 - ぼかし");
    EXPECT_EQ(name, L"soft");
    EXPECT_EQ(label, L"光");
    EXPECT_FALSE(edit.aliasDialog(L"ぼかし", name, label)) << "no answer is Cancel";
}

}  // namespace
