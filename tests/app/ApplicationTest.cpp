#include "app/Application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/FileName.h"
#include "core/TextConvert.h"
#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "core/ServiceStack.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "effect/EffectService.h"
#include "media/gpu/RenderBuffer.h"
#include "render/RenderService.h"
#include "effect/ModelQueries.h"
#include "effect/NameTranslation.h"
#include "media/figure/FigureData.h"
#include "media/figure/FigureList.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/RenderContext.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/resource/MaskSource.h"
#include "media/resource/TransitionList.h"
#include "effects/VideoOutput.h"
#include "platform/window/MessageBox.h"
#include "script/LuaBase.h"
#include "script/ScriptService.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "ui/dialogs/BoxOwner.h"
#include "ui/framework/ShortcutList.h"
#include "ui/framework/WindowService.h"
#include "support/LogCapture.h"
#include "support/TestFolders.h"

namespace {

std::vector<std::string> g_order;

template <int N>
struct Service {
    Service() { g_order.push_back("build " + std::to_string(N)); }
    ~Service() { g_order.push_back("destroy " + std::to_string(N)); }
};

struct Failing {
    Failing() { throw std::runtime_error("input service failed"); }
};

struct Boxes {
    std::vector<Platform::window::MessageBoxRequest> shown;
    Platform::window::MessageBoxHook previous;
    Boxes() {
        previous = Platform::window::setMessageBoxHook([this](const Platform::window::MessageBoxRequest& r) {
            shown.push_back(r);
            g_order.push_back("box");
            return Platform::window::kIdOk;
        });
    }
    ~Boxes() { Platform::window::setMessageBoxHook(previous); }
};

TEST(Application, BuildsInOrderAndTearsDownInReverse) {
    g_order.clear();
    Boxes boxes;
    App::Steps steps;
    steps.build = [](System::ServiceStack& s) {
        s.addService<Service<1>>();
        s.addService<Service<2>>();
        s.addService<Service<3>>();
    };
    steps.run = [] { g_order.push_back("loop"); };
    steps.shutdown = [] { g_order.push_back("exit listeners"); };
    EXPECT_EQ(App::run(steps), 0);
    EXPECT_EQ(g_order, (std::vector<std::string>{"build 1", "build 2", "build 3", "loop", "exit listeners", "destroy 3",
                                                 "destroy 2", "destroy 1"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(Application, ThrowingServiceStopsStartUpAndShowsTheErrorAfterTeardown) {
    g_order.clear();
    Boxes boxes;
    LogCapture log;
    App::Steps steps;
    steps.build = [](System::ServiceStack& s) {
        s.addService<Service<1>>();
        s.addService<Service<2>>();
        s.addService<Failing>();
        s.addService<Service<4>>();
    };
    steps.run = [] { g_order.push_back("loop"); };
    EXPECT_EQ(App::run(steps), 0);
    EXPECT_EQ(g_order, (std::vector<std::string>{"build 1", "build 2", "destroy 2", "destroy 1", "box"}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    const auto& box = boxes.shown[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.title, "Velmo Kirta2 : Application Exception");
    EXPECT_EQ(box.text, "input service failed");
    EXPECT_TRUE(box.style & Platform::window::kMbTaskModal);
    EXPECT_TRUE(box.style & Platform::window::kMbIconError);
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines.back().scope, "Dialog::showException");
    EXPECT_EQ(log.lines.back().message, "show exception dialog.\ninput service failed");
}

// The program's files as the build ships them beside the program (the tests run in that folder).
void useShippedFiles() {
    System::FileName::resetVariableList(System::utf8ToWide((std::filesystem::current_path() / "velmo2").string()));
}

// Closes the main window once start-up is done, as the user would.
App::Steps closingSteps() {
    App::Steps steps = App::programSteps();
    steps.startup = [startup = steps.startup] {
        startup();
        Platform::window::postMessage(Window::WindowService::get()->window, Platform::window::kWmClose, 0, 0);
    };
    return steps;
}

TEST(Application, ProgramStepsRunAndExitZero) {
    // The program writes its settings under %AppData%: keep them out of the user's home.
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();
    Boxes boxes;
    EXPECT_EQ(App::run(closingSteps()), 0);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    EXPECT_TRUE(std::filesystem::exists(std::string(folder) + "/velmo2/velmo2.ini"));
    // The render service was built with the shipped settings and wrote its section back.
    std::ifstream ini(std::string(folder) + "/velmo2/velmo2.ini", std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
    EXPECT_NE(written.find("[Render.video]"), std::string::npos) << written;
    EXPECT_NE(written.find("CameraFreeView=0"), std::string::npos) << written;
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

TEST(Application, ClosingTheWindowWithChangesAsksBeforeTheProgramEnds) {
    if (!Platform::window::hasDisplay()) GTEST_SKIP() << "the main loop runs only with a display";
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();
    std::vector<Platform::window::MessageBoxRequest> asked;
    const auto previous = Platform::window::setMessageBoxHook([&](const Platform::window::MessageBoxRequest& r) {
        asked.push_back(r);
        if (asked.size() == 1) {
            // Kept open: the user closes again and agrees.
            Platform::window::postMessage(Window::WindowService::get()->window, Platform::window::kWmClose, 0, 0);
            return Platform::window::kIdCancel;
        }
        return Platform::window::kIdOk;
    });
    g_order.clear();
    App::Steps steps = closingSteps();
    steps.startup = [startup = steps.startup] {
        Undo::UndoService::get()->modified = true;  // unsaved changes
        startup();
    };
    steps.shutdown = [shutdown = steps.shutdown] {
        g_order.push_back("exit listeners");
        shutdown();
    };
    EXPECT_EQ(App::run(steps), 0);
    Platform::window::setMessageBoxHook(previous);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "現在の編集データは破棄されますがよろしいですか？");
    EXPECT_EQ(g_order, std::vector<std::string>{"exit listeners"});
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

// Building the program's services writes settings under %AppData%: a fresh folder.
using EventServiceStartUp = TestFolders;

TEST_F(EventServiceStartUp, JoinsTheStartUpOrderBeforeTheMainWindow) {
    // The style the program ships, as the main window needs its layout sizes,
    // and the system values, as the render service needs its cache budget.
    std::filesystem::copy_file(std::filesystem::current_path() / "style.conf", install() / "style.conf");
    std::filesystem::copy_file(std::filesystem::current_path() / "system.conf", install() / "system.conf");
    System::ServiceStack stack;
    App::programSteps().build(stack);
    EXPECT_NE(Event::EventService::get(), nullptr);
    ASSERT_NE(Window::WindowService::get(), nullptr);
    EXPECT_EQ(Event::commandWindow(), Window::WindowService::get()->window);
    stack.releaseAll();
    EXPECT_EQ(Event::EventService::get(), nullptr);
    EXPECT_EQ(Event::commandWindow(), nullptr);
}

TEST_F(EventServiceStartUp, KeysNobodyTakesRunTheMenuBarsShortcuts) {
    std::filesystem::copy_file(std::filesystem::current_path() / "style.conf", install() / "style.conf");
    std::filesystem::copy_file(std::filesystem::current_path() / "system.conf", install() / "system.conf");
    System::ServiceStack stack;
    App::programSteps().build(stack);
    Window::WindowService* window = Window::WindowService::get();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(Window::ShortcutList::get(), nullptr);
    int runs = 0;
    auto item = window->windowMenu[Window::WindowMenu::File].menu->insertItem(L"\u4fdd\u5b58", [&] { ++runs; });
    Window::WindowMenuManager::setShortcut(item, 0x7B);  // F12, which no menu entry takes
    EXPECT_EQ(Platform::window::getWindowMenu(window->window), window->menu);
    Platform::window::sendMessage(window->window, Platform::window::kWmKeyDown, 0x7B, 0);
    EXPECT_EQ(runs, 1);
    // A menu command message runs the same command.
    Platform::window::sendMessage(window->window, Platform::window::kWmCommand, static_cast<uintptr_t>(item.id), 0);
    EXPECT_EQ(runs, 2);
    stack.releaseAll();
    EXPECT_EQ(Window::ShortcutList::get(), nullptr);
}

TEST(Application, EffectNamesShowInTheLanguageTheProgramLoaded) {
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();  // %AppData% is taken anew from the folder
    const std::filesystem::path data = std::string(folder) + "/velmo2";
    std::filesystem::create_directories(data / "Language");
    std::ofstream(data / "velmo2.ini", std::ios::binary) << "[Translate]\nLanguage=Test\n";
    std::ofstream(data / "Language" / "Test.vln2", std::ios::binary)
        << "[Effect]\n\xe3\x81\xbc\xe3\x81\x8b\xe3\x81\x97=Blur\n[Name]\nRoot=Base\n";
    Boxes boxes;
    std::vector<std::wstring> seen;
    App::Steps steps = App::programSteps();
    steps.run = [&seen] {
        seen.push_back(Effect::translateName(L"ぼかし"));
        seen.push_back(Effect::translateName(L"未訳"));
        seen.push_back(Effect::translateName(L"Root"));  // another table's entry
    };
    EXPECT_EQ(App::run(steps), 0);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"Blur", L"未訳", L"Root"}));
    EXPECT_EQ(Effect::translateName(L"ぼかし"), L"ぼかし");  // the service is gone
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

TEST(Application, TheRenderServiceDrawsTheEditServicesCurrentScene) {
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();
    Boxes boxes;
    int32_t expectedWidth = 0, expectedHeight = 0;
    uint32_t width = 0, height = 0;
    int32_t frames = 0;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        const auto& scene = Edit::EditService::instance()->currentScene();
        expectedWidth = scene->videoWidth;
        expectedHeight = scene->videoHeight;
        Render::RenderVideoWorker& video = Render::RenderService::get()->video();
        video.requestRenderingFrame(Render::kRenderExport, 0,
                                    [&](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
                                        ++frames;
                                        width = buffer.width;
                                        height = buffer.height;
                                    });
        video.waitAll();
    };
    EXPECT_EQ(App::run(steps), 0);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(frames, 1);
    EXPECT_GT(expectedWidth, 0);
    EXPECT_EQ(width, static_cast<uint32_t>(expectedWidth));
    EXPECT_EQ(height, static_cast<uint32_t>(expectedHeight));
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

TEST(Application, PlaybackTicksOnTheMainLoopAndStopsForEditsAndDialogs) {
    if (!Platform::window::hasDisplay()) GTEST_SKIP() << "the main loop runs only with a display";
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    useShippedFiles();
    Boxes boxes;
    size_t handlesWhilePlaying = 0, handlesAfterEdit = 1;
    bool stoppedByEdit = false, stoppedByDialog = false;
    std::vector<int> presented;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        Render::MoviePlayer& player = Render::RenderService::get()->player();
        Window::WindowService& windows = *Window::WindowService::get();
        Event::EventService& events = *Event::EventService::get();
        events.renderResultListeners.add([&](int type, int frame) {
            if (type == Render::kRenderPlayback) presented.push_back(frame);
        });
        player.play();
        handlesWhilePlaying = windows.waitHandles.size();
        {
            const auto scope = Edit::EditService::instance()->openSection();
            stoppedByEdit = !player.isPlaying();
        }
        handlesAfterEdit = windows.waitHandles.size();
        player.play();
        Dialog::stopPlayback();
        stoppedByDialog = !player.isPlaying();
        // The empty scene's one frame plays, and playback ends by itself; the
        // pre-roll waits for the frame however slow the machine is.
        events.playStateListeners.add([](bool on) {
            if (!on) Platform::window::postQuitMessage(0);
        });
        player.bufferTime = 60000;
        player.play();
        player.bufferTime = 500;
        windows.processMessage();
    };
    EXPECT_EQ(App::run(steps), 0);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(handlesWhilePlaying, 1u);
    EXPECT_TRUE(stoppedByEdit);
    EXPECT_EQ(handlesAfterEdit, 0u);
    EXPECT_TRUE(stoppedByDialog);
    EXPECT_EQ(presented, std::vector<int>{0});
    std::ifstream ini(std::string(folder) + "/velmo2/velmo2.ini", std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
    EXPECT_NE(written.find("[Player]"), std::string::npos) << written;
    EXPECT_NE(written.find("BufferTime=500"), std::string::npos) << written;
    unsetenv("SDL_AUDIODRIVER");
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

TEST(Application, FiguresComeFromTheResourceServicesList) {
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();
    Boxes boxes;
    std::vector<std::wstring> listed, names;
    int32_t sceneWidth = 0, sceneHeight = 0;
    uint32_t backgroundWidth = 0, backgroundHeight = 0;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        for (const Resource::FigureData& figure : Resource::ResourceService::get()->figures->figures)
            listed.push_back(figure.name);
        Effect::modelQueries().figureNames(names);
        const auto& scene = Edit::EditService::instance()->currentScene();
        sceneWidth = scene->videoWidth;
        sceneHeight = scene->videoHeight;
        // The background figure takes the current scene's size.
        const auto background =
            Resource::ResourceService::get()->figures->createFigure(0, 1, 1, Media::ColorRgba{}, 0, false);
        if (background) {
            backgroundWidth = background->width;
            backgroundHeight = background->height;
        }
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const auto& b : boxes.shown) ADD_FAILURE() << b.text;
    ASSERT_GE(listed.size(), 8u);
    EXPECT_EQ(listed[1], L"円");
    EXPECT_EQ(names, listed);
    EXPECT_EQ(backgroundWidth, static_cast<uint32_t>(sceneWidth));
    EXPECT_EQ(backgroundHeight, static_cast<uint32_t>(sceneHeight));
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

// The wipes and mask items reach the clipping filters, the figures and the
// image cache through what start-up installs, and lose them at the end.
TEST(Application, MasksDrawWithWhatStartUpInstalls) {
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();
    Boxes boxes;
    std::vector<uint32_t> sizes;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        // The preview asks for the start-up frame: the device is the render thread's until it is done.
        Render::RenderService::get()->video().waitAll();
        const auto& wipes = Resource::ResourceService::get()->transitions->transitions;
        for (size_t kind : {2, 3, 4, 0})
            if (const auto mask = wipes[kind].createMask(32, 16, 0.25f, 3, true)) sizes.push_back(mask->width);
        ASSERT_NE(Effect::MaskImageSource::installed, nullptr);
        Effect::ItemList items;
        Effect::EffectItemMaskSelect circle{&items, L"マスクの種類"};
        Render::RenderContext context;
        if (const auto figure = circle.getMaskImage(context, 24, 24)) sizes.push_back(figure->width);
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const auto& b : boxes.shown) ADD_FAILURE() << b.text;
    EXPECT_EQ(sizes, (std::vector<uint32_t>{32, 32, 32, 32, 24}));
    EXPECT_EQ(Resource::MaskSource::installed, nullptr);
    EXPECT_EQ(Effect::MaskImageSource::installed, nullptr);
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

TEST(Application, TheScriptEnginesAreRegisteredButNotLoaded) {
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();
    Boxes boxes;
    bool seen = false;
    App::Steps steps = App::programSteps();
    steps.run = [&seen] {
        Plugin::ScriptService* scripts = Plugin::ScriptService::get();
        ASSERT_NE(scripts, nullptr);
        EXPECT_EQ(scripts->size(), 2u);
        for (const char* name : {"lua", "luaJIT"})
            EXPECT_FALSE(static_cast<Plugin::LuaBase&>(*scripts->findScriptPlugin(name)).module().loaded()) << name;
        seen = true;
    };
    EXPECT_EQ(App::run(steps), 0);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Plugin::ScriptService::get(), nullptr);
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

TEST(Application, FailedEffectRegistrationsShowTheErrorDialog) {
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();
    Boxes boxes;
    App::Steps steps = App::programSteps();
    steps.run = [] {
        // The built-ins registered without a failure; a second "標準描画" is refused.
        EXPECT_EQ(Effect::EffectService::get()->registerEffect<Effect::VideoOutput>(), nullptr);
    };
    EXPECT_EQ(App::run(steps), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::string text = "Failed to register effect. [標準描画]\n\nDuplicate effects with the same key exist.";
    EXPECT_EQ(boxes.shown[0].text, text);
    EXPECT_EQ(boxes.shown[0].title, "Velmo Kirta2");
    EXPECT_TRUE(boxes.shown[0].style & Platform::window::kMbIconError);
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

// The render threads that run, by the names the system shows (cut to 15 bytes).
std::vector<std::string> renderThreads() {
    std::vector<std::string> names;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name.rfind("Render", 0) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Application, ShutdownStopsTheRenderThreadsAfterTheExitListenersAndBeforeTheTeardown) {
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();
    Boxes boxes;
    const std::vector<std::string> running{"RenderAudioWork", "RenderObjectWor", "RenderObjectWor",
                                           "RenderVideoWork"};
    std::vector<std::string> duringExit, afterShutdown;
    bool panelsThere = false;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        Event::EventService::get()->exitListeners.add([&] { duringExit = renderThreads(); });
    };
    steps.shutdown = [&, shutdown = steps.shutdown] {
        shutdown();
        afterShutdown = renderThreads();
        panelsThere = Window::WindowService::get() != nullptr && Render::RenderService::get() != nullptr;
    };
    EXPECT_EQ(App::run(steps), 0);
    EXPECT_EQ(duringExit, running);
    EXPECT_TRUE(afterShutdown.empty()) << afterShutdown.size() << " still running";
    EXPECT_TRUE(panelsThere);
    EXPECT_TRUE(boxes.shown.empty());
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

// With resuming on, closing the window writes the resume file; the footer's
// "Saving..." no longer draws into the window that went with the close.
TEST(Application, ClosingTheWindowWithResumingOnWritesTheResumeFileWithoutABox) {
    if (!Platform::window::hasDisplay()) GTEST_SKIP() << "the main loop runs only with a display";
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useShippedFiles();
    const std::filesystem::path data = std::string(folder) + "/velmo2";
    std::filesystem::create_directories(data);
    std::ofstream(data / "velmo2.ini", std::ios::binary) << "[Edit]\r\nEditResume=1\r\n";
    Boxes boxes;
    EXPECT_EQ(App::run(closingSteps()), 0);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    EXPECT_TRUE(std::filesystem::exists(data / "resume.vpj2"));
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

}  // namespace
