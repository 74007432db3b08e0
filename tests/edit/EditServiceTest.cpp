#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "core/File.h"
#include "core/IniFile.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "core/Timer.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/KeyHoldRouter.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/ObjectClipboard.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "edit/support/TestCatalog.h"
#include "effect/AnchorCommands.h"
#include "effect/ModelQueries.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "ui/dialogs/EditServiceDialogs.h"
#include "support/LogCapture.h"
#include "support/ScriptedFiles.h"
#include "support/TestFolders.h"

namespace {

namespace W = Platform::window;
using Edit::EditService;
using Strings = std::vector<std::wstring>;

// Posted errors wait for the main window; one made for a moment shows them
// (and those kept while no window was ever made) from its queue.
void showPosted() {
    W::WindowDesc desc;
    desc.procedure = [](W::WindowHandle, uint32_t message, uintptr_t wParam, intptr_t lParam) -> intptr_t {
        if (message == W::kWmUser) Event::EventService::get()->processEventCommandMessage(wParam, lParam);
        return 0;
    };
    const W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    Event::setCommandWindow(window);
    W::Message message;
    while (W::peekMessage(message, window, 0, 0, W::kPmRemove)) W::dispatchMessage(message);
    Event::setCommandWindow(nullptr);
    W::destroyWindow(window);
}

// Message boxes answered from a queue (OK once it is empty), each one kept.
struct AnsweredBoxes {
    std::deque<int> answers;
    std::vector<W::MessageBoxRequest> shown;
    W::MessageBoxHook previous;
    AnsweredBoxes() {
        previous = W::setMessageBoxHook([this](const W::MessageBoxRequest& r) {
            shown.push_back(r);
            if (answers.empty()) return W::kIdOk;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~AnsweredBoxes() { W::setMessageBoxHook(previous); }
    // The texts shown so far, posted errors included.
    std::vector<std::string> texts() const {
        showPosted();
        std::vector<std::string> t;
        for (const auto& r : shown) t.push_back(r.text);
        return t;
    }
};

// The program's boxes and save dialog, with the scene, name and frame-length
// questions answered from the headless queues.
struct QueuedQuestionDialogs : Dialog::EditServiceDialogs {
    bool sceneDialog(const std::wstring& title, bool withName, Edit::SceneValues& values) override {
        return HeadlessDialogs::sceneDialog(title, withName, values);
    }
    bool inputName(const std::wstring& title, std::wstring& name) override {
        return HeadlessDialogs::inputName(title, name);
    }
    bool frameLengthDialog(const std::wstring& title, int32_t rate, int32_t scale, int32_t& frames) override {
        return HeadlessDialogs::frameLengthDialog(title, rate, scale, frames);
    }
};

class EditServiceTest : public TestFolders {
protected:
    EditTest::TestCatalog catalog;
    System::ServiceHolder<Event::EventService> events;
    System::ServiceHolder<Undo::UndoService> undoService;
    std::optional<System::ServiceHolder<EditService>> holder;
    std::shared_ptr<QueuedQuestionDialogs> dialogs = std::make_shared<QueuedQuestionDialogs>();
    AnsweredBoxes boxes;
    ScriptedFiles files;
    std::vector<int> sceneCalls;
    int selectionCalls = 0;
    std::vector<int> cursorCalls;
    int32_t nextLayer_ = 0;

    void SetUp() override {
        TestFolders::SetUp();
        EditService::setDialogs(dialogs);
        start();
        events.get()->sceneListeners.add([this](int id) { sceneCalls.push_back(id); });
        events.get()->selectionListeners.add([this] { ++selectionCalls; });
        events.get()->cursorFrameListeners.add([this](int f) { cursorCalls.push_back(f); });
    }
    void TearDown() override {
        holder.reset();
        EditService::setDialogs(nullptr);
        TestFolders::TearDown();
    }
    void start() { holder.emplace(); }
    // Ends the service as shutdown does (the recent list is written) and builds it again.
    void restart() {
        holder.reset();
        start();
    }
    EditService& service() { return *holder->get(); }
    Undo::UndoService& undo() { return *undoService.get(); }
    Edit::Scene& current() { return *service().currentScene(); }

    std::filesystem::path backup() const { return appData() / "Backup"; }
    std::filesystem::path resume() const { return appData() / "resume.vpj2"; }
    std::filesystem::path store() const { return appData() / "history.ini"; }

    // A project file of one root scene with the name and width.
    std::wstring writeProject(const std::string& file, const std::wstring& name, int32_t width = 1280) {
        Edit::Project project;
        auto scene = project.getOrCreateScene(0);
        scene->name = name;
        scene->videoWidth = width;
        const std::wstring path = wide(root_ / file);
        project.saveProjectFile(path);
        return path;
    }
    // An edit of the current scene as a command makes it: one scope, one undo step.
    void editScene(const std::wstring& name) {
        auto scope = service().openSection();
        undo().openRecord(*scope);
        auto object = current().createObject(EditTest::kImage, nextLayer_++, 0, 9);
        undo().addObjectUndoCreate(object);
        scope->layersChanged = true;
        current().name = name;
    }
    // An object covering [start, end] on scene id, so that its length is end.
    void fill(int32_t id, int32_t end) {
        auto scope = service().openSection();
        auto scene = service().project().getScene(id);
        scene->createObject(EditTest::kImage, 0, 0, end);
        scene->update();
    }
    // The project as its file holds it, for comparing two models.
    static std::string fileText(const Edit::Project& project, const std::filesystem::path& where) {
        project.saveProjectFile(wide(where));
        return readFile(where);
    }
    std::string reopened(const std::wstring& path) {
        Edit::Project project;
        project.loadProjectFile(path);
        return fileText(project, root_ / "reopened.txt");
    }
    Strings backupFiles(const char* pattern = "*.vpj2") const {
        Strings names;
        for (const auto& entry : System::findFilesByPattern(wide(backup() / pattern))) names.push_back(entry.name);
        return names;
    }
};

TEST_F(EditServiceTest, CommandLineOpensTheLastArgumentWithTheProjectExtension) {
    struct Case {
        Strings arguments;
        std::wstring expected;
    };
    const Case cases[] = {
        {{L"velmo2", L"-x", L"/y", L"a.vpj2", L"B.VPJ2"}, L"B.VPJ2"},
        {{L"velmo2", L"a.txt"}, L""},
        {{L"a.vpj2"}, L""},  // the program's own name is no argument
        {{}, L""},
        // An absolute path is a path, not an option; '-' marks an option.
        {{L"velmo2", L"/home/u/movie.vpj2", L"-o.vpj2"}, L"/home/u/movie.vpj2"},
        {{L"velmo2", L"a.vpj2", L"b.vpj2x", L"c.vpj"}, L"a.vpj2"},
        // The extension is read after expansion; the argument is returned as given.
        {{L"velmo2", L"%AppData%/r.VpJ2"}, L"%AppData%/r.VpJ2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditService::processCommandLine(c.arguments), c.expected) << c.arguments.size();
}

TEST_F(EditServiceTest, LoadAdoptsThePathAndSaveClearsTheModifiedFlag) {
    const std::wstring path = writeProject("a.vpj2", L"opened");
    LogCapture log;
    ASSERT_TRUE(service().loadProject(path, false, true));
    EXPECT_EQ(current().name, L"opened");
    EXPECT_EQ(current().videoWidth, 1280);
    EXPECT_EQ(service().project().path, path);
    EXPECT_EQ(service().projectHistory().getItemList(), (Strings{path}));
    EXPECT_EQ(sceneCalls.back(), 0);
    EXPECT_EQ(undo().history(), &current().undoHistory);
    EXPECT_EQ(dialogs->footerTexts, (std::deque<std::wstring>{L"Loading...", L""}));

    editScene(L"changed");
    EXPECT_TRUE(undo().modified);
    ASSERT_TRUE(service().saveProjectOverwrite());
    EXPECT_FALSE(undo().modified);
    EXPECT_EQ(reopened(path), fileText(service().project(), root_ / "model.txt"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(EditServiceTest, FailedLoadLeavesAnEmptyProjectWithoutPathOrHistory) {
    const std::wstring good = writeProject("good.vpj2", L"good");
    ASSERT_TRUE(service().loadProject(good, false, true));
    restart();  // history.ini now holds good.vpj2
    const std::string storeBefore = readFile(store());

    // The scene section lacks its required id: reading throws.
    const std::string broken = "[project]\r\nfile=/elsewhere/x.vpj2\r\ndisplay.scene=0\r\n[scene.0]\r\nname=x\r\n";
    writeFile(root_ / "broken.vpj2", broken);
    const std::wstring path = wide(root_ / "broken.vpj2");
    EXPECT_FALSE(service().loadProject(path, false, true));

    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"プロジェクトの読み込みに失敗しました"}));
    EXPECT_EQ(boxes.shown[0].title, "Velmo Kirta2");
    EXPECT_TRUE(boxes.shown[0].style & W::kMbIconError);
    EXPECT_TRUE(service().project().path.empty());
    EXPECT_EQ(service().project().scenes.size(), 1u);
    EXPECT_EQ(current().id, 0);
    EXPECT_EQ(current().length, 0);
    EXPECT_EQ(current().name, Edit::Scene::getDefaultName(0));
    EXPECT_EQ(undo().history(), &current().undoHistory);
    EXPECT_EQ(service().projectHistory().getItemList(), (Strings{good}));

    // A later save cannot reach the unreadable file: there is no path to overwrite.
    EXPECT_FALSE(service().saveProjectOverwrite());  // the save dialog is cancelled
    EXPECT_EQ(readFile(root_ / "broken.vpj2"), broken);
    holder.reset();
    EXPECT_EQ(readFile(store()), storeBefore);
}

// A file that holds no project fails to open like a broken one: the user is
// told, the failure is logged once, and neither its path nor the recent list
// takes it, so a save cannot write over it.
TEST_F(EditServiceTest, AFileThatIsNoProjectIsNotOpenedAndNotOverwritten) {
    const std::wstring good = writeProject("good.vpj2", L"good");
    ASSERT_TRUE(service().loadProject(good, false, true));
    std::string noise(65536, '\0');
    uint32_t state = 12345;
    for (char& c : noise) c = char((state = state * 1103515245u + 12345u) >> 24);
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> make;
    };
    const Case cases[] = {
        {"random bytes", [&](const std::filesystem::path& p) { writeFile(p, noise); }},
        {"an empty file", [](const std::filesystem::path& p) { writeFile(p, ""); }},
        {"text without sections", [](const std::filesystem::path& p) { writeFile(p, "hello\r\nworld=1\r\n"); }},
        {"an invalid scene number",
         [](const std::filesystem::path& p) {
             writeFile(p, "[project]\r\nfile=\r\ndisplay.scene=0\r\n[scene.0]\r\nscene=zero\r\n");
         }},
        {"a folder", [](const std::filesystem::path& p) { std::filesystem::create_directories(p / "inner"); }},
        {"an unreadable file",
         [](const std::filesystem::path& p) {
             writeFile(p, "[project]\r\nfile=\r\n");
             std::filesystem::permissions(p, std::filesystem::perms::none);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::filesystem::path where = root_ / (std::string(c.what) + ".vpj2");
        c.make(where);
        if (std::string(c.what) == "an unreadable file" && std::ifstream(where).good()) continue;  // run as root
        const std::string before = std::filesystem::is_regular_file(where) ? readFile(where) : "";
        boxes.shown.clear();
        LogCapture log;
        EXPECT_FALSE(service().loadProject(wide(where), false, true));
        EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"プロジェクトの読み込みに失敗しました"}));
        EXPECT_TRUE(service().project().path.empty());
        EXPECT_EQ(service().projectHistory().getItemList(), (Strings{good}));
        // The failure is logged once, by the exception itself.
        int errors = 0;
        std::string logged;
        for (const auto& line : log.lines)
            if (line.level == "ERROR" && line.scope.rfind("Dialog::", 0) != 0) {  // not the box's own lines
                ++errors;
                logged += line.scope + " " + line.message + "\n";
            }
        EXPECT_EQ(errors, 1) << logged;
        EXPECT_FALSE(service().saveProjectOverwrite());  // the save dialog is cancelled
        if (std::filesystem::is_regular_file(where)) {
            std::filesystem::permissions(where, std::filesystem::perms::owner_all);
            EXPECT_TRUE(readFile(where) == before) << "the file was overwritten";  // too long to print
        } else {
            EXPECT_TRUE(std::filesystem::is_directory(where / "inner"));
        }
    }
}

TEST_F(EditServiceTest, MissingFileChangesNothing) {
    editScene(L"kept");
    EXPECT_FALSE(service().loadProject(wide(root_ / "none.vpj2"), false, true));
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"指定のファイルが存在しません"}));
    EXPECT_EQ(current().name, L"kept");
    EXPECT_TRUE(undo().modified);
}

TEST_F(EditServiceTest, FailedSaveIsReportedAndSaveAsKeepsTheOldPath) {
    const std::wstring path = writeProject("a.vpj2", L"a");
    ASSERT_TRUE(service().loadProject(path, false, true));
    editScene(L"changed");
    const std::wstring unwritable = wide(root_ / "missing-folder" / "b.vpj2");

    EXPECT_FALSE(service().saveProject(unwritable, false));
    EXPECT_TRUE(undo().modified);
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"プロジェクトの保存に失敗しました"}));

    files.answers.push_back((root_ / "missing-folder" / "b.vpj2").string());
    EXPECT_FALSE(service().saveProjectAs());
    EXPECT_EQ(service().project().path, path);
    EXPECT_TRUE(undo().modified);
    EXPECT_EQ(service().projectHistory().getItemList(), (Strings{path}));

    // Save-as to a new place adopts it once written.
    const std::wstring other = wide(root_ / "c.vpj2");
    files.answers.push_back((root_ / "c.vpj2").string());
    sceneCalls.clear();
    EXPECT_TRUE(service().saveProjectAs());
    EXPECT_EQ(service().project().path, other);
    EXPECT_EQ(sceneCalls, (std::vector<int>{0}));
    EXPECT_FALSE(undo().modified);
    EXPECT_EQ(service().projectHistory().getItemList(), (Strings{other, path}));
    EXPECT_EQ(files.asked.back().path, System::wideToUtf8(path));  // prefilled with the project's path
    EXPECT_TRUE(files.asked.back().save);
}

