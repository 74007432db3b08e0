#include "ui/controls/ExplorerControl.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <set>
#include <utility>

#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/TextFormat.h"
#include "platform/draw2d/Bitmap.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/shell/FileImage.h"
#include "platform/window/DragSource.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Window.h"
#include "ui/controls/ControlInput.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"

namespace Control {

namespace W = Platform::window;
namespace S = Platform::shell;
using Brushes = Window::StyleBrushList;

namespace {

constexpr int32_t kSmallIcon = 16;
constexpr int32_t kEdgeGrip = 3;
constexpr int32_t kMinimumColumn = 20;

Resource::TextFormat* controlFormat() {
    Resource::ResourceService* resources = Resource::ResourceService::get();
    return resources != nullptr ? resources->textFormats[Resource::ResourceService::kControl].get() : nullptr;
}

std::vector<std::wstring> splitAtCommas(const std::wstring& text) {
    std::vector<std::wstring> parts;
    size_t begin = 0;
    while (true) {
        const size_t comma = text.find(L',', begin);
        parts.push_back(text.substr(begin, comma == std::wstring::npos ? std::wstring::npos : comma - begin));
        if (comma == std::wstring::npos) break;
        begin = comma + 1;
    }
    return parts;
}

bool parseWidth(const std::wstring& text, int32_t& out) {
    if (text.empty() || text.size() > 9) return false;
    int32_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + (c - L'0');
    }
    out = value;
    return true;
}

std::wstring columnTitle(S::Column column) {
    const wchar_t* title = L"";
    switch (column) {
    case S::Column::Name: title = L"名前"; break;
    case S::Column::Size: title = L"サイズ"; break;
    case S::Column::Modified: title = L"更新日時"; break;
    case S::Column::Type: title = L"種類"; break;
    default: break;
    }
    return Translate::translated(Translate::TranslateService::Table::Dialog, title);
}

bool keyDown(uint32_t vk) { return W::getKeyState(vk) < 0; }

}  // namespace

ExplorerControl::ExplorerControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                                 std::string settingSection)
    : WindowControlRenderTarget(container, x, y, w, h),
      barContainer(priority + 1, &visibleRect, &fullRect),
      scrollBar(barContainer, -Window::ScrollBarSize, 0, Window::ScrollBarSize),
      section_(std::move(settingSection)),
      settings_(section_.c_str()) {
    defaultColumns = {S::keyOf(S::Column::Name), S::keyOf(S::Column::Size), S::keyOf(S::Column::Modified)};
    for (const S::PropertyKey& key : defaultColumns)
        columns.push_back({S::columnOf(key), defaultWidth(S::columnOf(key))});
    for (System::Config::Parameter* parameter : settings_.parameters()) parameter->reset();
    if (System::IniFile* stored = Setting::SettingService::mainSettings()) settings_.load(*stored);
    binding_ = std::make_unique<System::Config::ParameterBinding>(settings_, Setting::SettingService::mainSettings());
    acceptWheel = true;
    acceptContextMenu = true;
    scrollBar.visible = false;
    scrollBar.scrollAction = [this](ScrollBarControl&, int32_t first) {
        setScroll(first);
        invalidate();
    };
}

ExplorerControl::~ExplorerControl() {
    monitor_.stop();
    if (initialized) saveSetting();
    initialized = false;
}

int32_t ExplorerControl::defaultWidth(S::Column column) {
    switch (column) {
    case S::Column::Name: return 220;
    case S::Column::Size: return 80;
    case S::Column::Modified: return 130;
    case S::Column::Type: return 120;
    default: return 100;
    }
}

// ---- navigation

void ExplorerControl::initialize() {
    if (initialized) return;
    initialized = true;
    browseTo(folderPath);
}

bool ExplorerControl::browseTo(const std::wstring& path) {
    if (!initialized) {
        // Opened when the control first shows.
        folderPath = path;
        return !path.empty() && S::isFolder(System::wideToUtf8(path));
    }
    if (!path.empty() && navigate(System::wideToUtf8(path))) return true;
    return navigate(S::desktopFolder());
}

