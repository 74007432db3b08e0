#include "app/Application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/FileName.h"
#include "core/TextConvert.h"
#include "effect/EffectService.h"
#include "effect/NameTranslation.h"
#include "effects/VideoOutput.h"
#include "platform/window/MessageBox.h"
#include "support/LogCapture.h"

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

// The program's folder as the build lays it out, with the shipped conf files
// beside it; %AppData% is taken anew.
void useProgramFolder() {
    const char* build = std::getenv("VELMO_TEST_BINARY_DIR");
    ASSERT_NE(build, nullptr);
    System::FileName::resetVariableList(System::utf8ToWide(std::string(build) + "/bin/velmo2"));
}

TEST(Application, ProgramStepsRunAndExitZero) {
    // The program writes its settings under %AppData%: keep them out of the user's home.
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useProgramFolder();
    Boxes boxes;
    EXPECT_EQ(App::run(App::programSteps()), 0);
    EXPECT_TRUE(boxes.shown.empty()) << (boxes.shown.empty() ? "" : boxes.shown[0].text);
    EXPECT_TRUE(std::filesystem::exists(std::string(folder) + "/velmo2/velmo2.ini"));
    // The render service was built with the shipped settings and wrote its section back.
    std::ifstream ini(std::string(folder) + "/velmo2/velmo2.ini", std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
    EXPECT_NE(written.find("[Render.video]"), std::string::npos) << written;
    EXPECT_NE(written.find("CameraFreeView=0"), std::string::npos) << written;
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

TEST(Application, EffectNamesShowInTheLanguageTheProgramLoaded) {
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useProgramFolder();
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

TEST(Application, FailedEffectRegistrationsShowTheErrorDialog) {
    char folder[] = "/tmp/velmo2-app-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    useProgramFolder();
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

}  // namespace