TEST_F(EditServiceTest, SaveAsOverAnExistingFileAsksBeforeReplacingIt) {
    const std::wstring path = writeProject("a.vpj2", L"a");
    const std::wstring taken = writeProject("taken.vpj2", L"taken");
    ASSERT_TRUE(service().loadProject(path, false, true));
    editScene(L"changed");
    // No: the dialog comes again, and Cancel there keeps everything.
    boxes.answers = {W::kIdNo};
    files.answers = {System::wideToUtf8(taken)};
    EXPECT_FALSE(service().saveProjectAs());
    ASSERT_EQ(files.asked.size(), 2u);
    EXPECT_EQ(files.asked[1].path, System::wideToUtf8(taken)) << "asked again with the refused name";
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].style & 0xFu, W::kMbYesNo);
    EXPECT_EQ(service().project().path, path);

    // Yes replaces it. A name typed without an extension gets the project's.
    boxes.answers = {W::kIdYes};
    files.answers = {(root_ / "taken").string()};
    EXPECT_TRUE(service().saveProjectAs());
    EXPECT_EQ(service().project().path, taken);
    EXPECT_FALSE(undo().modified);
}

TEST_F(EditServiceTest, QuietSaveLeavesTheModifiedFlagAndTheRecentList) {
    editScene(L"unsaved");
    EXPECT_TRUE(service().saveProject(wide(root_ / "quiet.vpj2"), true));
    EXPECT_TRUE(undo().modified);
    EXPECT_EQ(service().projectHistory().size(), 0u);
    EXPECT_TRUE(dialogs->footerTexts.empty());
    EXPECT_TRUE(service().saveProject(wide(root_ / "loud.vpj2"), false));
    EXPECT_FALSE(undo().modified);
}