bool ExplorerControl::navigate(const std::string& target) {
    std::vector<S::FolderItem> items;
    if (Platform::failed(S::readFolder(target, items))) return false;
    // The view settings of the folder being left.
    saveSetting();
    std::erase_if(items, [](const S::FolderItem& item) { return item.hidden; });
    currentFolder_ = target;
    // The pictures of the folder left go with it (thumbnails add up in large folders).
    images_.clear();
    entries = std::move(items);
    selected.assign(entries.size(), false);
    focusIndex = anchorIndex = -1;
    press_ = Press::None;
    pressItem_ = -1;
    pressReselect_ = false;
    scrollOffset = 0;
    ++readCount;
    (void)monitor_.start(currentFolder_, [this] { refresh(); });
    folderPath = System::utf8ToWide(currentFolder_);
    if (navigationAction) navigationAction(*this);
    loadSetting();
    sortEntries();
    layoutView();
    invalidate();
    return true;
}

void ExplorerControl::refresh() {
    if (currentFolder_.empty()) return;
    std::set<std::string> kept;
    for (size_t i = 0; i < entries.size(); ++i)
        if (selected[i]) kept.insert(entries[i].name);
    const auto nameAt = [this](int32_t i) {
        return i >= 0 && i < static_cast<int32_t>(entries.size()) ? entries[static_cast<size_t>(i)].name : std::string();
    };
    const std::string focusName = nameAt(focusIndex);
    // A press held while the folder changes stays on its entry.
    const std::string pressName = nameAt(pressItem_);
    std::vector<S::FolderItem> items;
    if (Platform::failed(S::readFolder(currentFolder_, items))) {
        // The folder went: show the nearest one above that is still there.
        std::string above = S::parentFolder(currentFolder_);
        while (!S::isFolder(above) && S::parentFolder(above) != above) above = S::parentFolder(above);
        if (above != currentFolder_ && navigate(above)) return;
    }
    std::erase_if(items, [](const S::FolderItem& item) { return item.hidden; });
    entries = std::move(items);
    ++readCount;
    sortEntries();
    selected.assign(entries.size(), false);
    focusIndex = anchorIndex = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        selected[i] = kept.count(entries[i].name) != 0;
        if (!focusName.empty() && entries[i].name == focusName) focusIndex = anchorIndex = static_cast<int32_t>(i);
    }
    pressItem_ = -1;
    for (size_t i = 0; i < entries.size() && !pressName.empty(); ++i)
        if (entries[i].name == pressName) pressItem_ = static_cast<int32_t>(i);
    if (pressItem_ < 0 && press_ == Press::Item) press_ = Press::None;
    layoutView();
    invalidate();
}

void ExplorerControl::sortEntries() {
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    const S::Column by = sortBy;
    const int32_t direction = sortOrder < 0 ? -1 : 1;
    std::stable_sort(order.begin(), order.end(), [&](size_t ia, size_t ib) {
        const S::FolderItem& a = entries[ia];
        const S::FolderItem& b = entries[ib];
        // Folders stay above files in every order.
        if (a.isFolder != b.isFolder) return a.isFolder;
        int32_t compared = 0;
        switch (by) {
        case S::Column::Size: compared = a.size < b.size ? -1 : a.size > b.size ? 1 : 0; break;
        case S::Column::Modified: compared = a.modified < b.modified ? -1 : a.modified > b.modified ? 1 : 0; break;
        case S::Column::Type: compared = a.typeName.compare(b.typeName); break;
        case S::Column::Name: compared = S::compareNames(a.name, b.name); break;
        default: return false;
        }
        return direction * compared < 0;
    });
    std::vector<S::FolderItem> sorted;
    std::vector<bool> marks;
    sorted.reserve(entries.size());
    for (const size_t i : order) {
        sorted.push_back(std::move(entries[i]));
        marks.push_back(i < selected.size() && selected[i]);
    }
    int32_t focus = -1;
    for (size_t k = 0; k < order.size(); ++k)
        if (static_cast<int32_t>(order[k]) == focusIndex) focus = static_cast<int32_t>(k);
    entries = std::move(sorted);
    selected = std::move(marks);
    focusIndex = anchorIndex = focus;
}

// ---- settings

