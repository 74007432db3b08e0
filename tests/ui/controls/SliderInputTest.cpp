// The slider input and the button input driven through the input router: the
// numbers a range gives, the drag rates, a table of drags and wheel steps with
// the values and texts they leave, the editor a click opens, and the button
// input's pattern.
#include "ui/controls/SliderInputControl.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/ButtonInputControl.h"
#include "ui/controls/EditFixture.h"

namespace {

namespace W = Platform::window;
using Control::ButtonInputControl;
using Control::SliderInputControl;
using TestSupport::Input;
using TestSupport::RouterStep;

class SliderInputs : public EditWindow {
protected:
    void SetUp() override {
        EditWindow::SetUp();
        slider = std::make_unique<SliderInputControl>(container, 10, 10, 300, 24);
        container.updateChildLayout();
        slider->beginAction = [this](SliderInputControl&) { log.push_back("begin"); };
        slider->changeAction = [this](SliderInputControl& s) { log.push_back(std::to_string(s.value)); };
        slider->endAction = [this](SliderInputControl&) { log.push_back("end"); };
    }
    void TearDown() override {
        slider.reset();
        EditWindow::TearDown();
    }
    // Lays the slider out at the width (its visible width sets the drag rate).
    void width(int32_t w) {
        slider->layoutW = w;
        container.updateChildLayout();
    }
    RouterStep face(Input input, int32_t dx = 0) const {
        const Window::MouseRect& r = slider->sliderButton.fullRect;
        return {input, r.x + r.w / 2 + dx, r.y + r.h / 2, 0};
    }
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }

    std::unique_ptr<SliderInputControl> slider;
    std::vector<std::string> log;
};

TEST_F(SliderInputs, ARangeGivesStepsScaleDecimalsAndTheText) {
    const struct {
        double value, minimum, maximum, step;
        int32_t defaultValue, lowest, highest, scale, decimals;
        const wchar_t* text;
    } cases[] = {
        {0.5, -100, 100, 0.01, 50, -10000, 10000, 100, 2, L"0.50"},
        {-0.007, -1, 1, 0.001, -7, -1000, 1000, 1000, 3, L"-0.007"},
        {-123.4, -1000, 1000, 0.1, -1234, -10000, 10000, 10, 1, L"-123.4"},
        {42, 0, 100, 1, 42, 0, 100, 1, 0, L"42"},
        {250, 0, 100, 1, 250, 0, 100, 1, 0, L"100"},  // shown clamped to the maximum
        {0.05, 0, 1, 0.01, 5, 0, 100, 100, 2, L"0.05"},
    };
    for (const auto& c : cases) {
        slider->setRange(c.value, c.minimum, c.maximum, c.step);
        EXPECT_EQ(c.defaultValue, slider->defaultValue) << c.value;
        EXPECT_EQ(c.lowest, slider->minimum) << c.value;
        EXPECT_EQ(c.highest, slider->maximum) << c.value;
        EXPECT_EQ(c.scale, slider->scale) << c.value;
        EXPECT_EQ(c.decimals, slider->decimals) << c.value;
        EXPECT_EQ(c.text, slider->valueText) << c.value;
        EXPECT_EQ(c.text, slider->sliderEdit.text) << c.value;
    }
    EXPECT_TRUE(take().empty()) << "showing a value tells nobody";
    slider->zeroText = L"none";
    slider->setRange(0, -1, 1, 1);
    slider->updateValueText();
    EXPECT_EQ(L"", slider->valueText) << "the face shows the zero text instead";
}

TEST_F(SliderInputs, TheDragRateFollowsTheScaleRangeAndWidth) {
    const struct {
        double minimum, maximum, step;
        int32_t width;
        float speed;
        int32_t coarse, fine;
    } cases[] = {
        {-100, 100, 0.01, 200, 100.0f, 100, 10},
        {0, 1000, 1, 200, 5.0f, 1, 1},
        {0, 100000, 1, 200, 10.0f, 1, 1},     // at most ten steps of the scale per pixel
        {0, 10, 0.01, 100, 10.0f, 10, 1},      // 1000 steps over 100 pixels
        {-1e6, 1e6, 0.01, 200, 1000.0f, 100, 100},
    };
    for (const auto& c : cases) {
        width(c.width);
        slider->setRange(0, c.minimum, c.maximum, c.step);
        EXPECT_EQ(c.width, slider->visibleRect.w);
        EXPECT_FLOAT_EQ(c.speed, slider->dragSpeed) << c.maximum << " " << c.step;
        EXPECT_EQ(c.coarse, slider->coarseStep) << c.maximum << " " << c.step;
        EXPECT_EQ(c.fine, slider->fineStep) << c.maximum << " " << c.step;
    }
}

