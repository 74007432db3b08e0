#include "ui/controls/ButtonInputControl.h"

#include <cmath>

#include "media/gpu/ResourceService.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/InputMethod.h"
#include "platform/window/KeyMap.h"
#include "ui/framework/WindowMouseService.h"

namespace Control {

namespace W = Platform::window;
using Brushes = Window::StyleBrushList;
using Router = Window::WindowMouseService;

ButtonInputControl::Button::Button(ButtonInputControl& owner, Window::ControlContainer& inner)
    : ButtonControl(inner, 0, 0, 0, 0), input(&owner) {}

void ButtonInputControl::Button::procLButtonDown(int32_t, int32_t) { input->setEditing(true); }

void ButtonInputControl::Button::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, h = fullRect.h;
    if (!enabled) {
        fillRectangle(0, 0, w, h, brush(Brushes::Grouping));
        return;
    }
    fillRectangle(0, 0, w, h,
                  brush(dragging  ? Brushes::BorderFocus
                        : hovered ? Brushes::ButtonBodyHover
                                  : Brushes::ButtonBody));
    const std::wstring& shown = input->valueText.empty() ? input->placeholderText : input->valueText;
    if (shown.empty() || input->textFormat == nullptr) return;
    Resource::TextLayout laid;
    laid.create(*input->textFormat, shown.c_str(), static_cast<int32_t>(shown.size()));
    const auto size = laid.getSize();
    const int32_t tw = static_cast<int32_t>(std::ceil(size.width)), th = static_cast<int32_t>(std::ceil(size.height));
    target->drawTextLayout({float(originX + (w - tw) / 2), float(originY + (h - th) / 2)}, *laid.get(),
                           brush(Brushes::Text));
}

ButtonInputControl::Edit::Edit(ButtonInputControl& owner, Window::ControlContainer& inner)
    : EditControl(inner), input(&owner) {}

bool ButtonInputControl::Edit::procKeyDown(int32_t key) {
    if (key == W::kVkReturn || key == W::kVkEscape) {
        Router* router = Router::get();
        if (router != nullptr && router->focusTarget == this) router->setFocus(nullptr);
        return true;
    }
    return EditControl::procKeyDown(key);
}

void ButtonInputControl::Edit::procFocusLost(Window::WindowMouse* cause) {
    EditControl::procFocusLost(cause);
    input->setEditing(false);
    if (Router* router = Router::get()) router->currentCursor = router->defaultCursor;
}

void ButtonInputControl::Edit::setFocus(bool take) {
    if (take)
        input->setEditing(true);
    else
        EditControl::setFocus(false);
}

bool ButtonInputControl::Edit::canFocus() { return input->face.visible && input->face.enabled; }

ButtonInputControl::ButtonInputControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(parent, x, y, w, h),
      container(priority + 1, &visibleRect, &fullRect),
      face(*this, container),
      edit(*this, container) {
    setupParts();
}

ButtonInputControl::ButtonInputControl(Window::ControlContainer& owner, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(owner, x, y, w, h),
      container(priority + 1, &visibleRect, &fullRect),
      face(*this, container),
      edit(*this, container) {
    setupParts();
}

void ButtonInputControl::setupParts() {
    if (Resource::ResourceService* resources = Resource::ResourceService::get())
        textFormat = resources->textFormats[Resource::ResourceService::kEditControl].get();
    edit.visible = false;
    edit.centerX = true;
    edit.centerY = true;
    edit.onChange = [this](EditControl& e) { editChanged(e.text); };
    container.updateChildLayout();
}

void ButtonInputControl::setPattern(const std::wstring& value) {
    pattern = value;
    if (pattern.empty())
        matcher_.reset();
    else
        matcher_.emplace(pattern);
}

bool ButtonInputControl::setText(const std::wstring& value, bool copyToEdit, bool notify) {
    std::wsmatch found;
    if (matcher_ && std::regex_match(value, found, *matcher_))
        valueText = found.size() > 1 && found[1].matched ? found[1].str() : std::wstring();
    else if (!matcher_)
        valueText = value;  // without a pattern every text is its own value
    else
        valueText = defaultText;
    if (copyToEdit) edit.setText(valueText);
    face.invalidate();
    if (notify && changeAction) changeAction(*this);
    return true;
}

void ButtonInputControl::editChanged(const std::wstring& typed) {
    if (!editing) {
        editing = true;
        if (beginAction) beginAction(*this);
    }
    if (typed.empty() && !defaultText.empty()) setText(defaultText, false, true);
    if (matcher_ && !std::regex_match(typed, *matcher_)) return;
    setText(typed, false, true);
}

void ButtonInputControl::setEditing(bool on) {
    if (editing) {
        editing = false;
        if (endAction) endAction(*this);
    }
    Router* router = Router::get();
    if (on) {
        face.visible = false;
        edit.visible = true;
        edit.setText(valueText);
        edit.select(0, edit.length, edit.length);
        if (router != nullptr && router->focusTarget != &edit) router->setFocus(nullptr);
        edit.EditControl::setFocus(true);
        // Text goes through the input method.
        if (router != nullptr && !router->imeState.associated) {
            router->imeState.associated = true;
            if (router->window != nullptr) W::associateInputContext(router->window, true);
        }
    } else {
        face.visible = true;
        edit.visible = false;
        if (router != nullptr && router->focusTarget == &edit) router->setFocus(nullptr);
    }
    edit.invalidate();
    face.invalidate();
}

void ButtonInputControl::procMove() { container.updateChildLayout(); }

void ButtonInputControl::procPaint() {
    for (size_t i = 0; i < container.children.size(); ++i) container.children[i]->procPaint();
}

}  // namespace Control
