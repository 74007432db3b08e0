#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/TextConvert.h"
#include "edit/GroupNumberMap.h"
#include "edit/LayerObjectManager.h"
#include "edit/support/EditHarness.h"
#include "edit/support/ModelFixture.h"
#include "effect/EffectItemFile.h"
#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "support/ActiveLanguage.h"
#include "support/LogCapture.h"
#include "support/ScriptedBoxes.h"
#include "edit/support/ProjectFolders.h"

using namespace EditTest;
using Edit::Object;

namespace {

class ProjectFileTest : public ProjectFolders {
protected:
    std::wstring path(const std::string& name) const { return System::utf8ToWide((root_ / name).string()); }
    void writeText(const std::string& name, const std::string& content) const {
        std::ofstream(root_ / name, std::ios::binary) << content;
    }
    std::string readText(const std::string& name) const {
        std::ifstream in(root_ / name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static std::string describeProject(Edit::Project& p) {
        std::string text = "current " + std::to_string(p.displayScene) + "\n";
        for (const auto& scene : p.getSceneList()) {
            text += "scene " + std::to_string(scene->id) + " " + System::wideToUtf8(scene->name) + " " +
                    std::to_string(scene->videoWidth) + "x" + std::to_string(scene->videoHeight) + " " +
                    std::to_string(scene->videoRate) + "/" + std::to_string(scene->videoScale) + " " +
                    std::to_string(scene->audioRate) + " cursor " + std::to_string(scene->cursorFrame) + " view " +
                    std::to_string(scene->displayFrame) + "," + std::to_string(scene->displayLayer) + "," +
                    std::to_string(scene->displayZoom.value) + " order " + std::to_string(scene->displayOrder) +
                    " camera " + scene->camera.toString() + "\n" + describe(*scene);
            EXPECT_EQ(checkScene(*scene), "");
        }
        return text;
    }

    // The reference project: two scenes, named and locked layers, midpoints,
    // groups across layers, flags, filters, a control object and a focus object.
    void buildReference() {
        project.path = L"/projects/見本/reference.vpj2";
        auto root = project.getOrCreateScene(0);
        auto sub = project.getOrCreateScene(2);
        project.displayScene = 2;
        sub->name = L"サブ";
        sub->videoWidth = 1280;
        sub->videoHeight = 720;
        sub->videoRate = 30000;
        sub->videoScale = 1001;
        sub->audioRate = 44100;
        sub->cursorFrame = 12;
        sub->displayFrame = 3;
        sub->displayLayer = 1;
        sub->displayZoom = Edit::FrameZoom(15000);
        sub->camera.values = {10, 20, -900, 0, 45, 0};

        auto group = std::make_shared<Edit::Group>();
        auto image = root->createObject(kImage, 0, 0, 30);
        image->addSection(10);
        image->addSection(20);
        xItem(image->effects[0]).values = {0, 100, -250, 300};
        image->addEffect(kBlur);
        image->effects[2]->disabled = 1;
        static_cast<TestEffect&>(*image->effects[0]).text->text = L"一行目\n二行目";
        image->setGroup(group);
        auto audio = root->createObject(kAudio, 2, 5, 60);
        audio->camera = false;
        audio->clipping = true;
        audio->setGroup(group);
        auto filters = root->createObject(kBlur, 2, 70, 80);
        filters->addEffect(kNote);
        filters->setGroup(std::make_shared<Edit::Group>());
        root->focusObject = audio;
        root->layers[1]->layer->name = L"背景";
        root->reserveLayer(4);
        root->layers[1]->layer->lock = true;
        root->layers[4]->layer->hide = true;  // above the last used layer: not written
        root->layers[0]->layer->hide = true;

        auto control = sub->createObject(kGroup, 0, 0, 99);
        control->effects[0]->getLayerRange()->value = 2;
        sub->createObject(kMovie, 1, 10, 20);
        for (auto* s : {root.get(), sub.get()}) {
            for (auto& slot : s->layers) slot->rangesDirty = true;
            s->update();
        }
    }
};

TEST_F(ProjectFileTest, EmptyRootSceneFile) {
    project.getOrCreateScene(0);
    project.saveProjectFile(path("empty.vpj2"));
    EXPECT_EQ(readText("empty.vpj2"),
              "[project]\r\nfile=\r\ndisplay.scene=0\r\n[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=1920\r\n"
              "video.height=1080\r\nvideo.rate=30\r\nvideo.scale=1\r\naudio.rate=48000\r\ncursor.frame=0\r\n"
              "display.frame=0\r\ndisplay.layer=0\r\ndisplay.zoom=10000\r\ndisplay.order=0\r\ndisplay.camera=\r\n");
    project.getScene(0)->name.clear();
    project.saveProjectFile(path("unnamed.vpj2"));
    EXPECT_EQ(readText("unnamed.vpj2").find("name="), std::string::npos);
    Edit::Project back;
    EXPECT_TRUE(back.loadProjectFile(path("unnamed.vpj2")));
    EXPECT_EQ(back.getScene(0)->name, L"Root");
    EXPECT_TRUE(posted.empty());
}

TEST_F(ProjectFileTest, ReferenceProjectMatchesTheGoldenFileAndReadsBack) {
    buildReference();
    project.saveProjectFile(path("reference.vpj2"));
    const std::string written = readText("reference.vpj2");
    // VELMO_UPDATE_GOLDEN=1 rewrites the golden file after a deliberate format change.
    if (std::getenv("VELMO_UPDATE_GOLDEN"))
        std::ofstream(VELMO_EDIT_TEST_DATA "/reference.vpj2", std::ios::binary) << written;
    std::ifstream golden(VELMO_EDIT_TEST_DATA "/reference.vpj2", std::ios::binary);
    std::ostringstream expected;
    expected << golden.rdbuf();
    EXPECT_EQ(written, expected.str());
    EXPECT_NE(written.substr(0, 3), "\xEF\xBB\xBF");

    Edit::Project back;
    EXPECT_TRUE(back.loadProjectFile(path("reference.vpj2")));
    EXPECT_TRUE(posted.empty());
    project.getScene(0)->layers[4]->layer->hide = false;  // above the last used layer: not written
    EXPECT_EQ(describeProject(back), describeProject(project));
    EXPECT_EQ(back.path, project.path);
    const auto root = back.getScene(0);
    ASSERT_NE(root->focusObject, nullptr);
    EXPECT_EQ(root->focusObject->start, 5);
    // Groups come back as groups: the image and the audio object share one.
    const auto& image = root->getLayer(0).objects.front();
    const auto& audio = root->getLayer(2).objects.front();
    const auto& filters = root->getLayer(2).objects.back();
    EXPECT_EQ(image->group, audio->group);
    EXPECT_NE(filters->group, nullptr);
    EXPECT_NE(filters->group, image->group);
    EXPECT_TRUE(back.getScene(2)->getLayer(0).objects.front()->layerRangeControl);
    EXPECT_EQ(back.getScene(2)->getLayer(0).controlRanges.front().layerCount, 2);

    // Written again, the read-back project gives the same bytes.
    back.saveProjectFile(path("again.vpj2"));
    EXPECT_EQ(readText("again.vpj2"), written);
}

TEST_F(ProjectFileTest, GroupsAreRenumberedInWritingOrder) {
    writeText("groups.vpj2",
              "[scene.0]\r\nscene=0\r\nvideo.width=640\r\nvideo.height=480\r\nvideo.rate=24\r\nvideo.scale=1\r\n"
              "[0]\r\nlayer=0\r\nframe=0,9\r\ngroup=7\r\n[0.0]\r\neffect.name=画像ファイル\r\n"
              "[1]\r\nlayer=1\r\nframe=0,9\r\ngroup=2\r\n[1.0]\r\neffect.name=画像ファイル\r\n"
              "[2]\r\nlayer=2\r\nframe=0,9\r\ngroup=7\r\n[2.0]\r\neffect.name=画像ファイル\r\n");
    ASSERT_TRUE(project.loadProjectFile(path("groups.vpj2")));
    auto scene = project.getScene(0);
    EXPECT_EQ(scene->getLayer(0).objects[0]->group, scene->getLayer(2).objects[0]->group);
    EXPECT_NE(scene->getLayer(1).objects[0]->group, scene->getLayer(0).objects[0]->group);
    project.saveProjectFile(path("out.vpj2"));
    const std::string out = readText("out.vpj2");
    const size_t g1 = out.find("group=1"), g2 = out.find("group=2"), g1b = out.rfind("group=1");
    ASSERT_NE(g1, std::string::npos);
    EXPECT_LT(g1, g2);
    EXPECT_GT(g1b, g2);
    EXPECT_EQ(out.find("group=7"), std::string::npos);
}

TEST_F(ProjectFileTest, MalformedFilesLoadWhatIsSound) {
    const std::string head =
        "[project]\r\nfile=\r\ndisplay.scene=0\r\n"
        "[scene.0]\r\nscene=0\r\nvideo.width=640\r\nvideo.height=480\r\nvideo.rate=24\r\nvideo.scale=1\r\n";
    const auto object = [](int n, const std::string& layer, const std::string& frame, const char* extra = "") {
        const std::string s = std::to_string(n);
        return "[" + s + "]\r\nlayer=" + layer + "\r\nframe=" + frame + "\r\n" + extra + "[" + s +
               ".0]\r\neffect.name=画像ファイル\r\n";
    };
    struct Case {
        const char* what;
        std::string content;
        size_t objects;  // objects on the model after the read
        bool sound;
        bool fatal;
    } cases[] = {
        {"sound", head + object(0, "0", "0,9") + object(1, "1", "0,1,30"), 2, true, false},
        {"negative layer", head + object(0, "-1", "0,9") + object(1, "0", "0,9"), 1, false, false},
        {"huge layer", head + object(0, "2000000000", "0,9") + object(1, "0", "0,9"), 1, false, false},
        {"layer beyond the limit", head + object(0, "10000", "0,9"), 0, false, false},
        {"layer not a number", head + object(0, "x", "0,9"), 0, false, false},
        {"rate 0",
         "[scene.0]\r\nscene=0\r\nvideo.width=640\r\nvideo.height=480\r\nvideo.rate=0\r\nvideo.scale=0\r\n" +
             object(0, "0", "0,9"),
         1, false, false},
        {"size 0 and huge",
         "[scene.0]\r\nscene=0\r\nvideo.width=0\r\nvideo.height=99999\r\nvideo.rate=1\r\n"
         "video.scale=1\r\n",
         0, false, false},
        {"missing required scene key", "[scene.0]\r\nscene=0\r\nvideo.width=640\r\n", 0, false, true},
        {"truncated", head + object(0, "0", "0,9") + "[1]\r\nlayer=0\r\nfra", 1, false, false},
        {"overlapping", head + object(0, "0", "0,9") + object(1, "0", "5,15") + object(2, "0", "10,19"), 2, false,
         false},
        {"shared start", head + object(0, "0", "0,9") + object(1, "0", "0,3"), 1, false, false},
        {"one frame value", head + object(0, "0", "10"), 0, false, false},
        {"end before start", head + object(0, "0", "10,5"), 0, false, false},
        {"midpoint on the start", head + object(0, "0", "0,0,30"), 0, false, false},
        {"frame not a number", head + object(0, "0", "a,9"), 0, false, false},
        {"frame out of range", head + object(0, "0", "0,99999999999"), 0, false, false},
        {"negative start", head + object(0, "0", "-5,9"), 0, false, false},
        {"gap in the objects", head + object(0, "0", "0,9") + object(1, "0", "10,19") + object(3, "0", "20,29"), 2,
         false, false},
        {"gap in the scenes",
         head + "[scene.2]\r\nscene=5\r\nvideo.width=640\r\nvideo.height=480\r\nvideo.rate=24\r\n"
                "video.scale=1\r\n",
         0, false, false},
        {"unknown effect", head + "[0]\r\nlayer=0\r\nframe=0,9\r\n[0.0]\r\neffect.name=無い\r\n", 0, false, false},
        {"no effect", head + "[0]\r\nlayer=0\r\nframe=0,9\r\n", 0, false, false},
        {"misplaced effect", head + "[0]\r\nlayer=0\r\nframe=0,9\r\n[0.0]\r\neffect.name=音声再生\r\n", 0, false,
         false},
        {"later input the chain does not fit",
         head + "[0]\r\nlayer=0\r\nframe=0,9\r\n[0.0]\r\neffect.name=画像ファイル\r\n[0.1]\r\neffect.name=標準描画\r\n"
                "[0.2]\r\neffect.name=音声ファイル\r\n",
         0, false, false},
        {"later input of the same media",
         head + "[0]\r\nlayer=0\r\nframe=0,9\r\n[0.0]\r\neffect.name=画像ファイル\r\n"
                "[0.1]\r\neffect.name=図形\r\n",
         1, true, false},
        {"bad UTF-8 in an effect name", head + "[0]\r\nlayer=0\r\nframe=0,9\r\n[0.0]\r\neffect.name=\xff\xfe\r\n", 0,
         false, false},
        {"bad UTF-8 in a layer name", head + "[layer.0]\r\nlayer=0\r\nname=\xc3\r\n" + object(0, "0", "0,9"), 1, true,
         false},
        {"negative layer section", head + "[layer.0]\r\nlayer=-3\r\nname=x\r\n" + object(0, "0", "0,9"), 1, false,
         false},
        {"layer section of another scene", head + "[layer.0]\r\nlayer=1\r\nscene=3\r\nlock=1\r\n", 0, true, false},
        // Text that holds no project is no project: it does not open empty.
        {"empty file", "", 0, false, true},
        {"random bytes", std::string("\x8f\x00\xff[\n=\x01\x02\r\n\xfe\xe3\x81", 13) + "[0]\r\nlayer=0\r\n", 0, false,
         true},
        {"a layer without scene or project", "[layer.0]\r\nlayer=0\r\n", 0, false, true},
        {"a scene without project", head.substr(head.find("[scene.0]")), 0, true, false},
        {"a project without scene", "[project]\r\nfile=\r\n", 0, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Edit::Project p;
        posted.clear();
        writeText("bad.vpj2", c.content);
        bool sound = false;
        bool fatal = false;
        try {
            sound = p.loadProjectFile(path("bad.vpj2"));
        } catch (const std::exception&) {
            fatal = true;
        }
        EXPECT_EQ(fatal, c.fatal);
        if (fatal) continue;
        EXPECT_EQ(sound, c.sound);
        EXPECT_EQ(posted.size(), c.sound ? 0u : 1u);
        size_t objects = 0;
        for (const auto& [_, scene] : p.scenes) {
            EXPECT_EQ(checkScene(*scene), "");
            for (const auto& slot : scene->layers) objects += slot->objects.size();
            EXPECT_GE(scene->videoRate, 1);
            EXPECT_GE(scene->videoScale, 1);
            EXPECT_GE(scene->videoWidth, 1);
            EXPECT_LE(scene->videoHeight, 16384);
        }
        EXPECT_EQ(objects, c.objects);
    }
}

TEST_F(ProjectFileTest, GapsAndReplacedValuesAreReportedWithTheirSection) {
    const std::string head =
        "[project]\r\nfile=\r\ndisplay.scene=0\r\n"
        "[scene.0]\r\nscene=0\r\nvideo.width=640\r\nvideo.height=480\r\nvideo.rate=24\r\nvideo.scale=1\r\n";
    const std::string image = "[0]\r\nlayer=0\r\nframe=0,9\r\n[0.0]\r\neffect.name=画像ファイル\r\n";
    struct Case {
        const char* what;
        std::string content;
        std::vector<std::string> warned;  // each in the message of one WARN line, in order
        std::string loaded;               // the project as read
    } cases[] = {
        {"gap in the layers",
         head + "[layer.0]\r\nlayer=0\r\nname=a\r\n[layer.2]\r\nlayer=1\r\nname=b\r\n[layer.3]\r\nlayer=2\r\n" + image +
             "[1]\r\nlayer=2\r\nframe=0,9\r\n[1.0]\r\neffect.name=画像ファイル\r\n",
         {"[layer.2] and later not read: [layer.1] is missing"},
         "L0 a\n  0..9 {}\n    画像ファイル\n    標準描画\nL2 \n  0..9 {}\n    画像ファイル\n    標準描画\n"},
        {"gap in an object's effects",
         head + image + "[0.2]\r\neffect.name=ぼかし\r\n[0.3]\r\neffect.name=ぼかし\r\n",
         {"[0.2] and later not read: [0.1] is missing"},
         "L0 \n  0..9 {}\n    画像ファイル\n    標準描画\n"},
        {"gap in the objects",
         head + image + "[2]\r\nlayer=1\r\nframe=0,9\r\n[2.0]\r\neffect.name=画像ファイル\r\n",
         {"[2] and later not read: [1] is missing"},
         "L0 \n  0..9 {}\n    画像ファイル\n    標準描画\n"},
        {"gap in the scenes",
         head + "[scene.3]\r\nscene=4\r\nvideo.width=640\r\nvideo.height=480\r\nvideo.rate=24\r\nvideo.scale=1\r\n",
         {"[scene.3] and later not read: [scene.1] is missing"},
         ""},
        {"layer section naming no layer",
         head + "[layer.0]\r\nlayer=-1\r\nname=x\r\n",
         {"[layer.0] not read: layer=-1"},
         ""},
        {"out-of-range scene values",
         "[scene.0]\r\nscene=0\r\nvideo.width=0\r\nvideo.height=99999\r\nvideo.rate=-1\r\nvideo.scale=0\r\n"
         "audio.rate=0\r\ncursor.frame=-2\r\ndisplay.frame=-3\r\ndisplay.layer=-4\r\n",
         {"[scene.0] video.width=0", "[scene.0] video.height=99999", "[scene.0] video.rate=-1",
          "[scene.0] video.scale=0", "[scene.0] audio.rate=0", "[scene.0] cursor.frame=-2",
          "[scene.0] display.frame=-3", "[scene.0] display.layer=-4"},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Edit::Project p;
        posted.clear();
        writeText("gap.vpj2", c.content);
        LogCapture log;
        EXPECT_FALSE(p.loadProjectFile(path("gap.vpj2")));
        EXPECT_EQ(posted, std::vector<std::wstring>{L"一部のオブジェクトの読み込みに失敗しました"});
        std::vector<std::string> warned;
        for (const auto& line : log.lines)
            if (line.level == "WARN") warned.push_back(line.message);
        EXPECT_EQ(warned.size(), c.warned.size());
        for (size_t i = 0; i < std::min(warned.size(), c.warned.size()); ++i)
            EXPECT_NE(warned[i].find(c.warned[i]), std::string::npos) << warned[i];
        std::string loaded;
        for (const auto& line : describe(*p.getScene(0))) loaded += line;
        // Effect items are left out: only which objects and effects were read matters here.
        std::string shown;
        std::istringstream lines(loaded);
        for (std::string line; std::getline(lines, line);) shown += line.substr(0, line.find(':')) + "\n";
        EXPECT_EQ(shown, c.loaded);
    }
}

TEST_F(ProjectFileTest, ObjectSectionErrorsCarryTheirTexts) {
    struct Case {
        const char* frame;
        bool effect;
        const char* error;  // "" when the object is read
        int32_t start;
    } cases[] = {
        {"10", true, "not enough frame number list. @ Edit::LayerObjectManager::loadObjectIniFile", 0},
        {"10,5", true, "invalid frame number list. @ Edit::LayerObjectManager::loadObjectIniFile", 0},
        {"0,0,30", true, "invalid frame number list. @ Edit::LayerObjectManager::loadObjectIniFile", 0},
        {"0,10,10,30", true, "invalid frame number list. @ Edit::LayerObjectManager::loadObjectIniFile", 0},
        {"0,20,10,30", true, "", 0},  // each value falls inside a section: the midpoints sort themselves
        {"a,9", true, "invalid stoi argument @ Edit::LayerObjectManager::loadObjectIniFile", 0},
        {"0,9", false, "no effect defined. @ Edit::Object::loadEffectIniFile", 0},
        {" 3x,9", true, "", 3},  // leading blanks allowed, trailing text ignored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        writeText("object.vpj2", std::string("[0]\r\nlayer=1\r\nframe=") + c.frame + "\r\n" +
                                     (c.effect ? "[0.0]\r\neffect.name=画像ファイル\r\n" : ""));
        System::IniFile ini;
        ini.loadFile(path("object.vpj2"));
        Edit::Scene scene(0, 0);
        Edit::GroupNumberMap groups;
        std::shared_ptr<Object> read;
        EXPECT_EQ(thrownText([&] { read = Edit::LayerObjectManager::loadObjectIniFile(scene, ini, "0", groups); }),
                  c.error);
        scene.update();
        EXPECT_EQ(checkScene(scene), "");
        if (*c.error) {
            EXPECT_TRUE(scene.getLayer(1).objects.empty());  // taken out again
            continue;
        }
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->start, c.start);
        EXPECT_EQ(scene.getLayer(1).objects.front(), read);
    }
}

TEST_F(ProjectFileTest, LineBreaksInNamesAndPathsReopenEqual) {
    const struct {
        const char* name;
        std::wstring text;
    } breaks[] = {
        {"LF", L"a\nb"},
        {"CR", L"a\rb"},
        {"CR LF", L"a\r\nb"},
        {"trailing CR", L"end\r"},
        {"leading LF", L"\nstart"},
        {"only a break", L"\r\n"},
    };
    for (const auto& b : breaks) {
        SCOPED_TRACE(b.name);
        project.clear();
        buildReference();
        const auto root = project.getScene(0);
        const auto sub = project.getScene(2);
        Edit::Layer& layer = *root->layers[1]->layer;
        auto& effect = *root->getLayer(0).objects.front()->effects[0];
        Effect::EffectItemFile file(&effect.items, L"ファイル");
        // Where names and paths enter the model.
        project.setPath(L"/projects/" + b.text + L"/p.vpj2");
        root->setName(b.text);
        sub->setName(L"サブ" + b.text);
        layer.setName(b.text + L"背景");
        file.setFilePath(L"/media/" + b.text + L".png");
        root->layers[4]->layer->hide = false;  // above the last used layer: not written
        for (const std::wstring* held : {&project.path, &root->name, &sub->name, &layer.name, &file.path})
            EXPECT_EQ(held->find_first_of(L"\r\n"), std::wstring::npos) << System::wideToUtf8(*held);

        project.saveProjectFile(path("breaks.vpj2"));
        Edit::Project again;
        LogCapture log;
        posted.clear();
        EXPECT_TRUE(again.loadProjectFile(path("breaks.vpj2")));
        for (const auto& line : log.lines) EXPECT_NE(line.level, "WARN") << line.message;
        EXPECT_EQ(again.path, project.path);
        // The reopened effect has no file item: its value is looked up in the file.
        System::IniFile written;
        written.loadFile(path("breaks.vpj2"));
        EXPECT_EQ(written.getSection("0.0").findValue("ファイル").text, System::wideToUtf8(file.path));
        effect.items.pop_back();
        EXPECT_EQ(describeProject(again), describeProject(project));
    }

    // Set past the entry points, the writer still keeps every value on its line.
    project.clear();
    buildReference();
    project.path = L"/x\ny.vpj2";
    project.getScene(0)->name = L"r\r\n[scene.9]";
    project.getScene(0)->layers[1]->layer->name = L"l\n";
    project.saveProjectFile(path("raw.vpj2"));
    Edit::Project again;
    EXPECT_TRUE(again.loadProjectFile(path("raw.vpj2")));
    EXPECT_EQ(again.path, L"/x y.vpj2");
    EXPECT_EQ(again.getScene(0)->name, L"r [scene.9]");
    EXPECT_EQ(again.getScene(0)->layers[1]->layer->name, L"l ");
    EXPECT_EQ(again.scenes.size(), 2u);
}

TEST_F(ProjectFileTest, FailedWriteLeavesTheOldFile) {
    buildReference();
    project.saveProjectFile(path("keep.vpj2"));
    const std::string before = readText("keep.vpj2");
    // An effect whose section cannot be written (a null item list entry would
    // crash; a folder in place of the temporary file makes the write fail).
    std::filesystem::create_directories(root_ / "missing-folder");
    std::filesystem::remove_all(root_ / "missing-folder");
    EXPECT_ANY_THROW(project.saveProjectFile(path("missing-folder/x.vpj2")));
    // Replacing an existing file goes through a temporary file: the target is
    // either the old or the new content, and a second save gives the same bytes.
    project.saveProjectFile(path("keep.vpj2"));
    EXPECT_EQ(readText("keep.vpj2"), before);
    std::error_code ec;
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root_, ec)) files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1u);  // no temporary file left behind
}