TEST_F(SliderInputs, DragsAndWheelStepsLeaveTheseValuesAndTexts) {
    // Each case: the range, the drag (pixels, Shift held) or wheel notches
    // (in the editor a click opened, on a typed text), and what is left.
    struct Case {
        const char* name;
        double minimum, maximum, step;
        std::vector<int32_t> moves;  // pointer offsets from the press point
        bool shift;
        int32_t value;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"three pixels at 100 steps a pixel", -100, 100, 0.01, {3}, false, 300, L"3.00"},
        {"three pixels with Shift at 10", -100, 100, 0.01, {3}, true, 30, L"0.30"},
        {"back and forth ends where the pointer is", -100, 100, 0.01, {5, -2}, false, -200, L"-2.00"},
        {"clamped at the maximum", -100, 100, 0.01, {150}, false, 10000, L"100.00"},
        {"clamped at the minimum", -100, 100, 0.01, {-150}, false, -10000, L"-100.00"},
        {"coarse steps cut towards zero", 0, 1000, 0.1, {7}, false, 350, L"35.0"},
        {"one step a pixel", 0, 1000, 1, {7, 9}, false, 45, L"45"},
    };
    width(200);
    for (const Case& c : cases) {
        slider->setRange(0, c.minimum, c.maximum, c.step);
        take();
        hold(W::kVkShift, c.shift);
        driver.send(face(Input::Press));
        for (int32_t dx : c.moves) driver.send(face(Input::Move, dx));
        driver.send(face(Input::Release, c.moves.back()));
        hold(W::kVkShift, false);
        EXPECT_EQ(c.value, slider->value) << c.name;
        EXPECT_EQ(c.text, slider->valueText) << c.name;
        EXPECT_EQ(c.text, slider->sliderEdit.text) << c.name;
        EXPECT_FALSE(slider->sliderEdit.visible) << c.name << ": a drag opens no editor";
        const std::vector<std::string> told = take();
        ASSERT_GE(told.size(), 3u) << c.name;
        EXPECT_EQ("begin", told.front()) << c.name;
        EXPECT_EQ("end", told.back()) << c.name;
        EXPECT_EQ(std::to_string(c.value), told[told.size() - 2]) << c.name;
    }

    // Wheel notches over the editor on a typed text: away from the user one
    // step down, towards the user one step up (scale 10).
    const struct {
        const char16_t* typed;
        int32_t delta;
        int32_t value;
        const wchar_t* text;
    } wheels[] = {
        {u"12.5", 120, 124, L"12.4"},
        {u"12.5", -120, 126, L"12.6"},
        {u"-3", 240, -31, L"-3.1"},
        {u"999", -120, 1000, L"100.0"},  // clamped
    };
    slider->setRange(0, -100, 100, 0.1);
    for (const auto& w : wheels) {
        driver.send(face(Input::Press));
        driver.send(face(Input::Release));
        ASSERT_TRUE(slider->sliderEdit.focused);
        type(w.typed);
        driver.send({Input::Wheel, slider->sliderEdit.fullRect.x + 5, slider->sliderEdit.fullRect.y + 5, w.delta});
        EXPECT_EQ(w.value, slider->value) << w.delta;
        EXPECT_EQ(w.text, slider->valueText);
        EXPECT_EQ(w.text, slider->sliderEdit.text) << "the editor shows the stepped value";
        key(W::kVkReturn);
        EXPECT_FALSE(slider->sliderEdit.visible);
    }
}

