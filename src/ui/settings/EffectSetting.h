#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/RectControl.h"
#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/settings/EffectSettingHeader.h"

namespace Edit {
class Object;
}
namespace Window {
class BaseMenu;
struct DropFiles;
}
namespace Effect {
class EffectBase;
class EffectItem;
class EffectItemNumber;
}  // namespace Effect

// One effect of the shown object in the object settings panel: a separator,
// the header row and one row per item. A source and the output after it share
// one block (a paired block: the output's rows first). The block owns its
// rows; the panel makes and destroys blocks, and places them.
namespace Component {

class EffectItemBaseControl;
class SettingPanelState;

class EffectSetting : public Window::WindowControlRenderTarget {
public:
    // What the block asks of the panel around it; every part may be empty.
    struct Host {
        // Lay the blocks out again, move them and repaint.
        std::function<void()> relayout;
        // The blocks in their order, for a reorder drag.
        std::function<std::vector<EffectSetting*>()> blocks;
        // Swap this block with its neighbour (-1 above, +1 below) in the panel's list.
        std::function<void(EffectSetting& block, int32_t step)> swapBlock;
        // The panel's own context-menu entries.
        std::function<void(Window::BaseMenu& menu)> panelMenu;
    };

    // The menus other parts of the program fill are the program's
    // Window::Host; each may be empty (its submenu then stays empty).

    EffectSetting(Window::ControlContainer& parent, SettingPanelState& panel, std::shared_ptr<Effect::EffectBase> effect,
                  std::shared_ptr<Effect::EffectBase> paired = nullptr, Host host = {});
    ~EffectSetting() override;
    EffectSetting(const EffectSetting&) = delete;
    EffectSetting& operator=(const EffectSetting&) = delete;

    // Makes the rows again (none while folded).
    void createItemControl();
    // A click on the file or scene row of a source asks the source to tell
    // about its file (item event 100); rows with an action of their own keep it.
    void bindInformationActions();
    // The row of an item; null when the item has none.
    EffectItemBaseControl* findItemControl(const Effect::EffectItem* item) const;
    // The block's height for the panel's layout: the header, then the rows
    // (none while folded), a row ending short of the line's end sharing the
    // line with the next one. Places the rows as it goes.
    int32_t layoutRows();
    // Resets the block's effects to their definitions' defaults, one undo step.
    void setDefaultSetting();
    // Removes the block's effect from the object, one undo step.
    void removeEffect();
    // The switch button's popup (same-label filters, sources or scene changes).
    void showSwitchMenu();

    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    void procCaptureLost() override;
    void procContextMenu(int32_t x, int32_t y) override;
    bool procDragOver(int32_t x, int32_t y, Window::DropFiles& files) override;
    bool procDrop(int32_t x, int32_t y, Window::DropFiles& files) override;
    void procPaint() override;
    void procMove() override;

    bool folded() const;
    bool highlighted() const { return highlight_; }
    // The rule of the header and row backgrounds.
    Window::StyleBrushList::Index backgroundBrush(bool hoveredControl) const;
    int32_t headerHeight() const;

    // The effect whose block is highlighted (a reorder drag or an open menu), if any.
    static const Effect::EffectBase* highlightedEffect;

    SettingPanelState* panel;
    std::shared_ptr<Effect::EffectBase> effect;
    std::shared_ptr<Effect::EffectBase> paired;
    Host host;
    Window::ControlContainer children;
    Control::LayoutControl headerArea;
    Control::RectControl separator;
    std::unique_ptr<EffectSettingHeader> header;
    std::vector<std::shared_ptr<EffectItemBaseControl>> rows;

private:
    void setHighlight(bool on);
    // The row that takes dropped files: the first file or figure row.
    EffectItemBaseControl* fileRow() const;

    bool dragUndo_ = false;
    bool highlight_ = false;
    bool movable_ = false;
    int32_t pressTop_ = 0;
};

}  // namespace Component