TEST_F(ProjectFileTest, WriteFailingMidwayKeepsTheOldFile) {
    buildReference();
    project.saveProjectFile(path("keep.vpj2"));
    const std::string before = readText("keep.vpj2");
    // An item whose text cannot be made stops the writer in the last object.
    struct Failing : Effect::EffectItemText {
        using EffectItemText::EffectItemText;
        std::string toString() const override { throw std::runtime_error("no text"); }
    };
    project.getScene(0)->name = L"変更";
    auto& effect = *project.getScene(2)->getLayer(1).objects.front()->effects[0];
    {
        Failing failing(&effect.items, L"壊れ");
        EXPECT_ANY_THROW(project.saveProjectFile(path("keep.vpj2")));
        effect.items.pop_back();
    }
    EXPECT_EQ(readText("keep.vpj2"), before);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root_)) files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1u);  // no partial temporary file left behind
}

TEST_F(ProjectFileTest, FilePathsAreRebasedAfterOneQuestion) {
    auto scene = project.getOrCreateScene(0);
    project.path = L"/old/place/p.vpj2";
    auto a = scene->createObject(kImage, 0, 0, 9);
    auto b = scene->createObject(kImage, 1, 0, 9);
    const std::wstring existing = path("exists.png");
    writeText("exists.png", "x");
    auto& ea = static_cast<TestEffect&>(*a->effects[0]);
    auto& eb = static_cast<TestEffect&>(*b->effects[0]);
    auto fa = std::make_unique<Effect::EffectItemFile>(&ea.items, L"ファイル");
    auto fb = std::make_unique<Effect::EffectItemFile>(&eb.items, L"ファイル");
    auto fc = std::make_unique<Effect::EffectItemFile>(&eb.items, L"別ファイル");
    fa->setFilePath(L"/old/place/media/a.png");
    fb->setFilePath(L"/OLD/Place/b.png");
    fc->setFilePath(existing);
    scene->update();

    int asked = 0;
    int answer = Platform::window::kIdCancel;
    auto previous = Platform::window::setMessageBoxHook([&](const Platform::window::MessageBoxRequest& r) {
        ++asked;
        EXPECT_EQ(r.title, "Velmo Kirta2");
        EXPECT_EQ(r.style & 0xff, Platform::window::kMbOkCancel | Platform::window::kMbIconWarning);
        return answer;
    });
    project.updateEffectItemFilePath(L"/new/spot/p.vpj2");
    EXPECT_EQ(asked, 1);
    std::wstring p;
    fa->getFilePath(p);
    EXPECT_EQ(p, L"/old/place/media/a.png");  // declined: nothing changes

    answer = Platform::window::kIdOk;
    project.updateEffectItemFilePath(L"/new/spot/p.vpj2");
    EXPECT_EQ(asked, 2);
    fa->getFilePath(p);
    EXPECT_EQ(p, L"/new/spot/media/a.png");
    fb->getFilePath(p);
    EXPECT_EQ(p, L"/OLD/Place/b.png");  // counted (case-blind) but the replacement is case-sensitive
    fc->getFilePath(p);
    EXPECT_EQ(p, existing);  // exists: left alone
    Platform::window::setMessageBoxHook(previous);
    ea.items.pop_back();
    eb.items.resize(eb.items.size() - 2);
}

