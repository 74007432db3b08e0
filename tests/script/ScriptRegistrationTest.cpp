#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "core/ErrorPresenter.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "effect/EffectDefine.h"
#include "effect/EffectService.h"
#include "effect/MovementDefine.h"
#include "effect/AnchorList.h"
#include "effect/RenderContext.h"
#include "effect/ScriptMovement.h"
#include "filters/ScriptEdit.h"
#include "media/gpu/ResourceBuffer.h"
#include "render/RenderVideoWorker.h"
#include "script/CameraScript.h"
#include "script/SceneChangeScript.h"
#include "script/ScriptFilter.h"
#include "script/ScriptInput.h"
#include "script/ScriptService.h"
#include "support/LogCapture.h"
#include "support/SuiteGpu.h"
#include "support/TestFolders.h"
#include "support/TestModelQueries.h"

namespace {

using Effect::EffectService;

// Shown registration errors, kept instead of a dialog.
std::vector<std::wstring> gShown;
void keepShown(const std::wstring& text) { gShown.push_back(text); }

class ScriptRegistrationTest : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        gShown.clear();
        previousPresenter_ = System::setErrorPresenter(keepShown);
    }
    void TearDown() override {
        effects.reset();
        scripts.reset();
        System::setErrorPresenter(previousPresenter_);
        TestFolders::TearDown();
    }
    void start() {
        scripts = std::make_unique<System::ServiceHolder<Plugin::ScriptService>>();
        effects = std::make_unique<EffectService>();
    }
    std::filesystem::path scriptFolder() const { return appData() / "Script"; }

    // The registered script effects by order.
    std::vector<const Effect::EffectDefine*> scriptEffects() const {
        std::vector<const Effect::EffectDefine*> list;
        for (const auto& [name, define] : effects->effects())
            if (dynamic_cast<Effect::ScriptEffect*>(define->prototype().get())) list.push_back(define.get());
        std::sort(list.begin(), list.end(), [](auto* a, auto* b) { return a->order < b->order; });
        return list;
    }

    LogCapture log;
    std::unique_ptr<System::ServiceHolder<Plugin::ScriptService>> scripts;
    std::unique_ptr<EffectService> effects;

private:
    System::ErrorPresenter previousPresenter_ = nullptr;
};

std::wstring itemLabels(const Effect::EffectBase& effect) {
    std::wstring out;
    for (const Effect::EffectItem* item : effect.items) out += item->name + L";";
    return out;
}

// A first start beside no built-in files: each gives no scripts and one
// warning, and nothing is logged as an error.
TEST_F(ScriptRegistrationTest, MissingBuiltInFilesWarnOnceEach) {
    start();
    EXPECT_TRUE(scriptEffects().empty());
    std::vector<std::string> missing;
    for (const auto& line : log.lines) {
        EXPECT_NE(line.level, "ERROR") << line.scope << " " << line.message;
        if (line.level == "WARN" && line.scope == "Effect::ScriptFileParser::loadScriptFile")
            missing.push_back(line.message);
    }
    ASSERT_EQ(missing.size(), 5u);
    for (const char* file : {"script.obj2", "script.anm2", "script.cam2", "script.scn2", "script.tra2"})
        EXPECT_TRUE(std::any_of(missing.begin(), missing.end(), [&](const std::string& m) {
            return m == "script file load faild.\nnot found : " + (install() / file).string();
        })) << file;
    EXPECT_TRUE(gShown.empty());
}

