#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ConfigString.h"
#include "platform/shell/FolderMonitor.h"
#include "platform/shell/FolderReader.h"
#include "platform/shell/PropertyKey.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ScrollBarControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

namespace Platform::draw2d {
class Bitmap;
}

// A file browser inside a panel: the entries of one folder in a details view
// (columns with a header; a click on a header sorts, a drag of its right edge
// sizes the column) or as icons, kept up to date while the folder changes.
// A click selects (Ctrl adds or removes one, Shift a range), a double click
// or Enter opens a folder, Backspace goes up, the context menu picks the
// view, and dragging the selection out
// offers its files as a file drop to this window or to other programs.
//
// The folder, the view mode, the icon size, the sort column and the visible
// columns with their widths are kept in the settings section the owner
// names; the view settings are saved when a folder is left and applied when
// the next one has opened. Nothing is read from disk until the control first
// has a visible size.
namespace Control {

class ExplorerControl : public Window::WindowControlRenderTarget {
public:
    using NavigationAction = std::function<void(ExplorerControl&)>;
    static constexpr int32_t kDetails = 4;

    struct ColumnView {
        Platform::shell::Column column;
        int32_t width;
    };

    ExplorerControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                    std::string settingSection);
    ~ExplorerControl() override;

    void procMove() override;
    void procPaint() override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procLButtonUp(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t dx, int32_t dy) override;
    void procCaptureLost() override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    bool procKeyDown(int32_t key) override;
    // The views: details, or icons of two sizes.
    void procContextMenu(int32_t x, int32_t y) override;

    // Reads the shown folder the first time only, then watches it.
    void initialize();
    // Opens the folder; an empty path or one that cannot be opened opens the
    // desktop instead. True when the folder asked for (or, failing that, the
    // desktop) opened.
    bool browseTo(const std::wstring& path);
    // The view settings into the settings values (only while a folder shows).
    void saveSetting();
    // The settings values into the view; a value the view cannot take ends
    // the load, keeping what was applied before it.
    void loadSetting();
    // Shows the entries in the view mode (4 details, else icons) at the icon size.
    void setView(int32_t mode, int32_t size);
    // Reads the shown folder again, keeping the selection by name; when the
    // folder is gone, opens the nearest folder above it.
    void refresh();

    // Where things are, in client pixels of the main window.
    int32_t headerHeight() const;
    int32_t rowHeight() const;
    // The entry under a point local to the control, -1 for none.
    int32_t itemAt(int32_t x, int32_t y) const;
    // The rectangle of entry i (client pixels), scrolled.
    Window::MouseRect itemRect(int32_t i) const;
    std::vector<std::string> selectedPaths() const;
    const std::string& folder() const { return currentFolder_; }

    bool initialized = false;
    NavigationAction navigationAction;

    // The settings values.
    std::wstring folderPath;
    int32_t folderViewMode = kDetails;
    int32_t folderIconSize = 48;
    std::wstring sortColumn;
    int32_t sortDirection = 1;
    int32_t columnNum = 0;
    std::wstring columnList;
    std::wstring columnWidth;

    std::vector<Platform::shell::PropertyKey> defaultColumns;

    // The view.
    int32_t viewMode = kDetails;
    int32_t iconSize = 48;
    Platform::shell::Column sortBy = Platform::shell::Column::Unknown;  // unsorted: by name, folders first
    int32_t sortOrder = 1;
    std::vector<ColumnView> columns;
    std::vector<Platform::shell::FolderItem> entries;
    std::vector<bool> selected;
    int32_t focusIndex = -1;
    int32_t anchorIndex = -1;
    int32_t scrollOffset = 0;
    int32_t contentHeight = 0;
    // How many times the folder was read (a change notice reads it again).
    int32_t readCount = 0;

    Window::ControlContainer barContainer;
    ScrollBarControl scrollBar;

private:
    enum class Press { None, Item, HeaderSort, HeaderSize };
    bool navigate(const std::string& folder);
    void sortEntries();
    void layoutView();
    void setScroll(int32_t offset);
    void scrollIntoView(int32_t i);
    void selectOnly(int32_t i);
    void beginFileDrag();
    int32_t columnsPerRow() const;
    int32_t cellWidth() const;
    int32_t cellHeight() const;
    int32_t viewWidth() const;
    static int32_t defaultWidth(Platform::shell::Column column);
    const Platform::draw2d::Bitmap* imageOf(const Platform::shell::FolderItem& item, int32_t size);
    std::wstring columnText(const Platform::shell::FolderItem& item, Platform::shell::Column column) const;

    std::string section_;
    std::string currentFolder_;
    Platform::shell::FolderMonitor monitor_;
    std::map<std::string, std::unique_ptr<Platform::draw2d::Bitmap>> images_;
    Press press_ = Press::None;
    int32_t pressItem_ = -1;
    int32_t pressColumn_ = -1;
    int32_t pressWidth_ = 0;
    bool pressReselect_ = false;
    bool dragOut_ = false;

    System::Config::ParameterGroup settings_;
    System::Config::String folderPath_{settings_, "FolderPath", &folderPath, L""};
    System::Config::Int folderViewMode_{settings_, "FolderViewMode", &folderViewMode, kDetails};
    System::Config::Int folderIconSize_{settings_, "FolderIconSize", &folderIconSize, 48};
    System::Config::String sortColumn_{settings_, "SortColumn", &sortColumn, L""};
    System::Config::Int sortDirection_{settings_, "SortDirection", &sortDirection, 1};
    System::Config::Int columnNum_{settings_, "ColumnNum", &columnNum, 0};
    System::Config::String columnList_{settings_, "ColumnList", &columnList, L""};
    System::Config::String columnWidth_{settings_, "ColumnWidth", &columnWidth, L""};
    std::unique_ptr<System::Config::ParameterBinding> binding_;
};

}  // namespace Control