TEST_F(SliderInputs, ShiftOrAnArrowInTheMiddleOfADragGoesOnFromTheValueReached) {
    width(200);
    slider->setRange(0, -100, 100, 0.01);
    driver.run({face(Input::Press), face(Input::Move, 3)});
    EXPECT_EQ(300, slider->value);
    hold(W::kVkShift, true);
    driver.send(face(Input::Move, 5));
    EXPECT_EQ(300, slider->value) << "no jump where Shift went down";
    driver.send(face(Input::Move, 7));
    EXPECT_EQ(320, slider->value) << "two pixels at the fine rate";
    hold(W::kVkShift, false);
    EXPECT_TRUE(key(W::kVkLeft));
    EXPECT_EQ(319, slider->value);
    driver.send(face(Input::Move, 8));
    EXPECT_EQ(319, slider->value) << "Shift up: re-anchored where the pointer is, the arrow's step kept";
    driver.send(face(Input::Move, 9));
    EXPECT_EQ(419, slider->value) << "one pixel at the coarse rate again";
    driver.send(face(Input::Release, 9));
    const std::vector<std::string> told = take();
    EXPECT_EQ("begin", told.front());
    EXPECT_EQ("end", told.back());
    EXPECT_EQ(1, std::count(told.begin(), told.end(), "begin"));
}

TEST_F(SliderInputs, AClickOpensTheEditorWhichTakesOnlyNumbers) {
    slider->setRange(1.5, -10, 10, 0.1);
    driver.run({face(Input::Press), face(Input::Release)});
    ASSERT_TRUE(slider->sliderEdit.visible);
    EXPECT_FALSE(slider->sliderButton.visible);
    EXPECT_TRUE(slider->sliderEdit.focused);
    EXPECT_EQ(L"1.5", slider->sliderEdit.selectedText()) << "the whole text selected";
    EXPECT_EQ(3, slider->sliderEdit.caret);
    EXPECT_FALSE(router().imeState.associated) << "numbers are typed without the input method";
    take();
    type(u"x7.25");
    EXPECT_EQ(L"7.25", slider->sliderEdit.text) << "the letter is filtered out";
    EXPECT_EQ(73, slider->value) << "7.25 tenths: nearest, halves away from zero";
    type(u"\b\b\b\b");
    EXPECT_EQ(L"", slider->sliderEdit.text);
    EXPECT_EQ(15, slider->value) << "an empty text restores the default";
    type(u"-");
    EXPECT_EQ(15, slider->value) << "a lone sign changes nothing";
    type(u"99");
    EXPECT_EQ(-100, slider->value) << "clamped to the minimum";
    key(W::kVkEscape);
    EXPECT_FALSE(slider->sliderEdit.visible);
    EXPECT_TRUE(slider->sliderButton.visible);
    EXPECT_EQ(L"-10.0", slider->valueText);
    // The value follows every keystroke that changes it; one gesture from the opening to the closing.
    EXPECT_EQ((std::vector<std::string>{"begin", "70", "72", "73", "72", "70", "15", "-90", "-100", "end"}), take());
}

TEST_F(SliderInputs, MinusAndPlusStepAndNarrowSlidersHideThem) {
    slider->setRange(5, 0, 6, 1);
    ASSERT_TRUE(slider->plusButton.visible);
    const Window::MouseRect& plus = slider->plusButton.fullRect;
    EXPECT_EQ(slider->fullRect.h / 2, plus.w);
    EXPECT_EQ(slider->fullRect.x + slider->fullRect.w - plus.w, plus.x);
    for (int i = 0; i < 3; ++i) {
        driver.send({Input::Press, plus.x + 3, plus.y + 3, 0});
        driver.send({Input::Release, plus.x + 3, plus.y + 3, 0});
    }
    EXPECT_EQ(6, slider->value);
    const Window::MouseRect& minus = slider->minusButton.fullRect;
    driver.send({Input::Press, minus.x + 3, minus.y + 3, 0});
    driver.send({Input::Release, minus.x + 3, minus.y + 3, 0});
    EXPECT_EQ(5, slider->value);
    EXPECT_EQ((std::vector<std::string>{"begin", "6", "end", "begin", "end", "begin", "end", "begin", "5", "end"}),
              take());
    // Narrower than the widest number and its buttons: buttons hidden, the face fills it.
    width(slider->editTextWidth + slider->fullRect.h - 1);
    EXPECT_FALSE(slider->minusButton.visible);
    EXPECT_EQ(slider->fullRect.w, slider->sliderButton.fullRect.w);
    slider->alwaysShowButtons = true;
    slider->procMove();
    EXPECT_TRUE(slider->minusButton.visible);
}

