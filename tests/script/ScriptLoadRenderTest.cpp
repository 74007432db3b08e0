// Script objects that load their image: golden frames drawn by the video
// render worker, and what a load leaves in the object's variables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ScriptRenderFixture.h"
#include "core/TextConvert.h"
#include "effect/AnchorList.h"
#include "effect/EffectItem.h"
#include "effect/RenderContext.h"
#include "effects/ImageLoad.h"
#include "filters/FilterCatalog.h"
#include "filters/MaskFilter.h"
#include "filters/MaskPictures.h"
#include "script/LuaInstance.h"
#include "script/ScriptInput.h"
#include "support/TestMediaFile.h"

namespace SourceTest {
namespace {

class ScriptLoadRenderTest : public ScriptRenderFixture {
protected:
    // A script source made for the test's folder.
    std::shared_ptr<Effect::ScriptInput> scriptSource(const std::string& text) {
        return scriptEffect<Effect::ScriptInput>(L"loader", text);
    }

    // An object on the layer whose source is the script, placed at x, y.
    std::shared_ptr<Edit::Object> addScript(int32_t layer, const std::string& text, const char* x, const char* y) {
        return ScriptRenderFixture::addScript(layer, L"loader", text, x, y);
    }

    // One run of the script as the source of an object of the scene.
    Run runScript(const char* engine, const std::string& text) { return run(engine, *scriptSource(text)); }

    // Scripts run the built-in filters by name.
    Effect::EffectService::Catalog& catalogue() override { return filters_; }

