#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "core/Color.h"
#include "ui/controls/EditControl.h"

namespace Edit {
class Object;
}
namespace Effect {
class EffectBase;
class EffectItemText;
}  // namespace Effect
namespace Window {
class BaseMenu;
}

// The editor of the text panel: a multi-line text editor bound to the text
// item of a text object. Every change the user makes is written into the
// item as one undo step; the undo and redo keys step through the changes of
// that item alone; Ctrl+Space offers the text drawing's control tags, or
// for the colour or font field of the tag under the caret, the preset
// colours or the fonts. Unbound, it is disabled.
namespace Component {

class EffectTextSettingControl : public Control::EditControl {
public:
    // One row of the tag menu: its label (with the access key) and the
    // tags inserted before and after the selection (no closing one: empty).
    struct Tag {
        std::wstring label, open, close;
    };

    EffectTextSettingControl(Window::WindowControl& parent, int32_t x, int32_t w);
    ~EffectTextSettingControl() override;

    // False when this is the bound target already; otherwise shows the
    // item's text with the caret at its start and takes input.
    bool setTarget(std::shared_ptr<Edit::Object> object, std::shared_ptr<Effect::EffectBase> effect,
                   Effect::EffectItemText* item);
    // False when nothing is bound; otherwise empties and disables the editor.
    bool clearTarget();
    bool bound() const { return item_ != nullptr; }
    const std::shared_ptr<Edit::Object>& object() const { return object_; }
    const std::shared_ptr<Effect::EffectBase>& effect() const { return effect_; }
    Effect::EffectItemText* item() const { return item_; }

    // Writes the editor's text into the item as one undo step.
    void commitText();
    // Wraps the selection in the tags (or puts the open tag at the caret),
    // selects what the user would change next and commits.
    void insertTag(const std::wstring& open, const std::wstring& close);
    // The key hook: Ctrl+Space opens a menu, the undo and redo keys step
    // through the item's changes. True when the key was taken.
    bool handleKey(int32_t key);
    // The item changed outside the editor: follows it, or lets it go when
    // its object left the layers or the effect left the object.
    void refreshFromItem();

    // The tag enclosing the caret position: the places of its "<" and ">".
    std::optional<std::pair<int32_t, int32_t>> findTagAround(int32_t caretAt) const;

    // Built in the menu's order.
    std::vector<Tag> tags;


private:
    // Ctrl+Space: a field menu for the tag under the caret, else the tag menu.
    void openMenu();
    void openTagMenu();
    // The field of the caret in the tag's parameter: [start, end) and its number.
    struct Field {
        int32_t start, end, index;
    };
    Field fieldAt(int32_t tagStart, int32_t tagEnd) const;
    // Replaces the selection with a field value chosen from a menu.
    void replaceField(const std::wstring& value);
    void showEdited();

    std::shared_ptr<Edit::Object> object_;
    std::shared_ptr<Effect::EffectBase> effect_;
    Effect::EffectItemText* item_ = nullptr;
    std::wregex tagPattern_;
};

}  // namespace Component
