// The time-control panel in a main window, driven through the input router:
// a number item given a time-controlled movement binds it; drags of points
// and handles and the context menu's add, delete, copy and paste change the
// item's stored curve, each one undo step, and the curve the renderer
// evaluates passes as the editor draws it; presets are saved and loaded back.
#include "ui/settings/EffectTimeSettingComponent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SettingFixture.h"
#include "core/HookScope.h"
#include "core/TextConvert.h"
#include "edit/ObjectEffectCommands.h"
#include "edit/UndoService.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectService.h"
#include "effect/MovementBase.h"
#include "effect/MovementParamsManager.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "platform/window/MessageBox.h"
#include "support/ScriptedDialogs.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/framework/ToolTips.h"

namespace {

namespace W = Platform::window;
using Component::EffectTimeSettingComponent;
using Component::EffectTimeSettingControl;
using TestSupport::Input;
using TestSupport::RouterStep;
using Anchor = EffectTimeSettingControl::ControlAnchor;

constexpr const wchar_t* kTimed = L"直線移動(時間制御)";

// An effect whose X, Y and Z share one movement, then a lone number.
class GroupEffect : public Effect::EffectBase {
public:
    GroupEffect() {
        name = L"座標の効果";
        role = kFilter;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<GroupEffect>(); }

    Effect::EffectItemNumber x{&items, L"X", 0, -100, 100, 0.1};
    Effect::EffectItemNumber y{&items, L"Y", 0, -100, 100, 0.1};
    Effect::EffectItemNumber z{&items, L"Z", 0, -100, 100, 0.1};
    Effect::EffectItemNumber size{&items, L"サイズ", 0, 0, 100, 1};
    Effect::EffectItemGroup group{{&x, &y, &z}};
};

// A point on the curve at progress t as the renderer finds it: the segment
// holding t, its parameter by bisection on the horizontal Bezier.
double reference(const std::vector<Anchor>& points, double t) {
    size_t i = 0;
    while (i + 2 < points.size() && t > points[i + 1].x) ++i;
    const Anchor& a = points[i];
    const Anchor& b = points[i + 1];
    const auto bez = [](double p0, double p1, double p2, double p3, double s) {
        const double u = 1 - s;
        return u * u * u * p0 + 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s * p3;
    };
    double lo = 0, hi = 1;
    for (int k = 0; k < 80; ++k) {
        const double mid = (lo + hi) / 2;
        (bez(a.x, a.x + a.handleX, b.x - b.handleX, b.x, mid) < t ? lo : hi) = mid;
    }
    return bez(a.y, a.y + a.handleY, b.y - b.handleY, b.y, (lo + hi) / 2);
}

class TimeControlPanel : public SettingWindow {
protected:
    void SetUp() override {
        SettingWindow::SetUp();
        if (IsSkipped()) return;
        effects.emplace();
        refresh.emplace(Edit::UpdateSection::setPanelRefresh, EffectTimeSettingComponent::applyScopeRequests);
        follow.emplace(Edit::EditCommand::setTimeControlTarget,
                       [](const std::shared_ptr<Edit::Object>& o, Effect::EffectItemNumber& item) {
                           EffectTimeSettingComponent::get()->followMovementChange(o, item);
                       });
        holder.emplace();
        panel = EffectTimeSettingComponent::get();
        object = addObject(0, 0, 99);
    }
    void TearDown() override {
        W::setMenuAnswerHook({});
        Window::ToolTips::hide();
        holder.reset();
        follow.reset();
        refresh.reset();
        if (Edit::EditService* edit = Edit::EditService::instance()) edit->clearProject();
        effects.reset();
        SettingWindow::TearDown();
    }
    Effect::EffectItemNumber& number() { return effectOf(object).number; }
    EffectTimeSettingControl& editor() { return panel->editor(); }
    void focus(const std::shared_ptr<Edit::Object>& o) {
        const auto scope = Edit::EditService::instance()->openSection();
        scope->scene->focusObject = o;
        scope->focusChanged = true;
    }
    // The item given the time-controlled movement: the panel shows itself bound to it.
    void bindNumber() {
        Edit::EditCommand::setMovement(object, number(), kTimed);
        ASSERT_TRUE(panel->shown());
        ASSERT_EQ(editor().item, &number());
        ASSERT_GT(editor().plotW, 100);
        ASSERT_GT(editor().plotH, 60);
    }
    // Client pixels of a curve position.
    int32_t px(double x) { return editor().fullRect.x + static_cast<int32_t>(std::lround(editor().plotX(x))); }
    int32_t py(double y) { return editor().fullRect.y + static_cast<int32_t>(std::lround(editor().plotY(y))); }
    // A press at (x, y), moved by (dx, dy) pixels in two steps, released.
    void drag(int32_t x, int32_t y, int32_t dx, int32_t dy) {
        driver.run({{Input::Move, x, y},
                    {Input::Press, x, y},
                    {Input::Move, x + dx / 2, y + dy / 2},
                    {Input::Move, x + dx, y + dy},
                    {Input::Release, x + dx, y + dy}});
    }
    // The context menu at (x, y), answered with the entry of this label;
    // what it offered, '-' before a greyed entry.
    std::vector<std::string> menuAt(int32_t x, int32_t y, const std::string& label) {
        std::vector<std::string> offered;
        W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
            uint32_t chosen = 0;
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
                std::string text;
                if (!W::getMenuStringAt(menu, i, text) || text.empty()) continue;
                const auto id = static_cast<uint32_t>(W::getMenuItemId(menu, i));
                const bool greyed = W::getSubMenu(menu, i) == nullptr && !W::isMenuItemEnabled(menu, id);
                offered.push_back((greyed ? "-" : "") + text);
                if (text == label) chosen = id;
            }
            return chosen;
        });
        driver.send({Input::Move, x, y});
        W::Point at{x, y};
        Window::WindowMouseService& router = *Window::WindowMouseService::get();
        (void)W::clientToScreen(router.window, at);
        router.dispatch(router.window, W::kWmContextMenu, 0, W::makeLParam(at.x, at.y));
        W::setMenuAnswerHook({});
        return offered;
    }
    static int32_t undoAll() {
        int32_t steps = 0;
        while (Undo::UndoService::get()->canUndo() && Undo::UndoService::get()->undo()) ++steps;
        return steps;
    }

    std::optional<System::ServiceHolder<Effect::EffectService>> effects;
    std::optional<System::HookScope<Edit::UpdateSection::PanelRefresh>> refresh;
    std::optional<System::HookScope<Edit::EditCommand::TimeControlTarget>> follow;
    std::optional<System::ServiceHolder<EffectTimeSettingComponent>> holder;
    EffectTimeSettingComponent* panel = nullptr;
    std::shared_ptr<Edit::Object> object;
};