void ExplorerControl::saveSetting() {
    if (!initialized || currentFolder_.empty()) return;
    folderViewMode = viewMode;
    folderIconSize = iconSize;
    if (sortBy == S::Column::Unknown) {
        sortColumn.clear();
    } else {
        sortColumn = System::utf8ToWide(S::propertyKeyToString(S::keyOf(sortBy)));
        sortDirection = sortOrder;
    }
    columnNum = static_cast<int32_t>(columns.size());
    columnList.clear();
    columnWidth.clear();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) columnList += L",", columnWidth += L",";
        columnList += System::utf8ToWide(S::propertyKeyToString(S::keyOf(columns[i].column)));
        columnWidth += std::to_wstring(columns[i].width);
    }
}

void ExplorerControl::loadSetting() {
    if (!initialized || currentFolder_.empty()) return;
    if (folderViewMode < 1 || folderViewMode > 8 || folderIconSize <= 0) return;
    viewMode = folderViewMode;
    iconSize = std::clamp(folderIconSize, kSmallIcon, 256);
    if (!sortColumn.empty()) {
        S::PropertyKey key;
        if (Platform::failed(S::propertyKeyFromString(System::wideToUtf8(sortColumn), key))) return;
        const S::Column column = S::columnOf(key);
        if (column == S::Column::Unknown) return;
        sortBy = column;
        sortOrder = sortDirection < 0 ? -1 : 1;
    } else {
        sortBy = S::Column::Unknown;
        sortOrder = 1;
    }
    std::vector<S::Column> keys;
    std::vector<int32_t> widths;
    if (columnNum != 0) {
        for (const std::wstring& text : splitAtCommas(columnList)) {
            S::PropertyKey key;
            const bool parsed = Platform::succeeded(S::propertyKeyFromString(System::wideToUtf8(text), key));
            const S::Column column = parsed ? S::columnOf(key) : S::Column::Unknown;
            if (column == S::Column::Unknown) {
                columnNum = 0;
                break;
            }
            keys.push_back(column);
        }
        for (const std::wstring& text : splitAtCommas(columnWidth)) {
            int32_t width = 0;
            if (!parseWidth(text, width)) {
                columnNum = 0;
                break;
            }
            widths.push_back(width);
        }
    }
    if (columnNum == 0 || static_cast<size_t>(columnNum) != keys.size() ||
        static_cast<size_t>(columnNum) != widths.size()) {
        columnNum = static_cast<int32_t>(defaultColumns.size());
        keys.clear();
        for (const S::PropertyKey& key : defaultColumns) keys.push_back(S::columnOf(key));
        widths.assign(keys.size(), 0);
    }
    columns.clear();
    for (size_t i = 0; i < keys.size(); ++i)
        columns.push_back({keys[i], widths[i] > 0 ? widths[i] : defaultWidth(keys[i])});
}

// ---- layout

int32_t ExplorerControl::rowHeight() const {
    Resource::TextFormat* format = controlFormat();
    const int32_t line = format != nullptr ? static_cast<int32_t>(std::ceil(format->getLineHeight())) : 14;
    return std::max(line + 6, kSmallIcon + 4);
}

int32_t ExplorerControl::headerHeight() const { return viewMode == kDetails ? rowHeight() : 0; }

int32_t ExplorerControl::viewWidth() const {
    return std::max(fullRect.w - (scrollBar.visible ? Window::ScrollBarSize : 0), 0);
}

int32_t ExplorerControl::cellWidth() const { return std::max(iconSize + 24, 72); }

int32_t ExplorerControl::cellHeight() const { return iconSize + rowHeight() + 8; }

int32_t ExplorerControl::columnsPerRow() const { return std::max(viewWidth() / cellWidth(), 1); }

