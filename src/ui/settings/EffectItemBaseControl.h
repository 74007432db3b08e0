#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

namespace Edit {
class Object;
class UpdateSection;
}  // namespace Edit
namespace Effect {
class EffectBase;
class EffectItem;
}  // namespace Effect

// One row of the object settings panel: the control that edits one item of
// one effect. Every kind of row derives from this base (through
// EffectItemControl<T>, which adds the typed item). What every row keeps to:
//
// - Making. A row is made only by its kind's factory in the item-control
//   table (ItemControlTable) when a block is built; the factory may make
//   none (a hidden item). The block owns its rows through shared pointers
//   and lays them out; a row never owns its effect, it reads it through the
//   block's holder, and never outlives its block.
// - Place. The block stacks the rows in item order at (0, y), full width.
//   A row whose share of the line ends short of 1.0 leaves the line open for
//   the next row (two rows side by side: shares [0, 0.5] and [0.5, 1]). The
//   parts of a row go into `frame`, inset by the margin; `labelWidth` is the
//   width of the name column.
// - Edits. A row changes the model only inside an edit scope: a click change
//   (a check, a list choice, a chosen file) is one scope with its own undo
//   step (commitChange); a change made in steps (a slider drag, typing) opens
//   one undo record when it starts (beginGesture), runs each step in a short
//   scope that does not own the record (applyStep) and commits the record when
//   it ends (endGesture): one gesture, one undo step. Both tell the effect of
//   a change of an item with the notify flag (item event 1) inside the same
//   scope and mark the object changed, so the panels, the timeline and the
//   preview follow. A row never calls the effect's item event itself.
// - Several selected objects. getTwinEffects gives the same effect of every
//   other selected object; rows that edit all of them pass withTwins to
//   beginGesture / commitChange and apply the value to the twins' items.
// - Told from outside. The panel calls updateSection when the section it
//   shows may have changed and updateValue when the item may have changed
//   behind the row's back (undo, redo, reset, another panel); the block calls
//   updateFile with a file dropped on it (File and figure rows only).
// - Input. Presses on empty parts of a row reach the row; it acts on them
//   only when a click action is set (an effect's setupItemControls, or the
//   row itself). The hover action receives the pointer's position.
namespace Component {

class EffectSetting;
class SettingPanelState;

class EffectItemBaseControl : public Window::WindowControlRenderTarget {
public:
    using ClickAction = std::function<void()>;
    using HoverAction = std::function<void(int32_t x, int32_t y)>;

    // A row of `height` pixels in the block's container, editing an item of
    // the effect that `effect` holds (one of the block's holders).
    EffectItemBaseControl(Window::ControlContainer& parent, EffectSetting& block,
                          const std::shared_ptr<Effect::EffectBase>& effect, int32_t height);
    ~EffectItemBaseControl() override;
    EffectItemBaseControl(const EffectItemBaseControl&) = delete;
    EffectItemBaseControl& operator=(const EffectItemBaseControl&) = delete;

    // The item the row edits; none for the base.
    virtual Effect::EffectItem* getEffectItem();
    // Sets the item from a file dropped on the block; rows without files throw.
    virtual void updateFile(const std::wstring& path);
    // The panel's section state changed.
    virtual void updateSection();
    // The item may have changed outside the row: read it again and repaint.
    virtual void updateValue();

    void procMouseEnter() override;
    void procMouseLeave() override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseHover() override;
    void procPaint() override;
    void procMove() override;
    // The layout rectangle narrowed to the row's share of the line.
    void updateLayout() override;

    // The same effect (same index in the chain, same name) of every other
    // selected object of the current scene; empty when the row's effect is
    // not in the shown object's chain or nothing else is selected.
    std::vector<std::shared_ptr<Effect::EffectBase>> getTwinEffects() const;

    // A click change: one edit scope, one undo step holding the effect (and
    // its twins with withTwins) as it was, `change`, then item event 1 when
    // the row's item asks for it.
    void commitChange(const std::function<void(Edit::UpdateSection& scope)>& change, bool withTwins = false);
    // A change in steps: opens the undo record with the effect (and twins) as
    // it was; each step is its own short scope; the end commits the record.
    // applyStep outside a gesture acts as commitChange.
    void beginGesture(bool withTwins = false);
    void applyStep(const std::function<void(Edit::UpdateSection& scope)>& change);
    void endGesture();
    bool inGesture() const { return gesture_; }
    // Sends item event 1 for the row's item to its effect when the item has
    // the notify flag; inside the given scope.
    void notifyItemChanged(Edit::UpdateSection& scope);

    EffectSetting& block() const { return *block_; }
    SettingPanelState& panel() const;
    // The effect that owns the item, and the object the panel shows.
    const std::shared_ptr<Effect::EffectBase>& effect() const { return *effect_; }
    std::shared_ptr<Edit::Object> object() const;

    int32_t labelWidth = 0;   // "SettingItemHeaderWidth"
    int32_t marginWidth = 0;  // "SettingItemMarginWidth"
    float shareLeft = 0.0f, shareRight = 1.0f;
    ClickAction clickAction;
    HoverAction hoverAction;
    Window::ControlContainer children;
    Control::LayoutControl frame;

private:
    void pushEffectUndo(bool withTwins);

    EffectSetting* block_;
    const std::shared_ptr<Effect::EffectBase>* effect_;
    bool gesture_ = false;
};

}  // namespace Component
