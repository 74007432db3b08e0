#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/Object.h"
#include "effect/RenderContext.h"
#include "script/LuaInstance.h"
#include "script/ScriptEffect.h"
#include "script/ScriptService.h"
#include "script/ScriptTestSupport.h"
#include "support/LogCapture.h"

namespace {

class LibraryScriptEffect : public Effect::ScriptEffect {
public:
    LibraryScriptEffect() : ScriptEffect(L"library", kInput, kVideo) {}
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<LibraryScriptEffect>(); }
};

// An output placing the object where the test says.
class PlacedOutput : public Effect::EffectBase {
public:
    PlacedOutput() {
        role = kOutput;
        media = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<PlacedOutput>(); }
    Effect::OutputView getOutputView(Render::RenderContext& context) override {
        Effect::OutputView out = view;
        // Moves with the frame, so a value at another time shows.
        out.x += static_cast<float>(context.preciseFrame);
        return out;
    }
    Effect::OutputView view;
};

constexpr const char* kEngines[] = {"lua", "luaJIT"};

// Runs small scripts as an object's effect on frame 15 of an object on the
// third layer (index 2) that spans frames 10 to 19, in a 30 fps scene.
class ScriptLibraryTest : public testing::Test {
protected:
    struct Outcome {
        std::string messages;  // what the script wrote with mes
        std::string error;     // the run's exception, or empty
    };

    void SetUp() override {
        output->view.scaleX = 1;
        output->view.scaleY = 2;
        output->view.opacity = 0.5f;
        object->effects = {std::make_shared<LibraryScriptEffect>(), output};
        context.object = object;
        context.layer = object->layer;
        context.frame = 15;
        context.preciseFrame = 15;
    }

    // The header line gives the script a track "track0" of 10; the script
    // itself begins on line 2.
    Outcome run(const char* engine, const std::string& script) {
        auto effect = std::make_shared<LibraryScriptEffect>();
        effect->createCommonResource();
        effect->setScript({L"Library", "--track0:Size,0,100,10\n" + script}, L"/scripts", nullptr, nullptr);
        Outcome out;
        try {
            auto instance = service.get()->findScriptPlugin(engine)->createEffectInstance(*effect, context);
            try {
                instance->executeEffect(effect->commonResource().scriptText);
            } catch (const std::exception& e) {
                out.error = e.what();
            }
            out.messages = System::wideToUtf8(instance->messageText);
        } catch (const std::exception& e) {
            out.error = e.what();
        }
        return out;
    }

    System::ServiceHolder<Plugin::ScriptService> service;
    std::shared_ptr<PlacedOutput> output = std::make_shared<PlacedOutput>();
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(2, 10, 19);
    Render::RenderContext context;
};