TEST_F(EditServiceTest, ConfirmDiscardAsksOnlyForModifiedWork) {
    struct Case {
        bool modified;
        std::optional<int> answer;
        bool result;
    };
    for (const Case& c :
         {Case{false, std::nullopt, true}, Case{true, W::kIdOk, true}, Case{true, W::kIdCancel, false}}) {
        boxes.shown.clear();
        undo().modified = c.modified;
        if (c.answer) boxes.answers.push_back(*c.answer);
        EXPECT_EQ(service().confirmDiscard(), c.result);
        ASSERT_EQ(boxes.shown.size(), c.answer ? 1u : 0u);
        if (c.answer) {
            EXPECT_EQ(boxes.shown[0].text, "現在の編集データは破棄されますがよろしいですか？");
            EXPECT_EQ(boxes.shown[0].style, W::kMbOkCancel | W::kMbIconWarning | W::kMbTaskModal);
            EXPECT_EQ(boxes.shown[0].owner, nullptr);
        }
    }
}

TEST_F(EditServiceTest, DeletingAScene) {
    struct Case {
        const char* what;
        int32_t current;  // the scene shown
        int32_t doomed;
        int32_t doomedLength;  // 0: empty
        int32_t currentLength;
        std::optional<int> answer;  // the question's answer, when one is asked
        std::string question;
        bool deleted;
        int32_t after;  // the scene shown afterwards
    };
    const Case cases[] = {
        {"root", 0, 0, 5, 0, std::nullopt, "", false, 0},
        {"unknown id", 1, 7, 0, 0, std::nullopt, "", false, 1},
        {"empty other scene", 1, 2, 0, 9, std::nullopt, "", true, 1},
        {"other scene with objects", 1, 2, 9, 0, W::kIdOk, "シーンを削除しますか？", true, 1},
        {"declined", 1, 2, 9, 0, W::kIdCancel, "シーンを削除しますか？", false, 1},
        {"current scene", 2, 2, 9, 9, W::kIdOk, "現在のシーンを削除しますか？", true, 0},
        {"empty current scene", 2, 2, 0, 0, std::nullopt, "", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        service().clearProject();
        for (int32_t id : {1, 2}) {
            auto scope = service().openSection();
            service().project().getOrCreateScene(id);
        }
        if (c.doomedLength > 0 && c.doomed != 0) fill(c.doomed, c.doomedLength);
        if (c.currentLength > 0 && c.current != c.doomed) fill(c.current, c.currentLength);
        service().updateScene(c.current);
        boxes.shown.clear();
        if (c.answer) boxes.answers.push_back(*c.answer);
        sceneCalls.clear();

        service().deleteScene(c.doomed);
        EXPECT_EQ(boxes.texts(),
                  c.question.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.question});
        EXPECT_EQ(service().project().getScene(c.doomed) == nullptr, c.deleted || c.doomed == 7);
        EXPECT_EQ(current().id, c.after);
        EXPECT_EQ(undo().history(), &current().undoHistory);
        if (c.deleted)
            EXPECT_EQ(sceneCalls, (std::vector<int>{c.after}));
        else
            EXPECT_TRUE(sceneCalls.empty());
    }
}

