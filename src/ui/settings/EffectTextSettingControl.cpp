#include "ui/settings/EffectTextSettingControl.h"

#include <algorithm>

#include "core/SettingService.h"
#include "core/TranslateService.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemText.h"
#include "media/gpu/FontManager.h"
#include "media/gpu/ResourceService.h"
#include "platform/window/KeyMap.h"
#include "ui/framework/EffectListMenu.h"
#include "ui/framework/Host.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ShortcutList.h"
#include "ui/framework/WindowMouseService.h"

namespace Component {

namespace W = Platform::window;
using Router = Window::WindowMouseService;

namespace {

// The default codes of the undo (Ctrl+Z) and redo (Ctrl+Shift+Z) commands.
constexpr int32_t kUndoCode = 0x405A;
constexpr int32_t kRedoCode = 0x605A;
constexpr int32_t kSpace = 0x20;

bool isControl(wchar_t c) { return c < 32; }

}  // namespace

EffectTextSettingControl::EffectTextSettingControl(Window::WindowControl& parent, int32_t x, int32_t w)
    : EditControl(parent, x, w), tagPattern_(L"^<[#@srwcp?].*>$", std::regex::ECMAScript) {
    tags = {
        {L"色変更(&C)", L"<#ffffff>", L"<#>"},       {L"サイズ変更(&S)", L"<s40>", L"<s>"},
        {L"フォント変更(&F)", L"<@メイリオ>", L"<@>"}, {L"表示速度変更(&R)", L"<r8>", L"<r>"},
        {L"表示ウェイト(&W)", L"<w2>", L""},          {L"表示クリア(&E)", L"<c2>", L""},
        {L"座標指定(&P)", L"<p+0,+0>", L""},
    };
    if (Resource::ResourceService* resources = Resource::ResourceService::get())
        if (Resource::TextFormat* format = resources->textFormats[Resource::ResourceService::kTextEdit].get())
            textFormat = format;
    setInputFilter(L"[^\uFE00-\uFE0F]");
    enabled = false;
    updateTextLayout();
    onChange = [this](Control::EditControl&) { commitText(); };
    keyFilter = [this](int32_t key) { return handleKey(key); };
}

EffectTextSettingControl::~EffectTextSettingControl() {
    onChange = nullptr;
    keyFilter = nullptr;
}

// ---- the bound item

bool EffectTextSettingControl::setTarget(std::shared_ptr<Edit::Object> object,
                                         std::shared_ptr<Effect::EffectBase> effect, Effect::EffectItemText* item) {
    if (object == object_ && effect == effect_ && item == item_) return false;
    object_ = std::move(object);
    effect_ = std::move(effect);
    item_ = item;
    text = item_ != nullptr ? item_->text : std::wstring();
    updateTextLayout();
    caret = anchor = 0;
    selectionStart = selectionEnd = 0;
    updateScroll();
    enabled = true;
    invalidate();
    return true;
}

bool EffectTextSettingControl::clearTarget() {
    if (item_ == nullptr && !object_ && !effect_) return false;
    object_.reset();
    effect_.reset();
    item_ = nullptr;
    text.clear();
    updateTextLayout();
    caret = anchor = 0;
    selectionStart = selectionEnd = 0;
    updateScroll();
    if (focused) setFocus(false);
    enabled = false;
    invalidate();
    return true;
}

void EffectTextSettingControl::refreshFromItem() {
    if (item_ == nullptr) return;
    const bool onLayer = object_ && object_->layer != -1;
    const bool holdsEffect =
        onLayer && std::find(object_->effects.begin(), object_->effects.end(), effect_) != object_->effects.end();
    if (!holdsEffect) {
        clearTarget();
        return;
    }
    if (text == item_->text) return;
    text = item_->text;
    updateTextLayout();
    anchor = std::clamp(anchor, 0, length);
    selectionStart = std::clamp(selectionStart, 0, length);
    selectionEnd = std::clamp(selectionEnd, 0, length);
    if (selectionStart >= selectionEnd) selectionStart = selectionEnd = 0;
    updateScroll();
    invalidate();
}

void EffectTextSettingControl::commitText() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (item_ == nullptr || edit == nullptr) return;
    // The change may rebuild panels that share the effect: keep it meanwhile.
    const std::shared_ptr<Effect::EffectBase> effect = effect_;
    const std::shared_ptr<Edit::Object> object = object_;
    Effect::EffectItemText* item = item_;
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->objectChanged = true;
    scope->changedObject = object;
    if (Undo::UndoService* undo = Undo::UndoService::get()) {
        undo->openRecord(*scope);
        undo->addEffectUndoUpdate(effect);
    }
    item->text = text;
    if (item->notify != 0) {
        Effect::ItemEvent event;
        event.kind = Effect::ItemEvent::kItemChanged;
        event.scope = scope.get();
        event.object = object;
        event.effect = effect;
        event.item = item;
        (void)effect->itemEvent(event);
    }
}

// ---- tags

