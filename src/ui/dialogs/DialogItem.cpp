#include "ui/dialogs/DialogItem.h"

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"

namespace Dialog {

namespace W = Platform::window;

DialogItem::DialogItem(const wchar_t* label) : label(label != nullptr ? label : L"") {}

DialogItem::~DialogItem() = default;

void DialogItem::create(W::DialogWindow&, int32_t, int32_t, int32_t, int32_t) {
    throw System::notImplementException("Dialog::DialogItem::create");
}

bool DialogItem::submit() { throw System::notImplementException("Dialog::DialogItem::submit"); }

void DialogItem::update() { throw System::notImplementException("Dialog::DialogItem::update"); }

int32_t DialogItem::createControl(W::DialogWindow& parent, W::DialogControlKind kind, const std::wstring& text,
                                  int32_t x, int32_t y, int32_t width, int32_t height, bool digitsOnly) {
    W::DialogControlSpec spec;
    spec.kind = kind;
    // Ids from 100 on; the dialog's buttons have their own.
    spec.id = 100 + static_cast<int32_t>(parent.controlIds().size());
    while (parent.hasControl(spec.id)) ++spec.id;
    const wchar_t* shown = text.c_str();
    if (Translate::TranslateService::isActive())
        shown = Translate::translated(Translate::TranslateService::Table::Dialog, shown);
    spec.text = System::wideToUtf8(shown);
    spec.x = x;
    spec.y = y;
    spec.width = width;
    spec.height = height;
    spec.digitsOnly = digitsOnly;
    spec.noInputMethod = digitsOnly;
    parent.createControl(spec);
    window = &parent;
    return spec.id;
}

bool DialogItem::notify(int32_t, int32_t) { return false; }

W::Rect DialogItem::controlRect(int32_t id) const {
    return window != nullptr ? window->controlScreenRect(id) : W::Rect{};
}

}  // namespace Dialog
