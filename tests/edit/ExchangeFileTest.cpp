#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "edit/ProjectConvert.h"
#include "edit/support/EditHarness.h"
#include "edit/support/ProjectFolders.h"
#include "support/LogCapture.h"

using namespace EditTest;

namespace {

// A fresh installation folder with its own "effect.conf" for each test.
class ExchangeFileTest : public ProjectFolders {
protected:
    void SetUp() override {
        ProjectFolders::SetUp();
        std::ofstream(root_ / "install" / "effect.conf", std::ios::binary)
            << "[OldScript]\nぼかし旧=ぼかし\n"
               "[OldScript.カスタムオブジェクト]\n3=図形\n"
               "[OldScript.アニメーション効果]\n1=反転\n"
               "[OldScript.trackmode]\n1=直線移動\n2=瞬間移動\nSingleSection=2\n";
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
    }
    void TearDown() override {
        settings_.reset();
        ProjectFolders::TearDown();
    }
    // Written as UTF-8 with a byte-order mark unless raw (the old code page).
    std::wstring write(const std::string& name, const std::string& content, bool raw = false) const {
        std::ofstream(root_ / name, std::ios::binary) << (raw ? "" : "\xEF\xBB\xBF") << content;
        return System::utf8ToWide((root_ / name).string());
    }
    // Imports a file of the header and the given object sections.
    bool import(const std::string& objects, const std::string& name = "imported.kto", bool raw = false) {
        project.getOrCreateScene(0);
        return Edit::ProjectConvert::importSceneFromKto(
            project, write(name, "[kirta]\r\nwidth=640\r\nheight=480\r\nrate=30000\r\nscale=1001\r\n" + objects, raw));
    }
    std::shared_ptr<Edit::Scene> imported() const { return project.getScene(project.displayScene); }

    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
};

// An image object's chain with default parameters, as describe() shows it.
const std::string kImageChain =
    "    画像ファイル: X=0.0,0.0,直線移動,0 反転=0 拡大率=100.00 テキスト=\n"
    "    標準描画: X=0.0,0.0,直線移動,0 反転=0 拡大率=100.00 テキスト=\n";

std::string imageObject(int n, int layer, int start, int end, const std::string& extra = {}) {
    const std::string s = std::to_string(n);
    return "[" + s + "]\r\nlayer=" + std::to_string(layer) + "\r\nstart=" + std::to_string(start) +
           "\r\nend=" + std::to_string(end) + "\r\n" + extra + "[" + s + ".0]\r\n_name=画像ファイル\r\n[" + s +
           ".1]\r\n_name=標準描画\r\n";
}

TEST_F(ExchangeFileTest, TrackValuesConvertToTheNumberItemText) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"5", "5"},
        {"0,100", "0,100"},
        {"0,100,1", "0,100,直線移動,0"},
        {"0,100,3@abc", "0,100,abc,0"},       // no table entry: the old script name
        {"0,100,1@abc", "0,100,直線移動,0"},  // the table wins over the script name
        {"0,100, 7 9", "0,100,,1"},           // blanks are left out of the token
        {"0,100,79", "0,100,,1"},             // 64: accelerate
        {"0,100,33", "0,100,直線移動,2"},     // 32: decelerate
        {"0,100,2", "0,100,瞬間移動,4"},      // the single-section mode
        {"0,100,98", "0,100,瞬間移動,7"},
        {"0,100,1,20", "0,100,直線移動,0|20"},
        {"0,100,1,20,30", "0,100,直線移動,0|20"},  // parts after the fourth are dropped
        {"0,100,-15", "0,100,直線移動,3"},         // -15 & 15 = 1; bits 5 and 6 are set
    };
    for (const auto& c : cases) EXPECT_EQ(Edit::ProjectConvert::convertTrackValue(c.in), c.out) << c.in;
    for (const char* bad : {"0,100,", "0,100,@abc", "0,100,x1", "0,100,99999999999"})
        EXPECT_ANY_THROW(Edit::ProjectConvert::convertTrackValue(bad)) << bad;
}

