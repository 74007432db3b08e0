// The file browser control driven through the input router on a folder the
// test makes: what it lists and in which order, selection by clicks and keys,
// navigation into folders and back, the folder's changes followed while it
// shows, the view settings kept in the owner's settings section, and a drag
// of the selection handed to the window layer as a file drag.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "platform/shell/FileImage.h"
#include "platform/shell/FolderReader.h"
#include "platform/shell/PropertyKey.h"
#include "platform/window/DragSource.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "platform/window/Message.h"
#include "platform/window/TopLevel.h"
#include "support/PumpMessages.h"
#include "ui/controls/ControlFixture.h"
#include "ui/controls/ExplorerControl.h"

namespace {

namespace W = Platform::window;
namespace S = Platform::shell;
using Control::ExplorerControl;
using TestSupport::Input;
using TestSupport::RouterStep;

const std::string kSection = "Explorer.test";

std::wstring keyText(S::Column column) { return System::utf8ToWide(S::propertyKeyToString(S::keyOf(column))); }

class Explorers : public ControlWindow {
protected:
    void SetUp() override {
        ControlWindow::SetUp();
        folder = root_ / "browse";
        std::filesystem::create_directories(folder / "beta");
        std::filesystem::create_directories(folder / "Alpha" / "inner");
        std::filesystem::create_directories(folder / ".hidden");
        write(folder / "c.txt", 3000);
        write(folder / "a.png", 10);
        write(folder / "B.txt", 5000);
        write(folder / "Alpha" / "x.txt", 1);
    }
    void TearDown() override {
        explorer.reset();
        W::setFileDragHook(nullptr);
        ControlWindow::TearDown();
    }
    static void write(const std::filesystem::path& path, size_t bytes) {
        std::ofstream(path) << std::string(bytes, 'x');
    }
    // A control over the panel's top 300 pixels, shown at once unless hidden.
    ExplorerControl& make(bool shown = true) {
        explorer = std::make_unique<ExplorerControl>(container, 0, 0, 400, 300, kSection);
        explorer->visible = shown;
        explorer->navigationAction = [this](ExplorerControl& e) { navigations.push_back(e.folder()); };
        container.updateChildLayout();
        return *explorer;
    }
    // A control that opens the folder when it first shows.
    ExplorerControl& open(const std::filesystem::path& path) {
        explorer.reset();
        store("FolderPath", path.string());
        navigations.clear();
        return make();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const S::FolderItem& item : explorer->entries) result.push_back(item.name);
        return result;
    }
    std::vector<std::string> selection() const {
        std::vector<std::string> result;
        for (size_t i = 0; i < explorer->entries.size(); ++i)
            if (explorer->selected[i]) result.push_back(explorer->entries[i].name);
        return result;
    }
    int32_t indexOf(const std::string& name) const {
        for (size_t i = 0; i < explorer->entries.size(); ++i)
            if (explorer->entries[i].name == name) return static_cast<int32_t>(i);
        return -1;
    }
    // The centre of the name column of an entry.
    W::Point pointOf(const std::string& name) const {
        const Window::MouseRect r = explorer->itemRect(indexOf(name));
        return {r.x + 60, r.y + r.h / 2};
    }
    void click(const std::string& name) {
        const W::Point p = pointOf(name);
        driver.run({{Input::Move, p.x, p.y}, {Input::Press, p.x, p.y}, {Input::Release, p.x, p.y}});
    }
    // Two presses inside the double-click time, on the router's own clock.
    void doubleClick(const std::string& name) {
        const W::Point p = pointOf(name);
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        // Far from any earlier press, so the first press is a single one.
        doubleClickTime_ += uint64_t(1) << 32;
        router->hooks.clock = [at = doubleClickTime_] { return at; };
        const intptr_t at = W::makeLParam(p.x, p.y);
        router->dispatch(router->window, W::kWmLButtonDown, W::kMkLButton, at);
        router->dispatch(router->window, W::kWmLButtonUp, 0, at);
        router->dispatch(router->window, W::kWmLButtonDown, W::kMkLButton, at);
        router->dispatch(router->window, W::kWmLButtonUp, 0, at);
    }
    void key(uint32_t vk) {
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        router->dispatch(router->window, W::kWmKeyDown, vk, 0);
    }
    static void hold(uint32_t vk, bool down) {
        W::Message message;
        message.message = down ? W::kWmKeyDown : W::kWmKeyUp;
        message.wParam = vk;
        W::KeyMap::noteRetrieved(message);
    }
    static System::IniFile& ini() { return *Setting::SettingService::mainSettings(); }
    static std::string stored(const std::string& key) { return ini().getValue(kSection, key).text; }
    static void store(const std::string& key, const std::string& value) { ini().getValue(kSection, key).text = value; }

