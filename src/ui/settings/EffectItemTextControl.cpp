#include "ui/settings/EffectItemTextControl.h"

#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "ui/framework/ShortcutList.h"
#include "ui/framework/StyleMetrics.h"

namespace Component {

namespace {

// The default codes of the undo (Ctrl+Z) and redo (Ctrl+Shift+Z) commands.
constexpr int32_t kUndoCode = 0x405A;
constexpr int32_t kRedoCode = 0x605A;

}  // namespace

EffectItemTextControl::EffectItemTextControl(Window::ControlContainer& parent, EffectSetting& owner,
                                             const std::shared_ptr<Effect::EffectBase>& edited,
                                             Effect::EffectItemText& text)
    : EffectItemControl(parent, owner, edited, text, Window::SettingItemRowHeight * 4),
      entry(frame, 0, -Window::ScrollBarSize),
      scrollBar(frame, -Window::ScrollBarSize, 0, Window::ScrollBarSize, 0) {
    entry.setInputFilter(L"[^\uFE00-\uFE0F]");
    scrollBar.bind(entry);
    entry.setText(text.text);
    entry.onChange = [this](Control::EditControl&) { applyText(); };
    entry.keyFilter = [this](int32_t key) { return textUndoKeys(key); };
}

std::shared_ptr<EffectItemBaseControl> EffectItemTextControl::create(Effect::EffectItem& item,
                                                                     Window::ControlContainer& parent,
                                                                     EffectSetting& block,
                                                                     const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* text = item.to<Effect::EffectItemText>();
    if (text == nullptr) return nullptr;
    return std::make_shared<EffectItemTextControl>(parent, block, effect, *text);
}

void EffectItemTextControl::procPaint() {
    if (item->text.size() != entry.text.size()) entry.setText(item->text);
    EffectItemBaseControl::procPaint();
}

void EffectItemTextControl::applyText() {
    commitChange([&](Edit::UpdateSection& scope) {
        scope.textSettingChanged = true;
        item->text = entry.text;
    });
}

bool EffectItemTextControl::textUndoKeys(int32_t key) {
    Window::ShortcutList* shortcuts = Window::ShortcutList::get();
    const int32_t code = shortcuts != nullptr ? shortcuts->toDefaultCode(static_cast<uint32_t>(key)) : 0;
    if (code != kUndoCode && code != kRedoCode) return false;
    Undo::UndoService* undo = Undo::UndoService::get();
    if (undo == nullptr) return true;
    // The text may change under the entry: keep the effect while it does.
    const std::shared_ptr<Effect::EffectBase> kept = effect();
    const bool stepped = code == kUndoCode ? undo->undoText(*item) : undo->redoText(*item);
    if (stepped && entry.text != item->text) entry.setText(item->text);
    return true;
}

}  // namespace Component