TEST_F(ExchangeFileTest, WithoutTablesTheScriptNameIsTheMovement) {
    settings_.reset();
    EXPECT_EQ(Edit::ProjectConvert::convertTrackValue("0,100,1@abc"), "0,100,abc,0");
    EXPECT_EQ(Edit::ProjectConvert::convertTrackValue("0,100,2"), "0,100,,0");
}

TEST_F(ExchangeFileTest, EffectNamesOfOldScriptKinds) {
    System::IniFile ini;
    ini.loadFile(write("names.kto",
                       "[a]\r\n_name=カスタムオブジェクト\r\nname=\r\ntype=3\r\n"
                       "[b]\r\n_name=カスタムオブジェクト\r\nname=星\r\n"
                       "[c]\r\n_name=アニメーション効果\r\ntype=1\r\n"
                       "[d]\r\n_name=ぼかし\r\ntype=1\r\n"
                       "[e]\r\n_name=カメラ効果\r\ntype=9\r\n"
                       "[f]\r\n_name=カスタムオブジェクト\r\n"
                       "[g]\r\nname=x\r\n"),
                 false, true);
    EXPECT_EQ(Edit::ProjectConvert::convertEffectName(ini.getSection("a")), L"図形");
    EXPECT_EQ(Edit::ProjectConvert::convertEffectName(ini.getSection("b")), L"星");
    EXPECT_EQ(Edit::ProjectConvert::convertEffectName(ini.getSection("c")), L"反転");
    EXPECT_EQ(Edit::ProjectConvert::convertEffectName(ini.getSection("d")), L"ぼかし");
    for (const char* bad : {"e", "f", "g"})
        EXPECT_ANY_THROW(Edit::ProjectConvert::convertEffectName(ini.getSection(bad))) << bad;
}

TEST_F(ExchangeFileTest, ObjectsLandAtZeroBasedPlaces) {
    ASSERT_TRUE(import(imageObject(0, 1, 1, 30, "group=1\r\ncamera=0\r\n") + imageObject(1, 2, 5, 5, "group=1\r\n"),
                       "場面.old.kto"));
    const auto scene = imported();
    ASSERT_TRUE(scene);
    EXPECT_NE(scene->id, 0);
    EXPECT_EQ(System::wideToUtf8(scene->name), "場面.old");
    EXPECT_EQ(scene->videoWidth, 640);
    EXPECT_EQ(scene->videoRate, 30000);
    EXPECT_EQ(scene->videoScale, 1001);
    EXPECT_EQ(scene->audioRate, 48000);
    EXPECT_EQ(describe(*scene),
              "L0 \n  0..29 {} nocamera group2\n" + kImageChain + "L1 \n  4..4 {} group2\n" + kImageChain);
    EXPECT_EQ(checkProject(project), "");
    EXPECT_TRUE(posted.empty());
}

TEST_F(ExchangeFileTest, AnImportLogsTheNewCurrentScene) {
    project.getOrCreateScene(0);
    project.getOrCreateScene(1);
    LogCapture log;
    ASSERT_TRUE(Edit::ProjectConvert::importSceneFromKto(
        project, write("新しい場面.kto",
                       "[kirta]\r\nwidth=640\r\nheight=480\r\nrate=30\r\nscale=1\r\n" + imageObject(0, 1, 1, 30))));
    EXPECT_EQ(project.displayScene, 2);
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines.back().level, "INFO");
    EXPECT_EQ(log.lines.back().scope, "Edit::EditService::updateScene");
    EXPECT_EQ(log.lines.back().message, "set current scnene [新しい場面](2)");
}

TEST_F(ExchangeFileTest, ChainedSectionsMergeIntoOneObject) {
    const std::string sections =
        imageObject(0, 1, 1, 30) + imageObject(1, 1, 31, 60, "chain=1\r\n") + imageObject(2, 1, 61, 90, "chain=1\r\n") +
        imageObject(3, 1, 95, 100, "chain=1\r\n") +   // a gap: stays separate and starts a new chain
        imageObject(4, 1, 101, 110, "chain=1\r\n") +  // joins the object of section 3
        imageObject(5, 2, 1, 10, "chain=1\r\n");      // another layer: separate
    ASSERT_TRUE(import(sections));
    const auto scene = imported();
    const auto& objects = scene->getLayer(0).objects;
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->start, 0);
    EXPECT_EQ(objects[0]->end, 89);
    EXPECT_EQ(objects[0]->midpoints, (std::vector<int32_t>{30, 60}));
    EXPECT_EQ(objects[1]->start, 94);
    EXPECT_EQ(objects[1]->end, 109);
    EXPECT_EQ(objects[1]->midpoints, (std::vector<int32_t>{6}));
    EXPECT_EQ(scene->getLayer(1).objects.size(), 1u);
    EXPECT_EQ(checkProject(project), "");
}

