#include "ui/settings/EffectTimeSettingComponent.h"

#include <algorithm>
#include <exception>

#include "core/EventService.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectService.h"
#include "effect/MovementBase.h"
#include "effect/MovementDefine.h"
#include "effect/MovementParamsDefine.h"
#include "effect/MovementParamsManager.h"
#include "platform/window/Menu.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/TopLevel.h"
#include "ui/dialogs/ShowError.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/EffectListMenu.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowService.h"
#include "ui/settings/TimeControlPresetDialog.h"

namespace Component {

namespace {

namespace W = Platform::window;
using Translate::TranslateService;
using Brushes = Window::StyleBrushList;

const std::wstring kTitle = L"時間制御編集";

std::wstring effectText(const std::wstring& text) {
    if (!TranslateService::isActive()) return text;
    return Translate::translated(TranslateService::Table::Effect, text.c_str());
}

// Tips of this panel show below the pointer for three seconds.
void showTip(const wchar_t* text) {
    W::Point at{};
    if (!W::getCursorPos(at)) return;
    at.y += W::getSystemMetrics(W::kSmCyCursor);
    Window::ToolTips::show(at, text, 3000);
}

bool timeControlled(Effect::EffectItem* item) {
    const auto* number = item != nullptr ? item->to<Effect::EffectItemNumber>() : nullptr;
    return number != nullptr && number->movement != nullptr && number->movement->timeControl != 0;
}

std::wstring movementName(const Effect::MovementBase& movement) {
    if (const Effect::EffectService* effects = Effect::EffectService::get())
        for (const auto& [name, define] : effects->movements())
            if (define->movement().get() == &movement) return effectText(define->getDisplayName());
    return effectText(movement.name);
}

std::shared_ptr<Edit::Scene> currentScene() {
    const Edit::EditService* edit = Edit::EditService::instance();
    return edit != nullptr ? edit->currentScene() : nullptr;
}

}  // namespace

EffectTimeSettingComponent::EffectTimeSettingComponent()
    : WindowClientRenderTarget(&kTitle, "setting.time", {0.5f, 0.7f, 0.8f, 1.0f, Window::WindowClient::Bottom, false}),
      container_(199, &clientRect, &clientRect),
      settings_(sectionName().c_str()),
      displaySectionPositionParameter_(settings_, "DisplaySectionPosition", &displaySectionPosition, 0),
      showWindowTargetMovementParameter_(settings_, "ShowWindowTargetMovement", &showWindowTargetMovement, 1),
      self_(std::make_shared<EffectTimeSettingComponent*>(this)) {
    acceptContextMenu = true;
    for (System::Config::Parameter* parameter : settings_.parameters()) parameter->reset();
    if (System::IniFile* ini = Setting::SettingService::mainSettings()) {
        settings_.load(*ini);
        binding_ = std::make_unique<System::Config::ParameterBinding>(settings_, ini);
    }
    const int32_t h = Window::SettingItemHeight;
    header_ = std::make_unique<EffectTimeSettingHeader>(*this, container_, h);
    editor_ = std::make_unique<EffectTimeSettingControl>(container_, 0, h, 0, 0);
    editor_->panel.showSections = [this] { return displaySectionPosition != 0; };
    editor_->panel.panelMenu = [this](Window::BaseMenu& menu) { addClientMenu(menu); };
    container_.updateChildLayout();
    updateTitle();

    if (Event::EventService* events = Event::EventService::get()) {
        const std::weak_ptr<EffectTimeSettingComponent*> weak = self_;
        auto alive = [weak]() -> EffectTimeSettingComponent* {
            const auto self = weak.lock();
            return self ? *self : nullptr;
        };
        events->focusObjectListeners.add([alive](const Event::EventService::ObjectRef& object) {
            if (EffectTimeSettingComponent* self = alive()) self->followFocusObject(object);
        });
        events->cursorFrameListeners.add([alive](int frame) {
            if (EffectTimeSettingComponent* self = alive()) self->editor_->updateCursorPosition(frame);
        });
        events->sceneListeners.add([alive](int) {
            EffectTimeSettingComponent* self = alive();
            const std::shared_ptr<Edit::Scene> scene = currentScene();
            if (self == nullptr || !scene) return;
            self->followFocusObject(scene->focusObject);
            self->editor_->updateCursorPosition(scene->cursorFrame);
        });
    }
}

EffectTimeSettingComponent::~EffectTimeSettingComponent() { *self_ = nullptr; }

// ---- the bound item

std::vector<EffectTimeSettingComponent::ItemRef> EffectTimeSettingComponent::getTimeControlItems(
    const std::shared_ptr<Edit::Object>& object) {
    std::vector<ItemRef> found;
    if (!object) return found;
    for (const std::shared_ptr<Effect::EffectBase>& effect : object->effects) {
        for (Effect::EffectItem* each : effect->items) {
            if (!timeControlled(each)) continue;
            auto* number = each->to<Effect::EffectItemNumber>();
            if (number->group != nullptr && !number->group->members.empty() && number->group->members.front() != number)
                continue;
            found.push_back({object, effect, number});
        }
    }
    return found;
}

std::wstring EffectTimeSettingComponent::itemLabel(const ItemRef& ref) {
    if (ref.item == nullptr || !ref.effect) return {};
    std::wstring effectName = ref.effect->name;
    if (ref.effect->role == Effect::EffectBase::kOutput && ref.object && !ref.object->effects.empty())
        effectName = ref.object->effects.front()->name;
    std::wstring label = effectText(effectName) + L" [";
    const Effect::EffectItemGroup* group = ref.item->group;
    if (group != nullptr && group->members.size() > 1) {
        const int32_t start = std::max(group->indexOf(ref.item), 0);
        const auto n = static_cast<int32_t>(group->members.size());
        for (int32_t k = 0; k < n; ++k) {
            if (k > 0) label += L",";
            label += effectText(group->members[static_cast<size_t>((start + k) % n)]->name);
        }
    } else {
        label += effectText(ref.item->name);
    }
    return label + L"]";
}

void EffectTimeSettingComponent::bind(const ItemRef& ref) {
    editor_->setTarget(ref.object, ref.effect, ref.item);
    const std::shared_ptr<Edit::Scene> scene = currentScene();
    if (scene) editor_->updateCursorPosition(scene->cursorFrame);
    updateTitle();
}

void EffectTimeSettingComponent::followFocusObject(const std::shared_ptr<Edit::Object>& object) {
    const auto unbind = [this] {
        if (editor_->clearTarget()) updateTitle();
    };
    if (!shown() || !object || object->effects.empty()) {
        unbind();
        return;
    }
    size_t index = 0;
    if (object->effects.front()->role == Effect::EffectBase::kInput && object->effects.size() > 1) index = 1;
    const std::shared_ptr<Effect::EffectBase>& effect = object->effects[index];
    for (Effect::EffectItem* each : effect->items) {
        if (timeControlled(each)) {
            bind({object, effect, each->to<Effect::EffectItemNumber>()});
            return;
        }
    }
    unbind();
}

void EffectTimeSettingComponent::setTarget(const std::shared_ptr<Edit::Object>& object,
                                           Effect::EffectItemNumber& item) {
    if (!object) return;
    for (const std::shared_ptr<Effect::EffectBase>& effect : object->effects) {
        if (std::find(effect->items.begin(), effect->items.end(), &item) == effect->items.end()) continue;
        bind({object, effect, &item});
        if (!shown()) {
            if (windowService != nullptr) windowService->makeRoomForClient(*this);
            show(true);
            if (windowService != nullptr) windowService->updateLayout();
        }
        procPaint();
        return;
    }
}

void EffectTimeSettingComponent::followMovementChange(const std::shared_ptr<Edit::Object>& object,
                                                      Effect::EffectItemNumber& item) {
    if (showWindowTargetMovement != 0 && timeControlled(&item)) setTarget(object, item);
}

void EffectTimeSettingComponent::updateTitle() {
    Control::TextControl& title = header_->title;
    const EffectTimeSettingControl& e = *editor_;
    if (e.item == nullptr) {
        title.text = Translate::translated(TranslateService::Table::Menu, L"時間制御");
        title.textBrush = Brushes::TextDisable;
    } else {
        title.text = itemLabel({e.object, e.effect, e.item}) + L" " + movementName(*e.item->movement);
        title.textBrush = Brushes::Text;
    }
    header_->invalidate();
}

void EffectTimeSettingComponent::refreshTarget() {
    EffectTimeSettingControl& e = *editor_;
    if (e.item == nullptr) return;
    const bool stillThere = e.object && e.object->layer != -1 &&
                            std::find(e.object->effects.begin(), e.object->effects.end(), e.effect) !=
                                e.object->effects.end() &&
                            timeControlled(e.item);
    if (!stillThere) {
        if (e.clearTarget()) updateTitle();
        return;
    }
    e.loadControlAnchors(e.item->timeControl);
    e.invalidate();
    updateTitle();
}

void EffectTimeSettingComponent::applyScopeRequests(const Edit::UpdateSection& scope) {
    if (!scope.timeSettingChanged) return;
    if (EffectTimeSettingComponent* panel = get()) panel->refreshTarget();
}

// ---- menus

void EffectTimeSettingComponent::showTargetMenu() {
    const std::shared_ptr<Edit::Scene> scene = currentScene();
    if (!scene || !scene->focusObject) {
        showTip(L"設定対象のオブジェクトをフォーカスすると表示されます");
        return;
    }
    const std::vector<ItemRef> items = getTimeControlItems(scene->focusObject);
    if (items.empty()) {
        showTip(L"時間制御の設定対象の項目がありません");
        return;
    }
    Window::PopupMenu menu;
    for (const ItemRef& ref : items) {
        const Window::BaseMenu::Item entry = menu.insertItem(itemLabel(ref), [this, ref] { bind(ref); });
        entry.setRadioCheck();
        if (ref.item == editor_->item && ref.effect == editor_->effect)
            W::checkMenuItem(entry.menu, static_cast<uint32_t>(entry.id), true);
    }
    menu.show();
}

void EffectTimeSettingComponent::showPresetMenu() {
    if (editor_->item == nullptr) {
        showTip(L"時間制御の設定対象を選択すると表示されます");
        return;
    }
    Window::PopupMenu menu;
    if (Effect::MovementParamsManager* presets = Effect::MovementParamsManager::get()) {
        std::vector<Menu::MenuDefineBase*> entries;
        for (Effect::MovementParamsDefine* define : presets->getMenuList()) entries.push_back(define);
        Menu::addEntryMenu(menu, entries, [this](Menu::MenuDefineBase& chosen) {
            editor_->setControlAnchors(static_cast<Effect::MovementParamsDefine&>(chosen).values);
        });
    }
    menu.insertSeparator();
    menu.insertItem(L"現在の設定でプリセットを作成", [this] { createPreset(); });
    menu.show();
}

void EffectTimeSettingComponent::createPreset() {
    Effect::MovementParamsManager* presets = Effect::MovementParamsManager::get();
    std::wstring name = presetName, label = presetLabel;
    std::wstring path;
    for (;;) {
        TimeControlPresetDialog dialog;
        if (!dialog.show(name, label)) return;
        presetName = name;
        presetLabel = label;
        path = L"%Default%" + std::wstring(1, System::kPathSeparator) + name + L".params";
        System::FileName::expandVariable(path);
        if (!System::File::exists(path) || Dialog::showConfirm(L"同名のプリセットが存在しています\n上書きしますか？"))
            break;
    }
    try {
        Effect::MovementParamsDefine::saveMovementParamsFile(path, editor_->getControlValues());
        System::Log::info("Component::EffectTimeSettingComponent::createPreset", "save preset [%s]",
                          System::wideToUtf8(path).c_str());
    } catch (const std::exception& e) {
        System::Log::error("Component::EffectTimeSettingComponent::createPreset", "%s", e.what());
        Dialog::showError(L"プリセットの保存に失敗しました");
    }
    if (presets == nullptr) return;
    presets->loadMovementParams();
    for (Effect::MovementParamsDefine* define : presets->getMenuList())
        if (define->name == name) define->label = label;
}

void EffectTimeSettingComponent::addClientMenu(Window::BaseMenu& menu) {
    {
        Window::BaseMenu options(menu, L"オプション");
        const Window::BaseMenu::Item sections = options.insertItem(L"中間点の位置を表示", [this] {
            displaySectionPosition = displaySectionPosition != 0 ? 0 : 1;
            editor_->invalidate();
        });
        if (displaySectionPosition != 0) W::checkMenuItem(sections.menu, static_cast<uint32_t>(sections.id), true);
        const Window::BaseMenu::Item follow =
            options.insertItem(L"時間制御の設定対象へ変更した時にウィンドウを表示",
                               [this] { showWindowTargetMovement = showWindowTargetMovement != 0 ? 0 : 1; });
        if (showWindowTargetMovement != 0) W::checkMenuItem(follow.menu, static_cast<uint32_t>(follow.id), true);
    }
    WindowClientRenderTarget::addClientMenu(menu);
}

// ---- drawing

void EffectTimeSettingComponent::procPaint() {
    if (!shown() || target == nullptr) return;
    const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w, clientRect.y + clientRect.h,
                          true);
    header_->procPaint();
    editor_->procPaint();
    logPlace();
}

void EffectTimeSettingComponent::procMove() {
    WindowClientRenderTarget::procMove();
    container_.updateChildLayout();
}

void EffectTimeSettingComponent::logPlace() {
    // Where the curve's plot and the header sit on the screen, for whoever
    // watches the log; once per place.
    if (windowService == nullptr || windowService->window == nullptr) return;
    const Window::MouseRect& plot = editor_->fullRect;
    const Window::MouseRect& head = header_->fullRect;
    W::Point corner{plot.x + 10, plot.y + 10}, top{head.x, head.y};
    (void)W::clientToScreen(windowService->window, corner);
    (void)W::clientToScreen(windowService->window, top);
    char text[160];
    std::snprintf(text, sizeof text, "time curve plot at %d,%d %dx%d, header at %d,%d %dx%d", corner.x, corner.y,
                  editor_->plotW, editor_->plotH, top.x, top.y, head.w, head.h);
    if (loggedPlace_ == text) return;
    loggedPlace_ = text;
    System::Log::verbose("Component::EffectTimeSettingComponent", "%s on the screen", text);
}

}  // namespace Component
