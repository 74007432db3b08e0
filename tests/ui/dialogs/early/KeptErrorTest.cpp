// Errors posted before the main window exists: a program of its own, since
// no window may have been bound in the process before.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "core/ErrorPresenter.h"
#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "core/ExceptionPresenter.h"
#include "core/ServiceHolder.h"
#include "edit/EditService.h"
#include "edit/Project.h"
#include "edit/UndoService.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "support/ScriptedBoxes.h"
#include "ui/dialogs/EditServiceDialogs.h"
#include "ui/dialogs/PostError.h"
#include "ui/dialogs/ShowError.h"
#include "ui/dialogs/ShowException.h"

namespace {
namespace W = Platform::window;

intptr_t commandProcedure(W::WindowHandle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == W::kWmUser) Event::EventService::get()->processEventCommandMessage(wParam, lParam);
    return 0;
}

TEST(KeptErrors, PostedBeforeTheWindowExistsTheyAreShownOnceItDoes) {
    ScriptedBoxes boxes;
    std::thread worker([] {
        EXPECT_TRUE(Dialog::postError(L"early %ls", L"50%d"));
        Dialog::postException(std::runtime_error("early exception"));
    });
    worker.join();
    EXPECT_TRUE(boxes.shown.empty());

    System::ServiceHolder<Event::EventService> events;
    {
        // The model's own errors take the same way through the dialogs the program installs.
        const auto previousDialogs = Edit::EditService::setDialogs(std::make_shared<Dialog::EditServiceDialogs>());
        System::ServiceHolder<Undo::UndoService> undo;
        System::ServiceHolder<Edit::EditService> edit;
        Edit::Project::postError(L"project 100%d");
        Edit::EditService::setDialogs(previousDialogs);
    }
    EXPECT_TRUE(boxes.shown.empty());
    const System::ExceptionPresenterScope exceptions(Dialog::showException);
    const System::ErrorPresenter previous = System::setErrorPresenter(Dialog::showErrorText);
    W::WindowDesc desc;
    desc.title = "main";
    desc.procedure = commandProcedure;
    W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    Event::setCommandWindow(window);
    W::Message msg;
    while (W::peekMessage(msg, nullptr, 0, 0, W::kPmRemove)) W::dispatchMessage(msg);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].text, "early 50%d");
    EXPECT_EQ(boxes.shown[0].owner, window);
    EXPECT_EQ(boxes.shown[1].text, "early exception");
    EXPECT_EQ(boxes.shown[2].text, "project 100%d");

    // Once a window has been bound nothing is kept: a post after it is gone fails.
    Event::setCommandWindow(nullptr);
    EXPECT_FALSE(Dialog::postError(L"late"));
    W::destroyWindow(window);
    System::setErrorPresenter(previous);
}

}  // namespace
