#pragma once
#include <array>
#include <cstdint>
#include <memory>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ServiceHolder.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/EditScrollBarControl.h"
#include "ui/controls/LayoutControl.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/settings/EffectTextSettingControl.h"
#include "ui/settings/EffectTextSettingHeader.h"

namespace Edit {
class Object;
class UpdateSection;
}  // namespace Edit

// The docked panel in which the text of the focused text object is edited
// in a large editor. While shown it follows the focus: a text object binds
// its text, any other object leaves the editor empty and disabled. Hidden,
// it can show itself when a text object is focused (its one option).
namespace Component {

class EffectTextSettingComponent : public Window::WindowClientRenderTarget {
public:
    EffectTextSettingComponent();
    ~EffectTextSettingComponent() override;
    EffectTextSettingComponent(const EffectTextSettingComponent&) = delete;
    EffectTextSettingComponent& operator=(const EffectTextSettingComponent&) = delete;

    static EffectTextSettingComponent* get() { return System::ServiceSlot<EffectTextSettingComponent>::instance; }

    // The object's text item when its first effect is the text source.
    struct Target {
        std::shared_ptr<Effect::EffectBase> effect;
        Effect::EffectItemText* item = nullptr;
    };
    static Target findTextItem(const std::shared_ptr<Edit::Object>& object);

    // Binds the editor to the object's text, or unbinds it (shown panel only).
    void followFocusObject(const std::shared_ptr<Edit::Object>& object);
    // Shows the hidden panel for a text object.
    void showForFocusObject(const std::shared_ptr<Edit::Object>& object);
    // What a closing edit scope asks of the panel that exists, if one does.
    static void applyScopeRequests(const Edit::UpdateSection& scope);

    void show(bool visible) override;
    void addClientMenu(Window::BaseMenu& menu) override;
    void procPaint() override;
    void procMove() override;

    EffectTextSettingHeader& header() { return *header_; }
    EffectTextSettingControl& editor() { return *editor_; }
    Control::EditScrollBarControl& scrollBar() { return *scrollBar_; }

    int32_t showWindowFocusTextObject = 0;

private:
    void focusChanged(const std::shared_ptr<Edit::Object>& object);
    void logPlace();

    Window::ControlContainer container_;
    std::unique_ptr<EffectTextSettingHeader> header_;
    std::unique_ptr<Control::LayoutControl> editArea_;
    std::unique_ptr<EffectTextSettingControl> editor_;
    std::unique_ptr<Control::EditScrollBarControl> scrollBar_;
    System::Config::ParameterGroup settings_;
    System::Config::Int showWindowFocusTextObject_;
    std::unique_ptr<System::Config::ParameterBinding> binding_;
    std::array<int32_t, 4> loggedPlace_{};
    std::shared_ptr<EffectTextSettingComponent*> self_;
};

}  // namespace Component
