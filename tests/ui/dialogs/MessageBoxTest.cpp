// The error, confirmation and exception boxes and the errors posted to the UI thread.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "core/ErrorPresenter.h"
#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "core/ExceptionPresenter.h"
#include "edit/UpdateSection.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "support/ActiveLanguage.h"
#include "support/LogCapture.h"
#include "support/ScriptedBoxes.h"
#include "ui/dialogs/BoxOwner.h"
#include "ui/dialogs/PostError.h"
#include "ui/dialogs/ShowError.h"
#include "ui/dialogs/ShowException.h"

namespace {
namespace W = Platform::window;

int g_stops = 0;
void countStop() { ++g_stops; }

intptr_t commandProcedure(W::WindowHandle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == W::kWmUser) Event::EventService::get()->processEventCommandMessage(wParam, lParam);
    return 0;
}

// A main window whose user messages reach the event service, as the window
// service's does, with the dialogs installed as the program installs them.
class MainWindow {
public:
    MainWindow() {
        W::WindowDesc desc;
        desc.title = "main";
        desc.procedure = commandProcedure;
        window = W::createWindow(desc);
        Event::setCommandWindow(window);
    }
    ~MainWindow() {
        Event::setCommandWindow(nullptr);
        W::destroyWindow(window);
    }
    void pump() {
        W::Message msg;
        while (W::peekMessage(msg, nullptr, 0, 0, W::kPmRemove)) W::dispatchMessage(msg);
    }
    W::WindowHandle window = nullptr;

private:
    System::ServiceHolder<Event::EventService> events_;
    System::ExceptionPresenterScope exceptions_{Dialog::showException};
    struct Errors {
        System::ErrorPresenter previous = System::setErrorPresenter(Dialog::showErrorText);
        ~Errors() { System::setErrorPresenter(previous); }
    } errors_;
};

class Boxes : public ::testing::Test {
protected:
    void SetUp() override {
        g_stops = 0;
        previousStop_ = Edit::UpdateSection::setPlaybackStop(countStop);
    }
    void TearDown() override { Edit::UpdateSection::setPlaybackStop(previousStop_); }
    ScriptedBoxes boxes;
    LogCapture log;

private:
    Edit::UpdateSection::PlaybackStop previousStop_;
};

TEST_F(Boxes, EachBoxHasItsCaptionIconButtonsAndLogLine) {
    struct Case {
        const char* name;
        void (*show)();
        std::string text, caption;
        uint32_t style;
        std::string logScope, logMessage;  // empty: nothing logged
    };
    const Case cases[] = {
        {"narrow error", [] { Dialog::showError("Failed to register effect. [%s]\n\n%s", "blur", "no file"); },
         "Failed to register effect. [blur]\n\nno file", "Velmo Kirta2", W::kMbOk | W::kMbIconError,
         "Dialog::showError", "show error dialog.\nFailed to register effect. [blur]\n\nno file"},
        {"wide error", [] { Dialog::showError(L"保存に失敗しました [%ls] %d", L"a.vpj2", 3); },
         "保存に失敗しました [a.vpj2] 3", "Velmo Kirta2", W::kMbOk | W::kMbIconError, "Dialog::showError",
         "show error dialog.\n保存に失敗しました [a.vpj2] 3"},
        {"complete error text", [] { Dialog::showErrorText(L"100% of %s"); }, "100% of %s", "Velmo Kirta2",
         W::kMbOk | W::kMbIconError, "Dialog::showError", "show error dialog.\n100% of %s"},
        {"confirmation", [] { Dialog::showConfirm(L"上書きしますか？"); }, "上書きしますか？", "Velmo Kirta2",
         W::kMbOkCancel | W::kMbIconWarning, "", ""},
        {"exception", [] { Dialog::showException(std::runtime_error("broken %s")); }, "broken %s",
         "Velmo Kirta2 : Application Exception", W::kMbOk | W::kMbIconError, "Dialog::showException",
         "show exception dialog.\nbroken %s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        log.lines.clear();
        c.show();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, c.text);
        EXPECT_EQ(boxes.shown[0].title, c.caption);
        // No window service yet: unowned and task-modal, playback untouched.
        EXPECT_EQ(boxes.shown[0].owner, nullptr);
        EXPECT_EQ(boxes.shown[0].style, c.style | W::kMbTaskModal);
        if (c.logScope.empty()) {
            EXPECT_TRUE(log.lines.empty());
        } else {
            ASSERT_EQ(log.lines.size(), 1u);
            EXPECT_EQ(log.lines[0].level, "ERROR");
            EXPECT_EQ(log.lines[0].scope, c.logScope);
            EXPECT_EQ(log.lines[0].message, c.logMessage);
        }
    }
    EXPECT_EQ(g_stops, 0);
}

