#include "core/EventService.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/Clipboard.h"
#include "core/ExceptionPresenter.h"
#include "core/ServiceStack.h"
#include "platform/window/Clipboard.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "ui/dialogs/ShowException.h"
#include "support/TestFolders.h"
#include "support/ActiveLanguage.h"
#include "support/LogCapture.h"
#include "support/ScriptedBoxes.h"

namespace {
namespace W = Platform::window;
using Event::EventCommandType;
using Event::EventService;

using RenderCalls = std::vector<std::pair<int, int>>;

void recordRenderResults(EventService& events, RenderCalls& calls) {
    events.renderResultListeners.add([&calls](int type, int value) { calls.emplace_back(type, value); });
}

TEST(EventService, RenderKindsCallTheRenderListenersWithTheirTaskType) {
    EventService events;
    RenderCalls calls;
    recordRenderResults(events, calls);
    struct Case {
        EventCommandType kind;
        intptr_t payload;
        std::pair<int, int> call;
    };
    const Case cases[] = {
        {EventCommandType::RenderPreview, 3, {1, 3}},
        {EventCommandType::RenderPlayer, 7, {2, 7}},
        {EventCommandType::RenderOutput, static_cast<intptr_t>(0x1'FFFF'FFFFLL), {3, -1}},  // low 32 bits
    };
    for (const auto& c : cases) {
        calls.clear();
        events.processEventCommandMessage(static_cast<uintptr_t>(c.kind), c.payload);
        EXPECT_EQ(calls, RenderCalls{c.call});
    }
}

TEST(EventService, UnknownKindIsLoggedAndChangesNothing) {
    EventService events;
    RenderCalls calls;
    recordRenderResults(events, calls);
    LogCapture log;
    events.processEventCommandMessage(8, 5);
    EXPECT_TRUE(calls.empty());
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].level, "WARN");
    EXPECT_EQ(log.lines[0].scope, "Event::EventService::processEventCommandMessage");
    EXPECT_EQ(log.lines[0].message, "unknown EventCommandType.");
}

TEST(EventService, TaskExceptionIsRaisedAgainAndItsCopyFreed) {
    EventService events;
    auto* posted = new std::runtime_error("task failed\n\n[Place]\nRender()");
    try {
        events.processEventCommandMessage(3, reinterpret_cast<intptr_t>(static_cast<std::exception*>(posted)));
        FAIL() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "task failed\n\n[Place]\nRender()");
    }
}

TEST(EventService, PostedExceptionAndErrorAreShownAsTheyStand) {
    const System::ExceptionPresenterScope presenter(Dialog::showException);  // as the program installs it
    EventService events;
    ScriptedBoxes boxes;
    LogCapture log;
    auto* exception = new std::runtime_error("CreateFile() failed.");
    events.processEventCommandMessage(4, reinterpret_cast<intptr_t>(static_cast<std::exception*>(exception)));
    auto* text = new std::wstring(L"100% of \"%s\" done");
    events.processEventCommandMessage(5, reinterpret_cast<intptr_t>(text));

    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "CreateFile() failed.");
    EXPECT_EQ(boxes.shown[0].title, "Velmo Kirta2 : Application Exception");
    EXPECT_EQ(boxes.shown[0].owner, nullptr);  // no main window yet: task-modal
    EXPECT_EQ(boxes.shown[0].style, W::kMbOk | W::kMbIconError | W::kMbTaskModal);
    EXPECT_EQ(boxes.shown[1].text, "100% of \"%s\" done");
    EXPECT_EQ(boxes.shown[1].title, "Velmo Kirta2");
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0].scope, "Dialog::showException");
    EXPECT_EQ(log.lines[0].message, "show exception dialog.\nCreateFile() failed.");
    EXPECT_EQ(log.lines[1].scope, "Dialog::showError");
    EXPECT_EQ(log.lines[1].message, "show error dialog.\n100% of \"%s\" done");
}

TEST(EventService, PostedErrorIsLoggedAsBuiltInAndShownInTheActiveLanguageCut) {
    ActiveLanguage language(
        "[Message]\n\xe3\x82\xb7\xe3\x83\xbc\xe3\x83\xb3=Scene failed\n[Name]\nshort=Wrong table\n");
    EventService events;
    ScriptedBoxes boxes;
    LogCapture log;
    events.processEventCommandMessage(5, reinterpret_cast<intptr_t>(new std::wstring(L"シーン")));
    events.processEventCommandMessage(5, reinterpret_cast<intptr_t>(new std::wstring(L"short")));
    events.processEventCommandMessage(5, reinterpret_cast<intptr_t>(new std::wstring(2000, L'x')));

    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].text, "Scene failed");
    EXPECT_EQ(boxes.shown[1].text, "short");  // only the Message table counts
    EXPECT_EQ(boxes.shown[2].text, std::string(1023, 'x'));
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[0].message, "show error dialog.\nシーン");
}

