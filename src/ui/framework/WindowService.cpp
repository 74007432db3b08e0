#include "ui/framework/WindowService.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "core/Exception.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "ui/framework/DropTarget.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ShortcutList.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowClient.h"
#include "ui/framework/WindowMouseService.h"

namespace Window {

namespace W = Platform::window;

namespace {

// After a language change: an edit scope closed with the refresh flags set
// makes the setting panels build their blocks again and the lists and the
// layer header take their texts anew.
void refreshTranslatedPanels() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || !edit->currentScene()) return;
    auto scope = edit->openSection();
    scope->effectsChanged = true;
    scope->timeSettingChanged = true;
    scope->colorSettingChanged = true;
    scope->textSettingChanged = true;
    scope->objectChanged = true;
    scope->layerChanged = true;
    scope->sceneChanged = true;
    scope->sceneId = scope->scene->id;
}

constexpr uint32_t kWmMouseActivate = 0x0021;
constexpr intptr_t kMaActivateAndEat = 2;
constexpr uint32_t kWmKeyLast = 0x0109;
constexpr uint32_t kWmInitMenuPopup = 0x0117;
constexpr int32_t kMinimumTrackSize = 256;
constexpr int32_t kIconResource = 107;

WindowService* serviceOf(W::WindowHandle window) {
    return reinterpret_cast<WindowService*>(W::getWindowUserData(window));
}

// Swallowed while an export runs: closing, keys, menu commands, mouse and drops.
bool swallowedWhileBusy(uint32_t message) {
    return message == W::kWmClose || (message >= W::kWmKeyDown && message <= kWmKeyLast) || message == W::kWmCommand ||
           (message >= W::kWmMouseMove && message <= W::kWmMouseHWheel) ||
           (message >= W::kWmUser + 1 && message <= W::kWmUser + 3);
}

// One level of the shared target's drawing; the outermost one presents.
class DrawNesting {
public:
    explicit DrawNesting(Media::RenderTarget& target) : target_(target), exceptions_(std::uncaught_exceptions()) {
        target_.beginDraw();
    }
    ~DrawNesting() noexcept(false) {
        if (std::uncaught_exceptions() > exceptions_) {
            try {
                target_.endDraw();
            } catch (...) {
                // Already unwinding: the first failure goes on.
            }
            return;
        }
        target_.endDraw();
    }
    DrawNesting(const DrawNesting&) = delete;
    DrawNesting& operator=(const DrawNesting&) = delete;

private:
    Media::RenderTarget& target_;
    int exceptions_;
};

// The program's icon on the window; a missing picture leaves the default one.
void setProgramIcon(W::WindowHandle window) {
    Media::ImageService* images = Media::ImageService::get();
    if (images == nullptr) return;
    const std::wstring path =
        System::FileName::getExpandedPath((L"%AppInstall%/icons/" + std::to_wstring(kIconResource) + L".png").c_str());
    try {
        const auto image = images->loadFromFile(path);
        std::vector<uint8_t> rows(size_t(image->width) * image->height * 4);
        for (uint32_t y = 0; y < image->height; ++y)
            std::copy_n(image->data() + size_t(y) * image->pitch, size_t(image->width) * 4,
                        rows.data() + size_t(y) * image->width * 4);
        W::setWindowIcon(window, rows.data(), int32_t(image->width), int32_t(image->height));
    } catch (const std::exception&) {
        System::Log::warn("Window::WindowService", "program icon not loaded.");
    }
}

}  // namespace

WindowService::WindowService() : binding_(placement_, Setting::SettingService::mainSettings()) {
    if (System::IniFile* settings = Setting::SettingService::mainSettings()) placement_.load(*settings);
    registerClass();
    try {
        createWindowManager();
    } catch (...) {
        // No destructor runs for a service that failed to build: nothing may keep pointing at it.
        releaseWindow();
        throw;
    }
}

WindowService::~WindowService() { releaseWindow(); }

void WindowService::releaseWindow() {
    Translate::TranslateService::setRebuildHandler(nullptr);
    if (auto* shortcuts = ShortcutList::get()) shortcuts->setMenuCommandRunner(nullptr);
    if (PopupMenu::owner == window) PopupMenu::owner = nullptr;
    if (window != nullptr) W::setWindowMenu(window, nullptr);
    menuWindow = nullptr;
    if (Event::commandWindow() == window) Event::bindCommandWindow(nullptr, nullptr, nullptr);
    if (window != nullptr && W::isWindow(window)) {
        W::destroyWindow(window);
        // Its destruction posted a quit that no loop reads any more; left in the
        // queue it would close the next message box at once (a start-up error
        // shown after the teardown).
        W::Message quit;
        (void)W::peekMessage(quit, nullptr, W::kWmQuit, W::kWmQuit, W::kPmRemove);
    }
    if (WindowMouseService* router = WindowMouseService::get(); router != nullptr && router->window == window)
        router->attachWindow(nullptr);
    window = nullptr;
    waitHandles.clear();
    footer.reset();
    busyHook = nullptr;
    brushes.bind(nullptr);
    bitmaps.bind(nullptr);
}