TEST_F(TimeControlPanel, ATimedMovementBindsTheItemAndNamesItInTheTitle) {
    EXPECT_EQ(panel->sectionName(), "Window.setting.time");
    EXPECT_FALSE(panel->shown()) << "hidden at first";
    EXPECT_EQ(panel->header().title.text, L"時間制御");
    EXPECT_EQ(panel->header().title.textBrush, Window::StyleBrushList::TextDisable);

    bindNumber();
    EXPECT_EQ(panel->header().title.text, L"テスト効果 [数値] " + std::wstring(kTimed));
    EXPECT_EQ(panel->header().title.textBrush, Window::StyleBrushList::Text);
    EXPECT_EQ(editor().anchors, (std::vector<Anchor>{{0, 0, 0.25, 0.25}, {1, 1, 0.25, 0.25}}))
        << "no stored curve: the straight line";

    // Back to a movement without a curve: the refresh drops the binding.
    Edit::EditCommand::setMovement(object, number(), L"直線移動");
    EXPECT_EQ(editor().item, nullptr);
    EXPECT_EQ(panel->header().title.text, L"時間制御");

    // With the option off a timed movement leaves the hidden panel alone.
    panel->show(false);
    panel->showWindowTargetMovement = 0;
    Edit::EditCommand::setMovement(object, number(), kTimed);
    EXPECT_FALSE(panel->shown());
    EXPECT_EQ(editor().item, nullptr);
}

