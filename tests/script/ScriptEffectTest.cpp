#include <gtest/gtest.h>

#include <sstream>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effect/EffectItemString.h"
#include "script/LuaInstance.h"
#include "script/ScriptEffect.h"
#include "script/ScriptService.h"
#include "script/ScriptTestSupport.h"
#include "support/LogCapture.h"

namespace {

using Effect::EffectItem;

class TestScriptEffect : public Effect::ScriptEffect {
public:
    explicit TestScriptEffect(uint8_t mediaCode = kVideo) : ScriptEffect(L"test", kFilter, mediaCode) {}
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<TestScriptEffect>(media); }
};

// One line per item in item-list order: key, type and what the item holds.
std::string describe(const Effect::ScriptEffect& effect) {
    std::ostringstream out;
    for (const EffectItem* item : effect.items) {
        std::string key;
        for (const auto& [name, owned] : effect.variableMap())
            if (owned.get() == item) key = name;
        out << "[" << key << "] " << System::wideToUtf8(item->name) << " ";
        switch (item->type) {
        case EffectItem::kNumber: {
            const auto& n = static_cast<const Effect::EffectItemNumber&>(*item);
            out << "number " << n.minimum << ".." << n.maximum << " =" << n.defaultValue << " /" << n.scale;
            break;
        }
        case EffectItem::kCheck:
            out << "check " << int(static_cast<const Effect::EffectItemCheck&>(*item).value);
            break;
        case EffectItem::kColor:
        case EffectItem::kColorUnset: {
            const auto& c = static_cast<const Effect::EffectItemColor&>(*item);
            char text[32];
            std::snprintf(text, sizeof text, "%02x%02x%02x", c.red, c.green, c.blue);
            out << (item->type == EffectItem::kColor ? "color " : "color-unset ") << text << (c.unset ? " unset" : "");
            break;
        }
        case EffectItem::kSelect: {
            const auto& s = static_cast<const Effect::EffectItemSelect&>(*item);
            out << "select =" << s.index;
            for (const auto& [value, text] : s.options->indexMap) out << " " << System::wideToUtf8(text) << value;
            break;
        }
        case EffectItem::kString:
        case EffectItem::kScriptString1:
        case EffectItem::kScriptString2:
            out << (item->type == EffectItem::kString          ? "string "
                    : item->type == EffectItem::kScriptString1 ? "raw "
                                                               : "table ")
                << System::wideToUtf8(static_cast<const Effect::EffectItemString&>(*item).text);
            break;
        case EffectItem::kFile: out << "file"; break;
        default: out << "type " << int(item->type);
        }
        out << "\n";
    }
    return out.str();
}

class ScriptEffectTest : public testing::Test {
protected:
    System::ServiceHolder<Plugin::ScriptService> service;

    std::shared_ptr<TestScriptEffect> prototype(const std::string& text, std::wstring* label = nullptr,
                                                const std::string* engine = nullptr, uint8_t media = 1) {
        auto effect = std::make_shared<TestScriptEffect>(media);
        effect->createCommonResource();
        effect->setScript({L"Sample", text}, L"/scripts", label, engine);
        return effect;
    }
};