TEST_F(ProjectFileTest, RebasingQuestionIsAskedInTheActiveLanguage) {
    auto scene = project.getOrCreateScene(0);
    project.path = L"/old/place/p.vpj2";
    auto a = scene->createObject(kImage, 0, 0, 9);
    auto& ea = static_cast<TestEffect&>(*a->effects[0]);
    auto fa = std::make_unique<Effect::EffectItemFile>(&ea.items, L"ファイル");
    fa->setFilePath(L"/old/place/a.png");
    scene->update();
    std::vector<std::string> asked;
    auto previous = Platform::window::setMessageBoxHook([&](const Platform::window::MessageBoxRequest& r) {
        asked.push_back(r.text);
        return Platform::window::kIdCancel;
    });
    {
        // The key is written with the file's backslash-n line breaks.
        ActiveLanguage language(
            "[Message]\n"
            "プロジェクトファイルのパスが変更されています。\\n\\n以前のプロジェクトパスの配下の指定"
            "ファイルが存在しない場合は\\n現在のプロジェクトパスの配下に変更しますか？"
            "=The project moved.\\nRe-base missing files?\n");
        project.updateEffectItemFilePath(L"/new/spot/p.vpj2");
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "The project moved.\nRe-base missing files?");
    Platform::window::setMessageBoxHook(previous);
    ea.items.pop_back();
}