void ExplorerControl::layoutView() {
    const auto n = static_cast<int32_t>(entries.size());
    const int32_t v = std::max(fullRect.h - headerHeight(), 0);
    const auto measure = [&] {
        if (viewMode == kDetails) return n * rowHeight();
        const int32_t per = columnsPerRow();
        return (n + per - 1) / per * cellHeight();
    };
    scrollBar.visible = false;
    contentHeight = measure();
    if (contentHeight > v) {
        scrollBar.visible = true;
        contentHeight = measure();
    }
    // A hidden bar lays out to nothing, so neither its arrows nor its thumb take the pointer.
    const int32_t s = Window::ScrollBarSize;
    if (scrollBar.visible)
        scrollBar.layoutX = -s, scrollBar.layoutY = headerHeight(), scrollBar.layoutW = s, scrollBar.layoutH = 0;
    else
        scrollBar.layoutX = scrollBar.layoutY = scrollBar.layoutW = scrollBar.layoutH = -1;
    barContainer.updateChildLayout();
    setScroll(scrollOffset);
}

void ExplorerControl::setScroll(int32_t offset) {
    const int32_t v = std::max(fullRect.h - headerHeight(), 0);
    scrollOffset = std::clamp(offset, 0, std::max(contentHeight - v, 0));
    scrollBar.minimum = 0;
    scrollBar.maximum = std::max(contentHeight, 0);
    scrollBar.wheelStep = viewMode == kDetails ? rowHeight() * 3 : cellHeight();
    scrollBar.setPosition(scrollOffset, scrollOffset + v);
}

void ExplorerControl::scrollIntoView(int32_t i) {
    if (i < 0) return;
    const Window::MouseRect r = itemRect(i);
    const int32_t top = fullRect.y + headerHeight(), bottom = fullRect.y + fullRect.h;
    if (r.y < top)
        setScroll(scrollOffset - (top - r.y));
    else if (r.y + r.h > bottom)
        setScroll(scrollOffset + (r.y + r.h - bottom));
}

Window::MouseRect ExplorerControl::itemRect(int32_t i) const {
    if (viewMode == kDetails) {
        const int32_t h = rowHeight();
        return {fullRect.x, fullRect.y + headerHeight() + i * h - scrollOffset, viewWidth(), h};
    }
    const int32_t per = columnsPerRow();
    return {fullRect.x + (i % per) * cellWidth(), fullRect.y + (i / per) * cellHeight() - scrollOffset, cellWidth(),
            cellHeight()};
}

int32_t ExplorerControl::itemAt(int32_t x, int32_t y) const {
    const int32_t header = headerHeight();
    if (x < 0 || y < header || x >= viewWidth() || y >= fullRect.h) return -1;
    int32_t i = -1;
    if (viewMode == kDetails) {
        i = (y - header + scrollOffset) / rowHeight();
    } else {
        const int32_t column = x / cellWidth();
        if (column >= columnsPerRow()) return -1;
        i = (y + scrollOffset) / cellHeight() * columnsPerRow() + column;
    }
    return i >= 0 && i < static_cast<int32_t>(entries.size()) ? i : -1;
}

std::vector<std::string> ExplorerControl::selectedPaths() const {
    std::vector<std::string> paths;
    for (size_t i = 0; i < entries.size(); ++i)
        if (selected[i]) paths.push_back(S::childPath(currentFolder_, entries[i].name));
    return paths;
}

// ---- input

void ExplorerControl::selectOnly(int32_t i) {
    selected.assign(entries.size(), false);
    if (i >= 0 && i < static_cast<int32_t>(entries.size())) selected[static_cast<size_t>(i)] = true;
    focusIndex = anchorIndex = i;
}

void ExplorerControl::procMove() {
    if (visible && visibleRect.w > 0 && visibleRect.h > 0) initialize();
    layoutView();
}

