// The File popup of the main window's bar: its entries and keys, the history
// lists refreshed as the popup opens, and its commands run by command id with
// the file dialogs and questions answered by the tests.
#include "ui/menus/MenuFixture.h"

namespace {

using namespace MenuTest;
namespace W = Platform::window;

using FileMenuTest = MenuFixture;

TEST_F(FileMenuTest, EntriesStandInOrderWithTheirKeysAndNoneIsGreyed) {
    enum Kind { Item, Separator, Sub };
    struct Row {
        Kind kind;
        const char* text;
        int32_t key;  // the registered default key; -1: not registered
    } rows[] = {
        {Item, "プロジェクトを新規作成", 0x404E},
        {Item, "プロジェクトを開く", 0x404F},
        {Sub, "最近使ったプロジェクト", -1},
        {Sub, "バックアップしたプロジェクト", -1},
        {Separator, "", -1},
        {Item, "プロジェクトを保存", 0x4053},
        {Item, "プロジェクトを別名で保存", 0x6053},
        {Separator, "", -1},
        {Sub, "ファイル出力", -1},
        {Separator, "", -1},
        {Item, "プロジェクトを保存して終了", 0},
        {Item, "終了", 0},
    };
    bar->refresh();
    ASSERT_EQ(W::getMenuItemCount(file()), static_cast<int32_t>(std::size(rows)));
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(rows)); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(W::getSubMenu(file(), i) != nullptr, row.kind == Sub);
        const int32_t id = W::getMenuItemId(file(), i);
        EXPECT_EQ(id != 0, row.kind == Item);
        if (row.kind == Separator) continue;
        EXPECT_EQ(textAt(file(), i), row.text);
        if (row.kind == Item) {
            EXPECT_TRUE(W::isMenuItemEnabled(file(), static_cast<uint32_t>(id)));
            EXPECT_FALSE(bar->enables.count(id) || bar->checks.count(id) || bar->texts.count(id));
        }
        const Window::Shortcut* shortcut = registered(std::string("ファイル:") + row.text);
        if (row.key < 0) {
            EXPECT_EQ(shortcut, nullptr);
        } else {
            ASSERT_NE(shortcut, nullptr);
            EXPECT_EQ(shortcut->defaultCode, row.key);
        }
    }

    // The export entries: the plug-ins in their order, unnumbered, each a key-less command.
    const char* plugins[] = {"AVIファイル出力", "PNGファイル出力", "JPEGファイル出力"};
    ASSERT_EQ(W::getMenuItemCount(sub(8)), 3);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(textAt(sub(8), i), plugins[i]);
        const Window::Shortcut* shortcut = registered(std::string("ファイル:") + plugins[i]);
        ASSERT_NE(shortcut, nullptr) << plugins[i];
        EXPECT_EQ(shortcut->defaultCode, 0);
    }
}

