#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <memory>
#include <vector>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ServiceHolder.h"
#include "core/Timer.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/ScrollBarControl.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/settings/EffectSetting.h"
#include "ui/settings/SettingHeader.h"
#include "ui/settings/SettingPanelState.h"

namespace Edit {
class Object;
class UpdateSection;
}  // namespace Edit

// The docked panel in which the focus object's effects are set: a header
// strip with the object's frame gauge, then one block per effect (a source
// and its output share one), stacked and scrolled. It follows the focus, the
// cursor, the scene and every change of the shown object; a closing edit
// scope asks it to rebuild its blocks, recompute its sections or refresh its
// rows (applyScopeRequests, installed at start-up).
namespace Component {

class SettingComponent : public Window::WindowClientRenderTarget {
public:
    SettingComponent();
    ~SettingComponent() override;
    SettingComponent(const SettingComponent&) = delete;
    SettingComponent& operator=(const SettingComponent&) = delete;

    static SettingComponent* get() { return System::ServiceSlot<SettingComponent>::instance; }

    // False when the object is the one shown; else shows it (none clears).
    bool setObject(std::shared_ptr<Edit::Object> object);
    void updateObject(std::shared_ptr<Edit::Object> object);
    void changeObject(const std::shared_ptr<Edit::Object>& object);
    void updateFrame(int32_t frame);
    // An anchor of the shown object moved at a frame of its section.
    void updateSection(int32_t frame);
    void createEffectSetting();
    void layoutEffectSetting();
    void scroll(int32_t position);
    void setScroll(int32_t position);

    // What a closing edit scope asks of the panel that exists, if one does.
    static void applyScopeRequests(const Edit::UpdateSection& scope);
    // Drops every block; the next change of the object builds them again.
    void requestRebuild();
    void requestSectionReset() { state.sectionCount = 0; }
    // Every block's checks and every row's values read again.
    void requestRefresh();

    void procRButtonDown(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void addClientMenu(Window::BaseMenu& menu) override;
    void procPaint() override;
    void procMove() override;

    SettingPanelState state;
    std::vector<std::unique_ptr<EffectSetting>> blocks;
    int32_t contentHeight = 0;
    int32_t scrollPosition = 0;
    int32_t scrollAtPress = 0;

    SettingHeader& header() { return *header_; }
    Control::ScrollBarControl& scrollBar() { return *scrollBar_; }

private:
    // Blocks taken off the panel while something of theirs may still be
    // running; they go once the main loop is back.
    void retireBlocks();
    EffectSetting::Host host();
    void refreshSections();
    // The section state for the frame, also handed to the anchors.
    void calcSections(int32_t frame);
    void fillBelowContent();
    void logRows();

    Window::ControlContainer container_;
    std::unique_ptr<Control::LayoutControl> blockArea_;
    std::unique_ptr<SettingHeader> header_;
    std::unique_ptr<Window::ControlContainer> scrollContainer_;
    std::unique_ptr<Control::ScrollBarControl> scrollBar_;
    std::vector<std::unique_ptr<EffectSetting>> retired_;
    System::Timer retireTimer_;
    System::Config::ParameterGroup settings_;
    System::Config::Int sectionViewMode_;
    System::Config::Int slideMouseHidden_;
    System::Config::Int sliderButtonHidden_;
    System::Config::Int sliderCursorHidden_;
    std::unique_ptr<System::Config::ParameterBinding> binding_;
    std::map<const void*, std::array<int32_t, 4>> loggedRows_;  // by item
    std::shared_ptr<SettingComponent*> self_;
    // The object shown and the key of its shown section, as the anchor
    // passes read them from the render thread; -1 without an object.
    struct ShownSection {
        std::atomic<const Edit::Object*> object{nullptr};
        std::atomic<int32_t> key{-1};
    };
    std::shared_ptr<ShownSection> shownSection_ = std::make_shared<ShownSection>();
};

}  // namespace Component
