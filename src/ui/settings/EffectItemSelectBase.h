#pragma once
#include <cstdint>
#include <memory>

#include "effect/EffectItemSelect.h"
#include "platform/window/ListBox.h"
#include "platform/window/MessageQueue.h"
#include "ui/controls/TextButtonWheelControl.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/settings/EffectItemControl.h"
#include "ui/settings/ItemControlText.h"

// The rows that choose an entry of an option list: a value button showing the
// chosen entry's text that opens the main window's popup list, whose lines
// choose through selectKey. While this row's list is open the wheel over the
// button steps through it, choosing at every step.
namespace Component {

template <class T>
class EffectItemSelectBase : public EffectItemControl<T> {
public:
    EffectItemSelectBase(Window::ControlContainer& parent, EffectSetting& block,
                         const std::shared_ptr<Effect::EffectBase>& effect, T& edited)
        : EffectItemControl<T>(parent, block, effect, edited, Window::SettingItemRowHeight),
          valueButton(this->frame, Window::SettingItemHeaderWidth + Window::SettingItemMarginWidth, 0, 0, 0,
                      Control::TextButtonControl::DropDown) {
        valueButton.clickAction = [this](Control::ButtonControl&) { showList(); };
        valueButton.wheelFilter = [this](Control::TextButtonWheelControl&) {
            return Window::ListBox::listShown && Window::ListBox::listOwner == this;
        };
        // A turn toward the user (a negative delta) moves down the list; a
        // turn past either end chooses nothing again.
        valueButton.wheelAction = [](Control::TextButtonWheelControl&, int32_t delta) {
            if (delta == 0) return;
            const int32_t step = delta < 0 ? 1 : -1;
            namespace W = Platform::window;
            const auto count = W::sendMessage(Window::ListBox::window, W::kLbGetCount, 0, 0);
            const auto current = W::sendMessage(Window::ListBox::window, W::kLbGetCurSel, 0, 0);
            if (current >= 0 && (current + step < 0 || current + step >= count)) return;
            Window::ListBox::moveSelection(step);
        };
    }

    // Chooses the entry of a key (the list's lines and the menus call it).
    virtual void selectKey(int32_t key) = 0;

    // The popup list of every option in key order, the chosen one marked.
    void showList() {
        const Effect::EffectItemSelect::SharedList* options = optionList();
        if (options == nullptr) return;
        Window::ListBox::initialize();
        int32_t line = 0;
        for (const auto& [key, text] : options->indexMap) {
            Window::ListBox::addEntry(optionText(options, key), [this, key = key] { selectKey(key); });
            if (key == chosenKey()) Window::ListBox::selectedIndex = line;
            ++line;
        }
        Window::ListBox::show(valueButton.fullRect.x, valueButton.fullRect.y, valueButton.fullRect.w,
                              valueButton.fullRect.h, this);
    }

    Control::TextButtonWheelControl valueButton;

protected:
    virtual const Effect::EffectItemSelect::SharedList* optionList() const { return this->item->options; }
    virtual int32_t chosenKey() const { return this->item->index; }
    void showValue(const std::wstring& text) { valueButton.setText(text); }
};

}  // namespace Component