TEST_F(ScriptLibraryTest, FunctionsGiveTheirResultsOnBothEngines) {
    struct Case {
        const char* script;
        const char* messages;
    };
    const Case cases[] = {
        // Messages add up without separators.
        {"mes('a') obj.mes(1) mes('b')", "a1b"},
        // Bit operations: results as unsigned 32-bit, shifts as described.
        {"mes(OR(-1, 0))", "4294967295"},
        {"mes(AND(0xff00ff, 0x00ffff) .. ' ' .. XOR(5, 3))", "255 6"},
        {"mes(SHIFT(1, 31) .. ' ' .. SHIFT(-8, -1) .. ' ' .. SHIFT(1, 33) .. ' ' .. SHIFT(-1, -70))",
         "-2147483648 -4 2 -1"},
        // Colours: split, packed with clamping, mixed by the object's time
        // (frame 15 of 10..19 is halfway).
        {"mes(table.concat({RGB(0x123456)}, ','))", "18,52,86"},
        {"mes(RGB(300, -5, 10) == 0xff000a and 'y' or 'n')", "y"},
        {"mes(RGB(0, 0, 0, 255, 255, 255) == 0x808080 and 'y' or 'n')", "y"},
        {"mes(table.concat({HSV(0xff0000)}, ','))", "0,100,100"},
        {"mes(HSV(120, 100, 100) .. ' ' .. HSV(0, 100, 100, 240, 100, 100))", "65280 65280"},
        // Rotation of four points; a wrong argument count gives nothing.
        {"mes(table.concat({rotation(1, 0, 0, 1, -1, 0, 0, -1, 2, 0)}, ','))", "2,0,0,2,-2,0,0,-2"},
        {"local t = {rotation(1, 0, 0, 1, -1, 0, 0, -1, 1, 90)} "
         "mes(string.format('%.3f,%.3f', t[1], t[2]))",
         "-0.000,1.000"},
        {"mes(select('#', rotation(1, 2, 3, 4, 5, 6, 7, 8, 9)))", "0"},
        // Curves through four values, points of two and three coordinates.
        {"mes(obj.interpolation(0.5, 0, 10, 20, 30))", "15"},
        {"mes(obj.interpolation(0.3, 0, 5, 5, 9) .. ' ' .. obj.interpolation(2, 1, 5, 5, 1))", "5 5"},
        {"mes(table.concat({obj.interpolation(0.5, 0, 0, 10, 1, 20, 2, 30, 3)}, ','))", "15,1.5"},
        {"mes(select('#', obj.interpolation(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12)))", "3"},
        // Random numbers: order of the bounds, single values, the whole range.
        {"mes(tostring(rand(5, 1) == rand(1, 5)) .. rand(3, 3, 99, 7))", "true3"},
        {"local ok = true for f = 0, 200 do local v = obj.rand(-3, 4, 0, f) ok = ok and v >= -3 and v <= 4 end "
         "mes(tostring(ok))",
         "true"},
        {"mes(type(rand(-2147483648, 2147483647)))", "number"},
        {"mes(tostring(rand(0, 1000, 5) ~= rand(0, 1000, 6) or rand(0, 1000, 5) ~= rand(0, 1000, 7)))", "true"},
        // Information.
        {"mes(table.concat({obj.getinfo('image_max')}, ','))", "16384,16384"},
        {"mes(obj.getinfo('script_path') .. tostring(obj.getinfo('saving')))", "/scripts/false"},
        // Values of the object: its track, its time, its view.
        {"mes(obj.getvalue(0))", "10"},
        {"mes(obj.getvalue('time') .. ' ' .. obj.getvalue('time', 1) .. ' ' .. obj.getvalue('time', 0, -1))",
         "0.16666666666667 1 0.3"},
        // The view of frame 15 is at x 15 with scales 1 and 2.
        {"mes(obj.getvalue('x') .. ' ' .. obj.getvalue('zoom') .. ' ' .. obj.getvalue('alpha') .. ' ' .. "
         "obj.getvalue('aspect'))",
         "15 200 0.5 0.5"},
        {"mes(obj.getvalue('x', 0, -1) .. ' ' .. obj.getvalue('x', 0.1) .. ' ' .. obj.getvalue('x', 0, 5))",
         "19 13 19"},
        // Numbers that are none: a NaN hue is red, a NaN time stays at the
        // start, a huge time stops at the last frame number.
        {"mes(HSV(0/0, 100, 100) .. ' ' .. HSV(1e308, 100, 100) .. ' ' .. obj.getvalue('x', 0/0) .. ' ' .. "
         "obj.getvalue('x', 1e300))",
         "16711680 16711680 10 2147483648"},
        // No scene: a layer target keeps the script's own object.
        {"mes(obj.getvalue('layer3.x') .. ' ' .. obj.getvalue('scenechange'))", "15 0"},
        // The object variables of the run.
        {"mes(obj.frame .. ' ' .. obj.totalframe .. ' ' .. obj.layer .. ' ' .. obj.x .. ' ' .. obj.zoom)",
         "5 10 3 15 1"},
        // Buffers that are not there: no copy, no pixels, nothing to clear.
        {"mes(tostring(obj.copybuffer('tmp', 'cache:none')) .. tostring(obj.copybuffer('obj', 'tmp')) .. "
         "tostring(obj.copybuffer('cache:a', 'frm')) .. tostring(obj.copybuffer('obj', 'image:none.png')))",
         "falsefalsefalsefalse"},
        {"obj.clearbuffer('object') obj.clearbuffer('framebuffer', 0xff0000) obj.clearbuffer('cache:x') "
         "mes(table.concat({obj.getpixel()}, ',') .. ' ' .. select('#', obj.getpixel(3, 4, 'rgb')))",
         "0,0 0"},
        {"obj.pixeloption('type', 'yc') obj.pixeloption('get', 'frm') mes(select('#', obj.getpixel(0)))", "0"},
        // Drawing without an image draws nothing and leaves the run undrawn.
        {"obj.draw() obj.draw(1, 2, 3, 2, 0.5, 10, 20, 30) "
         "obj.drawpoly(0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 1, 0.5) mes('drawn')",
         "drawn"},
        // Options of the run.
        {"mes(obj.getoption('section_num') .. tostring(obj.getoption('multi_object')) .. "
         "tostring(obj.getoption('camera_mode')) .. tostring(obj.getoption('gui')))",
         "1falsefalsefalse"},
        {"obj.setoption('antialias', 1) obj.setoption('shadow', 0) obj.setoption('focus_mode', 'fixed_size') "
         "obj.setoption('drawtarget', 'framebuffer') obj.setoption('dst', 'tmp') mes('ok')",
         "ok"},
        // Sound: no audio worker here, so the frame has none; a size below 1
        // gives nothing whatever the source.
        {"mes(select('#', obj.getaudio(nil, 'audiobuffer', 'pcm')) .. select('#', obj.getaudio({}, 'a.wav', 'spectrum', "
         "0)) .. select('#', obj.getaudio(nil, 'none.wav', 'fourier')))",
         "000"},
        // The run's own effect is not on the object: no points, no result.
        {"mes(select('#', obj.setanchor('pos', 2, 'line')))", "0"},
        // Tracks without movement, and effects around the script that are no script filters.
        {"mes(obj.getoption('track_mode', 0) .. '[' .. obj.getoption('script_name') .. ']')", "0[]"},
        // Coloured quads without an image draw nothing.
        {"local q = {} for i = 1, 28 do q[i] = 1 end obj.drawpoly({q, q}, 0.5) "
         "local n = {} for i = 1, 40 do n[i] = 0 end obj.drawpoly({n}) mes('drawn')",
         "drawn"},
        // pcall sees the library's Lua errors.
        {"local ok, e = pcall(obj.filter) mes(tostring(ok) .. ' ' .. tostring(e):match('unsupported'))",
         "false unsupported"},
    };
    for (const char* engine : kEngines) {
        for (const Case& c : cases) {
            const Outcome out = run(engine, c.script);
            EXPECT_EQ(out.error, "") << engine << ": " << c.script;
            EXPECT_EQ(out.messages, c.messages) << engine << ": " << c.script;
        }
    }
}

