#include "app/ProgramHost.h"

#include <utility>

#include "core/EventService.h"
#include "edit/EditService.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "app/PanelMenus.h"
#include "ui/dialogs/LogSettingDialog.h"
#include "ui/framework/WindowService.h"
#include "ui/settings/EffectColorSettingComponent.h"
#include "ui/settings/EffectTimeSettingComponent.h"

namespace App {

ProgramHost& ProgramHost::instance() {
    static ProgramHost host;
    return host;
}

// The render workers' read scope: the project lock held shared, then the
// current scene, which changes only under the lock held exclusively.
std::unique_ptr<Edit::ReadSection> ProgramHost::openCurrentScene() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (!edit) return nullptr;
    auto read = std::make_unique<Edit::ReadSection>(edit->lock(), nullptr, Event::EventService::get());
    read->scene = edit->currentScene();
    return read;
}

// Asked by the caches from a render thread, whose read scope holds the project lock.
std::shared_ptr<Edit::Scene> ProgramHost::findScene(int32_t id) {
    Edit::EditService* edit = Edit::EditService::instance();
    return edit && id != 0 ? edit->project().getScene(id) : nullptr;
}

void ProgramHost::registerWaitHandle(const Platform::os::WaitHandle& handle, std::function<void()> tick) {
    if (Window::WindowService* windows = Window::WindowService::get())
        windows->registerWaitHandle(handle, std::move(tick));
}

void ProgramHost::unregisterWaitHandle(const Platform::os::WaitHandle& handle) {
    if (Window::WindowService* windows = Window::WindowService::get()) windows->unregisterWaitHandle(handle);
}

const Window::Host& ProgramHost::panels() {
    if (panelsFilled_) return panels_;
    panelsFilled_ = true;
    addPanelMenus(panels_);
    // The settings panel's colour rows bind the colour setting panel to theirs.
    panels_.editColor = [](const std::shared_ptr<Edit::Object>& object, Effect::EffectItemColor& item) {
        if (Component::EffectColorSettingComponent* panel = Component::EffectColorSettingComponent::get())
            panel->setTarget(object, &item);
    };
    panels_.colorChanged = [] {
        if (Component::EffectColorSettingComponent* panel = Component::EffectColorSettingComponent::get())
            panel->updateColor();
    };
    // The number rows bind the time-control panel.
    panels_.editTimeControl = [](const std::shared_ptr<Edit::Object>& object, Effect::EffectItemNumber& item) {
        if (auto* panel = Component::EffectTimeSettingComponent::get()) panel->setTarget(object, item);
    };
    // The log panel's options open the log settings.
    panels_.logSettingDialog = [] { Dialog::LogSettingDialog(L"ログの設定").open(); };
    return panels_;
}

}  // namespace App