    std::filesystem::path folder;
    uint64_t doubleClickTime_ = uint64_t(1) << 40;
    std::unique_ptr<ExplorerControl> explorer;
    std::vector<std::string> navigations;
};

TEST_F(Explorers, ListsTheFolderFoldersFirstByNameWithoutHiddenEntries) {
    ExplorerControl& e = open(folder);
    EXPECT_EQ(folder.string(), e.folder());
    EXPECT_EQ(folder.wstring(), e.folderPath);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "a.png", "B.txt", "c.txt"}), names());
    EXPECT_EQ((std::vector<std::string>{folder.string()}), navigations);
    EXPECT_TRUE(e.entries[0].isFolder);
    EXPECT_EQ(5000, e.entries[3].size);
    EXPECT_EQ("inode/directory", e.entries[0].contentType);
    e.invalidate();
    EXPECT_TRUE(TestSupport::RouterDriver::drawQueued());
}

TEST_F(Explorers, TheWheelAndTheBarScrollALongFolderAndClicksFindTheEntryShown) {
    for (int i = 0; i < 40; ++i) write(folder / "Alpha" / ("f" + std::to_string(100 + i) + ".txt"), 1);
    ExplorerControl& e = open(folder);
    ASSERT_FALSE(e.scrollBar.visible) << "five entries fit";
    // Where the bar's arrow would be, the browser itself takes the press.
    const int32_t right = e.fullRect.x + e.fullRect.w - 5, below = e.fullRect.y + e.headerHeight() + 5;
    EXPECT_EQ(&e, Window::WindowMouseService::get()->findTarget(right, below));
    Window::WindowMouseService::routingBusy = false;

    ExplorerControl& shown = open(folder / "Alpha");
    ASSERT_TRUE(shown.scrollBar.visible) << "42 entries do not fit";
    const int32_t row = shown.rowHeight();
    const int32_t view = shown.fullRect.h - shown.headerHeight();
    const int32_t x = shown.fullRect.x + 60, y = shown.fullRect.y + shown.headerHeight() + row / 2;
    const struct {
        const char* what;
        std::vector<RouterStep> steps;
        int32_t offset;
        std::string clicked;  // by a click at the top row afterwards
    } cases[] = {
        {"one notch down", {{Input::Move, x, y}, {Input::Wheel, x, y, -120}}, 3 * row, "f102.txt"},
        {"two notches down, one up", {{Input::Move, x, y}, {Input::Wheel, x, y, -120}, {Input::Wheel, x, y, -120},
                                      {Input::Wheel, x, y, 120}}, 3 * row, "f102.txt"},
        {"far past the end", {{Input::Move, x, y}, {Input::Wheel, x, y, -120 * 40}}, 42 * row - view, ""},
        {"the bar's lower arrow", {{Input::Press, right, shown.fullRect.y + shown.fullRect.h - 5},
                                   {Input::Release, right, shown.fullRect.y + shown.fullRect.h - 5}}, 3 * row, "f102.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        driver.run({{Input::Move, x, y}, {Input::Wheel, x, y, 120 * 100}});
        ASSERT_EQ(0, shown.scrollOffset);
        driver.run(c.steps);
        EXPECT_EQ(c.offset, shown.scrollOffset);
        EXPECT_EQ(c.offset, shown.scrollBar.first);
        if (c.clicked.empty()) continue;
        driver.run({{Input::Move, x, y + 1}, {Input::Press, x, y + 1}, {Input::Release, x, y + 1}});
        EXPECT_EQ((std::vector<std::string>{c.clicked}), selection());
    }
}

TEST_F(Explorers, ClicksAndKeysSelectEntries) {
    const struct {
        const char* what;
        std::vector<std::string> before;  // clicked first, plainly
        std::string clicked;
        uint32_t held;  // a key held during the click, 0 for none
        std::vector<uint32_t> keys;
        std::vector<std::string> selection;
    } cases[] = {
        {"a click selects one", {}, "B.txt", 0, {}, {"B.txt"}},
        {"a second click moves the selection", {"a.png"}, "c.txt", 0, {}, {"c.txt"}},
        {"Ctrl adds one", {"a.png"}, "c.txt", W::kVkControl, {}, {"a.png", "c.txt"}},
        {"Ctrl takes one away", {"a.png"}, "a.png", W::kVkControl, {}, {}},
        {"Shift selects a range", {"beta"}, "B.txt", W::kVkShift, {}, {"beta", "a.png", "B.txt"}},
        {"Down moves to the next entry", {"beta"}, "", 0, {W::kVkDown}, {"a.png"}},
        {"Up stops at the first entry", {"beta"}, "", 0, {W::kVkUp, W::kVkUp, W::kVkUp}, {"Alpha"}},
        {"End and Home", {"beta"}, "", 0, {W::kVkEnd}, {"c.txt"}},
        {"a click below the entries clears", {"beta"}, "", 0, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        open(folder);
        for (const std::string& name : c.before) click(name);
        if (!c.clicked.empty()) {
            if (c.held != 0) hold(c.held, true);
            click(c.clicked);
            if (c.held != 0) hold(c.held, false);
        }
        for (const uint32_t vk : c.keys) key(vk);
        if (c.clicked.empty() && c.keys.empty()) {
            const Window::MouseRect last = explorer->itemRect(4);
            driver.run({{Input::Press, last.x + 20, last.y + last.h + 30},
                        {Input::Release, last.x + 20, last.y + last.h + 30}});
        }
        EXPECT_EQ(c.selection, selection());
    }
}

TEST_F(Explorers, DoubleClicksEnterAndBackspaceNavigate) {
    const struct {
        const char* what;
        std::vector<std::string> gestures;  // "double <name>", "key <vk>" after selecting, "select <name>"
        std::filesystem::path shown;
    } cases[] = {
        {"a double click opens a folder", {"double Alpha"}, folder / "Alpha"},
        {"a double click on a file stays", {"double c.txt"}, folder},
        {"Enter opens the selected folder", {"select beta", "enter"}, folder / "beta"},
        {"Enter on a file stays", {"select a.png", "enter"}, folder},
        {"Backspace goes up", {"double Alpha", "back"}, folder},
        {"two levels down and one up", {"double Alpha", "double inner", "back"}, folder / "Alpha"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        open(folder);
        navigations.clear();
        size_t expectedNavigations = 0;
        for (const std::string& g : c.gestures) {
            if (g.rfind("double ", 0) == 0) {
                const std::string name = g.substr(7);
                ASSERT_GE(indexOf(name), 0) << name << " in " << explorer->folder();
                expectedNavigations += explorer->entries[static_cast<size_t>(indexOf(name))].isFolder ? 1 : 0;
                doubleClick(name);
            } else if (g.rfind("select ", 0) == 0) {
                click(g.substr(7));
            } else if (g == "enter") {
                ASSERT_GE(explorer->focusIndex, 0);
                expectedNavigations += explorer->entries[static_cast<size_t>(explorer->focusIndex)].isFolder ? 1 : 0;
                key(W::kVkReturn);
            } else if (g == "back") {
                ++expectedNavigations;
                key(W::kVkBack);
            }
        }
        EXPECT_EQ(c.shown.string(), explorer->folder());
        EXPECT_EQ(expectedNavigations, navigations.size()) << "the owner hears of each navigation";
        if (expectedNavigations > 0) EXPECT_TRUE(selection().empty()) << "a folder opens with nothing selected";
    }
    // What the folder "Alpha" holds.
    open(folder / "Alpha");
    EXPECT_EQ((std::vector<std::string>{"inner", "x.txt"}), names());
}

TEST_F(Explorers, AFileMadeOrDeletedWhileTheFolderShowsIsFollowed) {
    open(folder);
    click("c.txt");
    write(folder / "new.txt", 20);
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return indexOf("new.txt") >= 0; }, "the new file listed"));
    EXPECT_EQ((std::vector<std::string>{"c.txt"}), selection()) << "the selection is kept by name";
    std::filesystem::remove(folder / "c.txt");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return indexOf("c.txt") < 0; }, "the deleted file gone"));
    EXPECT_TRUE(selection().empty());
    std::filesystem::create_directory(folder / "made");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return indexOf("made") >= 0; }, "the new folder listed"));
    EXPECT_TRUE(explorer->entries[static_cast<size_t>(indexOf("made"))].isFolder);
    // The watch follows the shown folder only.
    doubleClick("beta");
    const int32_t reads = explorer->readCount;
    write(folder / "elsewhere.txt", 1);
    write(folder / "beta" / "here.txt", 1);
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return indexOf("here.txt") >= 0; }, "the file in the shown folder"));
    EXPECT_GT(explorer->readCount, reads);
    EXPECT_EQ(-1, indexOf("elsewhere.txt"));
    // The shown folder deleted: the browser goes up to the folder that holds it.
    navigations.clear();
    std::filesystem::remove_all(folder / "beta");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return explorer->folder() == folder.string(); }, "the folder above"));
    EXPECT_EQ((std::vector<std::string>{folder.string()}), navigations);
    EXPECT_EQ(-1, indexOf("beta"));
}

