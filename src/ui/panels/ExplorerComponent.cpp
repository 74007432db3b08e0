#include "ui/panels/ExplorerComponent.h"

#include <array>

#include "core/EventService.h"
#include "core/Log.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "platform/shell/FolderReader.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/TopLevel.h"
#include "ui/dialogs/InputStringDialog.h"
#include "ui/dialogs/ShowError.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowService.h"

namespace Component {

namespace W = Platform::window;

namespace {

int32_t headerHeight() { return Window::ExplorerHeaderHeight; }

// The tool tip's place: below the pointer.
W::Point belowPointer() {
    W::Point at{};
    (void)W::getCursorPos(at);
    at.y += W::getSystemMetrics(W::kSmCyCursor);
    return at;
}

}  // namespace

ExplorerComponent::ExplorerComponent(int32_t index)
    : MultiInstanceComponent(L"メディアエクスプローラー", "explorer", index),
      WindowClientRenderTarget(&instanceTitle, instanceName,
                               {0.0f, 0.0f, 0.2f, 0.7f, Window::WindowClient::Left, index == 0}),
      container(priority, &clientRect, &clientRect),
      backButton(container, 0, 0, headerHeight(), headerHeight(), Control::GlyphArrowLeft, false),
      forwardButton(container, headerHeight(), 0, headerHeight(), headerHeight(), Control::GlyphArrowRight, false),
      upButton(container, 2 * headerHeight(), 0, headerHeight(), headerHeight(), Control::GlyphArrowUp, false),
      strip(container, 3 * headerHeight(), 0, 0, headerHeight()),
      address(strip, 0, -headerHeight()),
      bookmarkButton(strip, -headerHeight(), 0, 0, 0, Control::GlyphList, false),
      host(container, 0, headerHeight(), 0, 0, sectionName()),
      self_(std::make_shared<ExplorerComponent*>(this)) {
    acceptContextMenu = true;
    backButton.toolTipText = L"前に戻る";
    forwardButton.toolTipText = L"次に移動";
    upButton.toolTipText = L"親のフォルダに移動";
    bookmarkButton.toolTipText = L"ブックマークを表示";
    backButton.clickAction = [this](Control::ButtonControl&) { goBack(); };
    forwardButton.clickAction = [this](Control::ButtonControl&) { goForward(); };
    upButton.clickAction = [this](Control::ButtonControl&) { goUp(); };
    bookmarkButton.clickAction = [this](Control::ButtonControl&) { showBookmarks(); };
    address.setInputFilter(L"[^\\x00-\\x1f]");
    address.keyFilter = [this](int32_t key) {
        if (key != static_cast<int32_t>(W::kVkReturn)) return false;
        host.browseTo(address.text);
        return true;
    };
    host.navigationAction = [this](Control::ExplorerControl& shown) {
        const std::wstring folder = System::utf8ToWide(shown.folder());
        if (!stepping_ && (historyAt_ < 0 || history_[static_cast<size_t>(historyAt_)] != folder)) {
            history_.resize(static_cast<size_t>(historyAt_ + 1));
            history_.push_back(folder);
            historyAt_ = static_cast<int32_t>(history_.size()) - 1;
        }
        refreshAddress();
        logPlace();
    };
    if (Event::EventService* events = Event::EventService::get()) {
        const std::weak_ptr<ExplorerComponent*> weak = self_;
        events->bookmarkListeners.add([weak] {
            if (const auto self = weak.lock(); self && *self) (*self)->refreshAddress();
        });
    }
    if (index == 0) ExplorerBookmarks::load(ExplorerBookmarks::list(), bookmarkFile());
    container.updateChildLayout();
    refreshAddress();
}

ExplorerComponent::~ExplorerComponent() {
    *self_ = nullptr;
    host.navigationAction = nullptr;
    address.keyFilter = nullptr;
    if (index == 0) ExplorerBookmarks::save(ExplorerBookmarks::list(), bookmarkFile());
}

std::wstring ExplorerComponent::bookmarkFile() { return System::FileName::getExpandedPath(L"%AppData%/explorer.ini"); }

void ExplorerComponent::procPaint() {
    if (!shown() || target == nullptr) return;
    const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w, clientRect.y + clientRect.h,
                          true);
    for (Window::WindowControl* child : container.children) child->procPaint();
    logPlace();
}

void ExplorerComponent::logPlace() {
    // Where the folder's first entry shows on the screen, for whoever watches the log; once per place.
    if (!host.initialized || windowService == nullptr || windowService->window == nullptr) return;
    const Window::MouseRect first = host.itemRect(0);
    W::Point corner{first.x, first.y};
    (void)W::clientToScreen(windowService->window, corner);
    const std::array<int32_t, 4> place{corner.x, corner.y, host.fullRect.w, host.rowHeight()};
    if (place == loggedPlace_) return;
    loggedPlace_ = place;
    System::Log::verbose("Component::ExplorerComponent", "explorer %d entries at %d,%d %dx%d on the screen", index + 1,
                         place[0], place[1], place[2], place[3]);
}

