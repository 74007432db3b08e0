#pragma once
#include <cstdint>
#include <string>

#include "platform/window/DialogWindow.h"

// One labelled row of a dialog: a label and one control the item makes and
// reads back. The dialog lays the rows out, creates each item's control
// when it opens and asks every item in order to submit its value on OK; the
// values outlive the dialog, so its class reads them after it closed.
namespace Dialog {

class DialogItem {
public:
    explicit DialogItem(const wchar_t* label = nullptr);
    virtual ~DialogItem();
    DialogItem(const DialogItem&) = delete;
    DialogItem& operator=(const DialogItem&) = delete;

    // Makes the control(s) in the rectangle (client pixels) of the row.
    virtual void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width, int32_t height);
    // Reads the control into the value; false keeps the dialog open.
    virtual bool submit();
    // Writes the value into the control.
    virtual void update();
    // Sees every command of the dialog first; true when the item used it up.
    virtual bool notify(int32_t id, int32_t code);

    // The one way items make controls: the text is shown through the Dialog
    // table, the control takes the next free id of the dialog. Returns its id.
    int32_t createControl(Platform::window::DialogWindow& parent, Platform::window::DialogControlKind kind,
                          const std::wstring& text, int32_t x, int32_t y, int32_t width, int32_t height,
                          bool digitsOnly = false);

    std::wstring label;  // empty: no label
    int32_t height = 0;  // 0: one line (the layout stores the line height)
    int32_t control = 0;  // the main control's id; 0 until created
    Platform::window::DialogWindow* window = nullptr;  // while the dialog is open

protected:
    // The control's rectangle on the screen (for the tool tips under it).
    Platform::window::Rect controlRect(int32_t id) const;
};

}  // namespace Dialog
