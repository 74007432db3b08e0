#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/Message.h"

// A modal dialog window whose controls its handler places itself: static
// texts, edit fields, combo boxes and push buttons at client positions, all
// in one font. The handler lays the dialog out when it opens and is told of
// every command: a pressed button, Enter (kDialogIdOk), Escape or the close
// box (kDialogIdCancel), a changed field text, a changed choice. The dialog
// ends only when the handler ends it.
//
// The dialog keeps every control's text, choices and selection itself, so a
// scripted-answer hook can answer it without a display: the hook fills the
// fields and presses buttons through the same calls, and the handler sees
// the same commands a user's typing would send. UI thread only.
namespace Platform::window {

enum class DialogControlKind : int32_t {
    Static,     // a text; centred vertically when asked
    Edit,       // one line of text
    EditCombo,  // a text field with a drop-down list of choices
    DropList,   // a drop-down list of choices, nothing typed
    Button,     // a push button
    ListView,   // a report list: a header, lines of cells, check boxes
};

struct DialogControlSpec {
    DialogControlKind kind = DialogControlKind::Static;
    int32_t id = 0;
    std::string text;  // UTF-8
    int32_t x = 0, y = 0, width = 0, height = 0;  // client pixels
    bool digitsOnly = false;     // edit fields: only the digits 0 to 9 can be typed
    bool noInputMethod = false;  // edit fields: typed keys go in as they are
    bool centreVertically = false;
    bool defaultButton = false;  // buttons: what accepting the dialog as it stands presses
    bool hidden = false;         // not shown until showControl
    bool keyCapture = false;     // edit fields: every key press goes to the handler, nothing is typed
    bool checkBoxes = false;     // list views: a check box before each line
    std::string cue;             // edit fields: shown greyed while the field is empty
};

// A column and a line of a list view.
struct DialogListColumn {
    std::string header;  // UTF-8
    int32_t width = 0;
};
struct DialogListLine {
    std::vector<std::string> cells;  // UTF-8, one per column (missing ones are empty)
    bool checked = false;
};

// What the mouse did over a list view, hit-tested: the line and column under
// it (-1 when none) and whether it is on the line's check box. outside is -1
// above the lines, 1 below them, else 0.
struct DialogListEvent {
    enum Kind : int32_t { Move, LeftDown, LeftUp, RightDown, RightUp, HeaderClick };
    Kind kind = Move;
    int32_t line = -1;
    int32_t column = -1;
    bool onCheck = false;
    int32_t outside = 0;
};

// Command ids the dialog sends itself.
inline constexpr int32_t kDialogIdOk = 1;      // Enter in a field
inline constexpr int32_t kDialogIdCancel = 2;  // Escape or the close box
// Notification codes of a command.
inline constexpr int32_t kDialogClicked = 0;
inline constexpr int32_t kDialogSelectionChange = 1;
inline constexpr int32_t kDialogEditUpdate = 0x400;
inline constexpr int32_t kDialogSetFocus = 0x100;   // an edit field gained the focus
inline constexpr int32_t kDialogKillFocus = 0x200;  // an edit field lost the focus
inline constexpr int32_t kDialogKeyDown = 0x300;    // fields with keyCapture: lastKey holds the key
inline constexpr int32_t kDialogListMouse = 0x500;  // list views: lastListEvent holds what happened

class DialogWindow;

class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    // The dialog opened: create the controls, size and place it.
    virtual void initDialog(DialogWindow& dialog) = 0;
    virtual void command(DialogWindow& dialog, int32_t id, int32_t code) = 0;
};

class DialogWindow {
public:
    // Runs the dialog modally and returns the code it ended with. The
    // owner's input is blocked while it runs; the thread's messages keep
    // being dispatched. An exception thrown by the handler ends the dialog
    // and leaves run. Without a display and without a hook the dialog ends
    // at once with 0. A quit message ends it with 0 and is posted again.
    static int run(WindowHandle owner, const std::string& caption, DialogHandler& handler);

    // The scripted-answer hook: when set, every dialog is answered by it
    // instead of being shown. It is called once the handler has laid the
    // dialog out; what it leaves open is cancelled. Returns the previous hook.
    // Without it, the message boxes' hook (when set) answers a dialog as a
    // question with OK and Cancel whose text and title are the caption: OK
    // accepts the dialog as it stands (its default button, else Enter).
    using Hook = std::function<void(DialogWindow&)>;
    static Hook setHook(Hook hook);

    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    ~DialogWindow();

