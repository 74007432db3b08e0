#include "ui/dialogs/DialogItemListViewBase.h"

#include <algorithm>
#include <cwctype>

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"

namespace Dialog {

namespace W = Platform::window;

namespace {

constexpr const char* kGetItemScope = "Dialog::DialogItemListViewBase::getItem";

std::wstring dialogText(const std::wstring& text) {
    if (!Translate::TranslateService::isActive()) return text;
    return Translate::translated(Translate::TranslateService::Table::Dialog, text.c_str());
}

// Folds the differences the comparison ignores: full-width letters and
// digits, katakana against hiragana, and case.
wchar_t folded(wchar_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) c = static_cast<wchar_t>(c - 0xFEE0);
    if (c >= 0x30A1 && c <= 0x30F6) c = static_cast<wchar_t>(c - 0x60);
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Symbols and spaces do not count.
bool ignored(wchar_t c) { return c < 0x80 && !std::iswalnum(static_cast<wint_t>(c)); }

}  // namespace

int32_t compareListText(const std::wstring& a, const std::wstring& b) {
    size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && ignored(folded(a[i]))) ++i;
        while (j < b.size() && ignored(folded(b[j]))) ++j;
        if (i == a.size() || j == b.size()) return i == a.size() ? (j == b.size() ? 0 : -1) : 1;
        const wchar_t x = folded(a[i]), y = folded(b[j]);
        if (isDigit(x) && isDigit(y)) {
            // Runs of digits compare by value: without leading zeros the longer is larger.
            size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(folded(a[ei]))) ++ei;
            while (ej < b.size() && isDigit(folded(b[ej]))) ++ej;
            size_t si = i, sj = j;
            while (si + 1 < ei && folded(a[si]) == L'0') ++si;
            while (sj + 1 < ej && folded(b[sj]) == L'0') ++sj;
            if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
            for (size_t k = 0; k < ei - si; ++k) {
                const wchar_t p = folded(a[si + k]), q = folded(b[sj + k]);
                if (p != q) return p < q ? -1 : 1;
            }
            i = ei;
            j = ej;
            continue;
        }
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
}

void DialogItemListViewBase::Item::setCheck(bool) {}

bool DialogItemListViewBase::Item::getCheck() const { return false; }

DialogItemListViewBase::DialogItemListViewBase(int32_t height, bool dragReorder)
    : DialogItem(nullptr), dragReorder(dragReorder) {
    this->height = height;
}

DialogItemListViewBase::~DialogItemListViewBase() = default;

void DialogItemListViewBase::appendColumn(const wchar_t* header, int32_t width, std::unique_ptr<DialogItem> editor) {
    Column column;
    column.header = header != nullptr ? header : L"";
    column.width = width;
    column.editor = std::move(editor);
    columns.push_back(std::move(column));
}

DialogItemListViewBase::Item* DialogItemListViewBase::appendItem(std::unique_ptr<Item> item) {
    Item* added = item.get();
    items.push_back(std::move(item));
    return added;
}

W::DialogListLine DialogItemListViewBase::lineOf(const Item& item) const {
    W::DialogListLine line;
    for (size_t c = 0; c < columns.size(); ++c)
        line.cells.push_back(System::wideToUtf8(item.getText(static_cast<int32_t>(c))));
    line.checked = checkBoxes && item.getCheck();
    return line;
}

void DialogItemListViewBase::create(W::DialogWindow& parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    W::DialogControlSpec spec;
    spec.kind = W::DialogControlKind::ListView;
    spec.id = 100 + static_cast<int32_t>(parent.controlIds().size());
    while (parent.hasControl(spec.id)) ++spec.id;
    spec.x = x;
    spec.y = y;
    spec.width = width;
    spec.height = height;
    spec.checkBoxes = checkBoxes;
    parent.createControl(spec);
    control = spec.id;
    window = &parent;

    std::vector<W::DialogListColumn> shown;
    for (const Column& column : columns)
        shown.push_back({System::wideToUtf8(dialogText(column.header)), column.width});
    parent.setListColumns(control, shown);
    // The editors wait hidden until a cell of their column is edited.
    for (Column& column : columns) {
        if (!column.editor) continue;
        column.editor->window = &parent;
        column.editor->create(parent, 0, 0, 0, 0);
        parent.showControl(column.editor->control, false);
    }
    lines_.clear();
    for (const auto& item : items) lines_.push_back(item.get());
    editLine = editColumn = -1;
    dragging = false;
    dragged = nullptr;
    contextItem = nullptr;
    update();
    updateItemViewList();
}

bool DialogItemListViewBase::submit() { return endEdit(); }

void DialogItemListViewBase::update() {
    if (window == nullptr || control == 0) return;
    std::vector<W::DialogListLine> shown;
    for (const Item* item : lines_) shown.push_back(lineOf(*item));
    window->setListLines(control, shown);
}

void DialogItemListViewBase::updateLine(int32_t line) {
    if (window == nullptr || line < 0 || line >= lineCount()) return;
    window->setListLine(control, line, lineOf(*lines_[size_t(line)]));
}

void DialogItemListViewBase::setItemCheck(int32_t line, bool check) {
    getItem(line)->setCheck(check);
    updateLine(line);
}

void DialogItemListViewBase::moveItem(int32_t from, int32_t to) {
    if (from < 0 || to < 0 || lines_.empty()) return;
    const int32_t last = lineCount() - 1;
    from = std::min(from, last);
    to = std::min(to, last);
    if (from == to) return;
    const int32_t step = from < to ? 1 : -1;
    for (int32_t line = from; line != to; line += step) {
        std::swap(lines_[size_t(line)], lines_[size_t(line + step)]);
        updateLine(line);
        updateLine(line + step);
    }
    updateItemViewList();
}