TEST_F(ScriptRegistrationTest, FoldersRegisterTheirScriptsInKindAndFolderOrder) {
    writeFile(install() / "script.obj2", "@円\n--track0:半径,0,100,50\n@星\n--check0:塗る,1\n");
    writeFile(install() / "script.anm2", "@揺れ\n--track0:幅,0,100,10\n");
    writeFile(install() / "script.tra2", "@往復\nreturn 0\n");
    writeFile(scriptFolder() / "波.obj2", "--track@size:Size,0,100,10,1\n--color@col:Line,nil\n");
    writeFile(scriptFolder() / "@Tools.anm2", "@Blur\n--check0:On,1\n@Fade\n--label:Mine\n--track0:T,0,1,0\n");
    writeFile(scriptFolder() / "old.anm", "--track0:Speed,0,10,5\n");
    writeFile(scriptFolder() / "寄り.cam2", "--track0:距離,0,10,1\n");
    writeFile(scriptFolder() / "切替.scn2", "--script:lua\n");
    writeFile(scriptFolder() / "跳ね.tra2", "return 1\n");
    writeFile(scriptFolder() / "notes.txt", "--track0:X,0,1,0\n");
    writeFile(scriptFolder() / "sub" / "揺.anm2", "--file:画像\n");
    writeFile(scriptFolder() / "sub" / "deep" / "d.anm2", "");  // one level only
    writeFile(scriptFolder() / ".hidden" / "h.anm2", "");
    start();

    struct Expected {
        const wchar_t* name;
        const std::type_info& type;
        uint8_t role, media;
        const wchar_t* label;
        const wchar_t* items;
        const char* engine;
    };
    using namespace Effect;
    const Expected expected[] = {
        {L"円", typeid(ScriptInput), 1, 1, L"カスタムオブジェクト", L"半径;", "luaJIT"},
        {L"星", typeid(ScriptInput), 1, 1, L"カスタムオブジェクト", L"塗る;", "luaJIT"},
        {L"揺れ", typeid(ScriptFilter), 3, 1, L"アニメーション効果", L"幅;", "luaJIT"},
        {L"波", typeid(ScriptInput), 1, 1, L"カスタムオブジェクト", L"Size;Line;", "luaJIT"},
        {L"Blur@Tools", typeid(ScriptFilter), 3, 1, L"アニメーション効果", L"On;", "luaJIT"},
        {L"Fade@Tools", typeid(ScriptFilter), 3, 1, L"Mine", L"T;", "luaJIT"},
        {L"寄り", typeid(CameraScript), 3, 4, L"カメラ効果", L"距離;", "luaJIT"},
        {L"切替", typeid(SceneChangeScript), 4, 1, L"シーンチェンジ", L"", "lua"},
        {L"old", typeid(ScriptFilter), 3, 1, L"アニメーション効果", L"Speed;", "lua"},  // older kinds run on lua
        {L"揺", typeid(ScriptFilter), 3, 1, L"sub", L"画像;", "luaJIT"},                // listed under its folder
    };
    const std::vector<const Effect::EffectDefine*> registered = scriptEffects();
    ASSERT_EQ(registered.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const Expected& e = expected[i];
        const Effect::EffectDefine& define = *registered[i];
        SCOPED_TRACE(System::wideToUtf8(e.name));
        const auto& prototype = static_cast<const Effect::ScriptEffect&>(*define.prototype());
        EXPECT_EQ(define.getName(), e.name);
        EXPECT_EQ(typeid(prototype), e.type);
        EXPECT_EQ(prototype.role, e.role);
        EXPECT_EQ(prototype.media, e.media);
        EXPECT_EQ(define.label, e.label);
        EXPECT_EQ(itemLabels(prototype), e.items);
        ASSERT_TRUE(prototype.commonResource().engine);
        EXPECT_EQ(prototype.commonResource().engine->name, e.engine);
    }
    EXPECT_EQ(registered.front()->prototype()->items.size(), 1u);
    EXPECT_EQ(static_cast<const Effect::ScriptEffect&>(*registered[3]->prototype()).commonResource().folder,
              wide(scriptFolder()));

    // Movement files join the movements, after the built-in ones.
    for (const wchar_t* movement : {L"往復", L"跳ね"})
        EXPECT_NE(dynamic_cast<Effect::ScriptMovement*>(effects->findMovement(movement).movement().get()), nullptr);
    EXPECT_LT(effects->findMovement(L"往復").order, effects->findMovement(L"跳ね").order);
    EXPECT_TRUE(gShown.empty());

    // An object's effect gets its own copies of the declared items.
    const std::shared_ptr<Effect::EffectBase> made = effects->getEffect(L"波");
    ASSERT_TRUE(made);
    EXPECT_EQ(itemLabels(*made), L"Size;Line;");
    EXPECT_NE(made->items.front(), registered[3]->prototype()->items.front());
}

