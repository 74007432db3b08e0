#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/File.h"
#include "core/IniFile.h"
#include "core/TextConvert.h"
#include "edit/LayerObjectManager.h"
#include "edit/support/EditHarness.h"
#include "edit/support/ModelFixture.h"

using namespace EditTest;
using Edit::LayerObjectManager;

namespace {

class AliasFileTest : public ModelFixture {
protected:
    System::IniFile ini;

    void set(const std::string& section, const std::string& key, const std::string& value) {
        ini.getValue(section, key).text = value;
    }
    // A saved object of an image with its output.
    void savedObject(const std::string& frame) {
        set("Object", "layer", "3");
        if (!frame.empty()) set("Object", "frame", frame);
        set("Object.0", "effect.name", System::wideToUtf8(kImage));
        set("Object.1", "effect.name", System::wideToUtf8(kDraw));
    }
    std::string thrown(const std::function<void()>& f) {
        try {
            f();
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }
};

TEST_F(AliasFileTest, ASavedObjectFitsIntoTheFreeFramesOfTheLayer) {
    const struct {
        const char* name;
        std::vector<std::pair<int32_t, int32_t>> occupied;
        std::string frame;
        int32_t drop, start, end;
    } cases[] = {
        {"behind a covering object", {{90, 120}}, "0,60", 100, 121, 181},
        {"cut short by the next object", {{90, 120}, {150, 170}}, "0,60", 100, 121, 149},
        {"past back-to-back objects", {{90, 120}, {121, 200}}, "0,60", 100, 201, 261},
        {"a free drop", {}, "10,70", 5, 5, 65},
        {"one saved frame gives two", {}, "7,7", 0, 0, 1},
        {"no frame list takes the default end", {{50, 60}}, "", 10, 10, 49},
    };
    for (const auto& c : cases) {
        Edit::Scene fresh{1, 1};
        for (const auto& [a, b] : c.occupied) fresh.createObject(kImage, 2, a, b);
        fresh.update();
        ini.sections().clear();
        savedObject(c.frame);
        const auto o = LayerObjectManager::loadObjectAliasFile(fresh, ini, 2, c.drop, 500);
        fresh.update();
        EXPECT_EQ(o->layer, 2) << c.name;
        EXPECT_EQ(o->start, c.start) << c.name;
        EXPECT_EQ(o->end, c.end) << c.name;
        EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw})) << c.name;
        EXPECT_EQ(checkScene(fresh), "") << c.name;
    }
}

TEST_F(AliasFileTest, SavedMidpointsKeepTheirOffsets) {
    savedObject("100,110,150,200");
    set("Object", "camera", "0");
    set("Object", "clipping", "1");
    const auto o = LayerObjectManager::loadObjectAliasFile(scene, ini, 0, 20, 500);
    EXPECT_EQ(o->start, 20);
    EXPECT_EQ(o->end, 120);
    EXPECT_EQ(o->midpoints, (std::vector<int32_t>{10, 50}));
    EXPECT_FALSE(o->camera);
    EXPECT_TRUE(o->clipping);
    settle();
}

TEST_F(AliasFileTest, AFailedSavedObjectLeavesTheLayerAsItWas) {
    const struct {
        const char* name;
        std::function<void()> prepare;
        int32_t layer, drop;
        const char* message;
    } cases[] = {
        {"no object section", [] {}, 0, 0, "no object section."},
        {"a midpoint beyond the shortened end",
         [this] {
             savedObject("0,10,50,100");
             add(kImage, 0, 40, 60);
         },
         0, 0, "invalid frame number list."},
        {"no Object.0",
         [this] {
             set("Object", "frame", "0,10");
             set("Object.1", "effect.name", System::wideToUtf8(kDraw));
         },
         0, 0, "no effect defined."},
        {"unknown effect", [this] { set("Object", "frame", "0,10"), set("Object.0", "effect.name", "x"); }, 0, 0,
         "not found effect."},
        {"bad frame", [this] { savedObject("a,10"); }, 0, 0, "invalid frame number list."},
        {"midpoint before the start", [this] { savedObject("10,5,20"); }, 0, 0, "invalid frame number list."},
        {"negative layer", [this] { savedObject("0,10"); }, -1, 0, "invalid layer number."},
        {"frames beyond the range", [this] { savedObject("0,2147483647"); }, 0, 5, "invalid frame number list."},
    };
    for (const auto& c : cases) {
        scene.clear();
        ini.sections().clear();
        c.prepare();
        settle();
        const std::string before = EditTest::describe(scene);
        const std::string message =
            thrown([&] { LayerObjectManager::loadObjectAliasFile(scene, ini, c.layer, c.drop, 80); });
        EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
        settle();
        EXPECT_EQ(EditTest::describe(scene), before) << c.name;
    }
}