TEST_F(ScriptLibraryTest, WrongArgumentsRaiseErrorsWithTheScriptLine) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"local a = 1\nOR('x', 1)", "bad argument #1 to 'OR'"},
        {"local a = 1\nRGB()", "bad argument #1 to 'RGB'"},
        {"local a = 1\nobj.rand(1)", "bad argument #2 to 'rand'"},
        {"local a = 1\nobj.getinfo('other')", "invalid get info name=other"},
        {"local a = 1\nobj.getvalue('nothing')", "invalid get value target=nothing"},
        {"local a = 1\nobj.getvalue(5)", "invalid get value target=5"},
        {"local a = 1\nobj.putpixel(1, 2)", "unsupported"},
        {"local a = 1\nobj.load('plane', 'wide', 10)", "bad argument #2 to 'load'"},
        {"local a = 1\nobj.load('tempbuffer')", "tempbuffer not exist"},
        {"local a = 1\nsetfont('x')", "bad argument #2 to 'setfont'"},
        {"local a = 1\nobj.interpolation(0, 1, 2, 'x')", "bad argument #4 to 'interpolation'"},
        {"local a = 1\nHSV(1, 2, {})", "bad argument #3 to 'HSV'"},
        // Buffers: the destination keeps its short word in the message.
        {"local a = 1\nobj.copybuffer('frm', 'obj')", "invalid buffer type. src=object dst=frm"},
        {"local a = 1\nobj.copybuffer('image:a.png', 'tmp')", "invalid buffer type. src=tempbuffer dst=image:a.png"},
        {"local a = 1\nobj.copybuffer('obj', 'somewhere')", "invalid buffer type. src=somewhere dst=object"},
        {"local a = 1\nobj.clearbuffer('tmp')", "invalid buffer type. target=tmp"},
        {"local a = 1\nobj.pixeloption('source', 'object')", "unsupported"},
        {"local a = 1\nobj.getpixel('x')", "bad argument #1 to 'getpixel'"},
        // Drawing and options.
        {"local a = 1\nobj.drawpoly({})", "argument not table"},
        {"local a = 1\nobj.drawpoly({{1, 2, 3}})", "invalid number of argument"},
        {"local a = 1\nlocal q = {} for i = 1, 20 do q[i] = 0 end obj.drawpoly({q, {1}})",
         "invalid number of argument"},
        {"local a = 1\nlocal q = {} for i = 1, 21 do q[i] = 0 end obj.drawpoly({q})", "invalid number of argument"},
        {"local a = 1\nobj.drawpoly(0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 5)", "bad argument #14 to 'drawpoly'"},
        {"local a = 1\nobj.drawpoly(0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1)", "bad argument #12 to 'drawpoly'"},
        {"local a = 1\nobj.setoption('blend', 'lighter')", "invalid blend type=lighter"},
        {"local a = 1\nobj.setoption('drawtarget', 'cache:x')", "invalid drawtarget type=cache:x"},
        {"local a = 1\nobj.getoption('everything')", "invalid get option name=everything"},
        {"local a = 1\nobj.draw('left')", "bad argument #1 to 'draw'"},
        {"local a = 1\nobj.effect('blur', {}, 1)", "bad argument #2 to 'effect'"},
        {"local a = 1\nobj.getoption('track_mode', 'nothing')", "invalid track name=nothing"},
        {"local a = 1\nobj.getoption('camera_param')", "no camera control"},
        {"local a = 1\nobj.setoption('camera_param', {x = 1})", "no camera control"},
        {"local a = 1\nlocal q = {} for i = 1, 28 do q[i] = 0 end obj.drawpoly({q, {1, 2}})",
         "invalid number of argument"},
        {"local a = 1\nobj.getaudio(nil, 'audiobuffer')", "bad argument #3 to 'getaudio'"},
        {"local a = 1\nobj.setanchor('pos')", "bad argument #2 to 'setanchor'"},
        {"local a = 1\nobj.setanchor('pos', 2, 'color', 'red')", "bad argument #4 to 'setanchor'"},
    };
    for (const char* engine : kEngines) {
        for (const Case& c : cases) {
            LogCapture log;
            const Outcome out = run(engine, c.script);
            // The header is line 1, so the failing call is on line 3.
            EXPECT_NE(out.error.find(":3:"), std::string::npos) << engine << ": " << c.script << " -> " << out.error;
            EXPECT_NE(out.error.find(c.error), std::string::npos) << engine << ": " << c.script << " -> " << out.error;
            ASSERT_FALSE(log.lines.empty()) << engine << ": " << c.script;
            EXPECT_EQ(log.lines.back().level, "SCRIPT");
            // The log quotes the lines around the failing one.
            EXPECT_NE(log.lines.back().message.find("\r\n> "), std::string::npos) << log.lines.back().message;
        }
    }
}