TEST_F(Explorers, FilesAndFoldersGetTheIconThemesPictures) {
    for (const char* type : {"inode/directory", "text/plain", "image/png", "application/x-no-such-type"}) {
        S::FileImage image;
        ASSERT_EQ(Platform::kOk, S::loadTypeIcon(type, 16, image)) << type;
        EXPECT_EQ(16u, image.width) << type;
        EXPECT_EQ(16u, image.height) << type;
        bool drawn = false;
        for (size_t i = 3; i < image.pixels.size(); i += 4) drawn = drawn || image.pixels[i] != 0;
        EXPECT_TRUE(drawn) << type;
    }
    // A cached thumbnail (here a 480 x 210 picture) is scaled to fit the icon size.
    S::FileImage image;
    ASSERT_EQ(Platform::kOk, S::loadThumbnail(std::string(VELMO_CONTROLS_DATA) + "/controls-at-rest.png", 96, image));
    EXPECT_EQ(96u, image.width);
    EXPECT_EQ(42u, image.height);
    EXPECT_EQ(Platform::kFileNotFound, S::loadThumbnail((root_ / "no-thumbnail.png").string(), 96, image));
    EXPECT_EQ(Platform::kFileNotFound, S::loadThumbnail("", 96, image));
}

TEST_F(Explorers, DraggingTheSelectionHandsItsFilesToTheWindowLayer) {
    std::vector<std::vector<std::string>> drags;
    W::setFileDragHook([&](W::WindowHandle, const std::vector<std::string>& files) { drags.push_back(files); });
    open(folder);
    const struct {
        const char* what;
        std::vector<std::string> select;  // Ctrl-clicked first
        std::string pressed;
        int32_t moved;
        std::vector<std::string> files;
        std::vector<std::string> selection;
    } cases[] = {
        {"one file", {}, "a.png", 30, {"a.png"}, {"a.png"}},
        {"two selected files, pressed on one", {"a.png", "c.txt"}, "c.txt", 30, {"a.png", "c.txt"},
         {"a.png", "c.txt"}},
        {"a folder", {}, "beta", 30, {"beta"}, {"beta"}},
        {"a press on the selection without a move narrows it", {"a.png", "c.txt"}, "c.txt", 0, {}, {"c.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        drags.clear();
        click("Alpha");
        hold(W::kVkControl, true);
        click("Alpha");
        for (const std::string& name : c.select) click(name);
        hold(W::kVkControl, false);
        const W::Point p = pointOf(c.pressed);
        driver.run({{Input::Move, p.x, p.y}, {Input::Press, p.x, p.y}});
        if (c.moved != 0) driver.run({{Input::Move, p.x + c.moved, p.y}, {Input::Move, p.x + c.moved, p.y + 200}});
        driver.send({Input::Release, p.x + c.moved, p.y + 200 * (c.moved != 0)});
        EXPECT_FALSE(explorer->dragging) << "the drag ends the router's press";
        // A drag lets go of the keyboard: a right click elsewhere then is no
        // focus-taking click and the window goes on to its context menu.
        EXPECT_EQ(c.moved == 0, explorer->focused);
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        router->dispatch(router->window, W::kWmRButtonDown, W::kMkRButton, W::makeLParam(450, 350));
        EXPECT_EQ(c.moved == 0, router->dispatch(router->window, W::kWmRButtonUp, 0, W::makeLParam(450, 350)));
        std::vector<std::vector<std::string>> want;
        if (!c.files.empty()) {
            want.emplace_back();
            for (const std::string& name : c.files) want.back().push_back((folder / name).string());
        }
        EXPECT_EQ(want, drags);
        EXPECT_EQ(c.selection, selection());
    }
}

TEST_F(Explorers, TheHeaderSortsAndSizesColumns) {
    ExplorerControl& e = open(folder);
    const int32_t top = e.fullRect.y + e.headerHeight() / 2;
    const int32_t left = e.fullRect.x;
    ASSERT_EQ(3u, e.columns.size());
    const int32_t sizeColumn = left + e.columns[0].width + 20;
    const struct {
        const char* what;
        int32_t x;
        std::vector<std::string> order;
    } cases[] = {
        {"by size", sizeColumn, {"Alpha", "beta", "a.png", "c.txt", "B.txt"}},
        {"by size, the other way", sizeColumn, {"Alpha", "beta", "B.txt", "c.txt", "a.png"}},
        {"by name", left + 30, {"Alpha", "beta", "a.png", "B.txt", "c.txt"}},
        {"by name, the other way", left + 30, {"beta", "Alpha", "c.txt", "B.txt", "a.png"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        driver.run({{Input::Move, c.x, top}, {Input::Press, c.x, top}, {Input::Release, c.x, top}});
        EXPECT_EQ(c.order, names());
    }
    // The name column's right edge dragged 40 pixels to the right.
    const int32_t edge = left + e.columns[0].width;
    const int32_t width = e.columns[0].width;
    driver.run({{Input::Move, edge, top}, {Input::Press, edge, top}, {Input::Move, edge + 20, top},
                {Input::Move, edge + 40, top}, {Input::Release, edge + 40, top}});
    EXPECT_EQ(width + 40, e.columns[0].width);
    EXPECT_EQ((std::vector<std::string>{"beta", "Alpha", "c.txt", "B.txt", "a.png"}), names()) << "no sort";
}

TEST_F(Explorers, TheContextMenuPicksTheViewWhichTheSettingsKeep) {
    ExplorerControl& e = open(folder);
    std::vector<std::string> labels;
    int32_t choose = 0;
    W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
        labels.clear();
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string text;
            W::getMenuStringAt(menu, i, text);
            labels.push_back(text);
        }
        return static_cast<uint32_t>(W::getMenuItemId(menu, choose));
    });
    const struct {
        int32_t choose, mode, size;
    } cases[] = {{2, 1, 96}, {1, 1, 48}, {0, ExplorerControl::kDetails, 48}, {2, 1, 96}};
    for (const auto& c : cases) {
        choose = c.choose;
        W::Point p{e.fullRect.x + 100, e.fullRect.y + 250};
        W::clientToScreen(service->window, p);
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
        EXPECT_EQ((std::vector<std::string>{"詳細", "中アイコン", "大アイコン"}), labels);
        EXPECT_EQ(c.mode, e.viewMode) << c.choose;
        EXPECT_EQ(c.size, e.iconSize) << c.choose;
        e.invalidate();
        EXPECT_TRUE(TestSupport::RouterDriver::drawQueued());
    }
    W::setMenuAnswerHook(nullptr);
    // An icon picked in the icon view is the one under the pointer.
    const Window::MouseRect cell = e.itemRect(indexOf("a.png"));
    driver.run({{Input::Move, cell.x + cell.w / 2, cell.y + 20}, {Input::Press, cell.x + cell.w / 2, cell.y + 20},
                {Input::Release, cell.x + cell.w / 2, cell.y + 20}});
    EXPECT_EQ((std::vector<std::string>{"a.png"}), selection());
    key(W::kVkLeft);
    EXPECT_EQ((std::vector<std::string>{"beta"}), selection());
    explorer.reset();
    EXPECT_EQ("1", stored("FolderViewMode"));
    EXPECT_EQ("96", stored("FolderIconSize"));
}

TEST_F(Explorers, AFirstStartShowsTheDesktopInDetailsWithTheDefaultColumns) {
    ExplorerControl& e = make();
    EXPECT_TRUE(e.initialized);
    EXPECT_EQ(S::desktopFolder(), e.folder());
    EXPECT_EQ(ExplorerControl::kDetails, e.viewMode);
    EXPECT_EQ(48, e.iconSize);
    EXPECT_EQ(S::Column::Unknown, e.sortBy);
    ASSERT_EQ(3u, e.columns.size());
    EXPECT_EQ(S::Column::Name, e.columns[0].column);
    EXPECT_EQ(S::Column::Size, e.columns[1].column);
    EXPECT_EQ(S::Column::Modified, e.columns[2].column);
    explorer.reset();
    EXPECT_EQ(keyText(S::Column::Name) + L"," + keyText(S::Column::Size) + L"," + keyText(S::Column::Modified),
              System::utf8ToWide(stored("ColumnList")));
    EXPECT_EQ("3", stored("ColumnNum"));
}

TEST_F(Explorers, StoredViewSettingsAreAppliedAndUnusableColumnsFallBack) {
    const std::wstring name = keyText(S::Column::Name), size = keyText(S::Column::Size),
                       modified = keyText(S::Column::Modified), type = keyText(S::Column::Type);
    const struct {
        const char* what;
        int32_t count;
        std::wstring list, widths;
        std::vector<S::Column> columns;
        std::vector<int32_t> shownWidths;  // 0: the column's own default
        int32_t storedCount;
    } cases[] = {
        {"four keys, three widths", 4, name + L"," + size + L"," + modified + L"," + type, L"100,50,60",
         {S::Column::Name, S::Column::Size, S::Column::Modified}, {0, 0, 0}, 3},
        {"two columns in another order", 2, type + L"," + name, L"90,150", {S::Column::Type, S::Column::Name},
         {90, 150}, 2},
        {"a width of 0 keeps the column at its default", 2, name + L"," + type, L"0,70",
         {S::Column::Name, S::Column::Type}, {0, 70}, 2},
        {"an unreadable key", 2, name + L",{nonsense} 3", L"10,10",
         {S::Column::Name, S::Column::Size, S::Column::Modified}, {0, 0, 0}, 3},
        {"a width that is no number", 1, name, L"wide", {S::Column::Name, S::Column::Size, S::Column::Modified},
         {0, 0, 0}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store("FolderPath", folder.string());
        store("FolderViewMode", "1");
        store("FolderIconSize", "32");
        store("SortColumn", System::wideToUtf8(size));
        store("SortDirection", "-1");
        store("ColumnNum", std::to_string(c.count));
        store("ColumnList", System::wideToUtf8(c.list));
        store("ColumnWidth", System::wideToUtf8(c.widths));
        ExplorerControl& e = make();
        EXPECT_EQ(folder.string(), e.folder());
        EXPECT_EQ(1, e.viewMode);
        EXPECT_EQ(32, e.iconSize);
        EXPECT_EQ(S::Column::Size, e.sortBy);
        EXPECT_EQ(-1, e.sortOrder);
        EXPECT_EQ(c.storedCount, e.columnNum);
        ASSERT_EQ(c.columns.size(), e.columns.size());
        for (size_t i = 0; i < c.columns.size(); ++i) {
            EXPECT_EQ(c.columns[i], e.columns[i].column) << i;
            if (c.shownWidths[i] != 0) EXPECT_EQ(c.shownWidths[i], e.columns[i].width) << i;
            if (c.shownWidths[i] == 0) EXPECT_GT(e.columns[i].width, 0) << i;
        }
        e.invalidate();
        EXPECT_TRUE(TestSupport::RouterDriver::drawQueued()) << "the icon view draws";
        explorer.reset();
    }
}

TEST_F(Explorers, TheViewSettingsCarryOverToTheNextFolderAndAHiddenControlLeavesThemAlone) {
    ExplorerControl& e = open(folder);
    const int32_t top = e.fullRect.y + e.headerHeight() / 2;
    const int32_t sizeColumn = e.fullRect.x + e.columns[0].width + 20;
    driver.run({{Input::Move, sizeColumn, top}, {Input::Press, sizeColumn, top}, {Input::Release, sizeColumn, top}});
    ASSERT_EQ(S::Column::Size, e.sortBy);
    doubleClick("Alpha");
    ASSERT_EQ((folder / "Alpha").string(), e.folder());
    EXPECT_EQ(S::Column::Size, e.sortBy) << "the sort carried into the next folder";
    EXPECT_EQ(keyText(S::Column::Size), e.sortColumn);
    explorer.reset();
    EXPECT_EQ((folder / "Alpha").string(), stored("FolderPath"));

    // Stored values a hidden control must keep as they are.
    store("FolderPath", "/nowhere/at/all");
    store("ColumnNum", "7");
    ExplorerControl& hidden = make(false);
    EXPECT_FALSE(hidden.initialized);
    EXPECT_TRUE(hidden.entries.empty());
    explorer.reset();
    EXPECT_EQ("/nowhere/at/all", stored("FolderPath"));
    EXPECT_EQ("7", stored("ColumnNum"));

    // Shown, that folder cannot be opened: the desktop instead.
    ExplorerControl& shown = make();
    EXPECT_EQ(S::desktopFolder(), shown.folder());
    EXPECT_FALSE(shown.browseTo(L"/nowhere/else") && shown.folder() == "/nowhere/else");
    EXPECT_EQ(S::desktopFolder(), shown.folder());
}

}  // namespace
