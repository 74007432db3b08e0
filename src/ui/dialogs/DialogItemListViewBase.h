#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/dialogs/DialogItem.h"
#include "ui/framework/PopupMenu.h"

namespace Dialog {

// A tall dialog item showing rows of the owning dialog's row class in a
// report list: a header, one line per row, a text per column asked of the
// row each time the list is drawn. On top of the plain list: rows dragged
// to another line, cells edited through a column's editor item placed over
// the cell, check boxes mirroring a flag of the row, sorting by a click on a
// column header, hover selection and a context menu the owner fills.
//
// The owner appends columns and rows, sets the flags and fills the context
// menu before the dialog runs. While it runs the list's lines hold the rows
// in display order; afterwards the view list keeps that final order, which
// the owner reads to write the rows back to its model. UI thread only.
class DialogItemListViewBase : public DialogItem {
public:
    // A row of the list; the list owns its rows.
    class Item {
    public:
        virtual ~Item() = default;
        virtual std::wstring getText(int32_t column) const = 0;
        // Put the cell's value into the column's editor before editing starts.
        virtual void fillEditor(int32_t column, DialogItem& editor) = 0;
        // Take the edited value back from the editor.
        virtual void readEditor(int32_t column, DialogItem& editor) = 0;
        virtual void setCheck(bool check);
        virtual bool getCheck() const;
    };

    struct Column {
        std::wstring header;  // shown through the Dialog table
        int32_t width = 0;
        std::unique_ptr<DialogItem> editor;  // null: the column is not edited
        bool ascending = true;               // the direction of the next sort by this column
    };

    DialogItemListViewBase(int32_t height, bool dragReorder);
    ~DialogItemListViewBase() override;

    void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                int32_t height) override;
    // Finishes the cell being edited.
    bool submit() override;
    // Redraws every line from its row.
    void update() override;
    bool notify(int32_t id, int32_t code) override;

    void appendColumn(const wchar_t* header, int32_t width, std::unique_ptr<DialogItem> editor = nullptr);
    Item* appendItem(std::unique_ptr<Item> item);

    // Moves the row at one line to another, one neighbour at a time.
    void moveItem(int32_t from, int32_t to);
    // The current line of a row; throws when it is not in the list.
    int32_t getItemLine(const Item* item) const;
    // The row at a line; throws for a line that does not exist.
    Item* getItem(int32_t line) const;
    // Takes the display order into the view list while the list is shown.
    void updateItemViewList();
    // Sets a row's check and its line's box.
    void setItemCheck(int32_t line, bool check);
    // Redraws one line from its row.
    void updateLine(int32_t line);
    int32_t lineCount() const { return static_cast<int32_t>(lines_.size()); }

    // Finishes the cell being edited; false (the editor stays) when its value is refused.
    bool endEdit();
    // Starts editing a cell with its column's editor.
    void setFocus(int32_t line, int32_t column);
    // Sorts the lines by a column's texts, flipping the column's direction.
    void sortByColumn(int32_t column);

    bool checkBoxes = false;
    bool dragReorder = false;
    bool dragging = false;
    Item* dragged = nullptr;
    Item* contextItem = nullptr;  // the row under the last right click, or null
    int32_t editLine = -1;
    int32_t editColumn = -1;
    std::vector<Column> columns;
    std::vector<std::unique_ptr<Item>> items;  // in insertion order
    std::vector<Item*> viewList;               // in display order
    Window::PopupMenu contextMenu;
    std::function<void()> beforeMenu;

private:
    Platform::window::DialogListLine lineOf(const Item& item) const;
    void mouse(const Platform::window::DialogListEvent& event);

    std::vector<Item*> lines_;  // display order
};

// Compares two cell texts as the list sorts them: case, width, kana type and
// symbols ignored, runs of digits by their value. Negative, 0 or positive.
int32_t compareListText(const std::wstring& a, const std::wstring& b);

}  // namespace Dialog
