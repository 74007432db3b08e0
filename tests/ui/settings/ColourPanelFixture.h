#pragma once
// The colour setting panel in a main window, bound to a colour item of an
// object, with the points of its circle, palette and old-colour patch for the
// input router and the popup menus answered by label.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "SettingFixture.h"
#include "core/HookScope.h"
#include "edit/UndoService.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectService.h"
#include "platform/window/Menu.h"
#include "ui/settings/EffectColorCircleControl.h"
#include "ui/settings/EffectColorPaletteControl.h"
#include "ui/settings/EffectColorPreviewControl.h"
#include "ui/settings/EffectColorSettingComponent.h"

namespace ColourPanelTest {

namespace W = Platform::window;
using Circle = Component::EffectColorCircleControl;
using Component::EffectColorSettingComponent;
using TestSupport::Input;
using TestSupport::RouterStep;

// Two colour items, the second of the kind that may be unset.
class ColourEffect : public Effect::EffectBase {
public:
    ColourEffect() {
        name = L"色の効果";
        role = kFilter;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<ColourEffect>(); }

    Effect::EffectItemColor colour{&items, L"色", 255, 0, 0};
    Effect::EffectItemColor edge{&items, L"縁色", 0, 0, 255, Effect::EffectItem::kColorUnset};
};

class ColourPanel : public SettingWindow {
protected:
    void SetUp() override {
        SettingWindow::SetUp();
        if (IsSkipped()) return;
        effects.emplace();  // the palettes
        refresh.emplace(Edit::UpdateSection::setPanelRefresh, EffectColorSettingComponent::applyScopeRequests);
        object = scene->createObject(0, 0, 99);
        object->effects.push_back(std::make_shared<ColourEffect>());
        scene->update();
        holder.emplace();
        panel = EffectColorSettingComponent::get();
        ASSERT_FALSE(panel->shown()) << "hidden at first start";
    }
    void TearDown() override {
        W::setMenuAnswerHook({});
        holder.reset();
        refresh.reset();
        if (Edit::EditService* edit = Edit::EditService::instance()) edit->clearProject();
        effects.reset();
        SettingWindow::TearDown();
    }
    ColourEffect& effect() { return static_cast<ColourEffect&>(*object->effects.front()); }
    // The colour row's window button does this: bind and show.
    void bind() {
        panel->setTarget(object, &effect().colour);
        ASSERT_TRUE(panel->shown());
        service->updateLayout();
        ASSERT_GT(panel->circle().geometry.squareSize, 20) << "a circle too small to drive";
    }
    std::array<int, 3> item() const {
        const auto& c = static_cast<ColourEffect&>(*object->effects.front()).colour;
        return {c.red, c.green, c.blue};
    }
    size_t records() const { return Undo::UndoService::get()->history()->records.size(); }
    // A point of the circle: its centre moved by (dx, dy) in units of the ring's middle radius.
    RouterStep onCircle(Input input, float dx, float dy) {
        const Circle& c = panel->circle();
        const Circle::Geometry& g = c.geometry;
        const float r = float(g.diameter - g.ringWidth) / 2;
        return {input, c.fullRect.x + g.originX + g.diameter / 2 + int32_t(std::lround(dx * r)),
                c.fullRect.y + g.originY + g.diameter / 2 + int32_t(std::lround(dy * r)), 0};
    }
    RouterStep onSwatch(Input input, int32_t index) {
        const Window::MouseRect& r = panel->palette().fullRect;
        return {input, r.x + (index % 8) * r.w / 8 + r.w / 16, r.y + (index / 8) * r.h / 8 + r.h / 16, 0};
    }
    RouterStep onOldColour(Input input) {
        const Window::MouseRect& r = panel->preview().fullRect;
        return {input, r.x + r.w * 7 / 8, r.y + r.h * 7 / 8, 0};
    }
    void answerMenu(const std::string& label) {
        W::setMenuAnswerHook([label](W::MenuHandle menu, const W::Point&) -> uint32_t {
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
                std::string text;
                if (W::getMenuStringAt(menu, i, text) && text == label)
                    return static_cast<uint32_t>(W::getMenuItemId(menu, i));
            }
            return 0;
        });
    }

    std::optional<System::ServiceHolder<Effect::EffectService>> effects;
    std::optional<System::HookScope<Edit::UpdateSection::PanelRefresh>> refresh;
    std::optional<System::ServiceHolder<EffectColorSettingComponent>> holder;
    EffectColorSettingComponent* panel = nullptr;
    std::shared_ptr<Edit::Object> object;
};

}  // namespace ColourPanelTest