TEST_F(ScriptRegistrationTest, ARescanReplacesTextsButRegistersNothingNew) {
    writeFile(scriptFolder() / "a.anm2", "--track0:A,0,1,0\nobj.ox = 1\n");
    start();
    const size_t before = effects->effects().size();
    writeFile(scriptFolder() / "a.anm2", "--track0:B,0,1,0\n--check0:C,0\nobj.ox = 2\n");
    writeFile(scriptFolder() / "b.anm2", "obj.ox = 3\n");
    effects->registerScripts();
    EXPECT_EQ(effects->effects().size(), before);
    const auto& a = static_cast<const Effect::ScriptEffect&>(*effects->findEffect(L"a").prototype());
    EXPECT_EQ(a.commonResource().scriptText, "--track0:B,0,1,0\n--check0:C,0\nobj.ox = 2\n");
    EXPECT_EQ(itemLabels(a), L"A;");  // the header is read once
}

TEST_F(ScriptRegistrationTest, ADuplicateNameIsShownAndTheFirstStays) {
    writeFile(scriptFolder() / "同じ.obj2", "--track0:A,0,1,0\n");
    writeFile(scriptFolder() / "同じ.anm2", "--track0:B,0,1,0\n");
    start();
    ASSERT_EQ(gShown.size(), 1u);
    EXPECT_NE(gShown.front().find(L"同じ"), std::wstring::npos);
    EXPECT_NE(dynamic_cast<Effect::ScriptInput*>(effects->findEffect(L"同じ").prototype().get()), nullptr);
}

// An output that places the object where the context says.
class PlacingOutput : public Effect::EffectBase {
public:
    PlacingOutput() { role = kOutput; }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<PlacingOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext& context) override { return context.view; }
};

class ScriptRunTest : public ScriptRegistrationTest {
protected:
    // The registered effect of that name on an object of its own, at frame 0.
    std::shared_ptr<Effect::EffectBase> onObject(const wchar_t* name) { return onObject(effects->getEffect(name)); }
    std::shared_ptr<Effect::EffectBase> onObject(std::shared_ptr<Effect::EffectBase> effect) {
        object = std::make_shared<Edit::Object>(0, 0, 29);
        object->effects = {output, output, effect};
        context.chain = std::make_shared<Render::ObjectChain>(Render::ObjectChain{object});
        context.resetObject(object);
        return effect;
    }
    std::shared_ptr<PlacingOutput> output = std::make_shared<PlacingOutput>();
    std::shared_ptr<Edit::Object> object;
    Render::RenderContext context;
    std::shared_ptr<Media::ResourceBuffer> image{Media::ResourceBuffer::createBlank(0, 0, 0)};
};

TEST_F(ScriptRunTest, AScriptFilterMovesTheObjectWithItsParameters) {
    writeFile(scriptFolder() / "move.anm2", "--track0:Step,0,100,25\nobj.ox = obj.ox + obj.track0\nobj.alpha = 0.5\n");
    start();
    std::shared_ptr<Effect::EffectBase> filter = onObject(L"move");
    context.view.x = 10;
    EXPECT_EQ(filter->filterVideo(context, image), image);
    EXPECT_FLOAT_EQ(context.view.x, 35);
    EXPECT_FLOAT_EQ(context.view.opacity, 0.5f);
}

