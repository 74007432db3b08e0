// The caption and footer texts: the templates filled from the project, the
// scene and the cursor, and which events refresh them.
#include "ui/panels/StatusComponent.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "support/LogCapture.h"
#include "support/TestFolders.h"

namespace {

class StatusTexts : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        writeFile(install() / "system.conf", "[FrameRate]\n29.97=30000/1001\n");
        Edit::EditService::setDialogs(dialogs);
    }
    void TearDown() override {
        status.reset();
        edit.reset();
        settings.reset();
        Edit::EditService::setDialogs(nullptr);
        TestFolders::TearDown();
    }
    // Starts the services with the given footer templates.
    Component::StatusComponent& start(const std::string& left, const std::string& right) {
        writeFile(install() / "style.conf",
                  "[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\n"
                  "[Format]\nFooterLeft=" +
                      left + "\nFooterRight=" + right + "\n");
        settings.emplace();
        edit.emplace();
        status = std::make_unique<Component::StatusComponent>();
        return *status;
    }
    Edit::Scene& scene() { return *edit->get()->currentScene(); }
    void sceneChanged() { events.get()->sceneListeners.call(0); }

    System::ServiceHolder<Event::EventService> events;
    System::ServiceHolder<Undo::UndoService> undo;
    std::shared_ptr<Edit::HeadlessDialogs> dialogs = std::make_shared<Edit::HeadlessDialogs>();
    std::optional<System::ServiceHolder<Setting::SettingService>> settings;
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    std::unique_ptr<Component::StatusComponent> status;
};