TEST_F(ScriptEffectTest, HeaderDirectivesMakeTheirItems) {
    struct Case {
        const char* header;
        const char* items;
    };
    const Case cases[] = {
        {"--track0:Size,0,100,10", "[track0] Size number 0..1000 =100 /10\n"},
        {"--track@size:Size,0,100,10,1", "[@local size] Size number 0..100 =10 /1\n"},
        {"--track @ x :A,-1.5,2.5,0.5,0.5\r\n", "[track @ x] A number -3..5 =1 /2\n"},
        {"--check0:Show,1\n--check@on:On,0", "[check0] Show check 1\n[@local on] On check 0\n"},
        {"--checkbox:Flag,1", "[checkbox] Flag check 1\n"},
        {"--color:0xff0000", "[@local color] 色 color ff0000\n"},
        {"--color@col:Line,nil\n--color@c2:Fill,nil",
         "[@local col] Line color-unset 000000 unset\n"
         "[@local c2] Fill color-unset 000000 unset\n"},
        // An empty second field makes the first the value.
        {"--color@c3:ab,", "[@local c3] 色 color 0000ab\n"},
        {"--color@c4:", "[@local c4] 色 color-unset 000000 unset\n"},
        {"--color@c:Edge,00ff80", "[@local c] Edge color 00ff80\n"},
        {"--select@mode:Mode=3,A=1,B=2", "[@local mode] Mode select =1 A1 B2\n"},
        {"--select@m:Mode=2,A=1,B=2,,C=3", "[@local m] Mode select =2 A1 B2\n"},
        {"--select@m:Mode,A=1,bad,B=5=6,C=4", "[@local m] Mode select =1 A1 C4\n"},
        {"--dialog:Size,s=10;Show/chk,show=1;Tint/col,tint=ff0000;Text,txt=\"abc\";",
         "[s] Size raw 10\n[@show] Show check 1\n[@tint] Tint color ff0000\n[txt] Text string abc\n"},
        {"--dialog:A,local v=1;", "[v] A raw 1\n"},
        {"--dialog:A, local v=1;", "[ local v] A raw 1\n"},
        {"--dialog:Tint/col,t=\"00ff00\";List,l={1,2};Empty,e=;,x=1;After,a=2",
         "[@t] Tint color 00ff00\n[l] List table 1,2\n[e] Empty raw \n"},
        {"--param:a=1;b=\"x\";=3;c=4", "[a] a raw 1\n[b] b string x\n"},
        {"--value@v:Val,a,b;rest\n--value@q:Q,\"", "[@local v] Val raw a,b\n[@local q] Q string \n"},
        {"--file@f:\n--file@g:Pick", "[@local f] ファイル file\n[@local g] Pick file\n"},
        // Block comments hide their directives.
        {"--[[\n--track1:A,0,1,0\n]]\n--track2:B,0,1,0", "[track2] B number 0..10 =0 /10\n"},
        {"--[[ --track1:A,0,1,0 ]] \n--track2:B,0,1,0", "[track2] B number 0..10 =0 /10\n"},
        {"--[[ never closed\n--track2:B,0,1,0", "[track2] B number 0..10 =0 /10\n"},
        // Only lines that begin with "--" count, anywhere in the script.
        {"local x = 1\n  --track0:A,0,1,0\nx = 2\n--track1:B,0,1,0", "[track1] B number 0..10 =0 /10\n"},
        // A repeated name keeps its first item.
        {"--track0:A,0,1,0\n--track0:B,0,1,0", "[track0] A number 0..10 =0 /10\n"},
        // A malformed number ends the header; what came before stays.
        {"--track0:A,0,1,0\n--track1:B,x,1,0\n--track2:C,0,1,0", "[track0] A number 0..10 =0 /10\n"},
        {"--check0:A,yes\n--track2:C,0,1,0", ""},
        {"--color@c:A,zz\n--track2:C,0,1,0", ""},
    };
    for (const Case& c : cases) {
        LogCapture log;
        auto effect = prototype(c.header);
        EXPECT_EQ(describe(*effect), c.items) << c.header;
        EXPECT_EQ(effect->commonResource().parameters.size(), effect->items.size()) << c.header;
        EXPECT_EQ(effect->commonResource().engine, Plugin::ScriptService::get()->findScriptPlugin()) << c.header;
    }
}

