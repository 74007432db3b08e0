#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ServiceHolder.h"
#include "ui/controls/ControlContainer.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/settings/EffectTimeSettingControl.h"
#include "ui/settings/EffectTimeSettingHeader.h"

namespace Edit {
class Object;
class UpdateSection;
}  // namespace Edit
namespace Effect {
class EffectBase;
class EffectItemNumber;
}  // namespace Effect

// The docked panel in which the time curve of one number item is edited:
// a header naming the bound item and its movement, and the curve editor. It
// binds to the first time-controlled number item of the focused object,
// to an item the user picks from the header's menu, to the item whose row
// asked for it, or to an item that has just been given a time-controlled
// movement; it loads curve presets and saves the curve as one.
namespace Component {

class EffectTimeSettingComponent : public Window::WindowClientRenderTarget {
public:
    // A number item with what holds it.
    struct ItemRef {
        std::shared_ptr<Edit::Object> object;
        std::shared_ptr<Effect::EffectBase> effect;
        Effect::EffectItemNumber* item = nullptr;
    };

    EffectTimeSettingComponent();
    ~EffectTimeSettingComponent() override;
    EffectTimeSettingComponent(const EffectTimeSettingComponent&) = delete;
    EffectTimeSettingComponent& operator=(const EffectTimeSettingComponent&) = delete;

    static EffectTimeSettingComponent* get() { return System::ServiceSlot<EffectTimeSettingComponent>::instance; }

    void followFocusObject(const std::shared_ptr<Edit::Object>& object);
    // Binds the item of the object, shows the panel and makes room for it.
    void setTarget(const std::shared_ptr<Edit::Object>& object, Effect::EffectItemNumber& item);
    // The same after a movement with a time control was chosen for the item,
    // when the panel is set to follow such changes.
    void followMovementChange(const std::shared_ptr<Edit::Object>& object, Effect::EffectItemNumber& item);
    void updateTitle();
    void showTargetMenu();
    void showPresetMenu();
    void createPreset();
    // A closing edit scope marked for the time-control panels.
    void refreshTarget();
    static void applyScopeRequests(const Edit::UpdateSection& scope);

    // The time-controlled number items of every effect of the object, one per
    // group of items sharing a movement (its first).
    static std::vector<ItemRef> getTimeControlItems(const std::shared_ptr<Edit::Object>& object);
    // "effect [item]" of a bound item; a group names all its members,
    // starting with the item.
    static std::wstring itemLabel(const ItemRef& ref);

    void addClientMenu(Window::BaseMenu& menu) override;
    void procPaint() override;
    void procMove() override;

    EffectTimeSettingHeader& header() { return *header_; }
    EffectTimeSettingControl& editor() { return *editor_; }

    int32_t displaySectionPosition = 0;
    int32_t showWindowTargetMovement = 1;
    // Where the last preset dialog left its fields.
    std::wstring presetName, presetLabel;

private:
    void bind(const ItemRef& ref);
    void logPlace();

    Window::ControlContainer container_;
    std::unique_ptr<EffectTimeSettingHeader> header_;
    std::unique_ptr<EffectTimeSettingControl> editor_;
    System::Config::ParameterGroup settings_;
    System::Config::Int displaySectionPositionParameter_;
    System::Config::Int showWindowTargetMovementParameter_;
    std::unique_ptr<System::Config::ParameterBinding> binding_;
    std::shared_ptr<EffectTimeSettingComponent*> self_;
    std::string loggedPlace_;
};

}  // namespace Component
