#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <regex>
#include <string>

#include "core/Timer.h"
#include "media/gpu/TextFormat.h"
#include "ui/controls/EditFocusGroup.h"
#include "ui/controls/WindowControlRenderTarget.h"

namespace Window {
class PopupMenu;
struct ImeState;
}  // namespace Window

// The program's own text editor: single-line (number and name fields, the
// slider's edit part) or multi-line with a bound scroll bar. It keeps its
// text with LF line ends, moves the caret and the selection by keys and
// mouse, cuts, copies and pastes through the desktop clipboard, takes text
// composed in the input method, scrolls to keep the caret in sight and
// blinks the caret on the main loop's timer. Positions count characters.
//
// The text area is the rectangle inset by 4 pixels; the text is drawn at
// (x + 4 - scrollX, y + 4 - scrollY). Characters and pasted text pass the
// input filter (a pattern) when one is set. Every edit the user makes runs
// onChange; every change of the scroll offset runs onScroll.
namespace Control {

class EditScrollBarControl;

class EditControl : public Window::WindowControlRenderTarget, public EditFocusGroup {
public:
    using Callback = std::function<void(EditControl&)>;

    // Fills the container's layout rectangle; owners lay it out afterwards.
    explicit EditControl(Window::ControlContainer& container);
    // Spans the parent's height from x, w wide.
    EditControl(Window::WindowControl& parent, int32_t x, int32_t w);
    ~EditControl() override;

    void procMouseMove(int32_t x, int32_t y) override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t x, int32_t y) override;
    void procRButtonDown(int32_t x, int32_t y) override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    bool procKeyDown(int32_t key) override;
    bool procChar(char16_t unit) override;
    void procImeString(const std::u16string& text) override;
    void procFocusLost(Window::WindowMouse* cause) override;
    bool procFocusIme(Window::ImeState& state) override;
    void procPaint() override;
    // The entries of the context menu; derived editors add their own.
    virtual void fillContextMenu(Window::PopupMenu& menu);

    void setFocus(bool take) override;
    bool canFocus() override;

    // Owners: replaces the text (not an edit of the user's: onChange does not run).
    void setText(const std::wstring& value);
    // Selects [start, end) with the caret at `caretAt`.
    void select(int32_t start, int32_t end, int32_t caretAt);
    // Sets the input filter; an empty pattern removes it.
    void setInputFilter(const std::wstring& pattern);
    bool hasSelection() const { return selectionStart < selectionEnd; }
    std::wstring selectedText() const;

    // Editing primitives; each lays the text out again.
    void insertText(const std::wstring& value);
    void eraseText(int32_t begin, int32_t end);
    void deleteForward();
    void deleteBackward();
    int32_t setCaret(int32_t position) const;
    int32_t lineEnd(int32_t position) const;
    int32_t lineStart(int32_t position) const;
    void updateTextLayout();
    int32_t getTextPosition(float x, float y) const;
    void afterEdit();
    void editCursorUp(int32_t lines);
    void editCursorDown(int32_t lines);
    void selectWord(int32_t position);
    void updateScroll();
    void autoScroll(int32_t x, int32_t y);
    void updateImePosition();

    // Text area sizes and the margins kept around the caret.
    int32_t usableWidth() const;
    int32_t usableHeight() const;
    int32_t horizontalMargin() const;
    int32_t verticalMargin() const;
    float lineHeight() const;

    Resource::TextFormat* textFormat = nullptr;
    int32_t selectionStart = 0, selectionEnd = 0;
    int32_t scrollX = 0, scrollY = 0;
    std::wstring text;
    int32_t caret = 0;
    int32_t anchor = 0;
    int32_t length = 0;
    int32_t textWidth = 0, textHeight = 0;
    int32_t hitTestCapacity = 0;
    bool centerX = false, centerY = false;
    System::Timer caretTimer;
    bool caretVisible = false;
    bool menuOnFocus = false;
    EditScrollBarControl* scrollBar = nullptr;
    Resource::TextLayout layout;
    Callback onChange;
    Callback onScroll;
    std::function<bool(int32_t key)> keyFilter;
    std::optional<std::wstring> inputFilter;

protected:
    // Caret shown, blink timer started, the router's focus taken.
    void takeFocus();
    void restartCaretTimer();
    // The selection between the anchor (clamped) and the caret.
    void spanSelection();
    void clearSelection();
    void deleteSelection();
    // Hides the mouse pointer until it moves again.
    void hidePointer();
    bool matchesFilter(const std::wstring& value) const;
    // The caret's place: left, top and line height in text coordinates.
    bool caretMetrics(float& left, float& top, float& width, float& height, const char* call,
                      const char* scope) const;

private:
    void construct();
    std::optional<std::wregex> filter_;
    char16_t pendingHigh_ = 0;  // the first half of a character given in two units
};

}  // namespace Control