void ExplorerControl::procLButtonDown(int32_t x, int32_t y) {
    takeFocus();
    press_ = Press::None;
    pressReselect_ = dragOut_ = false;
    if (y < headerHeight()) {
        int32_t edge = 0;
        for (size_t c = 0; c < columns.size(); ++c) {
            const int32_t left = edge;
            edge += columns[c].width;
            if (std::abs(x - edge) <= kEdgeGrip) {
                press_ = Press::HeaderSize;
                pressColumn_ = static_cast<int32_t>(c);
                pressWidth_ = columns[c].width;
                Window::ControlInput::armDrag(*this, x, y);
                return;
            }
            if (x >= left && x < edge) {
                // A click on the sorted column turns its direction round.
                if (sortBy == columns[c].column)
                    sortOrder = -sortOrder;
                else
                    sortBy = columns[c].column, sortOrder = 1;
                sortEntries();
                invalidate();
                return;
            }
        }
        return;
    }
    const int32_t i = itemAt(x, y);
    if (i < 0) {
        if (!keyDown(W::kVkControl)) selectOnly(-1);
        invalidate();
        return;
    }
    const S::FolderItem& item = entries[static_cast<size_t>(i)];
    if (service != nullptr && service->doubleClick && item.isFolder) {
        navigate(S::childPath(currentFolder_, item.name));
        return;
    }
    const auto at = static_cast<size_t>(i);
    if (keyDown(W::kVkControl)) {
        selected[at] = !selected[at];
        focusIndex = anchorIndex = i;
    } else if (keyDown(W::kVkShift) && anchorIndex >= 0) {
        selected.assign(entries.size(), false);
        for (int32_t k = std::min(anchorIndex, i); k <= std::max(anchorIndex, i); ++k)
            selected[static_cast<size_t>(k)] = true;
        focusIndex = i;
    } else if (selected[at]) {
        // A press on the selection may start dragging it; a plain click
        // narrows it to the entry when the button goes up.
        pressReselect_ = true;
        focusIndex = anchorIndex = i;
    } else {
        selectOnly(i);
    }
    press_ = Press::Item;
    pressItem_ = i;
    Window::ControlInput::armDrag(*this, x, y);
    invalidate();
}

void ExplorerControl::procMouseDrag(int32_t dx, int32_t dy) {
    if (press_ == Press::HeaderSize && pressColumn_ >= 0 && pressColumn_ < static_cast<int32_t>(columns.size())) {
        columns[static_cast<size_t>(pressColumn_)].width = std::max(pressWidth_ + dx, kMinimumColumn);
        invalidate();
        return;
    }
    if (press_ != Press::Item || dragOut_ || (dx == 0 && dy == 0)) return;
    if (pressItem_ < 0 || pressItem_ >= static_cast<int32_t>(entries.size()) ||
        !selected[static_cast<size_t>(pressItem_)])
        return;
    beginFileDrag();
}

void ExplorerControl::beginFileDrag() {
    dragOut_ = true;
    pressReselect_ = false;
    const std::vector<std::string> paths = selectedPaths();
    if (paths.empty() || service == nullptr) return;
    // The drag takes the pointer: the press ends here for the router. The
    // files go where they are dropped, and so does the user: the explorer
    // lets go of the keyboard, or the first right click after the drop would
    // only take the focus from it and open no menu.
    const W::WindowHandle window = service->window;
    if (focused) service->setFocus(nullptr);
    W::releaseCapture();
    service->dispatch(window, W::kWmCaptureChanged, 0, 0);
    (void)W::beginFileDrag(window, paths);
}

void ExplorerControl::procLButtonUp(int32_t, int32_t) {
    if (press_ == Press::Item && pressReselect_ && !dragOut_) {
        selectOnly(pressItem_);
        invalidate();
    }
    press_ = Press::None;
}

void ExplorerControl::procCaptureLost() {
    press_ = Press::None;
    pressReselect_ = false;
}

void ExplorerControl::procMouseWheel(int32_t, int32_t, int32_t delta) {
    const int32_t step = viewMode == kDetails ? rowHeight() * 3 : cellHeight();
    setScroll(scrollOffset - delta * step / 120);
    invalidate();
}