    Effect::FilterCatalog filters_;
};

// An image file, a text with a decoration and a plane, each loaded by a
// script object (on both engines), drawn through the objects' outputs.
TEST_F(ScriptLoadRenderTest, LoadedImagesAndTextMatchTheGoldenFrame) {
    Picture pattern = solid(24, 12, 255, 0, 0);
    for (uint32_t y = 0; y < 12; ++y)
        for (uint32_t x = 12; x < 24; ++x) std::copy_n("\x00\xff\xff\xff", 4, &pattern.bgra[(y * 24 + x) * 4]);
    writePng(root_ / "pattern.png", pattern);

    newScene(160, 90);
    addScript(0, "--script:lua\nobj.load('pattern.png')", "-50", "-20");
    addScript(1, "setfont('', 24, 3, 0xffff00, 0xff0000)\nobj.load('text', 'Ab')", "30", "-15");
    addScript(2, "--script:lua\nobj.load('plane', 30, 10, 0x00ff00)", "0", "25");
    // A load of nothing leaves no image; the object draws nothing.
    addScript(3, "obj.load('plane', 0, 10, 0xffffff)", "0", "0");
    scene->update();

    const Picture picture = render(0);
    ASSERT_NO_FATAL_FAILURE(expectGolden(picture, "load_0.png"));
    // The image sits left of the centre: blue on its left half, yellow on its right.
    EXPECT_EQ(picture.text(80 - 50 - 6, 45 - 20), "255,0,0,255");
    EXPECT_EQ(picture.text(80 - 50 + 6, 45 - 20), "0,255,255,255");
    EXPECT_EQ(picture.text(80, 45 + 25), "0,255,0,255");
    for (const auto& line : log.lines) EXPECT_EQ(line.message.find("script exception"), std::string::npos) << line.message;
}

// Loads of what the frame already holds: the previous object's image,
// another layer's source and a region of the frame buffer.
TEST_F(ScriptLoadRenderTest, LoadsOfTheFrameShowWhatIsAlreadyDrawn) {
    Picture pattern = solid(24, 12, 255, 0, 0);
    for (uint32_t y = 0; y < 12; ++y)
        for (uint32_t x = 12; x < 24; ++x) std::copy_n("\x00\xff\xff\xff", 4, &pattern.bgra[(y * 24 + x) * 4]);
    writePng(root_ / "pattern.png", pattern);

    newScene(160, 90);
    auto image = add(Effect::ImageLoad::kName, 0);
    dynamic_cast<Effect::ImageLoad&>(*image->effects[0]).file.path = wide(root_ / "pattern.png");
    image->effects[1]->findItemByName(L"X")->fromString("-50");
    addScript(1, "--script:lua\nobj.load('before')", "50", "0");
    addScript(2, "obj.load('layer', 1)", "0", "30");
    // The pattern's box in the frame: 24 x 12 at (80 - 50 - 12, 45 - 6).
    addScript(3, "obj.load('framebuffer', 18, 39, 24, 12)", "0", "-30");
    // Past the last layer, and an empty layer: nothing.
    addScript(4, "obj.load('layer', 1000)", "0", "0");
    addScript(5, "obj.load('layer', 9, true)", "0", "0");
    scene->update();

    const Picture picture = render(0);
    struct Spot {
        int32_t x, y;
        const char* bgra;
    };
    const Spot spots[] = {
        {80 - 50 - 6, 45, "255,0,0,255"}, {80 - 50 + 6, 45, "0,255,255,255"},  // the image
        {80 + 50 - 6, 45, "255,0,0,255"}, {80 + 50 + 6, 45, "0,255,255,255"},  // before
        {80 - 6, 75, "255,0,0,255"},      {80 + 6, 75, "0,255,255,255"},       // layer 1
        {80 - 6, 15, "255,0,0,255"},      {80 + 6, 15, "0,255,255,255"},       // frame buffer
        {80, 45, "0,0,0,0"},
    };
    for (const Spot& spot : spots) EXPECT_EQ(picture.text(spot.x, spot.y), spot.bgra) << spot.x << "," << spot.y;
    for (const auto& line : log.lines) EXPECT_EQ(line.message.find("script exception"), std::string::npos) << line.message;
}

// A script that loads its own layer runs itself until the nesting limit
// stops it; the object draws nothing and the frame goes on.
TEST_F(ScriptLoadRenderTest, LoadingItsOwnLayerStopsAtTheNestingLimit) {
    newScene(32, 32);
    addScript(0, "obj.load('layer', 1)", "0", "0");
    addScript(1, "obj.load('plane', 4, 4, 0x0000ff)", "0", "0");
    scene->update();
    const Picture picture = render(0);
    EXPECT_EQ(picture.text(16, 16), "255,0,0,255");
    bool limited = false;
    for (const auto& line : log.lines) limited |= line.message.find("lua recursive call limit exceeded.") != std::string::npos;
    EXPECT_TRUE(limited);
}

TEST_F(ScriptLoadRenderTest, ALoadResetsThePlacementAndGivesTheNewSize) {
    newScene(64, 64);
    TestMediaFile clip;
    clip.container = "mp4";
    clip.videoFrames = 30;
    clip.write((root_ / "clip.mp4").string());
    for (const char* engine : kEngines) {
        const Run plane = runScript(engine,
                                    "obj.ox = 5 obj.rx = 9 obj.cx = 3 obj.zoom = 2 obj.alpha = 0.5\n"
                                    "obj.load('plane', 100, 50)\n"
                                    "mes(obj.ox .. obj.rx .. obj.cx .. obj.zoom .. obj.alpha .. ' ' .. obj.w .. 'x' .. obj.h)");
        EXPECT_EQ(plane.error, "") << engine;
        EXPECT_EQ(plane.messages, "00011 100x50") << engine;
        ASSERT_TRUE(plane.image) << engine;
        EXPECT_EQ(plane.image->width, 100u);

        const Run none = runScript(engine, "obj.load('plane', 0, 100) mes(obj.w .. 'x' .. obj.h)");
        EXPECT_EQ(none.messages, "0x0") << engine;
        EXPECT_FALSE(none.image) << engine;

        const Run text = runScript(engine, "obj.load('Ab') mes(tostring(obj.w > 10 and obj.h > 10))");
        EXPECT_EQ(text.error, "") << engine;
        EXPECT_EQ(text.messages, "true") << engine;

        // A text that is no type name loads as text even when it names a file.
        const Run named = runScript(engine, "obj.load('text', 'pattern.png') mes(tostring(obj.w > 40))");
        EXPECT_EQ(named.messages, "true") << engine;

        const Run figure = runScript(engine, "obj.load('figure', '/nowhere/shape.svg')");
        EXPECT_NE(figure.error.find("figure not exist"), std::string::npos) << engine << figure.error;

        const Run range = runScript(engine, "obj.load('plane', 8, 8) obj.load('framebuffer', 10, 10, 0, 5) mes(obj.w)");
        EXPECT_EQ(range.error, "") << engine;
        EXPECT_EQ(range.messages, "8") << engine;

        const Run big = runScript(engine, "obj.load('plane', 20000, 2) mes(obj.w)");
        EXPECT_EQ(big.messages, "16384") << engine;

        // The temporary buffer, whole or a clamped region; an empty region
        // keeps the image.
        cache.add("tempbuffer", std::make_shared<Media::ResourceBuffer>(20, 10), 200);
        const Run temp = runScript(engine,
                                   "obj.load('tempbuffer') mes(obj.w .. 'x' .. obj.h .. ' ')\n"
                                   "obj.load('tempbuffer', 5, 0, 100, 100) mes(obj.w .. 'x' .. obj.h .. ' ')\n"
                                   "obj.load('tempbuffer', 20, 0, 5, 5) mes(obj.w .. 'x' .. obj.h)");
        EXPECT_EQ(temp.error, "") << engine;
        EXPECT_EQ(temp.messages, "20x10 15x10 15x10") << engine;
        const Run partial = runScript(engine, "obj.load('tempbuffer', 1, 2)");
        EXPECT_NE(partial.error.find("bad argument #4 to 'load'"), std::string::npos) << engine << partial.error;

        // A movie gives its length in seconds and the frame at the time.
        const Run movie = runScript(engine, "mes(obj.load('movie', 'clip.mp4', 0.5) .. ' ' .. obj.w .. 'x' .. obj.h)");
        EXPECT_EQ(movie.error, "") << engine;
        EXPECT_EQ(movie.messages, "1 64x48") << engine;
        const Run guessed = runScript(engine, "mes(obj.load('clip.mp4') .. ' ' .. obj.w)");
        EXPECT_EQ(guessed.messages, "1 64") << engine;
        const Run missing = runScript(engine, "mes(obj.load('movie', 'none.mp4') .. ' ' .. obj.w)");
        EXPECT_EQ(missing.messages, "0 0") << engine;
    }
}

// A script that drew its object hands no image back, and the object's anchors
// follow the image it drew.
TEST_F(ScriptLoadRenderTest, AScriptThatDrewLeavesNoImageBehind) {
    newScene(64, 64);
    auto object = add(Effect::ImageLoad::kName, 0);
    auto input = scriptSource("obj.load('plane', 10, 20)");
    object->effects[0] = input;
    Anchor::AnchorList anchors;
    Render::RenderContext context;
    context.scene = scene.get();
    context.resetObject(object);
    context.chain = std::make_shared<Render::ObjectChain>(Render::ObjectChain{object});
    context.anchorList = &anchors;
    for (const char* engine : kEngines) {
        anchors.clear();
        auto instance = scripts.get()->findScriptPlugin(engine)->createEffectInstance(*input, context);
        instance->drawn = 1;
        instance->executeEffect(input->commonResource().scriptText);
        EXPECT_FALSE(instance->objectImage()) << engine;
        EXPECT_FALSE(anchors.empty()) << engine;

        // Without drawing, the image goes back to the caller, who makes the anchors.
        anchors.clear();
        auto kept = scripts.get()->findScriptPlugin(engine)->createEffectInstance(*input, context);
        kept->executeEffect(input->commonResource().scriptText);
        ASSERT_TRUE(kept->objectImage()) << engine;
        EXPECT_EQ(kept->objectImage()->height, 20u);
        EXPECT_TRUE(anchors.empty()) << engine;
    }
}

}  // namespace
}  // namespace SourceTest