TEST_F(EditServiceTest, SceneDialogsCreateRenameAndSetUpScenes) {
    {
        auto scope = service().openSection();
        current().videoWidth = 640;
    }
    LogCapture log;
    // New scene: prefilled with the default name and the current scene's format.
    dialogs->sceneAnswers.push_back(Edit::SceneValues{L"Mine", 800, 600, 24, 1, 44100});
    ASSERT_TRUE(service().newScene());
    const auto& asked = dialogs->asked.back();
    EXPECT_EQ(asked.title, L"シーンを作成");
    EXPECT_EQ(asked.values.name, Edit::Scene::getDefaultName(1));
    EXPECT_EQ(asked.values.width, 640);
    EXPECT_EQ(current().id, 1);
    EXPECT_EQ(current().name, L"Mine");
    EXPECT_EQ(current().videoWidth, 800);
    EXPECT_EQ(current().audioRate, 44100);
    EXPECT_EQ(sceneCalls, (std::vector<int>{1}));
    EXPECT_EQ(undo().history(), &current().undoHistory);
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines.back().scope, "Edit::EditService::createScene");
    // The log names the scene as it was made, before the dialog's name.
    EXPECT_EQ(log.lines.back().message,
              "set current scnene (create) [" + System::wideToUtf8(Edit::Scene::getDefaultName(1)) + "](1)");

    // The effect framework finds scenes of the open project by name and id.
    std::wstring found;
    EXPECT_TRUE(Effect::modelQueries().findSceneName(1, found));
    EXPECT_EQ(found, L"Mine");
    EXPECT_EQ(Effect::modelQueries().findSceneId(L"Mine"), 1);

    // Cancel creates nothing.
    EXPECT_FALSE(service().newScene());
    EXPECT_EQ(service().project().scenes.size(), 2u);

    // Renaming and setting up the root scene while scene 1 is shown tell the
    // listeners about scene 1.
    sceneCalls.clear();
    dialogs->nameAnswers.push_back(L"Base");
    service().renameScene(0);
    EXPECT_EQ(service().getSceneName(0), L"Base");
    dialogs->nameAnswers.push_back(L"");  // a name is required
    service().renameScene(0);
    EXPECT_EQ(service().getSceneName(0), L"Base");
    dialogs->sceneAnswers.push_back(Edit::SceneValues{L"Root", 320, 240, 60, 2, 8000});
    service().settingScene(0);
    const auto root = service().project().getScene(0);
    EXPECT_EQ(root->name, L"Root");
    EXPECT_EQ(root->videoRate, 60);
    EXPECT_EQ(root->videoScale, 2);
    EXPECT_EQ(sceneCalls, (std::vector<int>{1, 1}));
    service().renameScene(9);  // no such scene: no dialog
    EXPECT_EQ(dialogs->asked.back().title, L"シーンの設定");
    EXPECT_EQ(service().getSceneName(9), L"");
}