// Options stay in the object's render context for the rest of its render.
TEST_F(ScriptLibraryTest, SetoptionChangesTheDrawingOptionsOfTheContext) {
    struct Case {
        const char* script;
        int32_t blend, facing;
        uint8_t hideBackFace;
    };
    const Case cases[] = {
        {"obj.setoption('blend', 99)", 23, 0, 0},
        {"obj.setoption('blend', -4)", 0, 0, 0},
        {"obj.setoption('blend', 'alpha_add2') obj.setoption('culling', 1)", 21, 0, 1},
        {"obj.setoption('blend', 'diff') obj.setoption('billboard', 3) obj.setoption('culling', 0)", 12, 3, 0},
        {"obj.setoption('blend', 'screen') obj.setoption('blend', 'nothing')", 4, 0, 0},
    };
    for (const char* engine : kEngines) {
        for (const Case& c : cases) {
            context.view = Effect::OutputView{};
            (void)run(engine, c.script);
            EXPECT_EQ(context.view.blendMode, c.blend) << engine << ": " << c.script;
            EXPECT_EQ(context.view.facingMode, c.facing) << engine << ": " << c.script;
            EXPECT_EQ(context.view.hideBackFace, c.hideBackFace) << engine << ": " << c.script;
        }
        LogCapture log;
        EXPECT_EQ(run(engine, "obj.setoption('glow', 1)").error, "") << engine;
        ASSERT_FALSE(log.lines.empty()) << engine;
        EXPECT_EQ(log.lines.back().message, "invalid set option name=glow");
        EXPECT_EQ(log.lines.back().level, "SCRIPT");

        // A filter that does not exist is logged; without an image nothing runs.
        EXPECT_EQ(run(engine, "obj.effect('no such filter', 'x', 1)").error, "") << engine;
        EXPECT_EQ(run(engine, "obj.effect()").error, "") << engine;

        // Sections count the object's midpoints.
        object->midpoints = {2, 5};
        EXPECT_EQ(run(engine, "mes(obj.getoption('section_num'))").messages, "3") << engine;
        object->midpoints.clear();
    }
}

