// The shortcut list: key names, keyboard.ini, the conflict rules and key dispatch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "edit/UndoService.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "support/TestFolders.h"
#include "ui/framework/MenuText.h"
#include "ui/framework/Shortcut.h"
#include "ui/framework/ShortcutList.h"

namespace {

namespace W = Platform::window;
using Window::Shortcut;
using Window::ShortcutList;

constexpr int32_t kCtrl = Shortcut::CtrlFlag;
constexpr int32_t kShift = Shortcut::ShiftFlag;
constexpr int32_t kAlt = Shortcut::AltFlag;
constexpr int32_t kF5 = 0x74;
constexpr int32_t kF6 = 0x75;
constexpr int32_t kDelete = 0x2E;

// Holds the modifier keys down as the live key state sees them.
class Modifiers {
public:
    explicit Modifiers(int32_t flags) {
        press(W::kVkControl, flags & kCtrl);
        press(W::kVkShift, flags & kShift);
        press(W::kVkMenu, flags & kAlt);
    }
    ~Modifiers() {
        for (uint32_t vk : {W::kVkControl, W::kVkShift, W::kVkMenu})
            W::KeyMap::noteEvent(vk, false);
    }

private:
    static void press(uint32_t vk, bool down) { W::KeyMap::noteEvent(vk, down); }
};

class ShortcutKeys : public TestFolders {
protected:
    void writeKeyboard(const std::string& content) { writeFile(appData() / "keyboard.ini", content); }
    // Registers an action that counts its runs under name.
    void addCounting(ShortcutList& list, const std::wstring& name, int32_t defaultCode) {
        list.add(name, defaultCode, [this, name] { ran.push_back(name); });
    }
    std::vector<std::wstring> ran;
};

TEST(ShortcutCodeName, NamesModifiersAndKeys) {
    struct Case {
        int32_t code;
        const wchar_t* name;
    } cases[] = {
        {0x6053, L"Ctrl+Shift+S"},
        {0x1070, L"Alt+F1"},
        {0x0026, L"\u2191"},
        {0x7041, L"Ctrl+Shift+Alt+A"},
        {0x0060, L"0 (NumPad)"},
        {0x006F, L"/ (NumPad)"},
        {0x007B, L"F12"},
        {0x0008, L"BackSpace"},
        {0, L""},
        {0x00FE, L""},           // no name: a warning and nothing shown
        {0x40FE, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Shortcut::getCodeName(c.code), c.name) << std::hex << c.code;
}

TEST_F(ShortcutKeys, SystemConfNamesFurtherKeys) {
    // The settings service needs the shipped style; the test's own system values.
    std::filesystem::copy_file(std::filesystem::current_path() / "style.conf", install() / "style.conf");
    writeFile(install() / "system.conf", "[KeyCode]\n186=OEM1\nabc=Bad\n187=\n");
    System::ServiceHolder<Setting::SettingService> settings;
    ShortcutList list;
    EXPECT_EQ(Shortcut::getCodeName(186 | kCtrl), L"Ctrl+OEM1");
    EXPECT_FALSE(Shortcut::hasKeyName(187));
}

TEST_F(ShortcutKeys, LoadReadsContiguousSectionsAndSkipsBrokenOnes) {
    writeKeyboard(
        "[shortcut.0]\r\nname=A\r\ncode=117\r\n"
        "[shortcut.1]\r\nname=NoCode\r\n"
        "[shortcut.2]\r\ncode=5\r\n"
        "[shortcut.3]\r\nname=Text\r\ncode=F5\r\n"
        "[shortcut.4]\r\nname=A\r\ncode=118\r\n"
        "[shortcut.5]\r\nname=B\r\ncode=0\r\n"
        "[shortcut.7]\r\nname=AfterGap\r\ncode=1\r\n");
    ShortcutList list;
    EXPECT_EQ(list.userCodes.size(), 2u);
    EXPECT_EQ(list.userCodes.at(L"A"), 117);  // a repeated name keeps its first code
    EXPECT_EQ(list.userCodes.at(L"B"), 0);
    EXPECT_EQ(list.userCodes.count(L"AfterGap"), 0u);
    EXPECT_EQ(list.userCodes.count(L"Text"), 0u);
}

TEST_F(ShortcutKeys, MissingFileLeavesNoUserCodes) {
    ShortcutList list;
    EXPECT_TRUE(list.userCodes.empty());
}

TEST_F(ShortcutKeys, ConflictRules) {
    struct Case {
        const char* name;
        std::string file;
        int32_t a, b;  // codes of A (registered first) and B afterwards
    } cases[] = {
        {"same default: the first keeps it", "", kF5, 0},
        {"user key for B takes A's default away", "[shortcut.0]\r\nname=B\r\ncode=117\r\n", 0, kF6},
        {"user key equal to A's: both hold it", "[shortcut.0]\r\nname=B\r\ncode=116\r\n", 0, kF5},
        {"user key for A alone", "[shortcut.0]\r\nname=A\r\ncode=117\r\n", kF6, kF5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeKeyboard(c.file);
        ShortcutList list;
        addCounting(list, L"A", kF5);
        addCounting(list, L"B", kF5);
        ASSERT_EQ(list.entries.size(), 2u);
        EXPECT_EQ(list.entries[0].code, c.a);
        EXPECT_EQ(list.entries[1].code, c.b);
    }
}

TEST_F(ShortcutKeys, BothHoldingAKeyRunsTheFirst) {
    ShortcutList list;
    addCounting(list, L"A", kF6);
    list.userCodes[L"B"] = kF6;
    addCounting(list, L"B", kF5);
    // B's user key was A's current key, not A's default: A keeps it too.
    EXPECT_EQ(list.entries[0].code, kF6);
    EXPECT_EQ(list.entries[1].code, kF6);
    Modifiers none(0);
    EXPECT_TRUE(list.processKey(kF6));
    EXPECT_EQ(ran, std::vector<std::wstring>{L"A"});
}

TEST_F(ShortcutKeys, ModifierFallbacks) {
    struct Case {
        int32_t held;
        uint32_t key;
        const wchar_t* runs;  // null: not consumed
    } cases[] = {
        {0, kDelete, L"Delete"},
        {kCtrl, kDelete, L"Delete"},                 // Ctrl dropped
        {kCtrl | kShift, kDelete, L"Delete"},        // both dropped
        {kAlt, kDelete, nullptr},                    // Alt is never dropped
        {kCtrl | kAlt, kDelete, nullptr},
        {kCtrl, 'S', L"Save"},                       // exact binding
        {kCtrl | kShift, 'S', L"SaveAs"},
        {kShift, 'S', nullptr},                      // falls back to S: nothing bound
        {kCtrl | kAlt, 'F', L"AltF"},                // Alt kept, Ctrl dropped
        {0, 'Q', nullptr},
    };
    ShortcutList list;
    addCounting(list, L"Delete", kDelete);
    addCounting(list, L"Save", kCtrl | 'S');
    addCounting(list, L"SaveAs", kCtrl | kShift | 'S');
    addCounting(list, L"AltF", kAlt | 'F');
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.held << " " << c.key);
        ran.clear();
        Modifiers held(c.held);
        EXPECT_EQ(list.processKey(c.key), c.runs != nullptr);
        EXPECT_EQ(ran, c.runs ? std::vector<std::wstring>{c.runs} : std::vector<std::wstring>{});
    }
}

TEST_F(ShortcutKeys, NoShortcutFiresWhileAnUndoRecordIsOpen) {
    System::ServiceHolder<Undo::UndoService> undo;
    ShortcutList list;
    addCounting(list, L"Delete", kDelete);
    int ended = 0;
    list.setCaptureEnder([&] { ++ended; });
    Modifiers none(0);
    Undo::UndoService::get()->recording = true;
    EXPECT_FALSE(list.processKey(kDelete));
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(ended, 1);  // the capture still ends
    Undo::UndoService::get()->recording = false;
    EXPECT_TRUE(list.processKey(kDelete));
    EXPECT_EQ(ran.size(), 1u);
}

TEST_F(ShortcutKeys, MenuEntriesRunThroughTheMenuRunnerAndShowTheirKey) {
    W::MenuHandle menu = W::createPopupMenu();
    ASSERT_TRUE(W::appendMenuString(menu, 40000, "Save"));
    ShortcutList list;
    std::vector<int32_t> ids;
    list.setMenuCommandRunner([&](int32_t id) { ids.push_back(id); });
    list.add(L"File:Save", kCtrl | 'S', {}, menu, 40000);
    list.add(L"Nothing", kF5, {});  // neither menu item nor action: not registered
    EXPECT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(Window::MenuText::getItemText(menu, 40000), L"Save\tCtrl+S");
    Modifiers ctrl(kCtrl);
    EXPECT_TRUE(list.processKey('S'));
    EXPECT_EQ(ids, std::vector<int32_t>{40000});
    EXPECT_EQ(list.toDefaultCode('S'), kCtrl | 'S');
    EXPECT_EQ(list.toDefaultCode('T'), 0);
    list.remove([](const Shortcut& s) { return s.menuHandle != nullptr; });
    EXPECT_TRUE(list.entries.empty());
    W::destroyMenu(menu);
}

TEST_F(ShortcutKeys, SaveWritesOnlyChangedCodesAndReadsBack) {
    ShortcutList list;
    addCounting(list, L"Same", kF5);
    addCounting(list, L"Changed", kF6);
    addCounting(list, L"Cleared", 'X');
    addCounting(list, L"名前", 0);
    list.entries[1].code = kCtrl | kF6;
    list.entries[2].code = 0;
    list.entries[3].code = 'Y';
    ASSERT_TRUE(list.save());
    EXPECT_EQ(readFile(appData() / "keyboard.ini"),
              "[shortcut.0]\r\nname=Changed\r\ncode=16501\r\n"
              "[shortcut.1]\r\nname=Cleared\r\ncode=0\r\n"
              "[shortcut.2]\r\nname=\xe5\x90\x8d\xe5\x89\x8d\r\ncode=89\r\n");
    list.load();
    EXPECT_EQ(list.userCodes.size(), 3u);
    EXPECT_EQ(list.userCodes.at(L"名前"), 'Y');
    EXPECT_EQ(list.userCodes.at(L"Cleared"), 0);
}

TEST_F(ShortcutKeys, FailedSaveIsReportedAndLeavesWhatStoodThere) {
    ShortcutList list;
    addCounting(list, L"B", kF5);
    list.entries[0].code = kF6;
    // A folder with content in the file's place: the finished file cannot replace it.
    writeFile(appData() / "keyboard.ini" / "keep", "x");
    EXPECT_FALSE(list.save());
    EXPECT_EQ(readFile(appData() / "keyboard.ini" / "keep"), "x");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(appData()))
        if (entry.is_regular_file())
            left.push_back(entry.path().filename().string());
    EXPECT_TRUE(left.empty()) << "no temporary file is left behind";
}

}  // namespace
