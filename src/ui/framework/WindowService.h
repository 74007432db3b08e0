#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/EventInstance.h"
#include "core/ServiceHolder.h"
#include "media/gpu/RenderTarget.h"
#include "platform/os/Wait.h"
#include "platform/window/Message.h"
#include "ui/framework/DockLayout.h"
#include "ui/framework/FooterBar.h"
#include "ui/framework/StyleBitmapList.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowMenuManager.h"

// The one top-level window the whole user interface lives in, and the UI
// thread's main loop. Everything here runs on the UI thread; other threads
// reach the window only by posting command messages to it.
namespace Window {

class WindowService : public Media::RenderTargetWindow,
                      public DockLayout,
                      public Event::EventInstance,
                      public WindowMenuManager {
public:
    using WaitCallback = std::function<void()>;
    // Asked first for every message while input is disabled; true consumes it.
    using BusyHook = std::function<bool(Platform::window::WindowHandle&, uint32_t&, uintptr_t&, intptr_t&)>;

    struct WaitHandleHash {
        size_t operator()(const Platform::os::WaitHandle& h) const {
            return std::hash<int>()(h.fd) * 2 + (h.consumes ? 1 : 0);
        }
    };

    // Creates and shows the main window at its stored placement; throws on failure.
    WindowService();
    ~WindowService();
    WindowService(const WindowService&) = delete;
    WindowService& operator=(const WindowService&) = delete;

    static WindowService* get() { return System::ServiceSlot<WindowService>::instance; }

    // Pumps messages until the quit message; with registered handles waits on
    // them and on input together and runs one callback or one batch per pass.
    void processMessage();
    // A handle already registered keeps its first callback.
    void registerWaitHandle(const Platform::os::WaitHandle& handle, WaitCallback callback);
    void unregisterWaitHandle(const Platform::os::WaitHandle& handle);

    static intptr_t windowProc(Platform::window::WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam);
    static intptr_t defaultProc(Platform::window::WindowHandle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam);
    intptr_t handleMessage(Platform::window::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

    // Lays the window out for a client size and draws it.
    void resize(int32_t width, int32_t height);
    // Redraws the whole window.
    void paint();
    // resize for the current client size.
    void updateLayout() override;

    StyleBrushList brushes;
    StyleBitmapList bitmaps;
    Platform::window::WindowHandle window = nullptr;
    std::wstring title = L"Velmo Kirta2";
    std::unique_ptr<FooterBar> footer;
    bool inputEnabled = true;
    BusyHook busyHook;
    std::unordered_map<Platform::os::WaitHandle, WaitCallback, WaitHandleHash> waitHandles;

    // The "Window" placement of the normal window, and whether it was maximised.
    int32_t placementX = 0, placementY = 0, placementW = 1280, placementH = 720, placementZoom = 0;

protected:
    Media::RenderTarget& layoutTarget() override { return *this; }
    StyleBrushList& layoutBrushes() override { return brushes; }
    void drawFooter() override;

private:
    void registerClass();
    // Destroys the window and unhooks the service from the event and translation services.
    void releaseWindow();
    void createWindowManager();
    void drawFrame();
    // Called as the window is destroyed: nothing draws into its target any more.
    void stopDrawing();
    void storePlacement(const Platform::window::WindowPos& pos);

    System::Config::ParameterGroup placement_{"Window"};
    System::Config::Int x_{placement_, "x", &placementX, 0};
    System::Config::Int y_{placement_, "y", &placementY, 0};
    System::Config::Int w_{placement_, "w", &placementW, 1280};
    System::Config::Int h_{placement_, "h", &placementH, 720};
    System::Config::Int zoom_{placement_, "zoom", &placementZoom, 0};
    System::Config::ParameterBinding binding_;
};

}  // namespace Window
