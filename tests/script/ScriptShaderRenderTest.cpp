// Scripts that carry their own pixel and compute shaders, drawn on lavapipe:
// golden frames, the shared blend states, buffers read while written, the
// errors a script meets, and compiles done once per text.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ScriptRenderFixture.h"
#include "core/TextConvert.h"
#include "effects/ImageLoad.h"
#include "script/ScriptFilter.h"
#include "script/ScriptInput.h"
#include "script/ScriptShaderCache.h"

namespace SourceTest {
namespace {

// The picture's pixel against "b,g,r,a", each channel within 2.
testing::AssertionResult near(const Picture& picture, uint32_t x, uint32_t y, const std::string& bgra) {
    int want[4] = {};
    std::sscanf(bgra.c_str(), "%d,%d,%d,%d", &want[0], &want[1], &want[2], &want[3]);
    const uint8_t* p = picture.at(x, y);
    for (int c = 0; c < 4; ++c)
        if (std::abs(p[c] - want[c]) > 2)
            return testing::AssertionFailure() << x << "," << y << ": " << picture.text(x, y) << " not " << bgra;
    return testing::AssertionSuccess();
}

// Shader blocks the tests share.
constexpr const char* kTint =
    "--[[pixelshader@tint:\n"
    "Texture2D src : register(t0);\n"
    "cbuffer tintValues : register(b0) { float4 tintColour; };\n"
    "float4 tint(float4 pos : SV_Position, float2 uv : TEXCOORD) : SV_Target {\n"
    "  float4 c = src.Load(int3(pos.xy, 0));\n"
    "  return float4(c.rgb * tintColour.rgb * uv.x, c.a);\n"
    "}\n"
    "]]\n";
constexpr const char* kGrid =
    "--[[computeshader@grid:\n"
    "RWTexture2D<float4> dst : register(u0);\n"
    "[numthreads(8, 8, 1)]\n"
    "void grid(uint3 id : SV_DispatchThreadID) {\n"
    "  bool odd = ((id.x / 8) + (id.y / 8)) % 2 == 1;\n"
    "  dst[id.xy] = odd ? float4(1, 0, 0, 1) : float4(0, 0, 1, 1);\n"
    "}\n"
    "]]\n";
constexpr const char* kInvert =
    "--[[pixelshader@invert:\n"
    "Texture2D src : register(t0);\n"
    "float4 invert(float4 pos : SV_Position) : SV_Target {\n"
    "  float4 c = src.Load(int3(pos.xy, 0));\n"
    "  return float4(c.a - c.rgb, c.a);\n"
    "}\n"
    "]]\n";

class ScriptShaderRenderTest : public ScriptRenderFixture {
protected:
    using ScriptRenderFixture::run;
    Run run(const char* engine, const std::string& text) {
        return run(engine, *scriptEffect<Effect::ScriptInput>(L"shaders", text));
    }

