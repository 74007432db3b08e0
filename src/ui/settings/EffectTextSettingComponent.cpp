#include "ui/settings/EffectTextSettingComponent.h"

#include <array>
#include <cmath>

#include "core/EventService.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemText.h"
#include "effects/TextInput.h"
#include "platform/window/Menu.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowService.h"

namespace Component {

namespace {

const std::wstring kTitle = L"テキスト編集";
constexpr int32_t kInset = 8;

std::shared_ptr<Edit::Object> focusedObject() {
    const Edit::EditService* edit = Edit::EditService::instance();
    return edit != nullptr && edit->currentScene() ? edit->currentScene()->focusObject : nullptr;
}

}  // namespace

EffectTextSettingComponent::EffectTextSettingComponent()
    : WindowClientRenderTarget(&kTitle, "setting.text", {0.5f, 0.7f, 0.8f, 1.0f, Window::WindowClient::Bottom, false}),
      container_(199, &clientRect, &clientRect),
      settings_("Window.setting.text"),
      showWindowFocusTextObject_(settings_, "ShowWindowFocusTextObject", &showWindowFocusTextObject, 0),
      self_(std::make_shared<EffectTextSettingComponent*>(this)) {
    acceptContextMenu = true;
    for (System::Config::Parameter* parameter : settings_.parameters()) parameter->reset();
    if (System::IniFile* ini = Setting::SettingService::mainSettings()) {
        settings_.load(*ini);
        binding_ = std::make_unique<System::Config::ParameterBinding>(settings_, ini);
    }
    const int32_t h = Window::SettingItemHeight;
    const int32_t bar = Window::ScrollBarSize;
    header_ = std::make_unique<EffectTextSettingHeader>(*this, container_, h);
    editArea_ = std::make_unique<Control::LayoutControl>(container_, kInset, h + kInset, -kInset, -kInset);
    editor_ = std::make_unique<EffectTextSettingControl>(*editArea_, 0, -bar);
    scrollBar_ = std::make_unique<Control::EditScrollBarControl>(*editArea_, -bar, 0, bar, 0);
    scrollBar_->wheelStep = 2 * static_cast<int32_t>(std::ceil(editor_->lineHeight()));
    scrollBar_->bind(*editor_);
    container_.updateChildLayout();

    if (Event::EventService* events = Event::EventService::get()) {
        const std::weak_ptr<EffectTextSettingComponent*> weak = self_;
        auto alive = [weak]() -> EffectTextSettingComponent* {
            const auto self = weak.lock();
            return self ? *self : nullptr;
        };
        events->focusObjectListeners.add([alive](const Event::EventService::ObjectRef& object) {
            if (EffectTextSettingComponent* self = alive()) self->focusChanged(object);
        });
        events->sceneListeners.add([alive](int) {
            if (EffectTextSettingComponent* self = alive()) self->focusChanged(focusedObject());
        });
    }
}

EffectTextSettingComponent::~EffectTextSettingComponent() { *self_ = nullptr; }

EffectTextSettingComponent::Target EffectTextSettingComponent::findTextItem(
    const std::shared_ptr<Edit::Object>& object) {
    Target found;
    if (!object || object->effects.empty()) return found;
    const std::shared_ptr<Effect::EffectBase>& first = object->effects.front();
    // The built-in text source itself, not an effect that shares its name.
    if (dynamic_cast<Effect::TextInput*>(first.get()) == nullptr) return found;
    for (Effect::EffectItem* item : first->items) {
        if (item == nullptr || !Effect::EffectItemText::hasType(item->type)) continue;
        found.effect = first;
        found.item = static_cast<Effect::EffectItemText*>(item);
        break;
    }
    return found;
}

void EffectTextSettingComponent::focusChanged(const std::shared_ptr<Edit::Object>& object) {
    if (shown())
        followFocusObject(object);
    else if (showWindowFocusTextObject != 0)
        showForFocusObject(object);
}

void EffectTextSettingComponent::followFocusObject(const std::shared_ptr<Edit::Object>& object) {
    if (!shown()) return;
    const Target target = findTextItem(object);
    bool changed = false;
    if (target.item != nullptr)
        changed = editor_->setTarget(object, target.effect, target.item);
    else
        changed = editor_->clearTarget();
    if (!changed) return;
    header_->setBound(editor_->bound());
}

void EffectTextSettingComponent::showForFocusObject(const std::shared_ptr<Edit::Object>& object) {
    if (shown() || !object || findTextItem(object).item == nullptr) return;
    if (windowService != nullptr) windowService->makeRoomForClient(*this);
    show(true);
    if (windowService != nullptr) windowService->updateLayout();
}

void EffectTextSettingComponent::applyScopeRequests(const Edit::UpdateSection& scope) {
    EffectTextSettingComponent* panel = get();
    if (panel == nullptr || !scope.textSettingChanged || !panel->editor_->bound()) return;
    panel->editor_->refreshFromItem();
    if (!panel->editor_->bound()) panel->header_->setBound(false);
}

void EffectTextSettingComponent::show(bool visible) {
    placement.hide = visible ? 0 : 1;
    updateRect(false);
    if (shown())
        followFocusObject(focusedObject());
    else
        editor_->clearTarget();
}

void EffectTextSettingComponent::addClientMenu(Window::BaseMenu& menu) {
    {
        Window::BaseMenu options(menu, L"オプション");
        const Window::BaseMenu::Item item =
            options.insertItem(L"テキストオブジェクトのフォーカス時にウィンドウを表示",
                               [this] { showWindowFocusTextObject = showWindowFocusTextObject != 0 ? 0 : 1; });
        if (showWindowFocusTextObject != 0)
            Platform::window::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    }
    WindowClientRenderTarget::addClientMenu(menu);
}

void EffectTextSettingComponent::procPaint() {
    if (!shown() || target == nullptr) return;
    const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w, clientRect.y + clientRect.h,
                          true);
    if (windowService != nullptr)
        fillRectangle(0, 0, clientRect.w, clientRect.h, windowService->brushes.get(Window::StyleBrushList::Background));
    for (size_t i = 0; i < container_.children.size(); ++i) container_.children[i]->procPaint();
    logPlace();
}

void EffectTextSettingComponent::logPlace() {
    // Where the editor sits on the screen, for whoever watches the log; once per place.
    if (windowService == nullptr || windowService->window == nullptr) return;
    const Window::MouseRect& r = editor_->visibleRect;
    if (r.w <= 0 || r.h <= 0) return;
    Platform::window::Point corner{r.x, r.y};
    (void)Platform::window::clientToScreen(windowService->window, corner);
    const std::array<int32_t, 4> place{corner.x, corner.y, r.w, r.h};
    if (place == loggedPlace_) return;
    loggedPlace_ = place;
    System::Log::verbose("Component::EffectTextSettingComponent", "text editor at %d,%d %dx%d on the screen", place[0],
                         place[1], place[2], place[3]);
}

void EffectTextSettingComponent::procMove() {
    WindowClientRenderTarget::procMove();
    container_.updateChildLayout();
    editor_->updateScroll();
}

}  // namespace Component
