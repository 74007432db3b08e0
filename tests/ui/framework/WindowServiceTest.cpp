// The main window's service: its loop over wait handles and input, the
// busy filter, the placement it keeps and what it paints.
#include "ui/framework/WindowService.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TranslateService.h"
#include "edit/EditService.h"
#include "edit/UndoService.h"
#include "media/gpu/Direct2DService.h"
#include "media/image/ImageService.h"
#include "platform/draw2d/Brush.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/os/Event.h"
#include "platform/os/WaitableTimer.h"
#include "platform/window/Window.h"
#include "support/ScriptedBoxes.h"
#include "support/TestFolders.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"

namespace {

namespace W = Platform::window;
namespace fs = std::filesystem;

class MainWindow : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        writeFile(install() / "style.conf", style());
        fs::copy(fs::current_path() / "icons", install() / "icons", fs::copy_options::recursive);
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
        images_ = std::make_unique<System::ServiceHolder<Media::ImageService>>();
        direct2d_ = std::make_unique<System::ServiceHolder<Media::Direct2DService>>();
        events_ = std::make_unique<System::ServiceHolder<Event::EventService>>();
        router_ = std::make_unique<System::ServiceHolder<Window::WindowMouseService>>();
    }
    void TearDown() override {
        service_.reset();
        router_.reset();
        events_.reset();
        direct2d_.reset();
        images_.reset();
        settings_.reset();
        TestFolders::TearDown();
    }
    virtual std::string style() const {
        return "[Color]\nBackground=102030\nFooter=c08040\nWindowBorder=405060\n"
               "[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\n";
    }
    Window::WindowService& start() {
        // A window destroyed by an earlier test left its quit message behind.
        W::Message left;
        while (W::peekMessage(left, nullptr, 0, 0, W::kPmRemove)) {
        }
        service_ = std::make_unique<System::ServiceHolder<Window::WindowService>>();
        return *Window::WindowService::get();
    }
    // Drops the service so its settings reach the main settings document.
    std::string stop() {
        service_.reset();
        settings_.reset();
        return readFile(appData() / "velmo2.ini");
    }

    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
    std::unique_ptr<System::ServiceHolder<Media::ImageService>> images_;
    std::unique_ptr<System::ServiceHolder<Media::Direct2DService>> direct2d_;
    std::unique_ptr<System::ServiceHolder<Event::EventService>> events_;
    std::unique_ptr<System::ServiceHolder<Window::WindowMouseService>> router_;
    std::unique_ptr<System::ServiceHolder<Window::WindowService>> service_;
};

TEST_F(MainWindow, BecomesTheCommandWindowWhileItLives) {
    EXPECT_EQ(Event::commandWindow(), nullptr);
    Window::WindowService& service = start();
    EXPECT_NE(service.window, nullptr);
    EXPECT_EQ(Event::commandWindow(), service.window);
    EXPECT_EQ(W::getWindowUserData(service.window), reinterpret_cast<intptr_t>(&service));
    service_.reset();
    EXPECT_EQ(Event::commandWindow(), nullptr);
    // No quit is left behind to end a later loop or close a later box.
    W::Message left;
    EXPECT_FALSE(W::peekMessage(left, nullptr, 0, 0, W::kPmNoRemove)) << left.message;
}

TEST_F(MainWindow, ATimerCallbackRunsOnTheUiThreadAndTheLoopEndsOnQuit) {
    Window::WindowService& service = start();
    Platform::os::WaitableTimer timer;
    ASSERT_EQ(timer.create(), Platform::kOk);
    ASSERT_EQ(timer.set(1, 1), Platform::kOk);
    std::vector<std::thread::id> ran;
    service.registerWaitHandle(timer.handle(), [&] {
        ran.push_back(std::this_thread::get_id());
        if (ran.size() == 3) {
            service.unregisterWaitHandle(timer.handle());
            W::postQuitMessage(0);
        }
    });
    service.processMessage();
    ASSERT_EQ(ran.size(), 3u);
    for (const auto& id : ran) EXPECT_EQ(id, std::this_thread::get_id());
    EXPECT_TRUE(service.waitHandles.empty());
}