TEST_F(ExchangeFileTest, AFirstChainedSectionStaysAnObject) {
    ASSERT_TRUE(import(imageObject(0, 1, 1, 30, "chain=1\r\n")));
    EXPECT_EQ(imported()->getLayer(0).objects.size(), 1u);
}

TEST_F(ExchangeFileTest, AJoinedGroupMemberLeavesItsGroup) {
    ASSERT_TRUE(import(imageObject(0, 1, 1, 30, "group=1\r\n") + imageObject(1, 1, 31, 60, "chain=1\r\ngroup=1\r\n") +
                       imageObject(2, 2, 1, 30, "group=1\r\n")));
    const auto scene = imported();
    ASSERT_EQ(scene->getLayer(0).objects.size(), 1u);
    ASSERT_TRUE(scene->getLayer(0).objects[0]->group);
    EXPECT_EQ(scene->getLayer(0).objects[0]->group->members.size(), 2u);
    EXPECT_EQ(checkProject(project), "");
}

TEST_F(ExchangeFileTest, BadObjectSectionsAreDroppedAndReportedOnce) {
    const std::string filter = "[3]\r\nlayer=4\r\nstart=1\r\nend=10\r\n[3.0]\r\n_name=ぼかし旧\r\n";
    const std::string overlayFilter = "[4]\r\nlayer=5\r\nstart=1\r\nend=10\r\noverlay=1\r\n[4.0]\r\n_name=ぼかし旧\r\n";
    const std::string sections =
        imageObject(0, 1, 1, 30) +
        "[1]\r\nlayer=2\r\nstart=10\r\nend=5\r\n[1.0]\r\n_name=画像ファイル\r\n" +   // reversed
        "[2]\r\nlayer=3\r\nstart=1\r\nend=5\r\n[2.0]\r\n_name=無い効果\r\n" +        // unknown effect
        filter + overlayFilter + "[5]\r\nlayer=6\r\nstart=1\r\nend=5\r\n" +          // no effect
        "[6]\r\nlayer=0\r\nstart=1\r\nend=5\r\n[6.0]\r\n_name=画像ファイル\r\n" +    // layer index -1
        "[7]\r\nlayer=7\r\nstart=0\r\nend=5\r\n[7.0]\r\n_name=画像ファイル\r\n" +    // frame -1
        "[8]\r\nlayer=1\r\nstart=20\r\nend=40\r\n[8.0]\r\n_name=画像ファイル\r\n" +  // overlaps section 0
        "[9]\r\nlayer=99999\r\nstart=1\r\nend=5\r\n[9.0]\r\n_name=画像ファイル\r\n" +
        "[10]\r\nlayer=8\r\nend=5\r\n[10.0]\r\n_name=画像ファイル\r\n" +
        "[11]\r\nlayer=9\r\nstart=1\r\nend=5\r\n[11.0]\r\n_name=カスタムオブジェクト\r\ntype=8\r\n" +
        imageObject(12, 10, 1, 5, "group=-2147483648\r\n") + imageObject(13, 11, 1, 5, "chain=x\r\n");
    EXPECT_TRUE(import(sections));
    const auto scene = imported();
    EXPECT_EQ(describe(*scene),
              "L0 \n  0..29 {}\n" + kImageChain +
                  "L4 \n  0..9 {}\n    ぼかし: X=0.0,0.0,直線移動,0 反転=0 拡大率=100.00 テキスト=\n" +
                  "L9 \n  0..4 {} group1\n" + kImageChain);
    EXPECT_EQ(posted, std::vector<std::wstring>{L"一部のオブジェクトの読み込みに失敗しました"});
    EXPECT_EQ(checkProject(project), "");
}