TEST_F(TimeControlPanel, CurveEditsStoreTheShortestFormAndAreOneUndoStepEach) {
    bindNumber();
    const double w = editor().plotW, h = editor().plotH;
    double addedX = 0, addedY = 0, movedY = 0;
    std::vector<double> copied;
    struct Step {
        const char* name;
        std::function<void()> gesture;
        bool undoStep;
        size_t stored;                                // values on the item
        std::function<std::vector<Anchor>()> points;  // the editor's points after it
    };
    const std::vector<Step> steps = {
        {"a click on a point that moves nothing", [&] { drag(px(1), py(1), 0, 0); }, false, 0,
         [] { return std::vector<Anchor>{{0, 0, 0.25, 0.25}, {1, 1, 0.25, 0.25}}; }},
        {"the first + handle pulled right: the two end handles",
         [&] { drag(px(0.25), py(0.25), 20, 0); }, true, 4,
         [&] { return std::vector<Anchor>{{0, 0, 0.25 + 20 / w, 0.25}, {1, 1, 0.25, 0.25}}; }},
        {"a point added from the menu: four values a point",
         [&] {
             const int32_t x = px(0.5), y = py(0.5);
             addedX = (x - editor().fullRect.x - 10) / w;
             addedY = 1 - (y - editor().fullRect.y - 10) / h;
             menuAt(x, y, "制御点を追加");
         },
         true, 12,
         [&] { return std::vector<Anchor>{{0, 0, 0.25 + 20 / w, 0.25}, {addedX, addedY, 0.2, 0}, {1, 1, 0.25, 0.25}}; }},
        {"the new point dragged up",
         [&] {
             drag(px(addedX), py(addedY), 0, -30);
             movedY = addedY + 30 / h;
         },
         true, 12,
         [&] { return std::vector<Anchor>{{0, 0, 0.25 + 20 / w, 0.25}, {addedX, movedY, 0.2, 0}, {1, 1, 0.25, 0.25}}; }},
        {"the new point dragged far right stops short of the end",
         [&] { drag(px(addedX), py(movedY), static_cast<int32_t>(2 * w), 0); }, true, 12,
         [&] {
             return std::vector<Anchor>{{0, 0, 0.25 + 20 / w, 0.25}, {1 - 1e-7, movedY, 0.2, 0}, {1, 1, 0.25, 0.25}};
         }},
        {"the curve copied: no step",
         [&] {
             menuAt(px(0.5), py(0.1), "コピー");
             copied = number().timeControl;
         },
         false, 12,
         [&] { return std::vector<Anchor>{{0, 0, 0.25 + 20 / w, 0.25}, {1 - 1e-7, movedY, 0.2, 0}, {1, 1, 0.25, 0.25}}; }},
        {"the point deleted from the menu: the two end handles again",
         [&] {
             const std::vector<std::string> offered = menuAt(px(1 - 1e-7), py(movedY), "制御点を削除");
             EXPECT_EQ(offered, (std::vector<std::string>{"制御点を追加", "制御点を削除", "コピー", "貼り付け",
                                                          "オプション", "ウィンドウ配置"}));
         },
         true, 4, [&] { return std::vector<Anchor>{{0, 0, 0.25 + 20 / w, 0.25}, {1, 1, 0.25, 0.25}}; }},
        {"the copied curve pasted back", [&] { menuAt(px(0.5), py(0.1), "貼り付け"); }, true, 12,
         [&] { return std::vector<Anchor>{{0, 0, 0.25 + 20 / w, 0.25}, {1 - 1e-7, movedY, 0.2, 0}, {1, 1, 0.25, 0.25}}; }},
    };
    int32_t expectedSteps = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.gesture();
        if (step.undoStep) ++expectedSteps;
        const std::vector<Anchor> points = step.points();
        ASSERT_EQ(editor().anchors.size(), points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_NEAR(editor().anchors[i].x, points[i].x, 1e-12) << "point " << i;
            EXPECT_NEAR(editor().anchors[i].y, points[i].y, 1e-12) << "point " << i;
            EXPECT_NEAR(editor().anchors[i].handleX, points[i].handleX, 1e-12) << "point " << i;
            EXPECT_NEAR(editor().anchors[i].handleY, points[i].handleY, 1e-12) << "point " << i;
        }
        EXPECT_EQ(number().timeControl.size(), step.stored);
        // What the renderer makes of the stored values is the curve drawn.
        for (double t : {0.0, 0.1, 0.3, 0.5, 0.7, 0.9, 1.0})
            EXPECT_NEAR(number().applyTimeControl(t), reference(points, t), 1e-5) << "at " << t;
        for (const Anchor& p : points) EXPECT_NEAR(number().applyTimeControl(p.x), p.y, 1e-5) << "through " << p.x;
    }
    EXPECT_EQ(number().timeControl, copied);
    for (int32_t i = 0; i < expectedSteps; ++i) ASSERT_TRUE(Undo::UndoService::get()->undo());
    EXPECT_TRUE(number().timeControl.empty());
    EXPECT_EQ(editor().anchors, (std::vector<Anchor>{{0, 0, 0.25, 0.25}, {1, 1, 0.25, 0.25}}))
        << "the editor follows the undo";
    // The step before them gave the item its movement: undone, the panel lets go.
    EXPECT_EQ(undoAll(), 1);
    EXPECT_EQ(editor().item, nullptr);
}