TEST_F(EditServiceTest, CreateProjectStartsAFreshRootSceneFromTheDialog) {
    editScene(L"old");
    boxes.answers.push_back(W::kIdCancel);
    EXPECT_FALSE(service().createProject());  // unsaved work kept
    EXPECT_EQ(current().name, L"old");

    dialogs->sceneAnswers.push_back(Edit::SceneValues{L"ignored", 1280, 720, 60000, 1001, 48000});
    ASSERT_TRUE(service().createProject());
    const auto& asked = dialogs->asked.back();
    EXPECT_EQ(asked.title, L"プロジェクトを作成");
    EXPECT_FALSE(asked.withName);
    EXPECT_EQ(asked.values.width, 1920);
    EXPECT_EQ(asked.values.height, 1080);
    EXPECT_EQ(asked.values.rate, 30);
    EXPECT_EQ(asked.values.scale, 1);
    EXPECT_EQ(asked.values.audioRate, 44100);
    EXPECT_EQ(current().name, Edit::Scene::getDefaultName(0));
    EXPECT_EQ(current().videoWidth, 1280);
    EXPECT_EQ(current().videoRate, 60000);
    EXPECT_EQ(current().length, 0);
    EXPECT_FALSE(undo().modified);
    EXPECT_FALSE(undo().canUndo());
    EXPECT_NE(service().backupHistory().timer().id(), 0u);  // re-armed
}

TEST_F(EditServiceTest, ClearingPointsUndoAtTheNewRootScene) {
    editScene(L"a");
    ASSERT_TRUE(undo().canUndo());
    service().objectClipboard = std::make_shared<Edit::ObjectClipboard>();
    service().clearProject();
    EXPECT_EQ(undo().history(), &current().undoHistory);
    EXPECT_FALSE(undo().canUndo());
    EXPECT_FALSE(undo().modified);
    EXPECT_EQ(service().objectClipboard, nullptr);
    // Undo and redo run on the new scene through the service's scope.
    nextLayer_ = 0;
    editScene(L"b");
    undo().undo();
    EXPECT_EQ(current().length, 0);
    undo().redo();
    EXPECT_EQ(current().length, 9);
}