TEST_F(ProjectFileTest, RebasingReplacesOnlyTheLeadingFolder) {
    // A folder name may recur further along a path, and the root folder is
    // every separator: only the folder the path begins with is re-based.
    struct Case {
        const wchar_t* project;
        const wchar_t* item;
        const wchar_t* rebased;
    } cases[] = {
        {L"/old/p.vpj2", L"/old/sub/old/a.png", L"/new/spot/sub/old/a.png"},
        {L"/p.vpj2", L"/media/a.png", L"/new/spot/media/a.png"},
    };
    auto previous = Platform::window::setMessageBoxHook(
        [](const Platform::window::MessageBoxRequest&) { return Platform::window::kIdOk; });
    for (const auto& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.item));
        Edit::Project p;
        p.path = c.project;
        auto o = p.getOrCreateScene(0)->createObject(kImage, 0, 0, 9);
        auto& effect = static_cast<TestEffect&>(*o->effects[0]);
        auto file = std::make_unique<Effect::EffectItemFile>(&effect.items, L"ファイル");
        file->setFilePath(c.item);
        p.getScene(0)->update();
        p.updateEffectItemFilePath(L"/new/spot/p.vpj2");
        std::wstring rebased;
        file->getFilePath(rebased);
        EXPECT_EQ(rebased, c.rebased);
        effect.items.pop_back();
    }
    Platform::window::setMessageBoxHook(previous);
}