TEST(EventService, ExportEndReachesTheOutputServiceOnceItIsThere) {
    EventService events;
    events.processEventCommandMessage(7, 0);  // nobody to tell yet
    int ended = 0;
    events.setOutputFileEnd([&] { ++ended; });
    events.processEventCommandMessage(7, 0);
    EXPECT_EQ(ended, 1);
}

TEST(EventService, ListenersRunInOrderAndLateOnesFromTheNextCall) {
    EventService events;
    std::vector<std::string> order;
    events.sceneListeners.add([&](int id) { order.push_back("a" + std::to_string(id)); });
    events.sceneListeners.add([&](int id) {
        order.push_back("b" + std::to_string(id));
        if (events.sceneListeners.size() == 2)
            events.sceneListeners.add([&](int later) { order.push_back("c" + std::to_string(later)); });
    });
    events.sceneListeners.call(1);
    events.sceneListeners.call(2);
    EXPECT_EQ(order, (std::vector<std::string>{"a1", "b1", "a2", "b2", "c2"}));

    events.exitListeners.add(nullptr);
    try {
        events.exitListeners.call();
        FAIL() << "no exception";
    } catch (const std::bad_function_call& e) {
        EXPECT_STREQ(e.what(), "bad function call");
    }
}

// A main window whose procedure hands WM_USER to the service, as the window
// service's does.
EventService* g_events = nullptr;
intptr_t mainProc(W::WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == W::kWmUser && g_events != nullptr) {
        g_events->processEventCommandMessage(wParam, lParam);
        return 0;
    }
    return W::defWindowProc(w, message, wParam, lParam);
}

struct MainWindow {
    EventService events;
    W::WindowHandle handle = nullptr;
    MainWindow() {
        g_events = &events;
        W::WindowDesc desc;
        desc.procedure = mainProc;
        handle = W::createWindow(desc);
    }
    ~MainWindow() {
        W::destroyWindow(handle);
        g_events = nullptr;
    }
    // One pass of a plain main loop.
    void dispatchOne() {
        W::Message m;
        ASSERT_EQ(W::getMessage(m, nullptr, 0, 0), 1);
        W::translateMessage(m);
        W::dispatchMessage(m);
    }
};

TEST(EventService, WorkerPostsArriveOnTheUiThreadInOrderPerThread) {
    MainWindow main;
    ASSERT_NE(main.handle, nullptr);
    std::map<int, std::vector<int>> seen;
    const auto uiThread = std::this_thread::get_id();
    bool offThread = false;
    main.events.renderResultListeners.add([&](int, int value) {
        offThread |= std::this_thread::get_id() != uiThread;
        seen[value / 1000].push_back(value % 1000);
    });
    constexpr int kPosts = 100;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&, t] {
            for (int i = 0; i < kPosts; ++i) W::postMessage(main.handle, W::kWmUser, 0, t * 1000 + i);
        });
    int total = 0;
    while (total < 4 * kPosts) {
        main.dispatchOne();
        total = 0;
        for (const auto& [t, values] : seen) total += static_cast<int>(values.size());
    }
    for (auto& w : workers) w.join();
    EXPECT_FALSE(offThread);
    for (int t = 0; t < 4; ++t) {
        ASSERT_EQ(seen[t].size(), static_cast<size_t>(kPosts));
        for (int i = 0; i < kPosts; ++i) EXPECT_EQ(seen[t][i], i);
    }
}

TEST(EventService, SentImageIsOnTheClipboardWhenTheSendReturns) {
    MainWindow main;
    const uint8_t pixels[2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::atomic<bool> returned{false};
    std::thread renderer([&] {
        const System::ClipboardImage image{2, 1, true, pixels, 8};
        W::sendMessage(main.handle, W::kWmUser, 6, reinterpret_cast<intptr_t>(&image));
        returned = true;
    });
    while (!returned) W::msgWaitForMultipleObjects(0, nullptr, false, 10, W::kQsAllInput);
    renderer.join();
    ASSERT_TRUE(W::openClipboard(nullptr));
    std::vector<uint8_t> block;
    EXPECT_TRUE(W::getClipboardData(W::kCfDib, block));
    W::closeClipboard();
    EXPECT_EQ(block, System::Clipboard::buildBitmap({2, 1, true, pixels, 8}));
}

TEST(EventService, WorkersTaskExceptionRaisesOnTheUiThread) {
    MainWindow main;
    std::thread worker([&] {
        try {
            throw std::runtime_error("worker task failed");
        } catch (const std::exception& e) {
            auto* copy = new std::runtime_error(e.what());
            W::postMessage(main.handle, W::kWmUser, 3, reinterpret_cast<intptr_t>(static_cast<std::exception*>(copy)));
        }
    });
    worker.join();
    try {
        main.dispatchOne();
        FAIL() << "no exception left the dispatch";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "worker task failed");
    }
}

}  // namespace