TEST_F(ScriptEffectTest, TheHeaderNamesTheEngineLabelAndInformation) {
    std::wstring label = L"unchanged";
    auto effect = prototype("--script:lua\n--label:Group A\n--information:About this\n", &label);
    EXPECT_EQ(effect->commonResource().engine, Plugin::ScriptService::get()->findScriptPlugin("lua"));
    EXPECT_EQ(label, L"Group A");
    EXPECT_EQ(effect->commonResource().information, L"About this");
    EXPECT_EQ(effect->commonResource().name, L"Sample");
    EXPECT_EQ(effect->commonResource().folder, L"/scripts");
    EXPECT_STREQ(effect->name, L"Sample");

    const std::string older = "lua";
    EXPECT_EQ(prototype("return\n", nullptr, &older)->commonResource().engine,
              Plugin::ScriptService::get()->findScriptPlugin("lua"));

    LogCapture log;
    auto unknown = prototype("--track0:A,0,1,0\n--script:nope\n--track1:B,0,1,0\n");
    EXPECT_EQ(unknown->items.size(), 1u);
    EXPECT_EQ(unknown->commonResource().engine, Plugin::ScriptService::get()->findScriptPlugin());
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines.back().level, "WARN");
    EXPECT_EQ(log.lines.back().scope, "Effect::ScriptEffect::makeScriptParams");
    EXPECT_EQ(log.lines.back().message.rfind("script params load faild [Sample]\nnot found script plugin.", 0), 0u);
}

TEST_F(ScriptEffectTest, ObjectEffectsShareTheScriptAndCopyTheItems) {
    auto proto = prototype(
        "--track0:Size,0,100,10\n--check@c:C,1\n--color@col:Line,nil\n--color@k:K,ff8000\n"
        "--select@m:M=2,A=1,B=2\n--dialog:Text,t=\"abc\";Raw,r=5;Tab,b={1};\n--file@f:F\n");
    auto copy = std::static_pointer_cast<TestScriptEffect>(proto->createInstance());
    copy->shareResource(*proto);
    EXPECT_EQ(&copy->commonResource(), &proto->commonResource());
    EXPECT_STREQ(copy->name, L"Sample");
    EXPECT_EQ(describe(*copy), describe(*proto));
    for (size_t i = 0; i < copy->items.size(); ++i) EXPECT_NE(copy->items[i], proto->items[i]);

    // A reload replaces the text only.
    proto->updateScript({L"Sample", "--track5:New,0,1,0\nreturn"});
    EXPECT_EQ(proto->commonResource().scriptText, "--track5:New,0,1,0\nreturn");
    EXPECT_EQ(proto->items.size(), 9u);
}

TEST_F(ScriptEffectTest, AnEffectRunHandsTheParametersToTheScript) {
    for (const char* engineName : {"lua", "luaJIT"}) {
        auto proto = prototype(
            "--track@size:Size,0,100,10,1\n--track0:T,0,100,25,1\n--check0:Flag,1\n--color@col:C,ff0000\n"
            "--color@none:N,nil\n--dialog:S,str=\"hi\";G,glob=7;\n"
            "result = string.format('%s|%s|%s|%s|%s|%s|%s|%s', tostring(size), tostring(obj.track0),\n"
            "  tostring(obj.check0), tostring(col), tostring(none), str, tostring(glob), tostring(obj.layer))\n",
            nullptr, nullptr, Effect::EffectBase::kCamera);
        auto engine = Plugin::ScriptService::get()->findScriptPlugin(engineName);
        MovementRun run;
        {
            auto instance = engine->createEffectInstance(*proto, run.context);
            instance->executeEffect(proto->commonResource().scriptText);
            EXPECT_NE(Plugin::LuaInstance::variablePrefix().find("local size=10.000000;"), std::string::npos);
        }
        EXPECT_EQ(run.run(*engine, "return result == '10|25|true|16711680|nil|hi|7|0' and 1 or 0"), 1.0)
            << engineName << ": " << run.run(*engine, "print(result) return 0");
    }
}