void WindowService::registerClass() {
    // The class is the procedure the window is made with; nothing to register
    // beyond it on this system.
}

void WindowService::createWindowManager() {
    W::WindowDesc desc;
    desc.title = System::wideToUtf8(title);
    desc.x = placementX;
    desc.y = placementY;
    desc.width = placementW;
    desc.height = placementH;
    desc.procedure = &WindowService::windowProc;
    W::WindowHandle made = W::createWindow(desc);
    if (made == nullptr)
        throw System::lastErrorException("CreateWindowExW", "Window::WindowService::createWindowManager");
    window = made;
    DropTarget::Register(window);
    W::setWindowUserData(window, reinterpret_cast<intptr_t>(this));
    if (WindowMouseService* router = WindowMouseService::get()) router->attachWindow(window);
    setProgramIcon(window);

    createRenderTarget(window);
    brushes.bind(target);
    bitmaps.bind(target);
    footer.reset();
    footer = std::make_unique<FooterBar>(*this);

    // Until now task failures, posted errors and clipboard images were only logged.
    Event::setCommandWindow(window);
    setWindowMenu(window);
    PopupMenu::owner = window;
    if (auto* shortcuts = ShortcutList::get()) shortcuts->setMenuCommandRunner([this](int32_t id) { runCommand(id); });
    Translate::TranslateService::setRebuildHandler([this] {
        rebuild();
        paint();
        refreshTranslatedPanels();
    });

    W::showWindow(window, placementZoom == 1 ? W::kSwMaximize : W::kSwShow);
    W::updateWindow(window);
}

void WindowService::processMessage() {
    W::Message message{};
    for (;;) {
        if (waitHandles.empty()) {
            const int got = W::getMessage(message, nullptr, 0, 0);
            if (got == 0) return;
            if (got < 0) throw System::lastErrorException("GetMessageW", "Window::WindowService::processMessage");
            W::translateMessage(message);
            W::dispatchMessage(message);
            continue;
        }
        // Callbacks may change the registrations: this pass works on copies.
        std::vector<Platform::os::WaitHandle> handles;
        std::vector<WaitCallback> callbacks;
        handles.reserve(waitHandles.size());
        callbacks.reserve(waitHandles.size());
        for (const auto& [handle, callback] : waitHandles) {
            handles.push_back(handle);
            callbacks.push_back(callback);
        }
        const uint32_t result = W::msgWaitForMultipleObjects(handles.size(), handles.data(), false,
                                                             Platform::os::kInfinite, W::kQsAllInput);
        if (result == W::kWaitFailed)
            throw System::lastErrorException("MsgWaitForMultipleObjects", "Window::WindowService::processMessage");
        if (result == W::kWaitObject0 + handles.size()) {
            while (W::peekMessage(message, nullptr, 0, 0, W::kPmRemove)) {
                if (message.message == W::kWmQuit) return;
                W::translateMessage(message);
                W::dispatchMessage(message);
            }
        } else if (result < W::kWaitObject0 + handles.size()) {
            callbacks[result - W::kWaitObject0]();
        }
    }
}

void WindowService::registerWaitHandle(const Platform::os::WaitHandle& handle, WaitCallback callback) {
    waitHandles.try_emplace(handle, std::move(callback));
}

void WindowService::unregisterWaitHandle(const Platform::os::WaitHandle& handle) { waitHandles.erase(handle); }

intptr_t WindowService::windowProc(W::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WindowService* service = serviceOf(window);
    if (service == nullptr) return defaultProc(window, message, wParam, lParam);
    if (!service->inputEnabled) {
        if (service->busyHook && service->busyHook(window, message, wParam, lParam)) return 0;
        if (swallowedWhileBusy(message)) return 0;
    }
    if (ListBox::listShown) {
        // A click beside the open list closes it and does nothing else.
        if (message == W::kWmLButtonDown) ListBox::hide();
        if (message == W::kWmLButtonDown || message == W::kWmRButtonDown || message == W::kWmContextMenu)
            return W::defWindowProc(window, message, wParam, lParam);
    }
    if (WindowMouseService* router = WindowMouseService::get();
        router != nullptr && router->window == window && router->dispatch(window, message, wParam, lParam))
        return 0;
    return service->handleMessage(window, message, wParam, lParam);
}