TEST(GroupNumberMapTest, NumbersFromOneInOrderOfFirstUse) {
    Edit::GroupNumberMap map;
    auto a = std::make_shared<Edit::Group>();
    auto b = std::make_shared<Edit::Group>();
    EXPECT_EQ(map.getNumber(b), 1);
    EXPECT_EQ(map.getNumber(a), 2);
    EXPECT_EQ(map.getNumber(b), 1);
    auto g7 = map.getGroup(7);
    EXPECT_EQ(map.getGroup(7), g7);
    EXPECT_NE(map.getGroup(2), g7);
}

Event::EventService* g_events = nullptr;

intptr_t dispatchCommands(Platform::window::WindowHandle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == Platform::window::kWmUser) g_events->processEventCommandMessage(wParam, lParam);
    return 0;
}

// With no poster installed the text takes the way of every posted error: to
// the main window, then shown on the UI thread in the active language.
TEST(ProjectErrorText, WithoutAPosterItIsAPostedErrorOfTheMainWindow) {
    namespace W = Platform::window;
    const std::wstring partial = L"一部のオブジェクトの読み込みに失敗しました";
    ActiveLanguage language("[Message]\n" + System::wideToUtf8(partial) + "=Some objects could not be read\n");
    Event::EventService events;
    g_events = &events;
    W::WindowDesc desc;
    desc.title = "main";
    desc.procedure = dispatchCommands;
    const W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    Event::setCommandWindow(window);
    const auto previous = Edit::Project::setErrorPoster(nullptr);
    ScriptedBoxes boxes;
    {
        LogCapture log;
        Edit::Project::postError(partial);
        EXPECT_TRUE(boxes.shown.empty());  // shown later, from the queue
        W::Message msg;
        while (W::peekMessage(msg, nullptr, 0, 0, W::kPmRemove)) W::dispatchMessage(msg);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "Some objects could not be read");
        EXPECT_EQ(boxes.shown[0].title, "Velmo Kirta2");
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0].scope, "Dialog::showError");
    }

    // No main window to post to: the text is logged.
    Event::setCommandWindow(nullptr);
    {
        LogCapture log;
        Edit::Project::postError(partial);
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0].level, "ERROR");
        EXPECT_EQ(log.lines[0].message, System::wideToUtf8(partial));
    }
    EXPECT_EQ(boxes.shown.size(), 1u);
    Edit::Project::setErrorPoster(previous);
    W::destroyWindow(window);
    g_events = nullptr;
}

}  // namespace