TEST_F(ScriptRunTest, AFailingScriptIsLoggedAndTheRenderGoesOn) {
    writeFile(scriptFolder() / "broken.anm2", "--track0:Bad,zero,1,0\nobj.ox = 5\nerror('stop here')\n");
    writeFile(scriptFolder() / "bad.obj2", "obj.ox = (\n");
    writeFile(scriptFolder() / "shake.cam2", "error('no camera')\n");
    writeFile(scriptFolder() / "fade.scn2", "error('unreached')\n");
    start();
    // The malformed header line is logged; the effect is registered all the same.
    EXPECT_TRUE(std::any_of(log.lines.begin(), log.lines.end(), [](const LogCapture::Line& l) {
        return l.level == "WARN" && l.scope == "Effect::ScriptEffect::makeScriptParams";
    }));

    // Each step gives the image it leaves (none where the step gives none).
    using Step = std::shared_ptr<Media::ResourceBuffer> (*)(Effect::EffectBase&, Render::RenderContext&,
                                                            const std::shared_ptr<Media::ResourceBuffer>&);
    const Step filter = [](Effect::EffectBase& e, Render::RenderContext& c,
                           const std::shared_ptr<Media::ResourceBuffer>& i) { return e.filterVideo(c, i); };
    const Step input = [](Effect::EffectBase& e, Render::RenderContext& c,
                          const std::shared_ptr<Media::ResourceBuffer>&) { return e.inputVideo(c); };
    const Step camera = [](Effect::EffectBase& e, Render::RenderContext& c,
                           const std::shared_ptr<Media::ResourceBuffer>&) {
        e.preInputVideo(c);
        return std::shared_ptr<Media::ResourceBuffer>();
    };
    const Step sceneChange = [](Effect::EffectBase& e, Render::RenderContext& c,
                                const std::shared_ptr<Media::ResourceBuffer>&) {
        e.controlVideo(c);
        return std::shared_ptr<Media::ResourceBuffer>();
    };
    struct Case {
        const wchar_t* name;
        Step step;
        const char* warning;  // scope and the start of the message
        const char* error;
    };
    const Case cases[] = {
        {L"broken", filter, "Effect::ScriptFilter::filterVideo script exception: ", "stop here"},
        {L"bad", input, "Effect::ScriptInput::inputVideo script exception: ", "unexpected symbol"},
        {L"shake", camera, "Effect::CameraScript::preInputVideo script exception: ", "no camera"},
        // Without the frame from before the object the script does not run.
        {L"fade", sceneChange, "Effect::SceneChangeScript::controlVideo no before frame buffer", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.warning);
        std::shared_ptr<Effect::EffectBase> effect = onObject(c.name);
        log.lines.clear();
        // Each frame runs again and fails again; the object has no image then.
        for (int frame = 0; frame < 2; ++frame) EXPECT_EQ(c.step(*effect, context, image), nullptr);
        std::vector<std::string> warnings;
        for (const auto& line : log.lines)
            if (line.level == "WARN") warnings.push_back(line.scope + " " + line.message);
        ASSERT_EQ(warnings.size(), 2u);
        EXPECT_EQ(warnings[0].rfind(c.warning, 0), 0u) << warnings[0];
        EXPECT_NE(warnings[0].find(c.error), std::string::npos) << warnings[0];
    }

    // A good script next to them still runs.
    writeFile(scriptFolder() / "good.anm2", "");
    effects.reset();
    effects = std::make_unique<EffectService>();
    std::shared_ptr<Effect::EffectBase> good = onObject(L"good");
    EXPECT_EQ(good->filterVideo(context, image), image);
}

TEST_F(ScriptRunTest, ScriptControlRunsItsTypedText) {
    start();
    struct Case {
        const wchar_t* text;
        bool imageKept;
        float y;
        const char* warning;  // the start of the one logged line, or none
    };
    const Case cases[] = {
        {L"", true, 4, nullptr},  // nothing to do: the image as it came
        {L"obj.oy = obj.oy - 7", true, -3, nullptr},
        {L"obj.oy = 1 error('typed')", false, 4, "script exception: "},
        {L"obj.oy = ", false, 4, "script exception: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.text));
        std::shared_ptr<Effect::EffectBase> effect = onObject(std::make_shared<Effect::ScriptEdit>());
        static_cast<Effect::ScriptEdit&>(*effect).script.text = c.text;
        context.view.y = 4;
        log.lines.clear();
        const std::shared_ptr<Media::ResourceBuffer> result = effect->filterVideo(context, image);
        EXPECT_EQ(result == image, c.imageKept);
        if (!c.imageKept) EXPECT_EQ(result, nullptr);
        EXPECT_FLOAT_EQ(context.view.y, c.y);
        std::vector<std::string> warnings;
        for (const auto& line : log.lines)
            if (line.level == "WARN") warnings.push_back(line.scope + " " + line.message);
        if (c.warning == nullptr) {
            EXPECT_TRUE(warnings.empty());
        } else {
            ASSERT_EQ(warnings.size(), 1u);
            EXPECT_EQ(warnings[0].rfind(std::string("Effect::ScriptEdit::filterVideo ") + c.warning, 0), 0u)
                << warnings[0];
        }
    }
}

}  // namespace