TEST_F(MainWindow, RegistrationsKeepTheFirstCallbackAndChangesTakeEffectNextPass) {
    Window::WindowService& service = start();
    Platform::os::Event first, second;
    ASSERT_EQ(first.create(true, true), Platform::kOk);
    ASSERT_EQ(second.create(true, true), Platform::kOk);
    std::vector<std::string> ran;
    service.unregisterWaitHandle(second.handle());  // not registered: nothing happens
    service.registerWaitHandle(first.handle(), [&] {
        ran.push_back("first");
        // Still signalled: only the unregistration keeps it from running again.
        service.unregisterWaitHandle(first.handle());
        service.registerWaitHandle(second.handle(), [&] {
            ran.push_back("second");
            service.unregisterWaitHandle(second.handle());
            W::postQuitMessage(0);
        });
    });
    service.registerWaitHandle(first.handle(), [&] { ran.push_back("dropped"); });
    EXPECT_EQ(service.waitHandles.size(), 1u);
    service.processMessage();
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second"}));
}

TEST_F(MainWindow, FailuresInTheLoopLeaveItForTheEntryPoint) {
    Window::WindowService& service = start();
    Platform::os::Event signalled;
    ASSERT_EQ(signalled.create(true, true), Platform::kOk);
    service.registerWaitHandle(signalled.handle(), [] { throw std::runtime_error("callback failed"); });
    EXPECT_THROW(service.processMessage(), std::runtime_error);
    service.unregisterWaitHandle(signalled.handle());

    service.registerWaitHandle(Platform::os::WaitHandle{-1, false}, [] {});
    try {
        service.processMessage();
        ADD_FAILURE() << "a wait on no object returned";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("MsgWaitForMultipleObjects"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Window::WindowService::processMessage"), std::string::npos) << e.what();
    }
}

TEST_F(MainWindow, AnErrorPostedByAWorkerIsShownFromTheLoop) {
    Window::WindowService& service = start();
    ScriptedBoxes boxes;
    std::thread worker([] {
        auto* text = new std::wstring(L"disk full");
        if (!Event::postEventCommand(Event::EventCommandType::ShowError, reinterpret_cast<intptr_t>(text))) delete text;
    });
    worker.join();
    // The box is the last thing the posted message does; the quit comes behind it.
    W::postMessage(service.window, W::kWmClose, 0, 0);
    service.processMessage();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("disk full"), std::string::npos);
    EXPECT_FALSE(W::isWindow(service.window));
}

TEST_F(MainWindow, WhileBusyInputIsSwallowedUnlessTheHookTakesItFirst) {
    Window::WindowService& service = start();
    std::vector<uint32_t> offered;
    service.inputEnabled = false;
    service.busyHook = [&](W::WindowHandle&, uint32_t& message, uintptr_t&, intptr_t&) {
        offered.push_back(message);
        return message == W::kWmKeyUp;
    };
    const uint32_t swallowed[] = {W::kWmClose,       W::kWmKeyDown,     0x0109,         W::kWmCommand, W::kWmMouseMove,
                                  W::kWmLButtonDown, W::kWmMouseHWheel, W::kWmUser + 1, W::kWmUser + 3};
    for (const uint32_t message : swallowed) EXPECT_EQ(W::sendMessage(service.window, message, 0, 0), 0) << message;
    EXPECT_TRUE(W::isWindow(service.window)) << "closing is swallowed";

    // Sizing and the limits still pass.
    W::MinMaxInfo info{};
    W::sendMessage(service.window, W::kWmGetMinMaxInfo, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.minTrackSize.x, 256);
    EXPECT_EQ(info.minTrackSize.y, 256);
    W::sendMessage(service.window, W::kWmSize, 0, W::makeLParam(400, 300));
    EXPECT_EQ(service.layoutWidth, 400 - 2 + Window::WindowSeparatorSize);
    EXPECT_EQ(offered.size(), std::size(swallowed) + 2);

    // Input back on: closing closes.
    service.inputEnabled = true;
    W::sendMessage(service.window, W::kWmClose, 0, 0);
    EXPECT_FALSE(W::isWindow(service.window));
}

TEST_F(MainWindow, SizeMessagesLayTheWindowOutAroundTheFooter) {
    Window::WindowService& service = start();
    const struct { int32_t width, height; } cases[] = {{800, 600}, {256, 256}, {0, 0}};
    for (const auto& c : cases) {
        W::sendMessage(service.window, W::kWmSize, 0, W::makeLParam(c.width, c.height));
        EXPECT_EQ(service.layoutWidth, c.width - 2 + 5) << c.width;
        EXPECT_EQ(service.layoutHeight, c.height + 5 - 24) << c.height;
        EXPECT_EQ(service.drawCount, 0) << "every scope closed";
    }
}