int32_t DialogItemListViewBase::getItemLine(const Item* item) const {
    const auto at = std::find(lines_.begin(), lines_.end(), item);
    if (at == lines_.end())
        throw System::messageException("Dialog::DialogItemListViewBase::getItemLine", "ListView_FindItem not found.");
    return static_cast<int32_t>(at - lines_.begin());
}

DialogItemListViewBase::Item* DialogItemListViewBase::getItem(int32_t line) const {
    if (line < 0 || line >= lineCount()) throw System::messageException(kGetItemScope, "ListView_GetItem failed.");
    return lines_[size_t(line)];
}

void DialogItemListViewBase::updateItemViewList() {
    // After the dialog closed the last snapshot stays.
    if (window == nullptr) return;
    viewList = lines_;
}

bool DialogItemListViewBase::endEdit() {
    if (editLine < 0 || editColumn < 0) return true;
    Column& column = columns[size_t(editColumn)];
    if (!column.editor) {
        editLine = editColumn = -1;
        return true;
    }
    if (!column.editor->submit()) return false;
    const int32_t line = editLine;
    editLine = editColumn = -1;
    if (line < lineCount()) {
        lines_[size_t(line)]->readEditor(static_cast<int32_t>(&column - columns.data()), *column.editor);
        updateLine(line);
    }
    if (window != nullptr) {
        window->showControl(column.editor->control, false);
        window->focus(0);
    }
    return true;
}

void DialogItemListViewBase::setFocus(int32_t line, int32_t column) {
    if (!endEdit()) return;
    if (line < 0 || line >= lineCount() || column < 0 || column >= int32_t(columns.size())) return;
    DialogItem* editor = columns[size_t(column)].editor.get();
    if (editor == nullptr) return;
    editLine = line;
    editColumn = column;
    lines_[size_t(line)]->fillEditor(column, *editor);
    editor->update();
    if (window == nullptr) return;
    W::Rect cell = window->listCellRect(control, line, column);
    if (cell.right <= cell.left) {
        // Scroll the line into view first.
        window->scrollList(control, line - window->listTop(control));
        cell = window->listCellRect(control, line, column);
    }
    if (cell.right <= cell.left)
        throw System::messageException("Dialog::DialogItemListViewBase::setFocus", "ListView_GetItemIndexRect failed.");
    window->moveControl(editor->control, cell);
    window->showControl(editor->control, true);
    window->focus(editor->control);
}

void DialogItemListViewBase::sortByColumn(int32_t column) {
    if (!endEdit()) return;
    if (column < 0 || column >= int32_t(columns.size())) return;
    const bool ascending = columns[size_t(column)].ascending;
    std::stable_sort(lines_.begin(), lines_.end(), [&](const Item* a, const Item* b) {
        const int32_t order = compareListText(a->getText(column), b->getText(column));
        return ascending ? order < 0 : order > 0;
    });
    columns[size_t(column)].ascending = !ascending;
    update();
    updateItemViewList();
}

bool DialogItemListViewBase::notify(int32_t id, int32_t code) {
    if (window == nullptr) return false;
    for (Column& column : columns)
        if (column.editor && column.editor->notify(id, code)) return true;
    if (id == control && code == W::kDialogListMouse) {
        mouse(window->lastListEvent());
        return true;
    }
    // An editor losing the focus commits its cell.
    if (editColumn >= 0 && code == W::kDialogKillFocus) {
        const DialogItem* editor = columns[size_t(editColumn)].editor.get();
        if (editor != nullptr && id == editor->control) (void)endEdit();
        return false;
    }
    // Enter in an editor commits the cell and does not end the dialog.
    if (editColumn >= 0 && id == W::kDialogIdOk && code == W::kDialogClicked) {
        (void)endEdit();
        return true;
    }
    return false;
}

void DialogItemListViewBase::mouse(const W::DialogListEvent& e) {
    using E = W::DialogListEvent;
    const bool hitCell = e.line >= 0 && e.column >= 0;
    switch (e.kind) {
    case E::Move:
        if (dragging) {
            if (e.outside != 0) window->scrollList(control, e.outside);
            if (e.line >= 0 && dragged != nullptr) {
                const int32_t from = getItemLine(dragged);
                if (from != e.line) {
                    moveItem(from, e.line);
                    window->setListSelection(control, e.line);
                }
            }
            window->setListCursor(control, W::DialogWindow::ListCursor::Drag);
            return;
        }
        if (!hitCell) return;
        window->setListCursor(control, dragReorder || e.onCheck || columns[size_t(e.column)].editor
                                           ? W::DialogWindow::ListCursor::Click
                                           : W::DialogWindow::ListCursor::Arrow);
        window->setListSelection(control, e.line);
        return;
    case E::LeftDown:
        if (!endEdit() || !hitCell) return;
        if (checkBoxes && e.onCheck) {
            Item* item = getItem(e.line);
            setItemCheck(e.line, !item->getCheck());
        } else if (columns[size_t(e.column)].editor) {
            if (editLine != e.line || editColumn != e.column) setFocus(e.line, e.column);
        } else if (dragReorder) {
            dragged = getItem(e.line);
            dragging = true;
            window->setListCursor(control, W::DialogWindow::ListCursor::Drag);
        }
        return;
    case E::LeftUp:
        dragging = false;
        return;
    case E::RightDown:
        (void)endEdit();
        return;
    case E::RightUp:
        (void)endEdit();
        if (W::getMenuItemCount(contextMenu.menu) <= 0) return;
        contextItem = e.line >= 0 ? getItem(e.line) : nullptr;
        if (beforeMenu) beforeMenu();
        (void)contextMenu.show();
        return;
    case E::HeaderClick:
        sortByColumn(e.column);
        return;
    }
}

}  // namespace Dialog