namespace SourceTest {
namespace {

// The drawing service of the library: an object draws through the output of
// its chain's first object, a movement run has nothing to draw through.
TEST_F(ScriptLoadRenderTest, DrawingToAnObjectTargetGoesThroughTheObjectsOutput) {
    newScene(64, 64);
    auto object = add(Effect::ImageLoad::kName, 0);
    auto input = scriptSource("obj.load('plane', 4, 4, 0xff0000)");
    object->effects[0] = input;
    Render::RenderContext context;
    context.scene = scene.get();
    context.resetObject(object);
    context.chain = std::make_shared<Render::ObjectChain>(Render::ObjectChain{object});
    for (const char* engine : kEngines) {
        auto instance = scripts.get()->findScriptPlugin(engine)->createEffectInstance(*input, context);
        instance->executeEffect(input->commonResource().scriptText);
        ASSERT_TRUE(instance->objectImage()) << engine;
        Media::ResourceBuffer target(16, 16);
        const float clear[4] = {0, 0, 0, 0};
        Media::Direct3DService::get()->context->clearRenderTargetView(target.getRenderTargetView(), clear);
        Effect::OutputView view;
        auto& lua = dynamic_cast<Plugin::LuaInstance&>(*instance);
        lua.drawToObjectTarget(view, target, *instance->objectImage(), nullptr);
        // The 4 x 4 plane lands in the middle of the target.
        EXPECT_EQ(pixelOf(target, 8, 8), "0,0,255,255") << engine;
        EXPECT_EQ(pixelOf(target, 1, 1), "0,0,0,0") << engine;

        // Without a chain there is no output to draw through.
        Render::RenderContext bare = context;
        bare.chain.reset();
        auto alone = scripts.get()->findScriptPlugin(engine)->createEffectInstance(*input, bare);
        Media::ResourceBuffer untouched(16, 16);
        Media::Direct3DService::get()->context->clearRenderTargetView(untouched.getRenderTargetView(), clear);
        dynamic_cast<Plugin::LuaInstance&>(*alone).drawToObjectTarget(view, untouched, *instance->objectImage(),
                                                                       nullptr);
        EXPECT_EQ(pixelOf(untouched, 8, 8), "0,0,0,0") << engine;
    }
}

}  // namespace
}  // namespace SourceTest