TEST_F(AliasFileTest, ASavedEffectBecomesAnObject) {
    set("Effect.0", "effect.name", System::wideToUtf8(kImage));
    set("Effect.1", "effect.name", System::wideToUtf8(kBlur));
    add(kImage, 1, 30, 40);
    settle();
    const auto o = LayerObjectManager::loadObjectAliasFileEffect(scene, ini, 1, 35, 90);
    EXPECT_EQ(o->start, 41);
    EXPECT_EQ(o->end, 96);
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kBlur}));
    settle();

    ini.sections().clear();
    const std::string before = EditTest::describe(scene);
    EXPECT_NE(thrown([&] {
                  LayerObjectManager::loadObjectAliasFileEffect(scene, ini, 1, 0, 10);
              }).find("no effect defined."),
              std::string::npos);
    settle();
    EXPECT_EQ(EditTest::describe(scene), before);
}

TEST_F(AliasFileTest, ANewFilterStandsBehindTheTarget) {
    const auto o = add(kImage, 0, 0, 50);
    o->addEffect(kBlur);
    o->addEffect(kInvert);
    settle();
    ASSERT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kBlur, kInvert}));
    set("Effect.0", "effect.name", System::wideToUtf8(kNote));
    o->loadEffectAliasFile(ini, o->effects[2].get());
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kBlur, kNote, kInvert}));
    // With the source as target the filter stops behind the last effect that is no filter.
    o->loadEffectAliasFile(ini, o->effects[0].get());
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kNote, kBlur, kNote, kInvert}));
    o->loadEffectAliasFile(ini, nullptr);
    EXPECT_EQ(names(*o).back(), kNote);
    settle();
}

TEST_F(AliasFileTest, EffectsAddedBeforeAFailureStay) {
    const auto o = add(kImage, 0, 0, 50);
    set("Effect.0", "effect.name", System::wideToUtf8(kBlur));
    set("Effect.1", "effect.name", "x");
    EXPECT_ANY_THROW(o->loadEffectAliasFile(ini, nullptr));
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kBlur}));
    settle();
}

}  // namespace

namespace {

// The object's saved-object text, written through a file.
std::string aliasText(const Edit::Object& o, bool withFrames, const std::string& name) {
    const std::wstring path = System::utf8ToWide(testing::TempDir() + name);
    System::File file;
    file.open(path, System::File::kWrite);
    LayerObjectManager::saveObjectAliasFile(file, o, withFrames);
    file.close();
    System::File in;
    in.open(path, System::File::kRead);
    std::string text(static_cast<size_t>(in.getSize()), '\0');
    in.readBlock(text.data(), static_cast<int32_t>(text.size()));
    return text;
}

class AliasRoundTrip : public ModelFixture {};

// Saved objects with several effects, read back onto an empty layer at their
// own start, are saved again to the same text.
TEST_F(AliasRoundTrip, ASavedObjectReadsBackEqual) {
    const struct {
        const char* name;
        const wchar_t* head;
        std::vector<const wchar_t*> filters;
        std::vector<int32_t> midpoints;
        bool camera, clipping, disableSecond;
        double x;
    } cases[] = {
        {"image with two filters and midpoints", kImage, {kBlur, kInvert}, {10, 25}, true, false, false, 12.5},
        {"figure with its own output, flags off and on", kFigure, {kNote}, {}, false, true, false, -3},
        {"audio with a disabled filter", kAudio, {kVolume, kNote}, {40}, true, true, true, 0},
        {"a filter object", kBlur, {kInvert}, {5}, true, false, false, 7},
        {"a control object", kGroup, {}, {}, true, false, false, 1},
    };
    for (const auto& c : cases) {
        Edit::Scene from{1, 1};
        const auto o = from.createObject(c.head, 4, 100, 160);
        for (const wchar_t* f : c.filters) o->addEffect(f);
        for (const int32_t m : c.midpoints) o->addSection(100 + m);
        o->camera = c.camera;
        o->clipping = c.clipping;
        if (c.disableSecond && o->effects.size() > 2) o->effects[2]->disabled = 1;
        if (auto* test = dynamic_cast<TestEffect*>(o->effects.back().get()); test && test->x) test->x->setValue(c.x, 0);
        from.update();
        const std::string saved = aliasText(*o, true, "alias-a.object");

        System::IniFile read;
        ASSERT_TRUE(read.loadFile(System::utf8ToWide(testing::TempDir() + "alias-a.object"))) << c.name;
        Edit::Scene to{2, 2};
        const auto back = LayerObjectManager::loadObjectAliasFile(to, read, 1, 100, 500);
        to.update();
        EXPECT_EQ(aliasText(*back, true, "alias-b.object"), saved) << c.name;
        EXPECT_EQ(back->start, 100) << c.name;
        EXPECT_EQ(back->end, 160) << c.name;
        EXPECT_EQ(back->midpoints, o->midpoints) << c.name;
        EXPECT_EQ(names(*back), names(*o)) << c.name;
        EXPECT_EQ(checkScene(to), "") << c.name;
        // Without the frames the object section holds only the flags.
        const std::string bare = aliasText(*o, false, "alias-c.object");
        EXPECT_EQ(bare.find("frame="), std::string::npos) << c.name;
        EXPECT_EQ(bare.rfind("[Object]\r\n", 0), 0u) << c.name;
    }
}

}  // namespace
