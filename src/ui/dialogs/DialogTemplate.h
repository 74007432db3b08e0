#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/DialogWindow.h"
#include "ui/dialogs/DialogItem.h"

// The base of the program's modal dialogs: a caption and an ordered list of
// labelled items, laid out in one column when the dialog opens (labels on
// the left, one line per item unless an item is taller), with an "OK"
// button at the bottom right when there is more than one item, a tall item
// or button mode 1. OK (or Enter in a dialog without the button) asks every
// item in order to submit its value; the first refusal keeps the dialog
// open. Escape and the close box cancel.
namespace Dialog {

class DialogItemListBox;
class DialogItemNumber;
class DialogItemNameText;
class DialogItemInteger;
class DialogItemText;

class DialogTemplate : public Platform::window::DialogHandler {
public:
    // The id of the "OK" button; extra buttons have kButtonIdBase + their position.
    static constexpr int32_t kOkButtonId = 6;
    static constexpr int32_t kButtonIdBase = 10000;
    static constexpr size_t kCaptionLength = 63;

    struct Button {
        std::wstring label;
        std::function<void()> action;
        int32_t width = 0;  // 0: four line heights
        int32_t id = 0;
    };

    explicit DialogTemplate(const wchar_t* caption = nullptr);
    ~DialogTemplate() override;
    DialogTemplate(const DialogTemplate&) = delete;
    DialogTemplate& operator=(const DialogTemplate&) = delete;

    // Runs the dialog; true when it ended through OK with every item
    // submitted. The owner defaults to the main window.
    bool create(int32_t minimumWidth = 0, Platform::window::WindowHandle owner = nullptr);

    // Sees the dialog's commands (field updates, choices, Enter, Escape,
    // buttons other than the extra ones) after the dialog's own handling.
    virtual bool onMessage(Platform::window::DialogWindow& dialog, int32_t id, int32_t code);

    DialogItemListBox* addItem(const wchar_t* label, int32_t selected);
    DialogItemNumber* addItem(const wchar_t* label, double value, double minimum, double maximum);
    DialogItemNumber* addItem(const wchar_t* label, float value, double minimum, double maximum);
    // A required name field.
    DialogItemNameText* addItem(const wchar_t* label, const std::wstring& text);
    DialogItemInteger* addInteger(const wchar_t* label, int32_t value, int32_t minimum, int32_t maximum);
    // A text field labelled "名前".
    DialogItemText* addNameText(const std::wstring& text, bool required);
    template <class T>
    T* append(std::unique_ptr<T> item) {
        T* added = item.get();
        items.push_back(std::move(item));
        return added;
    }
    void addButton(const wchar_t* label, std::function<void()> action, int32_t width = 0);

    std::wstring caption;
    int32_t minimumClientWidth = 0;
    int32_t minimumClientHeight = 0;
    bool okButton = false;
    int32_t buttonMode = 0;  // 0 automatic, 1 always an OK button, else never
    std::vector<std::unique_ptr<DialogItem>> items;
    std::vector<Button> buttons;
    int32_t lineHeight = 0;  // of the last layout
    Platform::window::DialogWindow* window = nullptr;  // while open

protected:
    void initDialog(Platform::window::DialogWindow& dialog) override;
    void command(Platform::window::DialogWindow& dialog, int32_t id, int32_t code) override;
    void layoutItems(Platform::window::DialogWindow& dialog);
    bool submitItems();
};

}  // namespace Dialog