TEST_F(TimeControlPanel, AddingAvoidsTakenPositionsAndTheEnds) {
    bindNumber();
    const struct {
        double x, expected;
    } cases[] = {
        {0.0, 1e-7},          // the start is the first point's
        {0.5, 0.5},           // free
        {0.5, 0.5 + 1e-7},    // taken: one step right
        {1.0, 1 - 1e-7},      // the end is the last point's
        {1.0, 1 - 2e-7},      // right of it is blocked up to 1: one step left
    };
    for (const auto& c : cases) {
        editor().addControlAnchor(c.x, 0.5);
        const bool found = std::any_of(editor().anchors.begin(), editor().anchors.end(),
                                       [&](const Anchor& a) { return std::fabs(a.x - c.expected) < 1e-12; });
        EXPECT_TRUE(found) << c.x << " -> " << c.expected;
    }
    for (size_t i = 1; i < editor().anchors.size(); ++i) EXPECT_LT(editor().anchors[i - 1].x, editor().anchors[i].x);
    EXPECT_EQ(number().timeControl.size(), 4 * editor().anchors.size());
}

TEST_F(TimeControlPanel, ShiftAndTheEndsKeepHandlesInBounds) {
    bindNumber();
    const double w = editor().plotW;
    // Pulling the last point's - handle far past the square: its end stays inside.
    drag(px(0.75), py(0.75), static_cast<int32_t>(-3 * w), 0);
    const Anchor& last = editor().anchors.back();
    EXPECT_EQ(last.x, 1.0);
    EXPECT_LE(last.handleX, 1.0);
    EXPECT_GE(last.y - last.handleY, 0.0);
    EXPECT_LE(last.y - last.handleY, 1.0);
    // The end point moves only up and down.
    drag(px(0), py(0), 40, -20);
    EXPECT_EQ(editor().anchors.front().x, 0.0);
    EXPECT_NEAR(editor().anchors.front().y, 20.0 / editor().plotH, 1e-12);

    // With Shift a handle drag keeps the longer component on screen only.
    const auto shift = [](bool down) {
        W::Message m;
        m.message = down ? W::kWmKeyDown : W::kWmKeyUp;
        m.wParam = W::kVkShift;
        W::KeyMap::noteRetrieved(m);
        W::KeyMap::noteEvent(W::kVkShift, down);
    };
    const Anchor& first = editor().anchors.front();
    // The second pull brings the handle back to 5 pixels across and 40 up.
    const struct {
        int32_t dx, dy;
        bool horizontal;
    } pulls[] = {{30, -10, true}, {0, -40, false}};
    for (auto pull : pulls) {
        const Anchor before = first;
        if (!pull.horizontal) pull.dx = 5 - static_cast<int32_t>(std::lround(editor().plotW * first.handleX));
        shift(true);
        drag(px(first.x + first.handleX), py(first.y + first.handleY), pull.dx, pull.dy);
        shift(false);
        if (pull.horizontal) {
            EXPECT_EQ(first.handleY, 0.0) << pull.dx << "," << pull.dy;
            EXPECT_GT(first.handleX, before.handleX);
        } else {
            EXPECT_EQ(first.handleX, 0.0) << pull.dx << "," << pull.dy;
            EXPECT_GT(first.handleY, 0.0);
        }
    }
}

TEST_F(TimeControlPanel, DeleteIsOfferedOnlyOverAnInteriorPoint) {
    bindNumber();
    editor().addControlAnchor(0.5, 0.5);
    const struct {
        const char* over;
        double x, y;
        bool enabled;
    } cases[] = {
        {"the interior point", 0.5, 0.5, true},
        {"an end point", 1, 1, false},
        {"the interior point's + handle", 0.5 + 0.2, 0.5, false},
        {"nothing", 0.5, 0.95, false},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> offered = menuAt(px(c.x), py(c.y), "");
        ASSERT_GE(offered.size(), 2u) << c.over;
        EXPECT_EQ(offered[1], c.enabled ? "制御点を削除" : "-制御点を削除") << c.over;
    }
    EXPECT_EQ(editor().anchors.size(), 3u);
}