namespace SourceTest {
namespace {

// A script copies its image into a named buffer, turns its next image green
// and gives it a white border through two filters, and draws it on four
// textured quads; another draws twice into the temporary buffer and shows it; a mask
// naming the buffer keeps what the copied image covers.
TEST_F(ScriptLoadRenderTest, NamedBuffersPolygonsAndDrawTargetsMatchTheGoldenFrame) {
    Effect::MaskPictures pictures(*service);
    newScene(160, 90);
    addScript(0,
              "obj.load('plane', 40, 40, 0xff0000)\n"
              "obj.copybuffer('cache:shot', 'obj')\n"
              "obj.load('plane', 20, 20, 0x0000ff)\n"
              "obj.effect('単色化', '色', '00ff00', '輝度を保持する', 0)\n"
              "obj.effect('縁取り', 'サイズ', 4, '縁色', 'ffffff', 'ぼかし', 0)\n"
              "obj.clearbuffer('cache:none')\n"
              "local q = {}\n"
              "for i = 0, 3 do\n"
              "  local x = -60 + i * 40\n"
              "  q[#q + 1] = {x - 14, -14, 0, x + 14, -14, 0, x + 14, 14, 0, x - 14, 14, 0,\n"
              "               0, 0, obj.w, 0, obj.w, obj.h, 0, obj.h}\n"
              "end\n"
              "obj.drawpoly(q)",
              "0", "0");
    addScript(1,
              "obj.load('plane', 10, 10, 0x00ff00)\n"
              "obj.setoption('drawtarget', 'tempbuffer', 30, 10)\n"
              "obj.draw(-10) obj.draw(10)\n"
              "obj.setoption('drawtarget', 'framebuffer')\n"
              "obj.load('tempbuffer')",
              "0", "-30");
    auto masked = addScript(2, "obj.load('plane', 60, 30, 0xffffff)", "0", "28");
    auto mask = std::make_shared<Effect::MaskFilter>();
    mask->createCommonResource();
    mask->mask.setFilePath(L"*cache:shot");
    masked->effects.push_back(mask);
    scene->update();

    const Picture picture = render(0);
    ASSERT_NO_FATAL_FAILURE(expectGolden(picture, "buffers_0.png"));
    struct Spot {
        int32_t x, y;
        const char* bgra;
    };
    const Spot spots[] = {
        // The four green quads along the middle with their white borders,
        // nothing between them.
        {80 - 60, 45, "0,255,0,255"}, {80 - 20, 45, "0,255,0,255"}, {80 + 20, 45, "0,255,0,255"},
        {80 + 60, 45, "0,255,0,255"}, {80 - 60 - 11, 45, "255,255,255,255"}, {80 + 60 + 10, 45, "255,255,255,255"},
        {80 - 40, 45, "0,0,0,0"},
        // The temporary buffer: green left and right, empty between.
        {80 - 10, 15, "0,255,0,255"}, {80 + 10, 15, "0,255,0,255"}, {80, 15, "0,0,0,0"},
        // The mask keeps the white plane by the brightness of the red copy
        // (0.299 of full); a missing buffer would keep nothing.
        {80, 45 + 28, "76,76,76,76"},
    };
    for (const Spot& spot : spots) EXPECT_EQ(picture.text(spot.x, spot.y), spot.bgra) << spot.x << "," << spot.y;
    for (const auto& line : log.lines) EXPECT_EQ(line.message.find("script exception"), std::string::npos) << line.message;
}

TEST_F(ScriptLoadRenderTest, BuffersAndPixelsOfARun) {
    newScene(64, 64);
    for (const char* engine : kEngines) {
        struct Case {
            const char* script;
            const char* messages;
        };
        const Case cases[] = {
            // Channels of a pixel in the three types; the run's type and an
            // argument's; coordinates outside take the nearest edge.
            {"obj.load('plane', 4, 2, 0x102030) mes(table.concat({obj.getpixel(1, 1, 'rgb')}, ','))", "16,32,48,255"},
            {"obj.load('plane', 4, 2, 0x102030) local c, a = obj.getpixel(-5, 99) mes(c .. ' ' .. a)", "1056816 1"},
            {"obj.load('plane', 4, 2, 0xffffff) obj.pixeloption('type', 'yc') "
             "mes(table.concat({obj.getpixel(0)}, ','))",
             "4096,0,0,4096"},
            {"obj.load('plane', 3, 5) mes(table.concat({obj.getpixel()}, ',') .. ' ' .. "
             "table.concat({obj.getpixel(1, 1, 'rgb')}, ','))",
             "3,5 0,0,0,0"},
            // The copy is a snapshot until a load or a change of the source.
            {"obj.load('plane', 4, 2, 0x0000ff) obj.getpixel(0) obj.clearbuffer('object', 0xff0000) "
             "mes(obj.getpixel(0) .. ' ') obj.pixeloption('get', 'object') mes(obj.getpixel(0))",
             "255 16711680"},
            // Object to the temporary buffer and back; named buffers keep their size.
            {"obj.load('plane', 6, 3, 0x00ff00) mes(tostring(obj.copybuffer('tmp', 'obj'))) "
             "obj.load('plane', 2, 2) mes(tostring(obj.copybuffer('obj', 'tmp')) .. obj.w .. 'x' .. obj.h .. ' ') "
             "mes(obj.getpixel(5, 2))",
             "truetrue6x3 65280"},
            {"obj.load('plane', 6, 3, 0x00ff00) obj.copybuffer('cache:a', 'obj') obj.copybuffer('cache:b', 'cache:a') "
             "obj.load('plane', 1, 1) obj.copybuffer('obj', 'cache:b') mes(obj.w .. 'x' .. obj.h)",
             "6x3"},
            // A clear of a named buffer and of the object.
            {"obj.load('plane', 2, 2, 0xffffff) obj.copybuffer('cache:c', 'obj') obj.clearbuffer('cache:c', 0x0000ff) "
             "obj.copybuffer('obj', 'cache:c') mes(obj.getpixel(1, 1))",
             "255"},
        };
        for (const Case& c : cases) {
            const Run out = runScript(engine, c.script);
            EXPECT_EQ(out.error, "") << engine << ": " << c.script;
            EXPECT_EQ(out.messages, c.messages) << engine << ": " << c.script;
        }
        // A draw target of a size gives a cleared temporary buffer of that size.
        const Run target = runScript(engine, "obj.setoption('drawtarget', 'tempbuffer', 200, 100)");
        EXPECT_EQ(target.error, "") << engine;
        const auto temp = cache.find("tempbuffer");
        ASSERT_TRUE(temp) << engine;
        EXPECT_EQ(temp->width, 200u);
        EXPECT_EQ(temp->height, 100u);
        EXPECT_EQ(pixelOf(*temp, 100, 50), "0,0,0,0") << engine;
    }
}

}  // namespace
}  // namespace SourceTest