bool ExplorerControl::procKeyDown(int32_t key) {
    const auto n = static_cast<int32_t>(entries.size());
    const int32_t across = viewMode == kDetails ? 1 : columnsPerRow();
    const int32_t page = std::max((fullRect.h - headerHeight()) / (viewMode == kDetails ? rowHeight() : cellHeight()), 1);
    int32_t next = -2;
    switch (key) {
    case W::kVkUp: next = focusIndex < 0 ? 0 : focusIndex - across; break;
    case W::kVkDown: next = focusIndex < 0 ? 0 : focusIndex + across; break;
    case W::kVkLeft:
        if (viewMode == kDetails) return false;
        next = focusIndex - 1;
        break;
    case W::kVkRight:
        if (viewMode == kDetails) return false;
        next = focusIndex + 1;
        break;
    case W::kVkPrior: next = focusIndex - page * across; break;
    case W::kVkNext: next = focusIndex + page * across; break;
    case W::kVkHome: next = 0; break;
    case W::kVkEnd: next = n - 1; break;
    case W::kVkReturn:
        if (focusIndex >= 0 && focusIndex < n && entries[static_cast<size_t>(focusIndex)].isFolder)
            navigate(S::childPath(currentFolder_, entries[static_cast<size_t>(focusIndex)].name));
        return true;
    case W::kVkBack: {
        const std::string parent = S::parentFolder(currentFolder_);
        if (!currentFolder_.empty() && parent != currentFolder_) navigate(parent);
        return true;
    }
    default: return false;
    }
    if (n == 0) return true;
    selectOnly(std::clamp(next, 0, n - 1));
    scrollIntoView(focusIndex);
    invalidate();
    return true;
}

void ExplorerControl::setView(int32_t mode, int32_t size) {
    viewMode = mode;
    iconSize = std::clamp(size, kSmallIcon, 256);
    scrollOffset = 0;
    layoutView();
    scrollIntoView(focusIndex);
    invalidate();
}

void ExplorerControl::procContextMenu(int32_t, int32_t) {
    const struct {
        const wchar_t* label;
        int32_t mode, size;
    } views[] = {{L"詳細", kDetails, iconSize}, {L"中アイコン", 1, 48}, {L"大アイコン", 1, 96}};
    Window::PopupMenu menu;
    for (const auto& view : views) {
        const Window::BaseMenu::Item item =
            menu.insertItem(view.label, [this, mode = view.mode, size = view.size] { setView(mode, size); });
        item.setRadioCheck();
        const bool shown = viewMode == view.mode && (view.mode == kDetails || iconSize == view.size);
        if (shown) W::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    }
    menu.show();
}

// ---- drawing

const Platform::draw2d::Bitmap* ExplorerControl::imageOf(const S::FolderItem& item, int32_t size) {
    const bool thumbnail = size >= 32 && !item.thumbnailPath.empty();
    const std::string key = (thumbnail ? "t:" + item.thumbnailPath : "i:" + item.contentType) + "@" +
                            std::to_string(size);
    auto found = images_.find(key);
    if (found == images_.end()) {
        S::FileImage image;
        std::unique_ptr<Platform::draw2d::Bitmap> bitmap;
        Platform::Result loaded = thumbnail ? S::loadThumbnail(item.thumbnailPath, size, image) : Platform::kFail;
        if (Platform::failed(loaded)) loaded = S::loadTypeIcon(item.contentType, size, image);
        if (Platform::succeeded(loaded))
            (void)Platform::draw2d::Bitmap::create(image.width, image.height, image.pixels.data(), image.width * 4, 87,
                                                   Platform::draw2d::AlphaMode::Premultiplied, bitmap);
        found = images_.emplace(key, std::move(bitmap)).first;
    }
    return found->second.get();
}

std::wstring ExplorerControl::columnText(const S::FolderItem& item, S::Column column) const {
    switch (column) {
    case S::Column::Name: return System::utf8ToWide(item.displayName);
    case S::Column::Size:
        return item.isFolder ? std::wstring() : std::to_wstring((item.size + 1023) / 1024) + L" KB";
    case S::Column::Modified: {
        const std::time_t t = static_cast<std::time_t>(item.modified);
        std::tm local{};
        if (localtime_r(&t, &local) == nullptr) return {};
        wchar_t text[32];
        std::wcsftime(text, 32, L"%Y/%m/%d %H:%M", &local);
        return text;
    }
    case S::Column::Type: return System::utf8ToWide(item.typeName);
    default: return {};
    }
}

void ExplorerControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const int32_t w = viewWidth(), h = fullRect.h, header = headerHeight();
    fillRectangle(0, 0, fullRect.w, h, brush(Brushes::Background));
    Resource::TextFormat* format = controlFormat();
    const auto drawText = [&](const std::wstring& text, int32_t left, int32_t top, int32_t width, int32_t height,
                              bool centred) {
        if (format == nullptr || text.empty() || width <= 0) return;
        Resource::TextLayout layout;
        layout.create(*format, text.c_str(), static_cast<int32_t>(text.size()));
        const auto size = layout.getSize();
        if (size.width > static_cast<float>(width)) layout.setTrimming(static_cast<float>(width), format->getTrimmingSign());
        const float tw = std::min(std::ceil(size.width), static_cast<float>(width));
        const float x = static_cast<float>(left) + (centred ? (static_cast<float>(width) - tw) / 2 : 0.0f);
        const float y = static_cast<float>(top) + (static_cast<float>(height) - std::ceil(size.height)) / 2;
        const DrawScope clip(*this, fullRect.x + left, fullRect.y + top, fullRect.x + left + width,
                             fullRect.y + top + height, true);
        originX = fullRect.x, originY = fullRect.y;
        target->drawTextLayout({float(originX) + x, float(originY) + y}, *layout.get(), brush(Brushes::Text));
    };
    const auto n = static_cast<int32_t>(entries.size());
    {
        const DrawScope body(*this, fullRect.x, fullRect.y + header, fullRect.x + w, fullRect.y + h, true);
        originX = fullRect.x, originY = fullRect.y;
        for (int32_t i = 0; i < n; ++i) {
            const Window::MouseRect r = itemRect(i);
            const int32_t left = r.x - fullRect.x, top = r.y - fullRect.y;
            if (top + r.h <= header || top >= h) continue;
            const S::FolderItem& item = entries[static_cast<size_t>(i)];
            if (selected[static_cast<size_t>(i)])
                fillRectangle(left, top, left + r.w, top + r.h, brush(Brushes::ButtonBodyPress));
            if (i == focusIndex && focused)
                drawRectangle(left, top, left + r.w, top + r.h, brush(Brushes::Border), 1, nullptr);
            if (viewMode == kDetails) {
                int32_t x = left;
                for (const ColumnView& column : columns) {
                    int32_t textLeft = x + 4;
                    if (column.column == S::Column::Name) {
                        if (const Platform::draw2d::Bitmap* icon = imageOf(item, kSmallIcon)) {
                            const int32_t iy = top + (r.h - kSmallIcon) / 2;
                            drawBitmap(*icon, x + 2, iy, x + 2 + kSmallIcon, iy + kSmallIcon, 1.0f);
                        }
                        textLeft = x + kSmallIcon + 6;
                    }
                    drawText(columnText(item, column.column), textLeft, top, x + column.width - textLeft - 2, r.h,
                             false);
                    x += column.width;
                }
            } else {
                if (const Platform::draw2d::Bitmap* image = imageOf(item, iconSize)) {
                    const auto iw = static_cast<int32_t>(image->width()), ih = static_cast<int32_t>(image->height());
                    const int32_t ix = left + (r.w - iw) / 2, iy = top + 4 + (iconSize - ih) / 2;
                    drawBitmap(*image, ix, iy, ix + iw, iy + ih, 1.0f);
                }
                drawText(System::utf8ToWide(item.displayName), left + 2, top + iconSize + 6, r.w - 4, rowHeight(),
                         true);
            }
        }
    }
    if (header > 0) {
        fillRectangle(0, 0, w, header, brush(Brushes::ButtonBody));
        int32_t x = 0;
        for (const ColumnView& column : columns) {
            drawText(columnTitle(column.column), x + 4, 0, column.width - 16, header, false);
            if (column.column == sortBy) {
                const float cx = static_cast<float>(x + column.width - 9), cy = static_cast<float>(header) / 2;
                const float up[6] = {cx - 4, cy + 2, cx + 4, cy + 2, cx, cy - 3};
                const float down[6] = {cx - 4, cy - 2, cx + 4, cy - 2, cx, cy + 3};
                fillPath(sortOrder < 0 ? down : up, brush(Brushes::Text));
            }
            x += column.width;
            drawLine(x - 1, 2, x - 1, header - 3, brush(Brushes::Border), 1, nullptr);
        }
    }
    for (size_t i = 0; i < barContainer.children.size(); ++i) barContainer.children[i]->procPaint();
}

}  // namespace Control
