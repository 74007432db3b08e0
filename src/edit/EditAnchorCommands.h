#pragma once
#include <cstdint>
#include <functional>

#include "effect/AnchorCommands.h"

namespace Edit {

class EditService;

// The edit service's answers to anchor events and anchor passes: its
// settings and its cursor. What only the windows know (the section the
// settings panel shows, the clipping-object view of the preview and its
// button pictures) comes through the panel hooks the window side installs;
// without them a click shows nothing, the view counts as visible and the
// button has no picture.
class EditAnchorCommands : public Effect::AnchorCommands {
public:
    struct PanelHooks {
        std::function<bool()> visibleClippingObject;
        std::function<void(bool visible)> setVisibleClippingObject;
        std::function<const void*(bool visible)> clippingIcon;
        std::function<bool()> cameraFreeView;
        std::function<void(bool on)> setCameraFreeView;
        std::function<const void*(int32_t kind)> cameraIcon;
    };

    explicit EditAnchorCommands(EditService& service) : service_(service) {}

    // UI thread, before the preview shows anchors.
    void setPanelHooks(PanelHooks hooks) { hooks_ = std::move(hooks); }
    // The object settings panel's: the section it shows. Installed by the
    // panel itself, apart from the preview's hooks.
    struct SectionHooks {
        std::function<void(const Object& object, int32_t frame)> showSection;
        std::function<int32_t(const Object& object)> shownKey;
    };
    void setSectionHooks(SectionHooks hooks) { sectionHooks_ = std::move(hooks); }

    void showSection(const Object& object, int32_t frame) override;
    int32_t shownKey(const Object& object) const override;
    void setCursorFrame(int32_t frame) override;
    bool visibleClippingObject() const override;
    void setVisibleClippingObject(bool visible) override;
    const void* clippingIcon(bool visible) const override;
    bool cameraFreeView() const override;
    void setCameraFreeView(bool on) override;
    const void* cameraIcon(int32_t kind) const override;
    Effect::DisplayCamera* sceneCamera() override;
    bool displayObjectMovePoint() const override;
    bool displayObjectCenterAnchor() const override;
    bool anchorObjectMoveSnap() const override;

private:
    EditService& service_;
    PanelHooks hooks_;
    SectionHooks sectionHooks_;
};

}  // namespace Edit