TEST_F(ExchangeFileTest, ParametersAreReadThroughTheConvertedTrackValue) {
    ASSERT_TRUE(
        import("[0]\r\nlayer=1\r\nstart=1\r\nend=30\r\n[0.0]\r\n_name=画像ファイル\r\nX=10,20,1\r\n"
               "拡大率=50\r\n[0.1]\r\n_name=標準描画\r\n"));
    const auto& object = imported()->getLayer(0).objects.at(0);
    EXPECT_EQ(object->effects.at(0)->items.at(0)->toString(), "10.0,20.0,直線移動,0");
    EXPECT_EQ(object->effects.at(0)->items.at(2)->toString(), "50.00");
}

TEST_F(ExchangeFileTest, AFailedImportLeavesTheProjectAsItWas) {
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"no header", imageObject(0, 1, 1, 30)},
        {"empty header", "[kirta]\r\n" + imageObject(0, 1, 1, 30)},
        {"no width", "[kirta]\r\nheight=480\r\nrate=30\r\nscale=1\r\n"},
        {"bad rate", "[kirta]\r\nwidth=640\r\nheight=480\r\nrate=x\r\nscale=1\r\n"},
    };
    project.getOrCreateScene(0);
    // The shown scene may name an id no scene holds (a project file can say so):
    // the import takes that id, and a failure must still remove the scene.
    for (const int32_t shown : {0, 1}) {
        project.displayScene = shown;
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", shown scene " << shown);
            posted.clear();
            EXPECT_FALSE(Edit::ProjectConvert::importSceneFromKto(project, write("bad.kto", c.content)));
            EXPECT_EQ(project.scenes.size(), 1u);
            EXPECT_EQ(project.getScene(1), nullptr);
            EXPECT_EQ(project.displayScene, shown);
            EXPECT_EQ(posted, std::vector<std::wstring>{L"シーンの読み込みに失敗しました"});
        }
    }
    project.displayScene = 0;
    EXPECT_FALSE(
        Edit::ProjectConvert::importSceneFromKto(project, System::utf8ToWide((root_ / "missing.kto").string())));
    EXPECT_EQ(project.scenes.size(), 1u);
}

TEST_F(ExchangeFileTest, ALineBreakInTheFileNameIsABlankInTheSceneName) {
    // File names may hold line breaks; a scene name must fit on one line of the project file.
    const struct {
        const char* file;
        const wchar_t* scene;
    } cases[] = {{"two\nlines.kto", L"two lines"}, {"cr\rlf\r\n.kto", L"cr lf "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        project.clear();
        ASSERT_TRUE(import("", c.file));
        EXPECT_EQ(imported()->name, c.scene);
    }
}

TEST_F(ExchangeFileTest, UnsoundHeaderValuesKeepTheDefaults) {
    project.getOrCreateScene(0);
    ASSERT_TRUE(Edit::ProjectConvert::importSceneFromKto(
        project, write(".kto", "[kirta]\r\nwidth=0\r\nheight=480\r\nrate=30\r\nscale=0\r\naudio_rate=44100\r\n")));
    const auto scene = imported();
    EXPECT_EQ(scene->name, Edit::Scene::getDefaultName(scene->id));
    EXPECT_EQ(scene->videoWidth, 1920);
    EXPECT_EQ(scene->videoScale, 1);
    EXPECT_EQ(scene->audioRate, 44100);
    EXPECT_EQ(posted, std::vector<std::wstring>{L"一部のオブジェクトの読み込みに失敗しました"});
}

TEST_F(ExchangeFileTest, TheFileIsReadInTheOldCodePage) {
    // "画像ファイル" and "標準描画" in CP932.
    const std::string image = "\x89\xE6\x91\x9C\x83\x74\x83\x40\x83\x43\x83\x8B";
    const std::string draw = "\x95\x57\x8F\x80\x95\x60\x89\xE6";
    ASSERT_TRUE(
        import("[0]\r\nlayer=1\r\nstart=1\r\nend=30\r\n[0.0]\r\n_name=" + image + "\r\n[0.1]\r\n_name=" + draw + "\r\n",
               "old.kto", true));
    EXPECT_EQ(imported()->getLayer(0).objects.size(), 1u);
}

}  // namespace