TEST_F(ScriptEffectTest, AnEffectRunErrorQuotesTheScriptLines) {
    auto proto = prototype("--track@size:Size,0,100,10,1\nlocal a = 1\nlocal b = nil .. 'x'\nlocal c = 3\n", nullptr,
                           nullptr, Effect::EffectBase::kCamera);
    auto engine = Plugin::ScriptService::get()->findScriptPlugin();
    MovementRun run;
    LogCapture log;
    auto instance = engine->createEffectInstance(*proto, run.context);
    EXPECT_THROW(instance->executeEffect(proto->commonResource().scriptText), std::runtime_error);
    ASSERT_FALSE(log.lines.empty());
    const std::string& logged = log.lines.back().message;
    EXPECT_EQ(log.lines.back().scope, "Sample");
    EXPECT_NE(logged.find("\r\n> local a = 1\r\n> local b = nil .. 'x'\r\n> local c = 3"), std::string::npos) << logged;
}

TEST_F(ScriptEffectTest, TheScriptReachesTheTrackItemsByName) {
    auto proto = prototype("--track0:A,0,1,0\n--track@size:S,0,1,0\n--check@flag:F,1\n--track1x:B,0,1,0\n");
    MovementRun run;
    auto instance = Plugin::ScriptService::get()->findScriptPlugin()->createEffectInstance(*proto, run.context);
    const auto& map = proto->variableMap();
    struct Case {
        const char* name;
        const EffectItem* expected;
    };
    const Case cases[] = {
        {"0", map.at("track0").get()},
        {"size", map.at("@local size").get()},
        {"1x", map.at("track1x").get()},
        {"flag", nullptr},  // not a number item
        {"1", nullptr},
        {"track0", nullptr},
    };
    for (const Case& c : cases) EXPECT_EQ(Plugin::LuaInstance::findTrackItem(c.name), c.expected) << c.name;
}

TEST_F(ScriptEffectTest, TheScriptsZoomAndAspectComeBackAsScales) {
    struct Case {
        float sx, sy, sz;
        double zoom, aspect;
        float ex, ey, ez;
    };
    const Case cases[] = {
        {1, 0.5f, 1, 2, -0.5, 2, 1, 2},  // zoom scales all three, the aspect keeps x above y
        {2, 2, 1, 2, 0.5, 1, 2, 1},      // a positive aspect narrows x
        {0, 0, 0, 3, 0, 3, 3, 0},        // all at or below 0: x and y take the zoom
    };
    auto proto = prototype("return\n");
    auto engine = Plugin::ScriptService::get()->findScriptPlugin();
    for (const Case& c : cases) {
        MovementRun run;
        run.context.view.scaleX = c.sx;
        run.context.view.scaleY = c.sy;
        run.context.view.scaleZ = c.sz;
        auto instance = engine->createEffectInstance(*proto, run.context);
        {
            Plugin::LuaInstance::VariableAccessSection section(static_cast<Plugin::LuaInstance&>(*instance));
            for (const char* field : {"ox", "oy", "oz", "rx", "ry", "rz", "cx", "cy", "cz"})
                instance->setFieldNumber(field, 1.5);
            instance->setFieldNumber("zoom", c.zoom);
            instance->setFieldNumber("aspect", c.aspect);
            instance->setFieldNumber("alpha", 0.25);
            instance->getObjectVariables();
        }
        EXPECT_FLOAT_EQ(run.context.view.scaleX, c.ex);
        EXPECT_FLOAT_EQ(run.context.view.scaleY, c.ey);
        EXPECT_FLOAT_EQ(run.context.view.scaleZ, c.ez);
        EXPECT_FLOAT_EQ(run.context.view.x, 1.5f);
        EXPECT_FLOAT_EQ(run.context.view.rotationZ, 1.5f);
        EXPECT_FLOAT_EQ(run.context.view.centerY, 1.5f);
        EXPECT_FLOAT_EQ(run.context.view.opacity, 0.25f);
    }
}

}  // namespace