TEST_F(EditServiceTest, CursorStaysInsideTheScene) {
    fill(0, 100);
    struct Case {
        int32_t frame, stored;
    };
    for (const Case& c : {Case{-5, 0}, Case{0, 0}, Case{50, 50}, Case{100, 100}, Case{101, 100}}) {
        cursorCalls.clear();
        service().setCursorFrame(c.frame);
        EXPECT_EQ(current().cursorFrame, c.stored);
        EXPECT_EQ(cursorCalls, (std::vector<int>{c.stored}));
    }
}

TEST_F(EditServiceTest, SelectionSkipsLockedLayersButStillNotifies) {
    std::shared_ptr<Edit::Object> open, locked;
    {
        auto scope = service().openSection();
        scope->layersChanged = true;
        open = current().createObject(EditTest::kImage, 0, 0, 9);
        locked = current().createObject(EditTest::kImage, 1, 0, 9);
        current().getLayer(1).layer->lock = true;
    }
    EXPECT_TRUE(service().addSelectObject(locked, true));
    EXPECT_TRUE(current().selection.objects.empty());
    EXPECT_EQ(selectionCalls, 1);
    EXPECT_TRUE(service().addSelectObject(open, false));
    EXPECT_FALSE(service().addSelectObject(open, true));
    EXPECT_EQ(selectionCalls, 1);
    EXPECT_TRUE(open->selected);
    service().clearSelectObject(true);
    EXPECT_FALSE(open->selected);
    EXPECT_EQ(selectionCalls, 2);
    service().clearSelectObject(true);  // already empty: no call
    EXPECT_EQ(selectionCalls, 2);
}

// A mouse router with the state a case gives.
struct FakeRouter : Edit::KeyHoldRouter {
    bool ctrlDown = false;
    bool focusTarget = false;
    std::optional<uint32_t> hold;
    Window::WindowControl* holder = nullptr;
    bool hasKeyHoldTarget() const override { return hold.has_value(); }
    uint32_t keyHoldCode() const override { return hold.value_or(0); }
    bool hasFocusTarget() const override { return focusTarget; }
    bool isKeyDown(uint32_t key) const override { return ctrlDown && key == kControlKey; }
    void setKeyHoldTarget(Window::WindowControl* control, uint32_t code) override {
        holder = control;
        hold = code;
    }
};