void ExplorerComponent::procMove() {
    WindowClientRenderTarget::procMove();
    container.updateChildLayout();
}

void ExplorerComponent::step(int32_t delta) {
    const int32_t to = historyAt_ + delta;
    if (!host.initialized || to < 0 || to >= static_cast<int32_t>(history_.size())) return;
    historyAt_ = to;
    stepping_ = true;
    host.browseTo(history_[static_cast<size_t>(to)]);
    stepping_ = false;
}

void ExplorerComponent::goBack() { step(-1); }

void ExplorerComponent::goForward() { step(1); }

void ExplorerComponent::goUp() {
    if (!host.initialized || host.folder().empty()) return;
    const std::string above = Platform::shell::parentFolder(host.folder());
    if (above != host.folder()) host.browseTo(System::utf8ToWide(above));
}

void ExplorerComponent::refreshAddress() {
    const std::wstring folder = host.initialized ? System::utf8ToWide(host.folder()) : host.folderPath;
    const ExplorerBookmark* named = ExplorerBookmarks::findPath(ExplorerBookmarks::list(), folder);
    address.setText(named != nullptr ? named->name : folder);
    address.invalidate();
}

void ExplorerComponent::addBookmark(const std::wstring& path) {
    std::wstring expanded = path;
    System::FileName::expandVariable(expanded);
    std::wstring name = ExplorerBookmarks::suggestedName(expanded);
    if (expanded.empty() || !Platform::shell::isFolder(System::wideToUtf8(expanded))) {
        Dialog::showError(L"このフォルダはブックマークに追加できません");
        return;
    }
    Dialog::InputStringDialog dialog(L"ブックマークの追加");
    if (!dialog.open(name, true)) return;
    ExplorerBookmarks::add(ExplorerBookmarks::list(), name, path);
    if (Event::EventService* events = Event::EventService::get()) events->bookmarkListeners.call();
}

void ExplorerComponent::showBookmarks() {
    ExplorerBookmarks::List& bookmarks = ExplorerBookmarks::list();
    if (bookmarks.empty()) {
        Window::ToolTips::show(belowPointer(), L"ブックマークを追加すると表示されます", 3000);
        return;
    }
    ExplorerBookmarks::sortByName(bookmarks);
    Window::ListBox::initialize();
    const std::wstring folder = System::utf8ToWide(host.folder());
    int32_t current = -1;
    for (size_t i = 0; i < bookmarks.size(); ++i) {
        Window::ListBox::addEntry(bookmarks[i].name, [this, path = bookmarks[i].path] {
            std::wstring expanded = path;
            System::FileName::expandVariable(expanded);
            host.browseTo(expanded);
        });
        if (bookmarks[i].path == folder) current = static_cast<int32_t>(i);
    }
    Window::ListBox::selectedIndex = current;
    Window::ListBox::show(strip.fullRect.x, strip.fullRect.y, strip.fullRect.w, strip.fullRect.h, this);
}

void ExplorerComponent::procContextMenu(int32_t, int32_t) {
    const std::wstring folder = System::utf8ToWide(host.folder());
    const bool marked = ExplorerBookmarks::hasPath(ExplorerBookmarks::list(), folder);
    const auto grey = [](const Window::BaseMenu::Item& item, bool off) {
        if (off) W::enableMenuItem(item.menu, static_cast<uint32_t>(item.id), false);
    };
    Window::PopupMenu menu;
    grey(menu.insertItem(L"ブックマークに追加", [this, folder] { addBookmark(folder); }), marked || folder.empty());
    grey(menu.insertItem(L"ブックマークから削除",
                         [folder] {
                             ExplorerBookmarks::removePath(ExplorerBookmarks::list(), folder);
                             if (Event::EventService* events = Event::EventService::get())
                                 events->bookmarkListeners.call();
                         }),
         !marked);
    menu.insertSeparator();
    {
        Window::BaseMenu data(menu, L"アプリケーションデータ");
        static const struct {
            const wchar_t* label;
            const wchar_t* variable;
        } folders[] = {
            {L"アプリケーションデータフォルダ", L"%AppData%"}, {L"スクリプトフォルダ", L"%Script%"},
            {L"プラグインフォルダ", L"%Plugin%"},               {L"図形ファイルフォルダ", L"%Figure%"},
            {L"遷移画像ファイルフォルダ", L"%Transition%"},     {L"エイリアスファイルフォルダ", L"%Alias%"},
            {L"初期値・プリセットフォルダ", L"%Default%"},      {L"バックアップファイルフォルダ", L"%Backup%"},
            {L"ログファイルフォルダ", L"%Log%"},                {L"言語ファイルフォルダ", L"%Language%"},
        };
        for (const auto& entry : folders)
            data.insertItem(entry.label, [this, variable = entry.variable] {
                std::wstring path = std::wstring(variable) + L"/";
                System::FileName::expandVariable(path);
                host.browseTo(path);
            });
    }
    menu.insertSeparator();
    addClientMenu(menu);
    menu.show();
}

}  // namespace Component
