#include "ui/settings/EffectItemColorControl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "edit/EditService.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "platform/draw2d/Brush.h"
#include "ui/framework/Host.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/settings/ItemControlText.h"
#include "ui/settings/SettingPanelState.h"

namespace Component {

namespace {

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Six hexadecimal digits to three bytes; false for anything else.
bool parseCode(const std::wstring& text, EffectItemColorControl::Bytes& out) {
    if (text.size() != 6) return false;
    for (size_t i = 0; i < 3; ++i) {
        const int high = hexDigit(text[i * 2]), low = hexDigit(text[i * 2 + 1]);
        if (high < 0 || low < 0) return false;
        out[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

std::wstring formatted(const wchar_t* format, int a, int b, int c) {
    wchar_t text[32];
    std::swprintf(text, 32, format, a, b, c);
    return text;
}

uint8_t toByte(float x) { return static_cast<uint8_t>(std::clamp(std::lround(x * 255.0f), 0L, 255L)); }

}  // namespace

EffectItemColorControl::EffectItemColorControl(Window::ControlContainer& parent, EffectSetting& owner,
                                               const std::shared_ptr<Effect::EffectBase>& edited,
                                               Effect::EffectItemColor& colour)
    : EffectItemControl(parent, owner, edited, colour, Window::SettingItemRowHeight),
      nameButton(frame, Window::SettingItemHeaderWidth, itemLabel(colour)),
      hexInput(frame, Window::SettingItemHeaderWidth + Window::SettingItemMarginWidth, 0,
               Window::SettingItemHeaderWidth, 0),
      pickButton(frame, 2 * Window::SettingItemHeaderWidth + 2, 0, Window::SettingItemHeight, 0,
                 Window::StyleBitmapList::Pipette),
      swatch(frame, 2 * Window::SettingItemHeaderWidth + 2 + Window::SettingItemHeight, 0, Window::SettingItemHeight,
             0),
      valueText(frame, 2 * Window::SettingItemHeaderWidth + 2 + 2 * Window::SettingItemHeight + Window::SettingItemMarginWidth,
                0, 0, 0, {}, Control::TextControl::LeftMiddle) {
    nameButton.clickAction = [this](Control::ButtonControl&) { showPresetMenu(); };
    if (Window::host().editColor) {
        nameButton.setIcon(Window::StyleBitmapList::ColorWheel);
        nameButton.iconToolTipText = Translate::translated(Translate::TranslateService::Table::Message, L"色を編集");
        nameButton.iconAction = [this](Control::ButtonControl&) {
            if (Window::host().editColor) Window::host().editColor(object(), *item);
        };
    }
    hexInput.setPattern(L"^([0-9a-zA-Z]{6}|)$");
    hexInput.edit.setInputFilter(L"[0-9a-zA-Z]");
    if (colour.type == Effect::EffectItem::kColorUnset)
        hexInput.placeholderText = Translate::translated(Translate::TranslateService::Table::Effect, L"未指定");
    hexInput.edit.setGroup(panel().focusChain());
    hexInput.beginAction = [this](Control::ButtonInputControl&) { beginEdit(); };
    hexInput.changeAction = [this](Control::ButtonInputControl& input) { applyHexText(input.valueText); };
    hexInput.endAction = [this](Control::ButtonInputControl&) { endEdit(); };
    pickButton.toolTipText = Translate::translated(Translate::TranslateService::Table::Message, L"画面上から色を取得");
    pickButton.backgroundBrush = Window::StyleBrushList::Background;
    pickButton.clickAction = [this](Control::ButtonControl&) { startScreenPick(); };
    swatch.paintAction = [this](Control::RectControl& rect) { paintSwatch(rect); };
    updateValue();
}

EffectItemColorControl::~EffectItemColorControl() {
    if (recordOpen_) endEdit();
    if (picking) {
        // The pick ends with the row: the router forgets it.
        picking = false;
        if (Window::WindowMouseService* router = Window::WindowMouseService::get();
            router != nullptr && router->colorPickTarget == this)
            router->colorPickTarget = nullptr;
    }
}

std::shared_ptr<EffectItemBaseControl> EffectItemColorControl::create(Effect::EffectItem& item,
                                                                      Window::ControlContainer& parent,
                                                                      EffectSetting& block,
                                                                      const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* colour = item.to<Effect::EffectItemColor>();
    if (colour == nullptr) return nullptr;
    return std::make_shared<EffectItemColorControl>(parent, block, effect, *colour);
}

void EffectItemColorControl::updateValue() {
    const std::wstring code =
        item->unset != 0 ? std::wstring() : formatted(L"%02x%02x%02x", item->red, item->green, item->blue);
    hexInput.valueText = code;
    hexInput.edit.setText(code);
    hexInput.face.invalidate();
    std::wstring shown;
    if (picking)
        shown = Translate::translated(Translate::TranslateService::Table::Message, L"マウスクリックで色を取得");
    else if (item->unset == 0)
        shown = formatted(L"%d,%d,%d", item->red, item->green, item->blue);
    if (shown != valueText.text) {
        valueText.text = std::move(shown);
        valueText.invalidate();
    }
    swatch.invalidate();
}

void EffectItemColorControl::beginEdit() {
    Edit::EditService* edit = Edit::EditService::instance();
    Undo::UndoService* undo = Undo::UndoService::get();
    if (recordOpen_ || edit == nullptr || undo == nullptr) return;
    recordOpen_ = true;
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    undo->openRecord(*scope);
    scope->undoOpen = false;  // open until the entry loses the focus
    undo->addEffectUndoUpdate(effect());
    for (const auto& twin : getTwinEffects()) undo->addEffectUndoUpdate(twin);
}

void EffectItemColorControl::applyHexText(const std::wstring& text) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) return;
    const bool own = !recordOpen_;
    if (own) beginEdit();
    {
        const std::shared_ptr<Effect::EffectBase> kept = effect();
        const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
        scope->objectChanged = true;
        scope->changedObject = object();
        Bytes bytes{};
        bool changed = false;
        if (item->type == Effect::EffectItem::kColorUnset && text.empty()) {
            item->red = item->green = item->blue = 0;
            item->unset = 1;
            changed = true;
        } else if (parseCode(text, bytes)) {
            item->red = bytes[0];
            item->green = bytes[1];
            item->blue = bytes[2];
            item->unset = 0;
            changed = true;
        }
        const auto twins = changed ? getTwinEffects() : std::vector<std::shared_ptr<Effect::EffectBase>>{};
        if (!twins.empty()) {
            const auto& own = effect()->items;
            const auto at = std::find(own.begin(), own.end(), static_cast<Effect::EffectItem*>(item)) - own.begin();
            for (const auto& twin : twins) {
                if (at >= static_cast<std::ptrdiff_t>(twin->items.size())) continue;
                Effect::EffectItem* other = twin->items[static_cast<size_t>(at)];
                if (other->type != item->type || other->name != item->name) continue;
                auto* colour = dynamic_cast<Effect::EffectItemColor*>(other);
                if (colour == nullptr) continue;
                colour->red = item->red;
                colour->green = item->green;
                colour->blue = item->blue;
                colour->unset = item->unset;
            }
            valueText.text = item->unset != 0 ? std::wstring() : formatted(L"%d,%d,%d", item->red, item->green, item->blue);
            valueText.invalidate();
            swatch.invalidate();
            if (Window::host().colorChanged) Window::host().colorChanged();
        }
    }
    if (own) endEdit();
}

void EffectItemColorControl::endEdit() {
    if (!recordOpen_) return;
    recordOpen_ = false;
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
    updateValue();
}

void EffectItemColorControl::setColorBytes(std::optional<Bytes> bytes) {
    commitWithoutEvent(*this, [this, bytes](Edit::UpdateSection& scope) {
        scope.colorSettingChanged = true;
        if (bytes) {
            item->red = (*bytes)[0];
            item->green = (*bytes)[1];
            item->blue = (*bytes)[2];
            item->unset = 0;
        }
        updateValue();
    });
}

void EffectItemColorControl::showPresetMenu() {
    if (!Window::host().colorPresetMenu) return;
    Window::PopupMenu menu;
    Window::host().colorPresetMenu(
        menu, [this](float r, float g, float b) { setColorBytes(Bytes{toByte(r), toByte(g), toByte(b)}); });
    menu.show();
}

void EffectItemColorControl::startScreenPick() {
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    if (router == nullptr) return;
    picking = true;
    router->beginColorPick(this);
    commitWithoutEvent(*this, [this](Edit::UpdateSection& scope) {
        scope.colorSettingChanged = true;
        if (item->type == Effect::EffectItem::kColorUnset && item->unset == 0) {
            item->red = item->green = item->blue = 0;
            item->unset = 1;
        }
        updateValue();
    });
}

void EffectItemColorControl::procPickColor(const uint8_t* rgb) {
    picking = false;
    setColorBytes(rgb != nullptr ? std::optional<Bytes>(Bytes{rgb[0], rgb[1], rgb[2]}) : std::nullopt);
}

float EffectItemColorControl::contrastGrey(uint8_t r, uint8_t g, uint8_t b) {
    const float l = (0.299f * r + 0.587f * g + 0.114f * b) / 255.0f;
    return std::clamp(l < 0.5f ? l + 0.66f : l - 0.66f, 0.2f, 0.8f);
}

void EffectItemColorControl::logButtonPlace() {
    const Window::WindowService* windows = Window::WindowService::get();
    const Window::MouseRect& icon = nameButton.iconRect;
    if (windows == nullptr || windows->window == nullptr || !Window::host().editColor || icon.w <= 0 || icon.h <= 0)
        return;
    Platform::window::Point corner{icon.x, icon.y};
    (void)Platform::window::clientToScreen(windows->window, corner);
    const std::array<int32_t, 4> place{corner.x, corner.y, icon.w, icon.h};
    if (place == loggedButton_) return;
    loggedButton_ = place;
    System::Log::verbose("Component::EffectItemColorControl", "colour row [%s] window button at %d,%d %dx%d on the screen",
                         System::wideToUtf8(item->name).c_str(), place[0], place[1], place[2], place[3]);
}

void EffectItemColorControl::procPaint() {
    EffectItemControl::procPaint();
    logButtonPlace();
}

void EffectItemColorControl::paintSwatch(Control::RectControl& rect) {
    const int32_t w = rect.fullRect.w, h = rect.fullRect.h;
    if (item->unset != 0) {
        const Platform::draw2d::SolidColorBrush grey({0.66f, 0.66f, 0.66f, 1.0f});
        rect.drawRectangle(0, 0, w, h, grey, 1, nullptr);
        return;
    }
    const Platform::draw2d::SolidColorBrush fill(
        {item->red / 255.0f, item->green / 255.0f, item->blue / 255.0f, 1.0f});
    rect.fillRectangle(1, 1, w - 1, h - 1, fill);
    const float v = contrastGrey(item->red, item->green, item->blue);
    const Platform::draw2d::SolidColorBrush outline({v, v, v, 1.0f});
    rect.drawRectangle(0, 0, w, h, outline, 1, nullptr);
}

}  // namespace Component