    size_t countLines(const char* level, const std::string& part) const {
        size_t n = 0;
        for (const auto& line : log.lines) n += line.level == level && line.message.find(part) != std::string::npos;
        return n;
    }
};

// A custom object tinted by its pixel shader, one filled by its compute
// shader, a plane whose script filter inverts it, and one whose shader does
// not compile, which draws nothing. The scripts are the files a window test
// puts in the program's script folder.
TEST_F(ScriptShaderRenderTest, PixelAndComputeShadersMatchTheGoldenFrame) {
    const auto text = [](const char* file) { return readFile(data(std::string("shaders/") + file)); };
    newScene(160, 90);
    addScript(0, L"tinted", text("tinted.obj2"), "-40", "-15");
    addScript(1, L"grid", text("grid.obj2"), "40", "-15");
    auto inverted = addScript(2, L"plane", text("plane.obj2"), "0", "30");
    inverted->effects.push_back(scriptEffect<Effect::ScriptFilter>(L"invert", text("invert.anm2")));
    addScript(3, L"broken", text("broken.obj2"), "60", "30");
    scene->update();

    const Picture picture = render(0);
    ASSERT_NO_FATAL_FAILURE(expectGolden(picture, "shaders_0.png"));

    struct Spot {
        int32_t x, y;
        std::string bgra;
    };
    // The tinted plane spans x 8 .. 71: at its pixel column i the tint is
    // (1, 0.5, 0.25) x (i + 0.5) / 64.
    const auto tinted = [](int32_t column) {
        const float u = (column + 0.5f) / 64;
        return std::to_string(toByte(0.25f * u)) + "," + std::to_string(toByte(0.5f * u)) + "," +
               std::to_string(toByte(u)) + ",255";
    };
    const Spot spots[] = {
        {8, 30, tinted(0)}, {71, 30, tinted(63)}, {48, 20, tinted(40)},
        // The grid spans x 104 .. 135, y 14 .. 45 in 8-pixel cells, blue first.
        {104, 14, "255,0,0,255"}, {112, 14, "0,0,255,255"}, {112, 22, "255,0,0,255"}, {135, 45, "255,0,0,255"},
        // The green plane inverted: magenta.
        {80, 75, "255,0,255,255"},
        // The object whose shader failed is not drawn; nor is anything between.
        {140, 75, "0,0,0,0"}, {90, 10, "0,0,0,0"},
    };
    for (const Spot& spot : spots) EXPECT_TRUE(near(picture, spot.x, spot.y, spot.bgra));

    // The failing script: its compile error at the script's line (the
    // statement after the missing semicolon, line 5), then the run's error,
    // which ends the object for the frame.
    EXPECT_EQ(countLines("WARN", "script shader load faild [broken]\n"), 1u);
    EXPECT_EQ(countLines("WARN", "broken.broken:5:"), 1u);
    EXPECT_EQ(countLines("WARN", "invalid shader name. name=broken"), 1u);
    EXPECT_EQ(countLines("WARN", "script exception"), 1u);
}

// Every blend word on a blue target under a half-transparent red output.
TEST_F(ScriptShaderRenderTest, BlendWordsSelectTheSharedBlendStates) {
    newScene(64, 64);
    const std::string shader =
        "--[[pixelshader@fill:\n"
        "cbuffer fillValues : register(b0) { float4 fillColour; };\n"
        "float4 fill(float4 pos : SV_Position) : SV_Target { return fillColour; }\n"
        "]]\n";
    struct Case {
        const char* blend;
        const char* bgra;
    };
    const Case cases[] = {
        {"nil", "0,0,255,128"},           {"'copy'", "0,0,255,128"}, {"'draw'", "128,0,255,255"},
        {"'mask'", "128,0,0,128"},        {"'add'", "255,0,255,255"},
        {"'over'", "255,0,0,255"},  // refused: the target stays blue
    };
    for (const char* engine : kEngines)
        for (const Case& c : cases) {
            const Run r = run(engine, shader + "obj.load('plane', 4, 4, 0x0000ff)\n"
                                               "obj.pixelshader('fill', 'object', nil, {1, 0, 0, 0.5}, " +
                                          c.blend + ")");
            ASSERT_TRUE(r.image) << engine << c.blend << r.error;
            EXPECT_EQ(pixelOf(*r.image, 2, 2), c.bgra) << engine << " " << c.blend;
            if (std::string(c.blend) == "'over'")
                EXPECT_NE(r.error.find("invalid shader blend mode. mode=over"), std::string::npos) << r.error;
            else
                EXPECT_EQ(r.error, "") << engine << c.blend;
        }
}

// A shader that reads the buffer it draws into sees it as it was before the
// call; constants fill a buffer of whole groups of four; a compute shader
// without group counts runs one group.
TEST_F(ScriptShaderRenderTest, BuffersReadWhileWrittenAndGroupCounts) {
    newScene(64, 64);
    const std::string shaders =
        "--[[pixelshader@ramp:\n"
        "float4 ramp(float4 pos : SV_Position) : SV_Target { return float4(pos.x / 8, 0, 0, 1); }\n"
        "]]\n"
        "--[[pixelshader@shift:\n"
        "Texture2D src : register(t0);\n"
        "float4 shift(float4 pos : SV_Position) : SV_Target { return src.Load(int3(pos.x + 1, 0, 0)); }\n"
        "]]\n"
        "--[[computeshader@mark:\n"
        "cbuffer markValues : register(b0) { float4 first; float4 second; };\n"
        "Texture2D src : register(t0);\n"
        "RWTexture2D<float4> dst : register(u0);\n"
        "[numthreads(1, 1, 1)]\n"
        "void mark(uint3 id : SV_DispatchThreadID) {\n"
        "  dst[id.xy] = float4(second.x, first.y, src.Load(int3(id.xy + uint2(1, 0), 0)).r, 1);\n"
        "}\n"
        "]]\n";
    for (const char* engine : kEngines) {
        // Pixel x of the shifted ramp holds what pixel x + 1 held: (x + 1.5) / 8.
        const Run shifted = run(engine, shaders + "obj.load('plane', 8, 1, 0)\n"
                                                  "obj.pixelshader('ramp', 'object')\n"
                                                  "obj.pixelshader('shift', 'object', {'object'})");
        ASSERT_TRUE(shifted.image) << engine << shifted.error;
        EXPECT_EQ(shifted.error, "") << engine;
        EXPECT_EQ(pixelOf(*shifted.image, 0, 0), "0,0,48,255") << engine;
        EXPECT_EQ(pixelOf(*shifted.image, 3, 0), "0,0,143,255") << engine;

        struct Case {
            const char* call;
            uint32_t markedAcross;  // pixels of row 0 the dispatch reached
        };
        const Case cases[] = {
            {"obj.computeshader('mark', 'object', 'object', {0, 0.5, 0, 0, 1})", 1},
            {"obj.computeshader('mark', {'object'}, 'object', {0, 0.5, 0, 0, 1}, 3)", 3},
            {"obj.computeshader('mark', 'object', 'object', {0, 0.5, 0, 0, 1}, -1)", 0},
            {"obj.computeshader('mark', 'object', 'object', {0, 0.5, 0, 0, 1}, 2, 0)", 0},
        };
        for (const Case& c : cases) {
            // Source: 8 x 2 plane of (0.25, 0, 0); the mark reads its red
            // one pixel on, through a copy of the target.
            const Run r = run(engine, shaders + "obj.load('plane', 8, 2, 0x400000)\n" + c.call);
            ASSERT_TRUE(r.image) << engine << c.call << r.error;
            EXPECT_EQ(r.error, "") << engine << c.call;
            for (uint32_t x = 0; x < 5; ++x)
                EXPECT_EQ(pixelOf(*r.image, x, 0), x < c.markedAcross ? "64,128,255,255" : "0,0,64,255")
                    << engine << " " << c.call << " x " << x;
            EXPECT_EQ(pixelOf(*r.image, 0, 1), "0,0,64,255") << engine << c.call;
        }
    }
}

// What a script gets wrong ends its run with the library's error; names of
// buffers that do not exist are logged and left out.
TEST_F(ScriptShaderRenderTest, MistakesEndTheRunWithTheirErrors) {
    newScene(64, 64);
    const std::string shaders = std::string(kTint) + kGrid + "obj.load('plane', 8, 8, 0xffffff)\n";
    struct Case {
        const char* call;
        const char* error;
    };
    const Case cases[] = {
        {"obj.pixelshader('none', 'object')", "invalid shader name. name=none"},
        {"obj.pixelshader('grid', 'object')", "invalid shader name. name=grid"},
        {"obj.computeshader('tint', 'object')", "invalid shader name. name=tint"},
        {"obj.pixelshader('tint', {'object', 'object'})", "invalid shader output parameter"},
        {"obj.pixelshader('tint', nil)", "invalid shader output parameter"},
        {"obj.pixelshader('tint', 'cache:none')", "invalid shader output parameter"},
        {"obj.computeshader('grid', {})", "invalid shader output parameter"},
        {"obj.computeshader('grid', 'tempbuffer')", "invalid shader output parameter"},
        {"obj.pixelshader('tint', true)", "bad argument #2 to 'pixelshader'"},
        {"obj.computeshader('grid', 'object', nil, nil, 'x')", "bad argument #5 to 'computeshader'"},
    };
    for (const char* engine : kEngines)
        for (const Case& c : cases) {
            log.lines.clear();
            const Run r = run(engine, shaders + c.call);
            EXPECT_NE(r.error.find(c.error), std::string::npos) << engine << " " << c.call << ": " << r.error;
        }
    // A missing buffer among the resources is left out, with a SCRIPT line.
    for (const char* engine : kEngines) {
        log.lines.clear();
        const Run r = run(engine, shaders + "obj.pixelshader('tint', 'object', {'cache:nothing', 'object'}, {1, 1, 1})");
        EXPECT_EQ(r.error, "") << engine;
        EXPECT_EQ(countLines("SCRIPT", "invalid buffer type. name=cache:nothing"), 1u) << engine;
    }
}

// The first run of a script compiles its blocks; later runs, and the script
// loaded again with the same text, use them; a new text compiles again. A
// compile error in the second of three blocks leaves only the first.
TEST_F(ScriptShaderRenderTest, ShadersCompileOncePerText) {
    newScene(64, 64);
    const std::string text = std::string(kTint) + kGrid + kInvert +
                             "obj.load('plane', 8, 8, 0xffffff)\n"
                             "obj.computeshader('grid', 'object')\n";
    for (const char* engine : kEngines) {
        // Named by engine: the compiler's source name is part of what is kept.
        const std::wstring name = wide(std::string("once-") + engine);
        auto effect = scriptEffect<Effect::ScriptInput>(name.c_str(), text, engine);
        const uint64_t before = Effect::ScriptShaderCache::compileCount();
        EXPECT_EQ(run(engine, *effect).error, "") << engine;
        EXPECT_EQ(Effect::ScriptShaderCache::compileCount(), before + 3) << engine;
        EXPECT_EQ(run(engine, *effect).error, "") << engine;
        EXPECT_EQ(run(engine, *effect).error, "") << engine;
        EXPECT_EQ(Effect::ScriptShaderCache::compileCount(), before + 3) << engine;
        // A script that is never asked for a shader compiles nothing.
        auto unused = scriptEffect<Effect::ScriptInput>(L"unused", std::string(kTint) + "-- unused " + engine, engine);
        EXPECT_EQ(run(engine, *unused).error, "") << engine;
        EXPECT_EQ(Effect::ScriptShaderCache::compileCount(), before + 3) << engine;

        effect->updateScript({name, text});
        EXPECT_EQ(run(engine, *effect).error, "") << engine;
        EXPECT_EQ(Effect::ScriptShaderCache::compileCount(), before + 3) << engine;
        effect->updateScript({name, text + "-- again\n"});
        EXPECT_EQ(run(engine, *effect).error, "") << engine;
        EXPECT_EQ(Effect::ScriptShaderCache::compileCount(), before + 3) << engine;  // the blocks are the same
        std::string changed = text;
        changed.replace(changed.find("float4(1, 0, 0, 1)"), 18, "float4(1, 1, 0, 1)");
        effect->updateScript({name, changed});
        EXPECT_EQ(run(engine, *effect).error, "") << engine;
        EXPECT_EQ(Effect::ScriptShaderCache::compileCount(), before + 4) << engine;
    }

    // The blocks after a failing one are not compiled; the first of a name wins.
    const std::string failing = "--[[pixelshader@first:\n"
                                "float4 first(float4 pos : SV_Position) : SV_Target { return float4(0, 1, 0, 1); }\n"
                                "]]\n"
                                "--[[pixelshader@first:\n"
                                "float4 first(float4 pos : SV_Position) : SV_Target { return float4(1, 0, 0, 1); }\n"
                                "]]\n"
                                "--[[pixelshader@second:\n"
                                "float4 second(float4 pos : SV_Position) : SV_Target { return undefinedName; }\n"
                                "]]\n" +
                                std::string(kInvert) + "obj.load('plane', 4, 4, 0xffffff)\n";
    for (const char* engine : kEngines) {
        log.lines.clear();
        auto effect = scriptEffect<Effect::ScriptInput>(L"partial", failing + "-- " + engine, engine);
        const Run first = run(engine, *effect);
        EXPECT_EQ(first.error, "") << engine;
        auto& resource = effect->commonResource();
        EXPECT_NE(resource.getPixelShader("first"), nullptr) << engine;
        EXPECT_EQ(resource.getPixelShader("second"), nullptr) << engine;
        EXPECT_EQ(resource.getPixelShader("invert"), nullptr) << engine;
        EXPECT_EQ(resource.getComputeShader("first"), nullptr) << engine;
        EXPECT_EQ(countLines("WARN", "script shader load faild [partial]\n"), 1u) << engine;
        EXPECT_EQ(countLines("WARN", "D3DCompile() failed"), 1u) << engine;
        EXPECT_EQ(countLines("WARN", "partial.second:8:"), 1u) << engine;
        const Run drawn = run(engine, *scriptEffect<Effect::ScriptInput>(
                                          L"partial", failing + "-- " + engine + "\nobj.pixelshader('first', 'object')",
                                          engine));
        ASSERT_TRUE(drawn.image) << engine << drawn.error;
        EXPECT_EQ(pixelOf(*drawn.image, 1, 1), "0,255,0,255") << engine;
    }
}

}  // namespace
}  // namespace SourceTest