intptr_t WindowService::defaultProc(W::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case W::kWmCreate:
        // The drop target is registered once the window exists (a failure can
        // then destroy it again).
        return 0;
    case W::kWmDestroy:
        // The window's data no longer leads to the service while it is destroyed.
        if (WindowService* service = get(); service != nullptr && service->window == window) service->stopDrawing();
        DropTarget::Revoke(window);
        W::postQuitMessage(0);
        return 0;
    default: return W::defWindowProc(window, message, wParam, lParam);
    }
}

intptr_t WindowService::handleMessage(W::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case W::kWmSize: resize(W::lowWordSigned(lParam) & 0xFFFF, W::highWordSigned(lParam) & 0xFFFF); return 0;
    case W::kWmPaint: paint(); return 0;
    case W::kWmClose: {
        Edit::EditService* edit = Edit::EditService::instance();
        if (edit == nullptr || edit->confirmDiscard()) return defaultProc(window, message, wParam, lParam);
        return 0;
    }
    case kWmMouseActivate: return W::getActiveWindow() == this->window ? 0 : kMaActivateAndEat;
    case W::kWmGetMinMaxInfo: {
        auto* info = reinterpret_cast<W::MinMaxInfo*>(lParam);
        info->minTrackSize = {kMinimumTrackSize, kMinimumTrackSize};
        return 0;
    }
    case W::kWmWindowPosChanged:
        storePlacement(*reinterpret_cast<const W::WindowPos*>(lParam));
        W::defWindowProc(window, message, wParam, lParam);
        return 0;
    case W::kWmCommand:
        // From a menu or an accelerator: the id in the low 16 bits.
        if (lParam == 0) runCommand(static_cast<int32_t>(wParam & 0xFFFF));
        return 0;
    case kWmInitMenuPopup: refresh(); return 0;
    case W::kWmUser:
        if (eventService != nullptr) eventService->processEventCommandMessage(wParam, lParam);
        return 0;
    default: return defaultProc(window, message, wParam, lParam);
    }
}

void WindowService::stopDrawing() {
    // The window and its surface go now, while the services and panels stay
    // until the teardown and may still be told to draw (the footer's saving
    // text of the exit listeners). Their drawing goes nowhere from now on: the
    // shared target stays as an object, but no drawing begins or ends on it.
    target = nullptr;
    Media::RenderTarget::root->target = nullptr;
}

void WindowService::storePlacement(const W::WindowPos& pos) {
    if (W::isIconic(window)) return;
    if (W::isZoomed(window)) {
        placementZoom = 1;
        return;
    }
    placementZoom = 0;
    if (!(pos.flags & W::kSwpNoMove)) {
        placementX = pos.x;
        placementY = pos.y;
    }
    if (!(pos.flags & W::kSwpNoSize)) {
        placementW = pos.cx;
        placementH = pos.cy;
    }
}

void WindowService::resize(int32_t newWidth, int32_t newHeight) {
    if (target == nullptr) return;
    if (newWidth != width || newHeight != height) resizeRenderTarget();
    width = newWidth;
    height = newHeight;
    layoutRect = {0, 0, newWidth, newHeight};
    const DrawNesting scope(*this);
    layoutWidth = newWidth - 2 + WindowSeparatorSize;
    layoutHeight = newHeight + WindowSeparatorSize - FooterHeight;
    arrangeClients();
    for (WindowClient* client : clients)
        if (client->shown()) client->updateRect(true);
    drawFrame();
    W::validateRect(window);
}

void WindowService::paint() {
    if (target == nullptr) return;
    const DrawNesting scope(*this);
    for (WindowClient* client : clients)
        if (client->shown()) client->procPaint();
    drawFrame();
    W::validateRect(window);
}

void WindowService::updateLayout() {
    if (target == nullptr) return;
    const DrawNesting scope(*this);
    W::Rect client;
    W::getClientRect(window, client);
    resize(client.right - client.left, client.bottom - client.top);
}

void WindowService::drawFrame() {
    if (target == nullptr || width <= 0 || height <= 0) return;
    drawEmptyBackground();
    drawFooter();
    drawSeparators();
}

void WindowService::drawFooter() {
    if (footer) footer->draw();
}

}  // namespace Window