TEST_F(ScriptLibraryTest, ARunWithoutARenderContextEndsWithTheSystemError) {
    for (const char* engine : kEngines) {
        auto plugin = service.get()->findScriptPlugin(engine);
        MovementRun run;
        try {
            run.run(*plugin, "return obj.getvalue('x')");
            ADD_FAILURE() << engine << ": no exception";
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find("not effect script."), std::string::npos) << engine << e.what();
        }
        // The engine is left usable and the next run's functions work.
        EXPECT_EQ(run.run(*plugin, "return OR(1, 2)"), 3.0) << engine;
        EXPECT_EQ(run.run(*plugin, "return rand(7, 7)"), 7.0) << engine;
    }
}

TEST_F(ScriptLibraryTest, ANegativeSeedGivesTheSameNumbersOnEveryLayer) {
    for (const char* engine : kEngines) {
        const std::string script = "for i = 1, 5 do mes(rand(0, 1000, -17, i) .. ',') end";
        const std::string onThird = run(engine, script).messages;
        const std::string ownSeed = run(engine, "for i = 1, 5 do mes(rand(0, 1000, 17, i) .. ',') end").messages;
        object->layer = 7;
        context.layer = 7;
        EXPECT_EQ(run(engine, script).messages, onThird) << engine;
        EXPECT_NE(run(engine, "for i = 1, 5 do mes(rand(0, 1000, 17, i) .. ',') end").messages, ownSeed) << engine;
        object->layer = 2;
        context.layer = 2;
    }
}

TEST_F(ScriptLibraryTest, DebugPrintAndLayerTargetsWriteTheScriptLog) {
    for (const char* engine : kEngines) {
        LogCapture log;
        const Outcome out = run(engine, "debug_print('100% ' .. string.rep('x', 2000)) mes(obj.getvalue('layer x.y'))");
        EXPECT_EQ(out.error, "") << engine;
        EXPECT_EQ(out.messages, "0") << engine;  // y of the script's own object
        std::vector<LogCapture::Line> lines;
        for (const auto& line : log.lines)
            if (line.level == "SCRIPT") lines.push_back(line);
        ASSERT_EQ(lines.size(), 2u) << engine;
        EXPECT_EQ(lines[0].scope, "Library");
        EXPECT_EQ(lines[0].message, "100% " + std::string(1018, 'x'));
        EXPECT_EQ(lines[1].message, "invalid layer parameter");
    }
}

