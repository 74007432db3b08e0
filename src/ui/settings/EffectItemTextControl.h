#pragma once
#include <cstdint>
#include <memory>

#include "effect/EffectItemText.h"
#include "ui/controls/EditControl.h"
#include "ui/controls/EditScrollBarControl.h"
#include "ui/settings/EffectItemControl.h"

// The row of a multi-line text item: a four-line entry with its scroll bar
// and no name. Every edit is its own undo step, and the undo and redo keys
// inside the entry step back and forth through the entry's own edits only.
namespace Component {

class EffectItemTextControl : public EffectItemControl<Effect::EffectItemText> {
public:
    EffectItemTextControl(Window::ControlContainer& parent, EffectSetting& block,
                          const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemText& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    // Takes the item's text first when its length differs from the entry's.
    void procPaint() override;
    void applyText();
    // Whether the key was the undo or redo key (then it has acted).
    bool textUndoKeys(int32_t key);

    Control::EditControl entry;
    Control::EditScrollBarControl scrollBar;
};

}  // namespace Component
