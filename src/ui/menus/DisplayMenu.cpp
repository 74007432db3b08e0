#include "ui/menus/DisplayMenu.h"

#include <charconv>
#include <memory>

#include "core/SettingService.h"
#include "edit/EditService.h"
#include "edit/FrameZoom.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/Scene.h"
#include "render/MoviePlayer.h"
#include "render/RenderService.h"
#include "ui/framework/DockLayout.h"
#include "ui/framework/WindowClient.h"
#include "ui/framework/WindowMenuManager.h"
#include "ui/framework/WindowService.h"

namespace Menu {

namespace {

DisplayMenu::Views& views() {
    static DisplayMenu::Views installed;
    return installed;
}

using Window::WindowMenuManager;

constexpr int32_t kNumpadAdd = 0x6B;
constexpr int32_t kNumpadSubtract = 0x6D;
constexpr int32_t kQuote = 0xDE;
constexpr int32_t kBackslash = 0xDC;
constexpr int32_t kSpace = 0x20;

bool isExplorer(const Window::WindowClient& panel) { return panel.sectionName().rfind("Window.explorer", 0) == 0; }

// Shows a hidden panel where its placement says, making room for it, or hides a shown one.
void toggle(Window::WindowClient& panel) {
    Window::WindowService* service = panel.windowService;
    const bool hidden = !panel.shown();
    if (hidden && service) service->makeRoomForClient(panel);
    panel.show(hidden);
    if (service) service->updateLayout();
}

// One step up or down the timeline's zoom table, around the cursor.
void stepTimelineZoom(int32_t steps) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (!views().zoomTimeline || !edit || !edit->currentScene()) return;
    const Edit::Scene& scene = *edit->currentScene();
    views().zoomTimeline(scene.displayZoom.getStepZoom(steps), scene.cursorFrame);
}

void playOrStop() {
    Render::RenderService* render = Render::RenderService::get();
    if (!render) return;
    Render::MoviePlayer& player = render->player();
    if (player.isPlaying())
        player.stop();
    else
        player.play();
}

}  // namespace

DisplayMenu::Views DisplayMenu::setViews(Views installed) {
    Views previous = std::move(views());
    views() = std::move(installed);
    return previous;
}

std::vector<int32_t> DisplayMenu::previewZoomPresets(const std::string& text) {
    std::vector<int32_t> presets;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(',', start);
        std::string part = text.substr(start, at == std::string::npos ? std::string::npos : at - start);
        const size_t first = part.find_first_not_of(" \t");
        const size_t last = part.find_last_not_of(" \t");
        part = first == std::string::npos ? std::string() : part.substr(first, last - first + 1);
        int32_t value = -1;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (error != std::errc() || end != part.data() + part.size()) value = -1;
        if (value >= 0) presets.push_back(value);
        if (at == std::string::npos) return presets;
        start = at + 1;
    }
}

std::wstring DisplayMenu::previewZoomText(int32_t zoom) {
    return zoom == 0 ? std::wstring(L"WindowSize") : std::to_wstring(zoom) + L"%";
}

Window::DockLayout* DisplayMenu::layout() const { return dynamic_cast<Window::DockLayout*>(&bar()); }

void DisplayMenu::createMenu() {
    WindowMenuManager& owner = bar();

    // The panels in the order they were made; explorers apart.
    std::vector<Window::WindowClient*> explorers;
    if (Window::DockLayout* dock = layout()) {
        const std::vector<Window::WindowClient*> panels = dock->clients;
        for (Window::WindowClient* panel : panels) {
            if (isExplorer(*panel)) {
                explorers.push_back(panel);
                continue;
            }
            auto item = menu.insertItem(panel->title ? *panel->title : std::wstring(), [panel] { toggle(*panel); });
            owner.setCheck(item, [panel] { return panel->shown(); });
            WindowMenuManager::setShortcut(item, 0);
        }
    }
    if (!explorers.empty()) {
        Window::BaseMenu sub(menu, L"メディアエクスプローラー");
        sub.label = menu.label;
        for (Window::WindowClient* panel : explorers) {
            auto item = sub.insertItem(panel->title ? *panel->title : std::wstring(), [panel] { toggle(*panel); });
            owner.setCheck(item, [panel] { return panel->shown(); });
            WindowMenuManager::setShortcut(item, 0);
        }
    }
    menu.insertSeparator();

    {
        Window::BaseMenu zoom(menu, L"プレビュー編集の拡大表示");
        zoom.label = menu.label;
        std::string presets;
        if (Setting::SettingService* settings = Setting::SettingService::get())
            presets = settings->system.config.getValue("PreviewZoom").text;
        for (const int32_t value : previewZoomPresets(presets)) {
            auto item = zoom.insertItem(previewZoomText(value), [value] {
                if (views().previewZoom) views().previewZoom(value);
            });
            owner.setEnable(item, [] { return static_cast<bool>(views().previewZoom); });
            WindowMenuManager::setShortcut(item, 0);
        }
        zoom.insertSeparator();
        WindowMenuManager::setShortcut(zoom.insertItem(L"ズームイン", [] {}), kNumpadAdd);
        WindowMenuManager::setShortcut(zoom.insertItem(L"ズームアウト", [] {}), kNumpadSubtract);
    }
    {
        Window::BaseMenu zoom(menu, L"レイヤー編集の拡大表示");
        zoom.label = menu.label;
        WindowMenuManager::setShortcut(zoom.insertItem(L"ズームイン", [] { stepTimelineZoom(1); }), kQuote);
        WindowMenuManager::setShortcut(zoom.insertItem(L"ズームアウト", [] { stepTimelineZoom(-1); }), kBackslash);
    }
    menu.insertSeparator();

    {
        auto item = menu.insertItem(L"グリッド(BPM)の表示", [] {
            if (views().toggleTempoGrid) views().toggleTempoGrid();
        });
        owner.setCheck(item, [] { return views().tempoGrid && views().tempoGrid(); });
        WindowMenuManager::setShortcut(item, 0);
    }
    using Edit::EditCommand::ViewSwitch;
    // Each switch goes to the negation of the stored value.
    struct Entry {
        const wchar_t* label;
        ViewSwitch which;
        void (*set)(bool enable);
    } entries[] = {
        {L"グリッド(カメラ制御)の表示", ViewSwitch::CameraGrid, &Edit::EditCommand::setCameraGrid},
        {L"編集視点(カメラ制御)表示", ViewSwitch::CameraFreeView, &Edit::EditCommand::setCameraFreeView},
        {L"クリッピングオブジェクトの視覚化", ViewSwitch::VisibleClippingObject,
         &Edit::EditCommand::setVisibleClippingObjectView},
    };
    for (const Entry& entry : entries) {
        auto item = menu.insertItem(entry.label, [which = entry.which, set = entry.set] {
            if (Edit::EditService::instance()) set(Edit::EditCommand::getViewSwitch(which) == 0);
        });
        owner.setCheck(item, [which = entry.which] { return Edit::EditCommand::getViewSwitch(which) != 0; });
        WindowMenuManager::setShortcut(item, 0);
    }
    menu.insertSeparator();
    WindowMenuManager::setShortcut(menu.insertItem(L"プレビュー再生・停止", [] { playOrStop(); }), kSpace);
}

}  // namespace Menu