TEST_F(ScriptLibraryTest, SetfontChangesTheTextStateForTheRestOfTheRun) {
    for (const char* engine : kEngines) {
        EXPECT_EQ(run(engine, "setfont('Serif', 30, 9, 0xff0000)").error, "") << engine;
        const Plugin::ScriptTextState& state = Plugin::LuaInstance::textState();
        EXPECT_EQ(state.fontName, L"Serif");
        EXPECT_EQ(state.size, 30.0f);
        EXPECT_EQ(state.decorationType, 9);
        EXPECT_EQ(state.color1[0], 1.0f);
        EXPECT_EQ(state.color1[1], 0.0f);
        EXPECT_EQ(state.color2[0], 0.0f);  // unchanged: black
        // The next run starts from the reset state.
        EXPECT_EQ(run(engine, "obj.setfont('', 12)").error, "") << engine;
        EXPECT_EQ(state.decorationType, 0);
        EXPECT_EQ(state.color1[1], 1.0f);
    }
}

}  // namespace

namespace {

// A movement script asks for the points and settings of the item it moves:
// here X of an object on frames 10 to 40 with a midpoint at 20, at frame 25.
TEST(ScriptGetpointTest, MovementScriptsReadTheirItemsPoints) {
    System::ServiceHolder<Plugin::ScriptService> service;
    struct Case {
        const char* script;
        double result;
    };
    const Case cases[] = {
        {"return obj.getpoint(0)", 10},
        {"return obj.getpoint(-5)", 10},  // before the first point: the first
        {"return obj.getpoint(99)", 30},  // past the last: the last
        {"return obj.getpoint('num')", 3},
        // Without a link group the item itself gives every value.
        {"local a, b, c = obj.getpoint(1, 2, 3) return a + b + c", 60},
        {"return select('#', obj.getpoint(1, 0, 0))", 0},
        {"local at, size = obj.getpoint('link') return at * 10 + size", 1},
        {"return (obj.getpoint('accelerate') and 1 or 0) + (obj.getpoint('decelerate') and 2 or 0)", 2},
        {"return obj.getpoint('framerate')", 30},
        {"return obj.getpoint('time')", 0.5},
        {"return obj.getpoint('time', 0)", 0},
        {"return obj.getpoint('time', 1)", 10.0 / 30},  // the midpoint
        {"return obj.getpoint('time', 2)", 1},          // the end
        {"return obj.getpoint('index')", 1.25},         // a quarter into the second section
        {"return obj.getpoint('timecontrol', 'time')", 0.5},
    };
    const struct {
        const char* script;
        const char* error;
    } failures[] = {
        {"return obj.getpoint('what')", "invalid get point target=what"},
        {"return obj.getpoint('timecontrol', 'frame')", "invalid get point timecontrol option=frame"},
        {"return obj.getpoint('param')", "no set param"},
    };
    for (const char* engine : kEngines) {
        auto plugin = service.get()->findScriptPlugin(engine);
        MovementRun run;
        run.item.values = {10, 20, 30};
        run.item.flags = Effect::EffectItemNumber::kDecelerate;
        auto object = std::make_shared<Edit::Object>(0, 10, 40);
        object->midpoints = {10};
        run.context.object = object;
        run.context.frame = 25;
        run.context.preciseFrame = 25;
        run.position.progress = 0.5;
        for (const Case& c : cases) {
            try {
                EXPECT_NEAR(run.run(*plugin, c.script), c.result, 1e-9) << engine << ": " << c.script;
            } catch (const std::exception& e) {
                ADD_FAILURE() << engine << ": " << c.script << " -> " << e.what();
            }
        }
        for (const auto& f : failures) {
            try {
                run.run(*plugin, f.script);
                ADD_FAILURE() << engine << ": " << f.script;
            } catch (const std::exception& e) {
                EXPECT_NE(std::string(e.what()).find(f.error), std::string::npos) << engine << ": " << e.what();
            }
        }
        // An item without values.
        run.item.values.clear();
        try {
            run.run(*plugin, "return obj.getpoint(0)");
            ADD_FAILURE() << engine;
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find("item value index out of range."), std::string::npos) << e.what();
        }
    }
}

}  // namespace
