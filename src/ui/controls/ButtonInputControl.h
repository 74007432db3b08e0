#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <regex>
#include <string>

#include "media/gpu/TextFormat.h"
#include "ui/controls/ButtonControl.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/EditControl.h"

// A short text shown on a button face that turns into a text editor when
// pressed. What the user types is matched against the pattern: a text that
// matches whole gives the value (its first group), one that does not leaves
// the value as it was while typing; an emptied editor gives the default text.
// The colour setting edits its six-digit colour codes with it.
namespace Control {

class ButtonInputControl : public Window::WindowControlRenderTarget {
public:
    using Action = std::function<void(ButtonInputControl&)>;

    class Button : public ButtonControl {
    public:
        Button(ButtonInputControl& owner, Window::ControlContainer& inner);
        void procLButtonDown(int32_t x, int32_t y) override;
        void procPaint() override;

        ButtonInputControl* input;
    };

    class Edit : public EditControl {
    public:
        Edit(ButtonInputControl& owner, Window::ControlContainer& inner);
        bool procKeyDown(int32_t key) override;
        void procFocusLost(Window::WindowMouse* cause) override;
        void setFocus(bool take) override;
        bool canFocus() override;

        ButtonInputControl* input;
    };

    // The face and the editor both fill the control.
    ButtonInputControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);
    ButtonInputControl(Window::ControlContainer& owner, int32_t x, int32_t y, int32_t w, int32_t h);

    void procMove() override;
    void procPaint() override;

    // The value from a text: the pattern's first group when it matches whole,
    // else the default text; copied into the editor and told to the owner when asked.
    bool setText(const std::wstring& value, bool copyToEdit, bool notify);
    // The editor's text changed by the user.
    void editChanged(const std::wstring& typed);
    void setEditing(bool on);
    void setPattern(const std::wstring& value);

    std::wstring valueText;
    std::wstring defaultText;
    std::wstring placeholderText;
    Resource::TextFormat* textFormat = nullptr;
    bool editing = false;
    std::wstring pattern;
    Action changeAction;
    Action beginAction;
    Action endAction;
    Window::ControlContainer container;
    Button face;
    Edit edit;

private:
    void setupParts();
    std::optional<std::wregex> matcher_;
};

}  // namespace Control