TEST_F(EditServiceTest, ClicksSelectAndHoldCtrlOnTheControl) {
    auto router = std::make_shared<FakeRouter>();
    auto previous = EditService::setKeyHoldRouter(router);
    auto* control = reinterpret_cast<Window::WindowControl*>(0x1000);
    std::shared_ptr<Edit::Object> a, b;
    {
        auto scope = service().openSection();
        scope->layersChanged = true;
        a = current().createObject(EditTest::kImage, 0, 0, 9);
        b = current().createObject(EditTest::kImage, 1, 0, 9);
    }
    service().clickSelectObject(control, a, false);
    EXPECT_EQ(router->hold, Edit::KeyHoldRouter::kControlKey);
    EXPECT_EQ(router->holder, control);
    EXPECT_EQ(selectionCalls, 1);
    service().clickSelectObject(nullptr, a, true);  // already selected: nothing
    EXPECT_EQ(selectionCalls, 1);
    EXPECT_EQ(router->holder, control);

    struct Case {
        const char* what;
        bool ctrlDown, focusTarget;
        std::optional<uint32_t> hold;
        bool kept;
        std::optional<uint32_t> holdAfter;
    };
    constexpr uint32_t kCtrl = Edit::KeyHoldRouter::kControlKey, kFocus = Edit::KeyHoldRouter::kFocusHold;
    const Case cases[] = {
        {"plain click", false, false, std::nullopt, false, std::nullopt},
        {"ctrl held", true, false, std::nullopt, true, kCtrl},
        {"ctrl already holding", false, false, kCtrl, true, kCtrl},
        {"focus target", false, true, std::nullopt, true, kFocus},
        {"focus already holding", false, true, kFocus, true, kFocus},
        {"another hold", false, true, 65u, false, 65u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        service().clearSelectObject(false);
        service().addSelectObject(b, false);
        router->ctrlDown = c.ctrlDown;
        router->focusTarget = c.focusTarget;
        router->hold = c.hold;
        service().clickClearSelection(control);
        EXPECT_EQ(current().selection.objects.size(), c.kept ? 1u : 0u);
        EXPECT_EQ(router->hold, c.holdAfter);
    }
    EditService::setKeyHoldRouter(previous);
}

TEST_F(EditServiceTest, LayerNamesFallBackToTheNumberedWord) {
    {
        auto scope = service().openSection();
        current().reserveLayer(2);
        current().getLayer(2).layer->name = L"Titles";
    }
    EXPECT_EQ(service().getLayerName(0), L"Layer1");
    EXPECT_EQ(service().getLayerName(2), L"Titles");
    EXPECT_EQ(service().getLayerName(99), L"Layer100");
}

TEST_F(EditServiceTest, StartupOpensTheResumeFileOnlyWhenAsked) {
    struct Case {
        const char* what;
        int32_t editResume;
        bool resumeFile;
        std::wstring name;          // the scene opened
        std::vector<int> sceneIds;  // scene listener calls of start-up itself
    };
    const Case cases[] = {
        {"resume", 1, true, L"resumed", {0, 0}},  // the clear, then the opened project
        {"resume without file", 1, false, Edit::Scene::getDefaultName(0), {}},
        {"no resume", 0, true, Edit::Scene::getDefaultName(0), {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(resume());
        if (c.resumeFile) {
            // The resume file keeps the path of the project it stands for.
            Edit::Project project;
            project.path = L"/projects/movie.vpj2";
            project.getOrCreateScene(0)->name = L"resumed";
            project.saveProjectFile(wide(resume()));
        }
        restart();
        service().settings().editResume = c.editResume;
        sceneCalls.clear();
        service().onStartup();
        EXPECT_EQ(current().name, c.name);
        EXPECT_EQ(sceneCalls, c.sceneIds);
        if (c.editResume && c.resumeFile) {
            EXPECT_EQ(service().project().path, L"/projects/movie.vpj2");
            EXPECT_EQ(service().projectHistory().getItem(0), L"/projects/movie.vpj2");
        }
    }
}

TEST_F(EditServiceTest, StartupTrimsBothListsToTheirSettings) {
    holder.reset();  // its shutdown would write the store
    writeFile(store(), "[project]\r\n1=/p/1.vpj2\r\n2=/p/2.vpj2\r\n3=/p/3.vpj2\r\n4=/p/4.vpj2\r\n5=/p/5.vpj2\r\n");
    for (const char* day : {"01", "02", "03", "04"})
        writeFile(backup() / (std::string("AutoBackup_2026-01-") + day + "_00-00-00-000.vpj2"), "x");
    writeFile(backup() / "ExceptionBackup_2026-01-01_00-00-00-000.vpj2", "x");
    start();
    service().settings().historyFileMax = 3;
    service().settings().autoBackupFileMax = 2;
    service().settings().autoBackupInterval = 0;
    service().onStartup();
    EXPECT_EQ(service().projectHistory().getItemList(), (Strings{L"/p/1.vpj2", L"/p/2.vpj2", L"/p/3.vpj2"}));
    // The store keeps its five keys until shutdown writes the three.
    EXPECT_NE(readFile(store()).find("5=/p/5.vpj2"), std::string::npos);
    EXPECT_EQ(backupFiles("AutoBackup_*.vpj2").size(), 2u);
    EXPECT_EQ(backupFiles("ExceptionBackup_*.vpj2").size(), 1u);
    EXPECT_EQ(service().backupHistory().timer().id(), 0u);  // interval 0 arms nothing
    holder.reset();
    EXPECT_EQ(readFile(store()), "[project]\r\n1=/p/1.vpj2\r\n2=/p/2.vpj2\r\n3=/p/3.vpj2\r\n");
}

TEST_F(EditServiceTest, ExitWritesTheResumeFileWhenResumingIsOn) {
    editScene(L"resume me");
    service().settings().editResume = 0;
    service().onExit();
    EXPECT_FALSE(std::filesystem::exists(resume()));
    service().settings().editResume = 1;
    service().onExit();
    ASSERT_TRUE(std::filesystem::exists(resume()));
    EXPECT_EQ(reopened(wide(resume())), fileText(service().project(), root_ / "model.txt"));
    EXPECT_TRUE(boxes.shown.empty());

    // A resume file that cannot be written is reported once, at once.
    std::filesystem::remove(resume());
    std::filesystem::create_directories(resume() / "in the way");
    service().onExit();
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"プロジェクトの保存に失敗しました"}));
}

TEST_F(EditServiceTest, ApplicationExceptionBacksUpAndDropsTheResumeFile) {
    editScene(L"rescued");
    writeFile(resume(), "stale");
    service().settings().editResume = 1;
    service().updateBackupTimer();
    LogCapture log;
    service().applicationException(std::runtime_error("render failed"));

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Velmo Kirta2 : Application Exception");
    EXPECT_EQ(boxes.shown[0].text, "render failed\n\nプロジェクトをバックアップしてアプリケーションを終了します");
    EXPECT_EQ(boxes.shown[0].style, W::kMbOk | W::kMbIconError | W::kMbTaskModal);
    EXPECT_EQ(log.lines.front().scope, "Dialog::showException");
    EXPECT_EQ(log.lines.front().level, "ERROR");
    const Strings backups = backupFiles("ExceptionBackup_*.vpj2");
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(reopened(backups[0]), fileText(service().project(), root_ / "model.txt"));
    EXPECT_FALSE(std::filesystem::exists(resume()));
    EXPECT_EQ(service().backupHistory().timer().id(), 0u);
    EXPECT_TRUE(undo().modified);

    service().onExit();  // an exception exit writes no resume file
    EXPECT_FALSE(std::filesystem::exists(resume()));
}