namespace {

// The preview's handles are shared by every layer of the frame: a scene change
// script above them adds none and takes none away.
TEST_F(ScriptRunTest, ASceneChangeScriptKeepsTheHandlesOfTheLayersBelow) {
    writeFile(scriptFolder() / "fade.scn2", "local t = obj.getvalue('scenechange')\n");
    writeFile(scriptFolder() / "failing.scn2", "error('stop here')\n");
    SuiteGpu::start(SuiteGpu::kDeviceOnly);  // the frame before is a GPU buffer
    start();
    for (const wchar_t* name : {L"fade", L"failing"}) {
        SCOPED_TRACE(System::wideToUtf8(name));
        std::shared_ptr<Effect::EffectBase> change = onObject(name);
        Anchor::AnchorList anchors;
        anchors.addDot(output.get(), Platform::math::Float4{0, 0, 0, 1});
        anchors.addDot(output.get(), Platform::math::Float4{5, 5, 0, 1});
        ASSERT_EQ(anchors.size(), 2u);
        context.anchorList = &anchors;
        context.preInput = std::make_shared<Render::RenderVideoWorker::RenderingBuffer>();
        change->controlVideo(context);
        context.anchorList = nullptr;
        context.preInput.reset();
        EXPECT_EQ(anchors.size(), 2u);
    }
    effects.reset();
    SuiteGpu::stop();
}

}  // namespace

namespace {

// The script information table: scripts of the script folder only, filters,
// then sources, cameras and movements; the "--information" text, else the name.
TEST_F(ScriptRegistrationTest, TheScriptListShowsTheFolderScriptsByKind) {
    writeFile(install() / "script.anm2", "@揺れ\n--information:built in\n");
    writeFile(scriptFolder() / "@Tools.anm2", "@Blur\n--information:Blur v1\n@Fade\n--track0:T,0,1,0\n");
    writeFile(scriptFolder() / "波.obj2", "--track0:Size,0,100,10\n");
    writeFile(scriptFolder() / "sub" / "寄り.cam2", "--track0:距離,0,10,1\n");
    writeFile(scriptFolder() / "切替.scn2", "--information:scene change\n");
    writeFile(scriptFolder() / "跳ね.tra2", "--information:跳ねる\nreturn 1\n");
    start();
    auto rows = effects->getScriptList();
    // Within a kind the order is the table's own.
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        const auto rank = [](const std::wstring& kind) {
            return kind == L"フィルタ効果" ? 0 : kind == L"オブジェクト" ? 1 : kind == L"カメラ効果" ? 2 : 3;
        };
        return rank(a.at(1)) < rank(b.at(1)) || (rank(a.at(1)) == rank(b.at(1)) && a.at(0) < b.at(0));
    });
    EXPECT_EQ(rows, (std::vector<std::vector<std::wstring>>{{L"Blur v1", L"フィルタ効果"},
                                                            {L"Fade@Tools", L"フィルタ効果"},
                                                            {L"波", L"オブジェクト"},
                                                            {L"寄り", L"カメラ効果"},
                                                            {L"跳ねる", L"トラックバー"}}));
    // The group order itself is the service's.
    const auto unsorted = effects->getScriptList();
    ASSERT_EQ(unsorted.size(), 5u);
    EXPECT_EQ(unsorted[0][1], L"フィルタ効果");
    EXPECT_EQ(unsorted[2][1], L"オブジェクト");
    EXPECT_EQ(unsorted[3][1], L"カメラ効果");
    EXPECT_EQ(unsorted[4][1], L"トラックバー");
}

}  // namespace