TEST_F(StatusTexts, EachVariableFilledFromTheSceneAndProject) {
    struct Case {
        const char* what;
        std::wstring path;
        int32_t width, height, rate, scale, audio, cursor, length;
        std::string left, right;
        std::wstring expectLeft, expectRight, caption;
    };
    const std::vector<Case> cases = {
        {"saved project", L"/work/clip.final.vpj2", 1920, 1080, 30, 1, 48000, 0, 0, "{ProjectName}|{SceneName}",
         "{Resolution}|{FrameRate}|{SamplingRate}", L"clip.final|Root", L"1920x1080|30fps|48khz", L"clip.final.vpj2"},
        {"dot only in a folder", L"/a.b/clip", 640, 480, 30000, 1001, 44100, 0, 0, "{ProjectName}", "{FrameRate}",
         L"clip", L"29.97fps", L"clip"},
        {"unsaved project", L"", 1280, 720, 60000, 1001, 22050, 0, 0, "[{ProjectName}]", "{FrameRate} {SamplingRate}",
         L"[]", L"59.94006fps 22.05khz", L"Velmo Kirta2"},
        {"cursor at the start of an empty scene", L"", 640, 480, 30, 1, 48000, 0, 0, "{CurrentTime}|{CurrentFrame}",
         "{TotalTime}|{TotalFrame}", L"00:00:00.00|1", L"00:00:00.00|1", L"Velmo Kirta2"},
        {"cursor inside a longer scene", L"", 640, 480, 30, 1, 48000, 45, 3600 * 30 + 90,
         "{CurrentTime}|{CurrentFrame}", "{TotalTime}|{TotalFrame}", L"00:00:01.50|46", L"01:00:03.00|108091",
         L"Velmo Kirta2"},
        {"a name twice, empty braces kept", L"/p/x.vpj2", 640, 480, 30, 1, 48000, 0, 0, "{ProjectName}-{ProjectName}{}",
         "a{Nothing}b", L"x-x{}", L"ab", L"x.vpj2"},
        {"missing templates", L"", 640, 480, 30, 1, 48000, 0, 0, "", "", L"", L"", L"Velmo Kirta2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Component::StatusComponent& s = start(c.left, c.right);
        Edit::Scene& sc = scene();
        sc.name = L"Root";
        edit->get()->project().path = c.path;
        sc.videoWidth = c.width;
        sc.videoHeight = c.height;
        sc.videoRate = c.rate;
        sc.videoScale = c.scale;
        sc.audioRate = c.audio;
        sc.length = c.length;
        sc.cursorFrame = c.cursor;
        sceneChanged();
        EXPECT_EQ(s.leftText(), c.expectLeft);
        EXPECT_EQ(s.rightText(), c.expectRight);
        EXPECT_EQ(s.caption(), c.caption);
        TearDown();
        SetUp();
    }
}

TEST_F(StatusTexts, UnknownVariableWarnsAtEveryRefreshAndBecomesEmpty) {
    Component::StatusComponent& s = start("{Bogus}-{Bogus}", "{projectname}");
    LogCapture log;
    sceneChanged();
    EXPECT_EQ(s.leftText(), L"-");
    EXPECT_EQ(s.rightText(), L"");
    ASSERT_EQ(log.lines.size(), 3u);  // one per occurrence, names compared case-sensitively
    EXPECT_EQ(log.lines[0].scope, "Component::StatusComponent::expandStatusVariable");
    EXPECT_EQ(log.lines[0].message, "invalid footer text variable. {Bogus}");
    EXPECT_EQ(log.lines[2].message, "invalid footer text variable. {projectname}");
    edit->get()->setCursorFrame(0);  // the first cursor event always refreshes
    EXPECT_EQ(log.lines.size(), 6u);
}

TEST_F(StatusTexts, NothingShowsBeforeTheFirstSceneChange) {
    Component::StatusComponent& s = start("{SceneName}", "{CurrentFrame}");
    EXPECT_EQ(s.leftText(), L"");
    EXPECT_EQ(s.rightText(), L"");
}

TEST_F(StatusTexts, CursorAndObjectEditsRefreshOnlyTheTimes) {
    Component::StatusComponent& s = start("{SceneName}", "{CurrentFrame}/{TotalFrame}");
    sceneChanged();
    scene().length = 99;
    edit->get()->setCursorFrame(45);
    EXPECT_EQ(s.rightText(), L"46/100");
    // The scene name follows scene changes only.
    scene().name = L"Renamed";
    edit->get()->setCursorFrame(10);
    EXPECT_EQ(s.leftText(), L"Root");
    EXPECT_EQ(s.rightText(), L"11/100");
    // An edit that lengthens the scene, the cursor staying.
    scene().length = 199;
    events.get()->objectChangedListeners.call(nullptr);
    EXPECT_EQ(s.rightText(), L"11/200");
    sceneChanged();
    EXPECT_EQ(s.leftText(), L"Renamed");
}

TEST_F(StatusTexts, SameCursorAndLengthLeaveTheFooterAlone) {
    Component::StatusComponent& s = start("{SceneName}", "{CurrentFrame}");
    sceneChanged();
    scene().length = 50;
    edit->get()->setCursorFrame(5);
    EXPECT_EQ(s.rightText(), L"6");
    // Changed behind the component's back: the same frame and length again refresh nothing.
    scene().cursorFrame = 7;
    events.get()->cursorFrameListeners.call(5);
    EXPECT_EQ(s.rightText(), L"6");
    // An object edit compares the scene's own cursor.
    events.get()->objectChangedListeners.call(nullptr);
    EXPECT_EQ(s.rightText(), L"8");
    scene().cursorFrame = 9;
    events.get()->cursorFrameListeners.call(7);
    EXPECT_EQ(s.rightText(), L"8");
}

TEST_F(StatusTexts, SaveUnderANewNameRenamesCaptionAndProject) {
    Component::StatusComponent& s = start("{ProjectName}", "");
    sceneChanged();
    EXPECT_EQ(s.caption(), L"Velmo Kirta2");
    const std::wstring path = System::utf8ToWide((install() / "first.vpj2").string());
    dialogs->saveAnswers.push_back(path);
    ASSERT_TRUE(edit->get()->saveProjectAs());
    EXPECT_EQ(s.caption(), L"first.vpj2");
    EXPECT_EQ(s.leftText(), L"first");
}

}  // namespace