TEST_F(EditServiceTest, AutomaticBackupWritesOnlyChangedWorkAndKeepsEmergencyBackups) {
    writeFile(backup() / "ExceptionBackup_2000-01-01_00-00-00-000.vpj2", "emergency");
    writeFile(backup() / "AutoBackup_2000-01-01_00-00-00-000.vpj2", "old");
    restart();
    service().settings().autoBackupFileMax = 1;
    service().onStartup();
    const uintptr_t timer = service().backupHistory().timer().id();
    ASSERT_NE(timer, 0u);
    const auto tick = [timer] { System::Timer::timerProc(nullptr, 0, timer, 0); };

    tick();  // nothing changed since start-up
    EXPECT_EQ(backupFiles("AutoBackup_*.vpj2"), (Strings{wide(backup() / "AutoBackup_2000-01-01_00-00-00-000.vpj2")}));

    editScene(L"first");
    tick();
    Strings autos = backupFiles("AutoBackup_*.vpj2");
    ASSERT_EQ(autos.size(), 1u);
    EXPECT_NE(autos[0], wide(backup() / "AutoBackup_2000-01-01_00-00-00-000.vpj2"));
    EXPECT_EQ(reopened(autos[0]), fileText(service().project(), root_ / "model.txt"));
    EXPECT_TRUE(undo().modified);  // the work itself is still unsaved

    tick();  // unchanged: no second file
    EXPECT_EQ(backupFiles("AutoBackup_*.vpj2"), autos);

    editScene(L"second");
    tick();
    const Strings after = backupFiles("AutoBackup_*.vpj2");
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(reopened(after[0]), fileText(service().project(), root_ / "model.txt"));
    EXPECT_EQ(readFile(backup() / "ExceptionBackup_2000-01-01_00-00-00-000.vpj2"), "emergency");
}

TEST_F(EditServiceTest, ImportedSceneBecomesCurrentInsideOneScope) {
    writeFile(root_ / "old.kto", "[kirta]\r\nwidth=640\r\nheight=480\r\nrate=24\r\nscale=1\r\n");
    sceneCalls.clear();
    ASSERT_TRUE(service().importSceneFromKto(wide(root_ / "old.kto")));
    EXPECT_EQ(current().id, 1);
    EXPECT_EQ(current().name, L"old");
    EXPECT_EQ(current().videoWidth, 640);
    EXPECT_EQ(undo().history(), &current().undoHistory);
    EXPECT_EQ(sceneCalls, (std::vector<int>{1}));

    std::vector<std::wstring> posted;
    auto previous = Edit::Project::setErrorPoster([&](const std::wstring& t) { posted.push_back(t); });
    writeFile(root_ / "bad.kto", "[other]\r\nx=1\r\n");
    sceneCalls.clear();
    EXPECT_FALSE(service().importSceneFromKto(wide(root_ / "bad.kto")));
    Edit::Project::setErrorPoster(previous);
    EXPECT_EQ(posted, (std::vector<std::wstring>{L"シーンの読み込みに失敗しました"}));
    EXPECT_EQ(current().id, 1);
    EXPECT_EQ(service().project().scenes.size(), 2u);
    EXPECT_TRUE(sceneCalls.empty());
}

TEST_F(EditServiceTest, AnchorsReadTheEditSettingsAndMoveTheCursor) {
    Effect::AnchorCommands* commands = Effect::AnchorCommands::current();
    ASSERT_EQ(commands, &service().anchorCommands());
    EditService::Settings& settings = service().settings();
    for (const int32_t on : {0, 1}) {
        settings.displayObjectMovePoint = on;
        settings.displayObjectCenterAnchor = on;
        settings.anchorObjectMoveSnap = on;
        EXPECT_EQ(commands->displayObjectMovePoint(), on != 0);
        EXPECT_EQ(commands->displayObjectCenterAnchor(), on != 0);
        EXPECT_EQ(commands->anchorObjectMoveSnap(), on != 0);
    }
    current().length = 100;
    cursorCalls.clear();
    commands->setCursorFrame(40);
    EXPECT_EQ(cursorCalls, (std::vector<int>{40}));
    // Until the windows install their side, the panel parts keep to themselves.
    const Edit::Object object(0, 0, 9);
    commands->showSection(object, 3);
    EXPECT_EQ(commands->shownKey(object), -1);
    EXPECT_TRUE(commands->visibleClippingObject());
    EXPECT_EQ(commands->clippingIcon(true), nullptr);
    int32_t shown = -1;
    service().anchorCommands().setSectionHooks({[&](const Edit::Object&, int32_t frame) { shown = frame; }, nullptr});
    commands->showSection(object, 3);
    EXPECT_EQ(shown, 3);
    // The service takes its commands with it.
    holder.reset();
    EXPECT_EQ(Effect::AnchorCommands::current(), nullptr);
    start();
}

}  // namespace