TEST_F(TimeControlPanel, FocusBindsTheFirstTimedItemAndTheMenuListsAGroupOnce) {
    auto coords = scene->createObject(2, 0, 99);
    auto effect = std::make_shared<GroupEffect>();
    coords->effects.push_back(effect);
    scene->update();
    panel->show(true);
    service->updateLayout();
    for (Effect::EffectItemNumber* item : {&effect->y, &effect->size})
        Edit::EditCommand::setMovement(coords, *item, kTimed);  // Y sets X, Y and Z
    panel->show(true);
    editor().clearTarget();

    focus(coords);
    EXPECT_EQ(editor().item, &effect->x) << "the first time-controlled item";
    EXPECT_EQ(panel->header().title.text, L"座標の効果 [X,Y,Z] " + std::wstring(kTimed));

    std::vector<std::string> offered;
    W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
        uint32_t chosen = 0;
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string text;
            W::getMenuStringAt(menu, i, text);
            const auto id = static_cast<uint32_t>(W::getMenuItemId(menu, i));
            offered.push_back((W::isMenuItemChecked(menu, id) ? "*" : "") + text);
            if (text.rfind("座標の効果 [サイズ]", 0) == 0) chosen = id;
        }
        return chosen;
    });
    const Window::MouseRect& head = panel->header().fullRect;
    driver.run({{Input::Move, head.x + head.w / 2, head.y + head.h / 2},
                {Input::Press, head.x + head.w / 2, head.y + head.h / 2},
                {Input::Release, head.x + head.w / 2, head.y + head.h / 2}});
    EXPECT_EQ(offered, (std::vector<std::string>{"*座標の効果 [X,Y,Z]", "座標の効果 [サイズ]"}));
    EXPECT_EQ(editor().item, &effect->size) << "the chosen entry binds";

    // An object without such items leaves the panel unbound.
    focus(object);
    EXPECT_EQ(editor().item, nullptr);
    EXPECT_EQ(panel->header().title.text, L"時間制御");
    // A hidden panel drops the binding at the next focus change.
    focus(coords);
    EXPECT_EQ(editor().item, &effect->x);
    panel->show(false);
    focus(nullptr);
    EXPECT_EQ(editor().item, nullptr);
}

