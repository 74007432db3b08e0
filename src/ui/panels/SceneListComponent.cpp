#include "ui/panels/SceneListComponent.h"

#include <algorithm>

#include "core/EventService.h"
#include "core/FileName.h"
#include "core/StringHelper.h"
#include "edit/EditService.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/Scene.h"
#include "effect/EffectService.h"
#include "platform/window/SystemMetrics.h"
#include "ui/framework/DropFiles.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ToolTips.h"
#include "ui/panels/SceneButtonControl.h"

namespace Component {

namespace {

const std::wstring kTitle = L"シーンリスト";

bool isKtoFile(const std::wstring& path) {
    std::wstring extension = System::FileName::getExtension(path.c_str());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; });
    return extension == L"kto";
}

}  // namespace

SceneListComponent::SceneListComponent()
    : ListPanelComponent(&kTitle, "scene.list", {0.0f, 0.7f, 0.2f, 1.0f, Window::WindowClient::Left, true},
                         "Component::SceneListComponent", "scene list"),
      self_(std::make_shared<SceneListComponent*>(this)) {
    acceptContextMenu = true;
    acceptDrop = true;
    if (Event::EventService* events = Event::EventService::get()) {
        const std::weak_ptr<SceneListComponent*> weak = self_;
        events->sceneListeners.add([weak](int) {
            if (const auto self = weak.lock(); self && *self) (*self)->rebuild();
        });
    }
    rebuild();
}

SceneListComponent::~SceneListComponent() {
    *self_ = nullptr;
    list_->items.clear();
    retired_.clear();
}

void SceneListComponent::rebuild() {
    // A row's own handler may be what changed the scenes (a click, its
    // menu), and the router still reaches the row after the handler
    // returns: rows of scenes that stay are kept, and rows of scenes that
    // went are hidden and freed only at the next rebuild.
    retired_.clear();
    std::vector<std::unique_ptr<Control::ListItemBase>> old = std::move(list_->items);
    list_->items.clear();
    if (Edit::EditService* edit = Edit::EditService::instance())
        for (const std::shared_ptr<Edit::Scene>& scene : edit->project().getSceneList()) {
            const auto kept = std::find_if(old.begin(), old.end(), [&](const auto& row) {
                return row && static_cast<SceneButtonControl*>(row->control)->scene == scene;
            });
            if (kept != old.end()) {
                list_->items.push_back(std::move(*kept));
                list_->items.back()->control->invalidate();
            } else {
                list_->items.push_back(std::make_unique<SceneButtonControl>(*list_, *this, scene));
            }
        }
    for (auto& row : old)
        if (row) {
            row->control->visible = false;
            retired_.push_back(std::move(row));
        }
    std::stable_sort(list_->items.begin(), list_->items.end(),
                     [](const auto& a, const auto& b) { return a->order() < b->order(); });
    list_->layoutItems();
    list_->procMove();
    list_->procPaint();
}

void SceneListComponent::procContextMenu(int32_t, int32_t) {
    Window::PopupMenu menu;
    menu.insertItem(L"シーンを新規作成", [] {
        if (Edit::EditService* edit = Edit::EditService::instance()) edit->newScene();
    });
    menu.insertSeparator();
    addClientMenu(menu);
    menu.show();
}

bool SceneListComponent::procDragOver(int32_t, int32_t, Window::DropFiles& files) {
    if (files.files.empty()) return false;
    const std::wstring& path = files.files.front();
    const Effect::EffectService* effects = Effect::EffectService::get();
    if (!isKtoFile(path) && (effects == nullptr || !effects->isSupportedFile(path))) return false;
    Platform::window::Point at = files.point;
    at.y += Platform::window::getSystemMetrics(Platform::window::kSmCyCursor);
    Window::ToolTips::show(at, L"シーンを作成", 0);
    return true;
}

bool SceneListComponent::procDrop(int32_t, int32_t, Window::DropFiles& files) {
    if (files.files.empty()) return false;
    const std::wstring& path = files.files.front();
    if (isKtoFile(path)) {
        Edit::EditService* edit = Edit::EditService::instance();
        return edit != nullptr && edit->importSceneFromKto(path);
    }
    return Edit::EditCommand::createSceneFromFile(path);
}

}  // namespace Component