TEST_F(MainWindow, TheEmptyLayoutShowsTheStyleColours) {
    Window::WindowService& service = start();
    W::moveWindow(service.window, 0, 0, 320, 240);
    service.updateLayout();
    ASSERT_GE(service.width, 256);
    ASSERT_GE(service.height, 256 > 240 ? 200 : 240);
    const int32_t h = service.height;
    EXPECT_EQ(service.target->pixel(10, 10), 0xFF102030u);
    EXPECT_EQ(service.target->pixel(10, h - 30), 0xFF102030u);
    EXPECT_EQ(service.target->pixel(10, h - 20), 0xFFC08040u);
    EXPECT_EQ(service.target->pixel(service.width - 1, h - 1), 0xFFC08040u);
}

TEST_F(MainWindow, ALanguageChangeRepaintsTheWindowWhileItLives) {
    System::ServiceHolder<Translate::TranslateService> translate;
    Window::WindowService& service = start();
    service.updateLayout();
    const Platform::draw2d::SolidColorBrush red{{1, 0, 0, 1}};
    service.beginDraw();
    service.fillRectangle(0, 0, service.width, service.height, red);
    service.endDraw();
    ASSERT_EQ(service.target->pixel(10, 10), 0xFFFF0000u);
    translate.get()->updateLanguage();
    EXPECT_EQ(service.target->pixel(10, 10), 0xFF102030u);
    service_.reset();
    translate.get()->updateLanguage();  // the handler went with the window
}

TEST_F(MainWindow, ALanguageChangeHasThePanelsAndListsTakeTheirTextsAgain) {
    System::ServiceHolder<Translate::TranslateService> translate;
    System::ServiceHolder<Undo::UndoService> undo;
    System::ServiceHolder<Edit::EditService> edit;
    start();
    Event::EventService& events = *Event::EventService::get();
    std::vector<std::string> heard;
    events.sceneListeners.add([&](int id) { heard.push_back("scene " + std::to_string(id)); });
    events.layerListeners.add([&] { heard.push_back("layers"); });
    events.objectChangedListeners.add([&](const auto&) { heard.push_back("objects"); });
    translate.get()->updateLanguage();
    EXPECT_EQ(heard, (std::vector<std::string>{"objects", "layers", "scene 0"}));
    EXPECT_FALSE(Undo::UndoService::get()->canUndo()) << "nothing to undo";
}

TEST_F(MainWindow, PlacementIsKeptForTheNormalWindow) {
    Window::WindowService& service = start();
    const struct {
        W::WindowPos pos;
    } cases[] = {
        {{nullptr, nullptr, 40, 50, 900, 700, 0}},
        {{nullptr, nullptr, 99, 99, 640, 480, W::kSwpNoMove}},
        {{nullptr, nullptr, 70, 80, 1, 1, W::kSwpNoSize}},
    };
    for (const auto& c : cases) {
        W::WindowPos pos = c.pos;
        pos.window = service.window;
        W::sendMessage(service.window, W::kWmWindowPosChanged, 0, reinterpret_cast<intptr_t>(&pos));
    }
    const std::string ini = stop();
    ASSERT_NE(ini.find("[Window]\r\n"), std::string::npos) << ini;
    for (const char* line : {"\nx=70\r", "\ny=80\r", "\nw=640\r", "\nh=480\r", "\nzoom=0\r"})
        EXPECT_NE(ini.find(line), std::string::npos) << line << ini;
}

TEST_F(MainWindow, TheStoredPlacementPlacesTheWindow) {
    settings_.reset();  // it writes its document back when it goes
    writeFile(appData() / "velmo2.ini", "[Window]\r\nx=12\r\ny=34\r\nw=500\r\nh=400\r\nzoom=0\r\n");
    settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
    Window::WindowService& service = start();
    EXPECT_EQ(service.placementW, 500);
    if (!W::hasDisplay()) {
        W::Rect client;
        ASSERT_TRUE(W::getClientRect(service.window, client));
        EXPECT_EQ(client.right - client.left, 500);
        EXPECT_EQ(client.bottom - client.top, 400);
    }
    EXPECT_TRUE(W::isWindowVisible(service.window));
}

class BadStyle : public MainWindow {
protected:
    std::string style() const override {
        return "[Color]\nBackground=nonsense\n[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight="
               "24\n";
    }
};

TEST_F(BadStyle, AnUnreadableBackgroundFailsTheFirstPaint) {
    try {
        // Shown with a display, the window is laid out at once; without, at the start-up's layout.
        start().updateLayout();
        ADD_FAILURE() << "the layout paints the background";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("ini file parameter invalid format(RGB) or undefined."), std::string::npos)
            << e.what();
    }
    // A service that failed to build leaves nothing pointing at it.
    if (Window::WindowService::get() == nullptr) EXPECT_EQ(Event::commandWindow(), nullptr);
}

}  // namespace