TEST_F(FileMenuTest, HistoriesShowTheCurrentListsAndOpenTheChosenProject) {
    bar->refresh();
    EXPECT_EQ(W::getMenuItemCount(sub(2)), 0);
    EXPECT_EQ(W::getMenuItemCount(sub(3)), 0);

    const std::wstring a = writeProject("a"), b = writeProject("b"), gone = wide(root_ / "gone.vpj2");
    struct Case {
        const char* what;
        int32_t submenu;
        std::wstring listed;
        bool modified;
        int answer;         // to the discard question
        std::wstring path;  // of the project afterwards
        std::string box;    // the one question or error shown
    } cases[] = {
        {"recent", 2, a, false, W::kIdOk, a, ""},
        {"backup", 3, b, false, W::kIdOk, b, ""},
        {"declined discard", 2, a, true, W::kIdCancel, b, "現在の編集データは破棄されますがよろしいですか？"},
        {"accepted discard", 2, a, true, W::kIdOk, a, "現在の編集データは破棄されますがよろしいですか？"},
        {"missing file", 2, gone, false, W::kIdOk, a, "指定のファイルが存在しません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        service().projectHistory().addItem(c.listed);
        service().backupHistory().addItem(c.listed);
        undoService->get()->modified = c.modified;
        boxes.texts.clear();
        boxes.answers = {c.answer};
        bar->refresh();  // as the popup opens
        ASSERT_GE(W::getMenuItemCount(sub(c.submenu)), 1);
        EXPECT_EQ(System::utf8ToWide(textAt(sub(c.submenu), 0)), L"&1 " + c.listed);
        choose(sub(c.submenu), 0);
        EXPECT_EQ(service().project().path, c.path);
        if (c.box.empty())
            EXPECT_TRUE(boxes.texts.empty());
        else
            EXPECT_TRUE(!boxes.texts.empty() && boxes.texts.front().find(c.box) != std::string::npos)
                << (boxes.texts.empty() ? "" : boxes.texts.front());
    }
    // The list numbers every entry, newest first.
    bar->refresh();
    EXPECT_EQ(textAt(sub(2), 1).substr(0, 3), "&2 ");
}

// After a crash the backup made for that moment is in the backup list, among
// the automatic ones by its time, and opens from there.
TEST_F(FileMenuTest, TheBackupListHoldsTheEmergencyBackups) {
    const std::filesystem::path folder = appData() / "Backup";
    std::filesystem::create_directories(folder);
    const std::wstring older = wide(folder / "AutoBackup_2026-01-01_10-00-00-000.vpj2");
    const std::wstring rescue = wide(folder / "ExceptionBackup_2026-01-01_11-00-00-000.vpj2");
    const std::wstring newer = wide(folder / "AutoBackup_2026-01-01_12-00-00-000.vpj2");
    for (const auto& path : {older, rescue, newer}) {
        Edit::Project project;
        project.getOrCreateScene(0)->name = path;
        project.saveProjectFile(path);
    }
    service().backupHistory().load();
    bar->refresh();
    ASSERT_EQ(W::getMenuItemCount(sub(3)), 3);
    const std::wstring expected[] = {newer, rescue, older};
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(System::utf8ToWide(textAt(sub(3), i)), L"&" + std::to_wstring(i + 1) + L" " + expected[i]);
    choose(sub(3), 1);
    EXPECT_EQ(service().currentScene()->name, rescue);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(FileMenuTest, OpenAndSaveGoThroughTheFileDialogs) {
    const std::wstring a = writeProject("a");
    const std::wstring saved = wide(root_ / "saved.vpj2");

    choose(file(), 1);  // open, cancelled
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_FALSE(files.asked[0].save);
    EXPECT_TRUE(service().project().path.empty());
    files.answers.push_back(System::wideToUtf8(a));
    choose(file(), 1);
    EXPECT_EQ(service().project().path, a);
    EXPECT_EQ(service().projectHistory().getItem(0), a);

    // A project never saved asks where to save; one with a file writes it at once.
    service().clearProject();
    files.asked.clear();
    choose(file(), 5);
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_TRUE(files.asked[0].save);
    EXPECT_FALSE(std::filesystem::exists(root_ / "saved.vpj2"));
    files.answers.push_back(System::wideToUtf8(saved));
    choose(file(), 5);
    EXPECT_EQ(files.asked.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(root_ / "saved.vpj2"));
    EXPECT_EQ(service().project().path, saved);
    std::filesystem::remove(root_ / "saved.vpj2");
    choose(file(), 5);
    EXPECT_EQ(files.asked.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(root_ / "saved.vpj2"));

    // Save as always asks, starting from the current path.
    choose(file(), 6);
    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_EQ(files.asked[2].path, System::wideToUtf8(saved));
}

TEST_F(FileMenuTest, BothExitsCloseTheWindowEvenWhenTheSaveIsCancelled) {
    choose(file(), 10);  // never saved: the save dialog comes and is cancelled
    EXPECT_EQ(files.asked.size(), 1u);
    dispatchPosted();
    EXPECT_EQ(g_closes, 1);
    choose(file(), 11);
    dispatchPosted();
    EXPECT_EQ(g_closes, 2);
    EXPECT_EQ(files.asked.size(), 1u);
}

TEST_F(FileMenuTest, AnExportEntryStartsItsPlugIn) {
    choose(sub(8), 1);  // PNG, its save dialog cancelled
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_FALSE(output->get()->isRunning());

    const std::string target = (root_ / "frame.png").string();
    files.answers.push_back(target);
    choose(sub(8), 1);
    ASSERT_TRUE(output->get()->isRunning());
    output->get()->waitExport();
    bool started = false;
    for (const auto& line : log.lines) started = started || line.message == "export file start : " + target;
    EXPECT_TRUE(started);
}

}  // namespace