TEST_F(SliderInputs, TheFaceShowsMarksAtRestAndTheSliderCursorWhilePressed) {
    slider->setRange(25, 0, 100, 1);
    slider->startMark = slider->endMark = true;
    slider->showSliderCursor = true;
    slider->sliderButton.invalidate();
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    const auto pixel = [&](int32_t x, int32_t y) { return service->target->pixel(x, y) & 0xFFFFFFu; };
    const Window::MouseRect& f = slider->sliderButton.fullRect;
    const int32_t y = f.y + 2;
    EXPECT_EQ(0xc0c0c0u, pixel(f.x, y)) << "the start mark";
    EXPECT_EQ(0x303030u, pixel(f.x + 2, y)) << "the gap in it";
    EXPECT_EQ(0xc0c0c0u, pixel(f.x + 3, y));
    EXPECT_EQ(0xc0c0c0u, pixel(f.x + f.w - 1, y)) << "the end mark";
    EXPECT_EQ(0x303030u, pixel(f.x + f.w / 4, y)) << "the body at rest";
    // Pressed: the pressed body and the cursor bar at the value's place.
    driver.send(face(Input::Press));
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    const int32_t at = static_cast<int32_t>(std::lround(25.0 * double(f.w - 4) / 100.0));
    EXPECT_EQ(0xe0a000u, pixel(f.x + at + 1, y)) << "the slider cursor";
    EXPECT_EQ(0x606060u, pixel(f.x + at + 8, y)) << "the pressed body";
    driver.send(face(Input::Release));
    key(W::kVkEscape);
    // A disabled face is only the grouping colour.
    slider->sliderButton.enabled = false;
    slider->sliderButton.invalidate();
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    EXPECT_EQ(0x182838u, pixel(f.x + f.w / 2, f.y + f.h / 2));
}

class ButtonInputs : public EditWindow {
protected:
    void SetUp() override {
        EditWindow::SetUp();
        input = std::make_unique<ButtonInputControl>(container, 10, 10, 120, 24);
        container.updateChildLayout();
        input->setPattern(L"^([0-9a-zA-Z]{6}|)$");
        input->defaultText = L"ffffff";
        input->changeAction = [this](ButtonInputControl& b) { told.push_back(b.valueText); };
        input->beginAction = [this](ButtonInputControl&) { told.push_back(L"begin"); };
        input->endAction = [this](ButtonInputControl&) { told.push_back(L"end"); };
    }
    void TearDown() override {
        input.reset();
        EditWindow::TearDown();
    }
    std::unique_ptr<ButtonInputControl> input;
    std::vector<std::wstring> told;
};

TEST_F(ButtonInputs, ThePatternPicksTheValueAndTheDefaultStandsIn) {
    input->setText(L"12ab9F", true, false);
    EXPECT_EQ(L"12ab9F", input->valueText);
    EXPECT_EQ(L"12ab9F", input->edit.text);
    input->setText(L"abc", true, false);
    EXPECT_EQ(L"ffffff", input->valueText);
    EXPECT_TRUE(told.empty());

    // Pressed: the editor opens on the value, with the input method on.
    input->setText(L"102030", true, false);
    driver.send({Input::Press, input->fullRect.x + 20, input->fullRect.y + 10, 0});
    driver.send({Input::Release, input->fullRect.x + 20, input->fullRect.y + 10, 0});
    ASSERT_TRUE(input->edit.visible);
    EXPECT_TRUE(input->edit.focused);
    EXPECT_TRUE(router().imeState.associated);
    EXPECT_EQ(L"102030", input->edit.selectedText());
    // Emptied: first the default, then the empty match.
    type(u"\b");
    EXPECT_EQ((std::vector<std::wstring>{L"begin", L"ffffff", L""}), told);
    EXPECT_EQ(L"", input->valueText);
    told.clear();
    type(u"a0b");
    EXPECT_TRUE(told.empty()) << "a partial code leaves the value";
    type(u"1c2");
    EXPECT_EQ((std::vector<std::wstring>{L"a0b1c2"}), told);
    key(W::kVkReturn);
    EXPECT_FALSE(input->edit.visible);
    EXPECT_TRUE(input->face.visible);
    EXPECT_EQ(L"a0b1c2", input->valueText);
    EXPECT_EQ(L"end", told.back());
}

}  // namespace