void EffectTextSettingControl::insertTag(const std::wstring& open, const std::wstring& close) {
    if (item_ == nullptr) return;
    int32_t at = std::clamp(caret, 0, length);
    if (hasSelection()) {
        const int32_t s = selectionStart, e = selectionEnd;
        if (!close.empty()) text.insert(size_t(e), close);
        text.insert(size_t(s), open);
        at = s;
    } else {
        text.insert(size_t(at), open);
    }
    updateTextLayout();
    const auto size = static_cast<int32_t>(open.size());
    if (std::regex_match(open, tagPattern_))
        select(at + 2, at + size - 1, at + 2);
    else
        select(at, at + size, at);
    showEdited();
    commitText();
}

void EffectTextSettingControl::showEdited() {
    caretVisible = true;
    restartCaretTimer();
    updateScroll();
    updateImePosition();
    invalidate();
    if (Router* router = Router::get()) {
        router->currentCursor = &Router::MouseCursor::Arrow;
        router->applyCursor();
    }
}

std::optional<std::pair<int32_t, int32_t>> EffectTextSettingControl::findTagAround(int32_t c) const {
    if (c < 0 || c >= length || text[size_t(c)] == L'<') return std::nullopt;
    int32_t i = c;
    while (i > 0) {
        const wchar_t ch = text[size_t(i)];
        if (isControl(ch) || ch == L'<' || (ch == L'>' && i != c)) break;
        --i;
    }
    if (text[size_t(i)] != L'<') return std::nullopt;
    int32_t j = c;
    while (j < length - 1) {
        const wchar_t ch = text[size_t(j)];
        if (isControl(ch) || ch == L'>' || (ch == L'<' && j != c)) break;
        ++j;
    }
    if (text[size_t(j)] != L'>') return std::nullopt;
    return std::make_pair(i, j);
}

EffectTextSettingControl::Field EffectTextSettingControl::fieldAt(int32_t tagStart, int32_t tagEnd) const {
    Field field{tagStart + 2, tagEnd, 0};
    for (int32_t k = tagStart + 2; k < tagEnd; ++k) {
        if (text[size_t(k)] != L',') continue;
        if (caret <= k && field.start < k) {
            field.end = k;
            return field;
        }
        field.start = k + 1;
        ++field.index;
    }
    return field;
}

void EffectTextSettingControl::replaceField(const std::wstring& value) {
    if (item_ == nullptr || !hasSelection()) return;
    deleteSelection();
    insertTag(value, L"");
}

// ---- keys and menus

bool EffectTextSettingControl::handleKey(int32_t key) {
    if (item_ == nullptr) return false;
    if (key == kSpace && (W::getKeyState(W::kVkControl) & 0x8000) != 0) {
        openMenu();
        return true;
    }
    Window::ShortcutList* shortcuts = Window::ShortcutList::get();
    const int32_t code = shortcuts != nullptr ? shortcuts->toDefaultCode(static_cast<uint32_t>(key)) : 0;
    if (code != kUndoCode && code != kRedoCode) return false;
    if (Undo::UndoService* undo = Undo::UndoService::get()) {
        // The step may unbind the editor: keep what it works on meanwhile.
        const std::shared_ptr<Effect::EffectBase> effect = effect_;
        const std::shared_ptr<Edit::Object> object = object_;
        if (code == kUndoCode)
            (void)undo->undoText(*item_);
        else
            (void)undo->redoText(*item_);
    }
    return true;
}

void EffectTextSettingControl::openMenu() {
    const std::optional<std::pair<int32_t, int32_t>> tag = findTagAround(caret);
    if (!tag) {
        openTagMenu();
        return;
    }
    const wchar_t letter = tag->first + 1 < length ? text[size_t(tag->first + 1)] : L'\0';
    const Field field = fieldAt(tag->first, tag->second);
    const bool colour = letter == L'#' && field.index <= 1;
    const bool font = (letter == L'@' && field.index == 0) || (letter == L's' && field.index == 1);
    if (!colour && !font) {
        openTagMenu();
        return;
    }
    select(field.start, field.end, field.start);
    showEdited();
    // What the menu works on stays alive should a choice unbind the editor.
    const std::shared_ptr<Effect::EffectBase> effect = effect_;
    Window::PopupMenu menu;
    if (colour) {
        if (Window::host().textPresetColorMenu)
            Window::host().textPresetColorMenu(
                menu, [this](const Media::ColorBytes& chosen) { replaceField(Media::rgbToText(chosen)); });
    } else {
        std::wstring family;
        if (const Setting::SettingService* settings = Setting::SettingService::get())
            family = settings->font.getValue("DefaultFamily").toString(L"Yu Gothic UI");
        Menu::addFontMenu(menu, [this](const Media::FontDefine& chosen) { replaceField(chosen.fontName); }, family);
    }
    menu.show();
}

void EffectTextSettingControl::openTagMenu() {
    const Translate::TranslateService* translation = Translate::TranslateService::get();
    Window::PopupMenu menu;
    for (const Tag& tag : tags) {
        const std::wstring label = translation != nullptr ? translation->getMenuText(tag.label) : tag.label;
        menu.insertItem(label + L"\t" + tag.open, [this, tag] { insertTag(tag.open, tag.close); });
    }
    const std::shared_ptr<Effect::EffectBase> effect = effect_;
    menu.show();
}

}  // namespace Component