TEST_F(Boxes, WithTheMainWindowBoxesAreOwnedByItAndStopPlaybackFirst) {
    MainWindow main;
    ASSERT_NE(main.window, nullptr);
    Dialog::showError(L"wide");
    Dialog::showError("narrow");
    Dialog::showConfirm(L"sure?");
    Dialog::showException(std::runtime_error("x"));
    ASSERT_EQ(boxes.shown.size(), 4u);
    for (const auto& box : boxes.shown) {
        EXPECT_EQ(box.owner, main.window) << box.text;
        EXPECT_EQ(box.style & W::kMbTaskModal, 0u) << box.text;
    }
    EXPECT_EQ(g_stops, 4);
}

TEST_F(Boxes, ErrorTextsAreCutAt1023Characters) {
    Dialog::showError(L"%ls!", std::wstring(1100, L'w').c_str());
    Dialog::showError("%s!", std::string(1100, 'n').c_str());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, std::string(1023, 'w'));
    EXPECT_EQ(boxes.shown[1].text, std::string(1023, 'n'));
}

TEST_F(Boxes, OnlyAWholeTextThatIsAMessageKeyIsTranslated) {
    ActiveLanguage language(
        "[Message]\nSave failed=Speichern fehlgeschlagen\nReplace?=Ersetzen?\n"
        "[Dialog]\nSave failed=Wrong table\n");
    log.lines.clear();
    Dialog::showError(L"Save failed");
    Dialog::showError(L"Save failed%ls", L" [a]");
    Dialog::showConfirm(L"Replace?");
    Dialog::showError("Save failed");  // the narrow form is never translated
    Dialog::showException(std::runtime_error("Save failed"));
    ASSERT_EQ(boxes.shown.size(), 5u);
    EXPECT_EQ(boxes.shown[0].text, "Speichern fehlgeschlagen");
    EXPECT_EQ(boxes.shown[1].text, "Save failed [a]");
    EXPECT_EQ(boxes.shown[2].text, "Ersetzen?");
    EXPECT_EQ(boxes.shown[3].text, "Save failed");
    EXPECT_EQ(boxes.shown[4].text, "Save failed");
    // The log keeps the text as built.
    EXPECT_EQ(log.lines[0].message, "show error dialog.\nSave failed");
}

TEST_F(Boxes, AConfirmationIsTrueOnlyForOk) {
    for (const int answer : {W::kIdOk, W::kIdCancel, W::kIdNo, 0}) {
        const auto previous = W::setMessageBoxHook([answer](const W::MessageBoxRequest&) { return answer; });
        EXPECT_EQ(Dialog::showConfirm(L"go?"), answer == W::kIdOk) << answer;
        W::setMessageBoxHook(previous);
    }
}

TEST_F(Boxes, ErrorsPostedFromAWorkerAreShownLaterWithPercentSignsIntact) {
    MainWindow main;
    bool posted = false;
    std::thread worker([&] {
        posted = Dialog::postError(L"読み込めません: %ls", L"100%s %d.png");
        Dialog::postException(std::runtime_error("worker %s failed"));
    });
    worker.join();
    EXPECT_TRUE(posted);
    EXPECT_TRUE(boxes.shown.empty());  // nothing is shown, translated or logged when posting
    EXPECT_TRUE(log.lines.empty());
    main.pump();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "読み込めません: 100%s %d.png");
    EXPECT_EQ(boxes.shown[0].title, "Velmo Kirta2");
    EXPECT_EQ(boxes.shown[0].owner, main.window);
    EXPECT_EQ(boxes.shown[1].text, "worker %s failed");
    EXPECT_EQ(boxes.shown[1].title, "Velmo Kirta2 : Application Exception");
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0].message, "show error dialog.\n読み込めません: 100%s %d.png");
    EXPECT_EQ(log.lines[1].message, "show exception dialog.\nworker %s failed");
}

bool refusePost(W::WindowHandle, uint32_t, uintptr_t, intptr_t) { return false; }

TEST_F(Boxes, AFailedPostIsLoggedAndShowsNothing) {
    W::WindowDesc desc;
    desc.title = "refusing";
    W::WindowHandle window = W::createWindow(desc);
    Event::bindCommandWindow(window, refusePost);
    EXPECT_FALSE(Dialog::postError(L"lost %d", 1));
    Dialog::postException(std::runtime_error("lost too"));
    Event::setCommandWindow(nullptr);
    W::destroyWindow(window);
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0].scope, "Dialog::postError");
    EXPECT_EQ(log.lines[0].message, "failed to post error dialog.\nlost 1");
    EXPECT_EQ(log.lines[1].scope, "Dialog::postException");
    EXPECT_EQ(log.lines[1].message, "failed to post exception dialog.\nlost too");
}

}  // namespace
