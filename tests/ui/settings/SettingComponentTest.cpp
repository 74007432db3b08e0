// The object settings panel in a main window: the blocks it makes for an
// object's chain, the section it shows for the cursor, and the number rows
// driven through the input router (drags, typed text, wheel steps, limits,
// movement changes), each one undo step that the panel follows back.
#include "ui/settings/SettingComponent.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <memory>
#include <optional>
#include <string>

#include "SettingFixture.h"
#include "core/HookScope.h"
#include "core/TextConvert.h"
#include "edit/ObjectEffectCommands.h"
#include "edit/ObjectSectionCommands.h"
#include "edit/UndoService.h"
#include "effect/AnchorCommands.h"
#include "effect/EffectService.h"
#include "effect/MovementBase.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "ui/settings/EffectItemNumberControl.h"

namespace {

namespace W = Platform::window;
using Component::EffectItemNumberControl;
using Component::SettingComponent;
using Component::SettingPanelState;
using TestSupport::Input;
using TestSupport::RouterStep;

TEST(SettingSections, TheShownIndexIsTheSectionOrTheNearestBoundary) {
    // An object from 100 to 199 with midpoints at +20 and +60: sections
    // [100, 120), [120, 160), [160, 199].
    auto object = std::make_shared<Edit::Object>(0, 100, 199);
    object->midpoints = {20, 60};
    const struct {
        int32_t mode, frame, current, shown;
    } cases[] = {
        {2, 100, 0, 0}, {2, 110, 0, 0},  // the middle of a section keeps the earlier boundary
        {2, 111, 1, 0},                  // one later: the next boundary, the section stays in mode 2
        {0, 111, 1, 1}, {1, 111, 1, 1}, {0, 140, 1, 1}, {0, 141, 2, 2}, {2, 141, 2, 1},
        {0, 179, 2, 2}, {0, 180, 3, 3},  // the last section's end point is the section count
        {2, 199, 3, 2}, {2, 50, 0, 0},   // before the start: the first section
    };
    for (const auto& c : cases) {
        SettingPanelState state;
        state.object = object;
        state.sectionViewMode = c.mode;
        state.calcSectionIndex(c.frame);
        EXPECT_EQ(state.sectionCount, 3);
        EXPECT_EQ(state.currentPoint, c.current) << "mode " << c.mode << " frame " << c.frame;
        EXPECT_EQ(state.shownIndex, c.shown) << "mode " << c.mode << " frame " << c.frame;
    }
}

// The panel over a scene whose focus object carries ItemsEffect; closing
// edit scopes reach the panel as they do in the program.
class SettingPanel : public SettingWindow {
protected:
    void SetUp() override {
        SettingWindow::SetUp();
        if (IsSkipped()) return;
        effects.emplace();  // the registered movements
        refresh.emplace(Edit::UpdateSection::setPanelRefresh, SettingComponent::applyScopeRequests);
        object = addObject(0, 0, 99);
        focus(object);
        holder.emplace();
        panel = SettingComponent::get();
        service->updateLayout();
        ASSERT_GT(panel->clientRect.h, 0);
    }
    void TearDown() override {
        W::setMenuAnswerHook({});
        holder.reset();
        refresh.reset();
        blocks.clear();
        // The project goes first: its items point at the registered movements.
        if (Edit::EditService* edit = Edit::EditService::instance()) edit->clearProject();
        effects.reset();
        SettingWindow::TearDown();
    }
    void focus(const std::shared_ptr<Edit::Object>& o) {
        const auto scope = Edit::EditService::instance()->openSection();
        scope->scene->focusObject = o;
        scope->focusChanged = true;
    }
    // The index-th number row of the block; the check rows between are another kind's.
    EffectItemNumberControl& row(size_t block = 0, size_t index = 0) {
        for (const auto& each : panel->blocks.at(block)->rows)
            if (auto* number = dynamic_cast<EffectItemNumberControl*>(each.get()); number && index-- == 0) return *number;
        throw std::out_of_range("no such number row");
    }
    RouterStep face(Input input, int32_t dx = 0) {
        const Window::MouseRect& r = row().firstSlider.sliderButton.fullRect;
        return {input, r.x + r.w / 2 + dx, r.y + r.h / 2, 0};
    }
    Effect::EffectItemNumber& number() { return effectOf(object).number; }
    static bool key(uint32_t vk) {
        Window::WindowMouseService& r = *Window::WindowMouseService::get();
        return r.dispatch(r.window, W::kWmKeyDown, vk, 0);
    }
    static void type(const std::u16string& units) {
        Window::WindowMouseService& r = *Window::WindowMouseService::get();
        for (char16_t u : units) r.dispatch(r.window, W::kWmChar, u, 0);
    }
    // Chooses the popup entry with this label the next time a menu opens.
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
    std::shared_ptr<Edit::Object> object;
    std::optional<System::ServiceHolder<SettingComponent>> holder;
    SettingComponent* panel = nullptr;
};

TEST_F(SettingPanel, ShowsABlockPerEffectWithTheSourceAndItsOutputTogether) {
    EXPECT_EQ(panel->sectionName(), "Window.setting");
    ASSERT_EQ(panel->blocks.size(), 1u);
    EXPECT_EQ(row().item, &number());

    // A source, its output and a filter: two blocks, the output's rows first.
    auto chain = scene->createObject(1, 0, 99);
    auto source = std::make_shared<ItemsEffect>(L"ソース", Effect::EffectBase::kInput);
    auto output = std::make_shared<ItemsEffect>(L"出力", Effect::EffectBase::kOutput);
    auto filter = std::make_shared<ItemsEffect>(L"フィルタ", Effect::EffectBase::kFilter);
    chain->effects = {source, output, filter};
    focus(chain);
    ASSERT_EQ(panel->blocks.size(), 2u);
    EXPECT_EQ(panel->blocks[0]->effect, source);
    EXPECT_EQ(panel->blocks[0]->paired, output);
    EXPECT_EQ(panel->blocks[0]->header->name.text, L"ソース [出力]");
    EXPECT_EQ(row(0, 0).item, &output->number);
    EXPECT_EQ(row(0, 1).item, &source->number);
    EXPECT_EQ(panel->blocks[1]->effect, filter);
    EXPECT_LT(panel->blocks[0]->fullRect.y, panel->blocks[1]->fullRect.y);

    // The same focus again keeps the blocks; no focus empties the panel.
    const Component::EffectSetting* first = panel->blocks[0].get();
    panel->updateObject(chain);
    EXPECT_EQ(panel->blocks[0].get(), first);
    focus(nullptr);
    EXPECT_TRUE(panel->blocks.empty());
    EXPECT_FALSE(panel->header().addButton.enabled);
}

TEST_F(SettingPanel, NumberRowEditsAreOneUndoStepEachAndThePanelFollowsTheUndo) {
    Undo::UndoService& undo = *Undo::UndoService::get();
    struct Case {
        const char* name;
        std::function<void()> act;
        std::function<bool(int32_t)> expect;  // the stored value after the edit
    };
    const Case cases[] = {
        {"a drag to the right",
         [&] { driver.run({face(Input::Press), face(Input::Move, 4), face(Input::Release, 4)}); },
         [](int32_t v) { return v > 10000; }},
        {"a drag far to the left ends at the minimum",
         [&] { driver.run({face(Input::Press), face(Input::Move, -3000), face(Input::Release, -3000)}); },
         [](int32_t v) { return v == -100000; }},
        {"typed text",
         [&] {
             driver.run({face(Input::Press), face(Input::Release)});
             type(u"12.34");
             key(W::kVkReturn);
         },
         [](int32_t v) { return v == 1234; }},
        {"typed text above the maximum is limited",
         [&] {
             driver.run({face(Input::Press), face(Input::Release)});
             type(u"5000");
             key(W::kVkReturn);
         },
         [](int32_t v) { return v == 100000; }},
        {"typed text and a wheel step",
         [&] {
             driver.run({face(Input::Press), face(Input::Release)});
             type(u"7");
             const Window::MouseRect& e = row().firstSlider.sliderEdit.fullRect;
             driver.send({Input::Wheel, e.x + 5, e.y + 5, -120});
             key(W::kVkReturn);
         },
         [](int32_t v) { return v == 701; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(number().values[0], 10000);
        c.act();
        const int32_t edited = number().values[0];
        EXPECT_TRUE(c.expect(edited)) << edited;
        EXPECT_EQ(row().firstSlider.value, edited) << "the row shows what it stored";
        ASSERT_TRUE(undo.canUndo());
        ASSERT_TRUE(undo.undo());
        EXPECT_EQ(number().values[0], 10000);
        EXPECT_FALSE(undo.canUndo()) << "one step";
        ASSERT_EQ(panel->blocks.size(), 1u);
        EXPECT_EQ(row().firstSlider.value, 10000) << "the panel shows the restored value";
        ASSERT_TRUE(undo.redo());
        EXPECT_EQ(number().values[0], edited);
        ASSERT_TRUE(undo.undo());
    }
}

TEST_F(SettingPanel, AMovementChosenOnTheNameButtonShowsBothEndsOfTheSection) {
    Undo::UndoService& undo = *Undo::UndoService::get();
    EXPECT_FALSE(row().secondSlider.visible) << "no movement: one value, one slider";
    answerMenu("直線移動");
    const Window::MouseRect& name = row().nameButton.fullRect;
    driver.run({{Input::Move, name.x + 10, name.y + 5}, {Input::Press, name.x + 10, name.y + 5},
                {Input::Release, name.x + 10, name.y + 5}});
    ASSERT_STREQ(number().movement->name, L"直線移動");
    ASSERT_EQ(number().values.size(), 2u);
    EXPECT_TRUE(row().secondSlider.visible) << "the start and end values side by side";
    EXPECT_TRUE(row().firstSlider.startMark);
    EXPECT_TRUE(row().secondSlider.endMark);

    // The end value dragged: only value 1 changes.
    const Window::MouseRect& end = row().secondSlider.sliderButton.fullRect;
    driver.run({{Input::Press, end.x + end.w / 2, end.y + 5}, {Input::Move, end.x + end.w / 2 + 3, end.y + 5},
                {Input::Release, end.x + end.w / 2 + 3, end.y + 5}});
    EXPECT_EQ(number().values[0], 10000);
    EXPECT_GT(number().values[1], 10000);

    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(number().values[1], 10000);
    ASSERT_TRUE(undo.undo());
    EXPECT_STREQ(number().movement->name, L"移動無し") << "the movement change is a step of its own";
    EXPECT_FALSE(row().secondSlider.visible);
}

TEST_F(SettingPanel, ADragEditsTheSameItemOfEveryOtherSelectedObject) {
    auto twin = addObject(1, 0, 99);
    auto other = addObject(2, 0, 99);
    Edit::EditCommand::setMovement(other, effectOf(other).number, L"直線移動");
    ASSERT_EQ(panel->blocks.size(), 1u) << "another object's change keeps the shown object's blocks";
    scene->selection.objects = {object, twin, other};
    driver.run({face(Input::Press), face(Input::Move, 4), face(Input::Release, 4)});
    const int32_t edited = number().values[0];
    ASSERT_NE(edited, 10000);
    EXPECT_EQ(effectOf(twin).number.values[0], edited);
    EXPECT_EQ(effectOf(other).number.values[0], 10000) << "another movement: left alone";
    ASSERT_TRUE(Undo::UndoService::get()->undo());
    EXPECT_EQ(number().values[0], 10000);
    EXPECT_EQ(effectOf(twin).number.values[0], 10000) << "one step for all of them";
}

TEST_F(SettingPanel, TheRowsFollowTheCursorAcrossSections) {
    Edit::EditCommand::setMovement(object, number(), L"直線移動");
    Edit::EditCommand::createSection(object, 50);
    ASSERT_EQ(number().values.size(), 3u);
    number().values = {100, 200, 300};
    Edit::EditService::instance()->setCursorFrame(70);
    EXPECT_EQ(row().firstSlider.value, 200) << "the second section's start";
    EXPECT_EQ(row().secondSlider.value, 300);
    EXPECT_FALSE(row().firstSlider.startMark);
    EXPECT_TRUE(row().secondSlider.endMark);
    Edit::EditService::instance()->setCursorFrame(10);
    EXPECT_EQ(row().firstSlider.value, 100);
    EXPECT_EQ(row().secondSlider.value, 200);
    EXPECT_TRUE(row().firstSlider.startMark);
    EXPECT_FALSE(row().secondSlider.endMark);
}

TEST_F(SettingPanel, TheAnchorsAskForTheKeyOfTheSectionThePanelShows) {
    Edit::EditCommand::createSection(object, 50);
    const Effect::AnchorCommands* anchors = Effect::AnchorCommands::current();
    ASSERT_NE(anchors, nullptr);
    Edit::EditService::instance()->setCursorFrame(70);
    EXPECT_EQ(anchors->shownKey(*object), 1);
    Edit::EditService::instance()->setCursorFrame(10);
    EXPECT_EQ(anchors->shownKey(*object), 0);
    // A click on a key anchor shows that key's section, and the anchors follow.
    Effect::AnchorCommands::current()->showSection(*object, 60);
    EXPECT_EQ(anchors->shownKey(*object), 1);
    // Another object's sections are not the ones shown; nor are any once the focus goes.
    auto other = addObject(1, 0, 99);
    EXPECT_EQ(anchors->shownKey(*other), -1);
    focus(nullptr);
    EXPECT_EQ(anchors->shownKey(*object), -1);
}

}  // namespace