    const std::string& caption() const { return caption_; }
    WindowHandle owner() const { return owner_; }
    bool shown() const;  // real widgets on a screen (false under the hook)

    // The font of the dialog and of the controls made after it is set.
    void setFont(const std::string& family, int32_t pixelHeight);
    // Size of a text in the dialog's font, in pixels.
    Point measureText(const std::string& text) const;
    void setClientSize(int32_t width, int32_t height);
    Point clientSize() const { return {clientWidth_, clientHeight_}; }
    // The top-left corner of the dialog on the screen.
    void moveTo(Point screen);
    Point position() const { return position_; }

    void createControl(const DialogControlSpec& spec);
    bool hasControl(int32_t id) const;
    std::vector<int32_t> controlIds() const;
    const DialogControlSpec* control(int32_t id) const;
    // The control's rectangle on the screen.
    Rect controlScreenRect(int32_t id) const;

    // The text of a field, a combo box's field, a label or a button; a drop
    // list's chosen choice. Setting a field's text sends kDialogEditUpdate.
    std::string text(int32_t id) const;
    void setText(int32_t id, const std::string& text);
    std::vector<std::string> choices(int32_t id) const;
    void clearChoices(int32_t id);
    void addChoice(int32_t id, const std::string& text);
    int32_t selection(int32_t id) const;  // -1: nothing chosen
    // Chooses a choice (-1: none) without a command.
    void setSelection(int32_t id, int32_t index);
    void focus(int32_t id);
    int32_t focused() const { return focused_; }

    // What a user does: choose a choice (sends kDialogSelectionChange),
    // press a button, Enter or Escape (sends the command).
    void choose(int32_t id, int32_t index);
    void press(int32_t id);

    // Places a control (client pixels) and shows or hides it.
    void moveControl(int32_t id, const Rect& client);
    void showControl(int32_t id, bool visible);

    // The mouse cursor over a list view: the arrow, the click hand or the drag shape.
    enum class ListCursor : int32_t { Arrow, Click, Drag };
    void setListCursor(int32_t id, ListCursor cursor);

    // List views: the columns, the lines, the selected line (-1: none), the
    // first line shown and a cell's client rectangle (empty when it is not shown).
    void setListColumns(int32_t id, const std::vector<DialogListColumn>& columns);
    void setListLines(int32_t id, const std::vector<DialogListLine>& lines);
    void setListLine(int32_t id, int32_t line, const DialogListLine& value);
    std::vector<DialogListLine> listLines(int32_t id) const;
    void setListSelection(int32_t id, int32_t line);
    int32_t listSelection(int32_t id) const;
    void scrollList(int32_t id, int32_t lines);
    int32_t listTop(int32_t id) const;
    Rect listCellRect(int32_t id, int32_t line, int32_t column) const;
    // The height of a list line and of the header.
    int32_t listLineHeight() const;

    // What a user does over a list view (sends kDialogListMouse), and a key
    // pressed in a key-capturing field: the virtual key and the Ctrl, Shift
    // and Alt states (sends kDialogKeyDown).
    void listMouse(int32_t id, const DialogListEvent& event);
    const DialogListEvent& lastListEvent() const { return lastListEvent_; }
    struct Key {
        uint32_t virtualKey = 0;
        bool ctrl = false, shift = false, alt = false;
    };
    void pressKey(int32_t id, const Key& key);
    const Key& lastKey() const { return lastKey_; }

    void end(int32_t code);
    bool ended() const { return ended_; }

private:
    friend struct DialogSignals;
    struct Control;
    struct Gtk;
    DialogWindow(WindowHandle owner, std::string caption, DialogHandler& handler);
    Control* find(int32_t id);
    const Control* find(int32_t id) const;
    // Runs the handler; an exception ends the dialog and is kept for run.
    void send(int32_t id, int32_t code);

    WindowHandle owner_;
    std::string caption_;
    DialogHandler& handler_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::unique_ptr<Gtk> gtk_;
    std::string fontFamily_;
    int32_t fontHeight_ = 0;
    int32_t clientWidth_ = 0, clientHeight_ = 0;
    Point position_;
    int32_t focused_ = 0;
    bool ended_ = false;
    int32_t endCode_ = 0;
    std::exception_ptr failure_;
    DialogListEvent lastListEvent_;
    Key lastKey_;
};

}  // namespace Platform::window