TEST_F(TimeControlPanel, PresetsAreSavedUnderTheirLabelAndLoadBack) {
    bindNumber();
    Effect::MovementParamsManager& presets = *Effect::MovementParamsManager::get();
    drag(px(0.25), py(0.25), 30, 0);
    const std::vector<double> curve = number().timeControl;
    ASSERT_EQ(curve.size(), 4u);

    ScriptedDialogs dialogs;
    std::vector<int> boxAnswers;  // OK once these run out
    size_t boxesShown = 0;
    const W::MessageBoxHook previousBoxes = W::setMessageBoxHook([&](const W::MessageBoxRequest&) {
        ++boxesShown;
        if (boxAnswers.empty()) return W::kIdOk;
        const int answer = boxAnswers.front();
        boxAnswers.erase(boxAnswers.begin());
        return answer;
    });
    const auto answer = [&](const char* name, const char* label) {
        dialogs.answers.push_back([=](W::DialogWindow& d) {
            d.setText(ScriptedDialogs::field(d, "プリセット名"), name);
            d.setText(ScriptedDialogs::field(d, "ラベル"), label);
            d.press(Dialog::DialogTemplate::kOkButtonId);
        });
    };
    answer("ease", "mine");
    panel->createPreset();
    EXPECT_EQ(dialogs.shown.back().caption, "プリセットを作成 - 時間制御");
    const std::filesystem::path file = appData() / "Default" / "ease.params";
    ASSERT_TRUE(std::filesystem::exists(file));
    const Effect::MovementParamsDefine* saved = presets.find(L"ease");
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(saved->values.size(), curve.size());
    for (size_t i = 0; i < curve.size(); ++i) EXPECT_NEAR(saved->values[i], curve[i], 1e-6) << "six decimals kept";
    EXPECT_EQ(saved->label, L"mine");

    // The same name again: declining the overwrite asks again with the fields kept.
    answer("ease", "other");
    boxAnswers.push_back(W::kIdCancel);
    dialogs.answers.push_back([](W::DialogWindow& d) { d.press(W::kDialogIdCancel); });
    panel->createPreset();
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown.back().fields,
              (std::vector<std::pair<std::string, std::string>>{{"プリセット名", "ease"}, {"ラベル", "other"}}));
    EXPECT_EQ(boxesShown, 1u);
    EXPECT_EQ(presets.find(L"ease")->label, L"mine") << "nothing written";
    W::setMessageBoxHook(previousBoxes);

    // Choosing the preset from the header's menu puts the curve back, one step.
    editor().setControlAnchors({});
    ASSERT_TRUE(number().timeControl.empty());
    std::vector<std::string> offered;
    W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
        uint32_t chosen = 0;
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string text;
            W::getMenuStringAt(menu, i, text);
            offered.push_back(text);
            if (text != "mine") continue;
            const W::MenuHandle sub = W::getSubMenu(menu, i);
            for (int32_t k = 0; sub && k < W::getMenuItemCount(sub); ++k)
                if (W::getMenuStringAt(sub, k, text) && text == "ease")
                    chosen = static_cast<uint32_t>(W::getMenuItemId(sub, k));
        }
        return chosen;
    });
    Control::IconButtonControl& button = panel->header().presetButton;
    const int32_t bx = button.fullRect.x + button.fullRect.w / 2, by = button.fullRect.y + button.fullRect.h / 2;
    driver.run({{Input::Move, bx, by}, {Input::Press, bx, by}, {Input::Release, bx, by}});
    EXPECT_EQ(number().timeControl, saved->values);
    EXPECT_EQ(editor().getControlValues(), saved->values);
    ASSERT_FALSE(offered.empty());
    EXPECT_EQ(offered.back(), "現在の設定でプリセットを作成");
    EXPECT_TRUE(Undo::UndoService::get()->undo());
    EXPECT_TRUE(number().timeControl.empty()) << "the preset was one step";
}

TEST_F(TimeControlPanel, TheCursorLineFollowsTheObjectsFramesAndAPressBesideThePointsSeeks) {
    object->start = 100;
    object->end = 199;
    scene->createObject(1, 0, 399);  // the scene goes on past the object
    scene->update();
    bindNumber();
    Edit::EditService& edit = *Edit::EditService::instance();
    const struct {
        int32_t frame;
        float ratio;
    } cursors[] = {{100, 0}, {150, 50.0f / 99}, {199, 1}, {99, -1}, {200, -1}, {120, 20.0f / 99}};
    for (const auto& c : cursors) {
        edit.setCursorFrame(c.frame);
        EXPECT_FLOAT_EQ(editor().cursorRatio, c.ratio) << "frame " << c.frame;
    }
    // A press away from the points seeks; a drag goes on seeking, clamped into the object.
    const int32_t y = py(0.9);
    driver.run({{Input::Move, px(0.5), y}, {Input::Press, px(0.5), y}});
    EXPECT_EQ(scene->cursorFrame, 100 + static_cast<int32_t>(std::lround(99 * (px(0.5) - editor().fullRect.x - 10) /
                                                                           static_cast<float>(editor().plotW))));
    driver.run({{Input::Move, px(0.5) + 3 * editor().plotW, y}, {Input::Release, px(0.5) + 3 * editor().plotW, y}});
    EXPECT_EQ(scene->cursorFrame, 199);
    EXPECT_FLOAT_EQ(editor().cursorRatio, 1);
    EXPECT_EQ(undoAll(), 1) << "seeking is no step: only the movement change";
}

TEST_F(TimeControlPanel, AnObjectOfOneFrameSeeksEveryPositionToIt) {
    object->start = object->end = 50;
    scene->createObject(1, 0, 399);
    scene->update();
    bindNumber();
    Edit::EditService::instance()->setCursorFrame(50);
    EXPECT_FLOAT_EQ(editor().cursorRatio, 0);
    for (double x : {0.1, 0.9}) {
        driver.run({{Input::Move, px(x), py(0.95)}, {Input::Press, px(x), py(0.95)}, {Input::Release, px(x), py(0.95)}});
        EXPECT_EQ(scene->cursorFrame, 50) << x;
    }
}

}  // namespace
