#include "ui/settings/EffectColorSettingComponent.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/EventService.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemColor.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/TextFormat.h"
#include "platform/window/Menu.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/TopLevel.h"
#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/settings/EffectColorCircleControl.h"
#include "ui/settings/EffectColorInputHSVControl.h"
#include "ui/settings/EffectColorInputRGBControl.h"
#include "ui/settings/EffectColorPaletteControl.h"
#include "ui/settings/EffectColorPreviewControl.h"
#include "ui/settings/EffectColorSettingHeader.h"

namespace Component {

namespace {

const std::wstring kTitle = L"色設定";

Media::ColorRgba fromBytes(uint8_t r, uint8_t g, uint8_t b) {
    return {float(r) / 255, float(g) / 255, float(b) / 255, 1};
}

// A tip below the pointer for three seconds.
void tipAtCursor(const wchar_t* text) {
    Platform::window::Point at{};
    if (!Platform::window::getCursorPos(at)) return;
    at.y += Platform::window::getSystemMetrics(Platform::window::kSmCyCursor);
    Window::ToolTips::show(at, Translate::translated(Translate::TranslateService::Table::Message, text), 3000);
}

std::shared_ptr<Edit::Object> focusedObject() {
    const Edit::EditService* edit = Edit::EditService::instance();
    return edit != nullptr && edit->currentScene() ? edit->currentScene()->focusObject : nullptr;
}

}  // namespace

EffectColorSettingComponent::EffectColorSettingComponent()
    : WindowClientRenderTarget(&kTitle, "setting.color", {0.8f, 0.7f, 1.0f, 1.0f, Window::WindowClient::Right, false}),
      marginWidth(Window::SettingItemMarginWidth),
      itemHeight(Window::SettingItemHeight),
      settings_("Window.setting.color"),
      circleAngle_(settings_, "ColorCircleAngle", &circleAngle, 60),
      selectPalette_(settings_, "SelectPalette", &selectPalette, L""),
      container_(200, &clientRect, &clientRect),
      self_(std::make_shared<EffectColorSettingComponent*>(this)) {
    for (System::Config::Parameter* parameter : settings_.parameters()) parameter->reset();
    if (System::IniFile* ini = Setting::SettingService::mainSettings()) {
        settings_.load(*ini);
        binding_ = std::make_unique<System::Config::ParameterBinding>(settings_, ini);
    }
    acceptContextMenu = true;
    header_ = std::make_unique<EffectColorSettingHeader>(container_, *this, itemHeight);
    header_->title.text = Translate::translated(Translate::TranslateService::Table::Menu, kTitle.c_str());
    margin_ = std::make_unique<Control::RectControl>(container_, 0, itemHeight, 0, marginWidth);
    margin_->brush = Window::StyleBrushList::Background;
    service->unregisterMouse(margin_.get());
    preview_ = std::make_unique<EffectColorPreviewControl>(container_, *this);
    rgb_ = std::make_unique<EffectColorInputRGBControl>(container_, *this);
    circle_ = std::make_unique<EffectColorCircleControl>(container_, *this);
    hsv_ = std::make_unique<EffectColorInputHSVControl>(container_, *this);
    palette_ = std::make_unique<EffectColorPaletteControl>(container_, *this);

    if (Event::EventService* events = Event::EventService::get()) {
        const std::weak_ptr<EffectColorSettingComponent*> weak = self_;
        auto alive = [weak]() -> EffectColorSettingComponent* {
            const auto self = weak.lock();
            return self ? *self : nullptr;
        };
        events->focusObjectListeners.add([alive](const Event::EventService::ObjectRef& object) {
            if (EffectColorSettingComponent* self = alive()) self->setFocusObject(object);
        });
        events->sceneListeners.add([alive](int) {
            if (EffectColorSettingComponent* self = alive()) self->setFocusObject(focusedObject());
        });
    }
    palette_->setPalette(selectPalette);
    container_.updateChildLayout();
}

EffectColorSettingComponent::~EffectColorSettingComponent() {
    *self_ = nullptr;
    if (gestureOpen_) endUndoRecord();
    if (Window::WindowMouseService* router = Window::WindowMouseService::get();
        router != nullptr && router->colorPickTarget == header_.get())
        router->colorPickTarget = nullptr;
}

void EffectColorSettingComponent::applyScopeRequests(const Edit::UpdateSection& scope) {
    if (scope.colorSettingChanged)
        if (EffectColorSettingComponent* panel = get()) panel->updateColor();
}

// ---- colours

float EffectColorSettingComponent::contrastGrey(const Media::ColorRgba& c) {
    const float l = 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
    return std::clamp(l < 0.5f ? l + 0.66f : l - 0.66f, 0.2f, 0.8f);
}

bool EffectColorSettingComponent::equalBytes(const Media::ColorRgba& a, const Media::ColorRgba& b) {
    const Media::ColorBytes x = Media::rgbToBytes(a.r, a.g, a.b), y = Media::rgbToBytes(b.r, b.g, b.b);
    return x.r == y.r && x.g == y.g && x.b == y.b;
}

void EffectColorSettingComponent::setColor(const Media::ColorRgba& c) {
    if (equalBytes(c, color)) return;
    color = c;
    const Media::ColorHsv hsv = Media::rgbToHsv(c.r, c.g, c.b);
    value = hsv.v;
    if (hsv.v > 0) {
        saturation = hsv.s;
        if (hsv.s > 0) hue = hsv.h;
    }
}

void EffectColorSettingComponent::setHsv(float h, float s, float v) {
    hue = h;
    saturation = s;
    value = v;
    color = Media::hsvToRgb({hue, saturation, value});
}

Effect::EffectItemColor* EffectColorSettingComponent::colorItem() const {
    return target.item != nullptr ? target.item->to<Effect::EffectItemColor>() : nullptr;
}

void EffectColorSettingComponent::updateColor() {
    if (const Effect::EffectItemColor* item = colorItem()) setColor(fromBytes(item->red, item->green, item->blue));
    rgb_->updateValue();
    hsv_->updateValue();
    redrawColor();
}

void EffectColorSettingComponent::applyColor() {
    Effect::EffectItemColor* item = colorItem();
    Edit::EditService* edit = Edit::EditService::instance();
    if (item == nullptr || edit == nullptr) {
        rgb_->updateValue();
        hsv_->updateValue();
        redrawColor();
        return;
    }
    const std::shared_ptr<Effect::EffectBase> effect = target.effect;
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->effectStateChanged = true;
    scope->colorSettingChanged = true;
    scope->objectChanged = true;
    scope->changedObject = target.object;
    if (Undo::UndoService* undo = Undo::UndoService::get(); undo != nullptr && !undo->recording) {
        undo->openRecord(*scope);
        undo->addEffectUndoUpdate(effect);
    }
    const Media::ColorBytes bytes = Media::rgbToBytes(color.r, color.g, color.b);
    item->red = bytes.r;
    item->green = bytes.g;
    item->blue = bytes.b;
    item->unset = 0;
}

void EffectColorSettingComponent::beginUndoRecord() {
    Undo::UndoService* undo = Undo::UndoService::get();
    if (target.empty() || undo == nullptr) return;
    undo->abandonRecord();
    undo->recording = true;
    undo->addEffectUndoUpdate(target.effect);
    gestureOpen_ = true;
}

void EffectColorSettingComponent::endUndoRecord() {
    if (!gestureOpen_) return;
    gestureOpen_ = false;
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
}

void EffectColorSettingComponent::swapOldColor() {
    if (equalBytes(oldColor, color)) return;
    Undo::UndoService* undo = Undo::UndoService::get();
    const bool record = !target.empty() && undo != nullptr;
    if (record) {
        undo->abandonRecord();
        undo->recording = true;
        undo->addColorSettingUndoUpdate(*this);
        undo->addEffectUndoUpdate(target.effect);
    }
    const Media::ColorRgba o = oldColor;
    oldColor = color;
    setColor(o);
    applyColor();
    if (record) undo->commitRecord();
}

void EffectColorSettingComponent::redrawColor() {
    preview_->invalidate();
    circle_->invalidate();
    rgb_->invalidate();
    hsv_->invalidate();
}

// ---- the bound item

void EffectColorSettingComponent::setFocusObject(const std::shared_ptr<Edit::Object>& object) {
    if (shown() && object && !object->effects.empty()) {
        for (Effect::EffectItem* item : object->effects.front()->items)
            if (Effect::EffectItemColor::hasType(item->type)) {
                setTarget(object, item->to<Effect::EffectItemColor>());
                updateTitle();
                return;
            }
    }
    if (!target.empty()) {
        target.clear();
        updateTitle();
    }
}

void EffectColorSettingComponent::setTarget(const std::shared_ptr<Edit::Object>& object, Effect::EffectItemColor* item) {
    if (!object || item == nullptr) return;
    std::shared_ptr<Effect::EffectBase> holder;
    for (const auto& effect : object->effects)
        if (std::find(effect->items.begin(), effect->items.end(), static_cast<Effect::EffectItem*>(item)) !=
            effect->items.end()) {
            holder = effect;
            break;
        }
    if (!holder) return;
    if (target.object != object || target.effect != holder || target.item != item) {
        target.object = object;
        target.effect = holder;
        target.item = item;
    }
    oldColor = fromBytes(item->red, item->green, item->blue);
    setColor(oldColor);
    updateTitle();
    rgb_->updateValue();
    hsv_->updateValue();
    redrawColor();
    if (!shown()) {
        if (windowService != nullptr) windowService->makeRoomForClient(*this);
        show(true);
        if (windowService != nullptr) windowService->updateLayout();
    }
}

void EffectColorSettingComponent::updateTitle() {
    Control::TextControl& title = header_->title;
    if (!target.empty()) {
        title.text = target.getLabel();
        title.textBrush = Window::StyleBrushList::Text;
    } else {
        title.text = Translate::translated(Translate::TranslateService::Table::Menu, kTitle.c_str());
        title.textBrush = Window::StyleBrushList::TextDisable;
    }
    header_->invalidate();
}

void EffectColorSettingComponent::showTargetMenu() {
    const std::shared_ptr<Edit::Object> object = focusedObject();
    if (!object) {
        tipAtCursor(L"設定対象のオブジェクトをフォーカスすると表示されます");
        return;
    }
    std::vector<EffectItemRef> refs;
    for (const auto& effect : object->effects)
        for (Effect::EffectItem* item : effect->items)
            if (Effect::EffectItemColor::hasType(item->type)) refs.push_back({object, effect, item});
    if (refs.empty()) {
        tipAtCursor(L"色の設定対象項目がありません");
        return;
    }
    Window::PopupMenu menu;
    for (const EffectItemRef& ref : refs) {
        const Window::BaseMenu::Item entry = menu.insertItem(ref.getLabel(), [this, ref] {
            setTarget(ref.object, ref.item->to<Effect::EffectItemColor>());
            updateTitle();
        });
        entry.setRadioCheck();
        if (ref.item == target.item)
            Platform::window::checkMenuItem(entry.menu, static_cast<uint32_t>(entry.id), true);
    }
    menu.show();
}

void EffectColorSettingComponent::startScreenPick() {
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    if (router == nullptr) return;
    header_->title.text = Translate::translated(Translate::TranslateService::Table::Message, L"マウスクリックで色を取得");
    header_->title.textBrush = Window::StyleBrushList::Text;
    header_->invalidate();
    router->beginColorPick(header_.get());
}

void EffectColorSettingComponent::pickedColor(const uint8_t* rgb) {
    updateTitle();
    if (rgb == nullptr) return;
    setColor(fromBytes(rgb[0], rgb[1], rgb[2]));
    applyColor();
}

void EffectColorSettingComponent::editCircleAngle() {
    Dialog::DialogTemplate dialog(L"カラーサークルの基準角度");
    const Dialog::DialogItemInteger* field = dialog.addInteger(L"基準角度", circleAngle, 0, 360);
    if (!dialog.create()) return;
    circleAngle = field->value;
    circle_->cachedHue = -1;
    circle_->invalidate();
}

// ---- window

void EffectColorSettingComponent::addClientMenu(Window::BaseMenu& menu) {
    {
        Window::BaseMenu options(menu, L"オプション");
        options.insertItem(L"カラーサークルの基準角度", [this] { editCircleAngle(); });
    }
    WindowClientRenderTarget::addClientMenu(menu);
}

void EffectColorSettingComponent::procMove() {
    WindowClientRenderTarget::procMove();
    const int32_t M = marginWidth, Hi = itemHeight, W = clientRect.w, Ht = clientRect.h, R = rgb_->rowPitch;
    const int32_t T = Hi + 2 * M, P = 3 * R + 2;
    const int32_t A = std::max((W - 3 * M - P) / 2, 1);
    int32_t textWidth = 0;
    if (Resource::ResourceService* resources = Resource::ResourceService::get();
        resources != nullptr && Resource::ResourceService::kControl < resources->textFormats.size() &&
        resources->textFormats[Resource::ResourceService::kControl]) {
        Resource::TextLayout layout;
        layout.create(*resources->textFormats[Resource::ResourceService::kControl], L"-999.0", 6);
        textWidth = static_cast<int32_t>(std::ceil(layout.getSize().width));
    }
    const int32_t N = Hi + rgb_->rowHeight + textWidth;
    const int32_t K = T + P + M + M / 2;
    const int32_t Z = std::max(std::min(Ht - M / 2 - K, (W - 2 * M) / 2), 1);
    const auto place = [](Window::WindowControl& c, int32_t x, int32_t y, int32_t w, int32_t h) {
        c.layoutX = x, c.layoutY = y, c.layoutW = w, c.layoutH = h;
    };
    place(*preview_, M, T, P, P);
    if (A >= N) {
        place(*rgb_, M + P, T, A, P);
        place(*hsv_, -(M + A), T, A, P);
        hsv_->visible = true;
    } else {
        place(*rgb_, M + P, T, -M, P);
        place(*hsv_, -1, -1, -1, -1);
        hsv_->visible = false;
    }
    place(*circle_, M / 2, K, Z, Z);
    place(*palette_, M / 2 + M + Z, K, Z, Z);
    container_.updateChildLayout();
}

void EffectColorSettingComponent::procPaint() {
    if (!shown() || Media::RenderTarget::target == nullptr) return;
    const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w, clientRect.y + clientRect.h,
                          true);
    fillRectangle(0, 0, clientRect.w, clientRect.h, windowService->brushes.get(Window::StyleBrushList::Grouping));
    header_->procPaint();
    margin_->procPaint();
    preview_->procPaint();
    rgb_->procPaint();
    circle_->procPaint();
    if (hsv_->visible) hsv_->procPaint();
    palette_->procPaint();
    logPlaces();
}

void EffectColorSettingComponent::logPlaces() {
    // Where the circle and the palette sit on the screen, for whoever watches the log; once per place.
    if (windowService == nullptr || windowService->window == nullptr) return;
    const Window::MouseRect& c = circle_->fullRect;
    const Window::MouseRect& p = palette_->fullRect;
    Platform::window::Point circleCorner{c.x, c.y}, paletteCorner{p.x, p.y};
    (void)Platform::window::clientToScreen(windowService->window, circleCorner);
    (void)Platform::window::clientToScreen(windowService->window, paletteCorner);
    const std::array<int32_t, 8> now{circleCorner.x, circleCorner.y, c.w, c.h,
                                     paletteCorner.x, paletteCorner.y, p.w, p.h};
    if (now == loggedPlaces_) return;
    loggedPlaces_ = now;
    System::Log::verbose("Component::EffectColorSettingComponent", "colour circle at %d,%d %dx%d on the screen",
                         now[0], now[1], now[2], now[3]);
    System::Log::verbose("Component::EffectColorSettingComponent", "colour palette at %d,%d %dx%d on the screen",
                         now[4], now[5], now[6], now[7]);
}

}  // namespace Component
