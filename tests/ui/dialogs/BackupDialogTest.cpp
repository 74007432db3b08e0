// The backup settings dialog, answered through the dialogs' scripted-answer
// hook: OK stores the five values and applies them at once to both lists
// (dropped backups lose their files) and to the backup timer; Cancel leaves
// everything as it was.
#include "ui/dialogs/BackupDialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/BackupHistory.h"
#include "edit/EditService.h"
#include "edit/ProjectHistory.h"
#include "edit/UndoService.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolders.h"

namespace {

namespace W = Platform::window;
constexpr int32_t kOk = Dialog::DialogTemplate::kOkButtonId;

class BackupDialogTest : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        events.emplace();
        undo.emplace();
        edit.emplace();
    }
    void TearDown() override {
        edit.reset();
        undo.reset();
        events.reset();
        TestFolders::TearDown();
    }
    Edit::EditService& service() { return *edit->get(); }
    // Four automatic backups, oldest first, listed by the backup history.
    std::vector<std::filesystem::path> makeBackups() {
        const std::filesystem::path folder = appData() / "Backup";
        std::filesystem::create_directories(folder);
        std::vector<std::filesystem::path> files;
        for (int hour = 10; hour < 14; ++hour) {
            files.push_back(folder / ("AutoBackup_2026-01-01_" + std::to_string(hour) + "-00-00-000.vpj2"));
            writeFile(files.back(), "[project]\r\n");
        }
        service().backupHistory().load();
        return files;
    }
    // Answers the dialog with the texts for its fields (empty: as shown),
    // the two switches by index (-1: as shown), then OK.
    void answer(int32_t resume, int32_t backup, const char* interval, const char* backupMax, const char* historyMax) {
        dialogs.answers.push_back([=](W::DialogWindow& d) {
            if (resume >= 0) d.choose(ScriptedDialogs::field(d, "編集レジューム"), resume);
            if (backup >= 0) d.choose(ScriptedDialogs::field(d, "自動バックアップ"), backup);
            const std::pair<const char*, const char*> texts[] = {
                {"バックアップの間隔(分)", interval},
                {"バックアップファイルの最大数", backupMax},
                {"ファイル履歴の最大数", historyMax}};
            for (const auto& [label, text] : texts)
                if (text[0] != '\0') d.setText(ScriptedDialogs::field(d, label), text);
            d.press(kOk);
        });
    }

    std::optional<System::ServiceHolder<Event::EventService>> events;
    std::optional<System::ServiceHolder<Undo::UndoService>> undo;
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    ScriptedDialogs dialogs;
};

TEST_F(BackupDialogTest, ShowsTheStoredValuesAndCancelChangesNothing) {
    const auto files = makeBackups();
    for (const char* path : {"/p/a.vpj2", "/p/b.vpj2", "/p/c.vpj2"})
        service().projectHistory().addItem(System::utf8ToWide(path));
    service().settings().editResume = 1;
    service().updateBackupTimer();
    const uintptr_t timer = service().backupHistory().timer().id();
    ASSERT_NE(timer, 0u);

    Dialog::BackupDialog dialog(L"バックアップ履歴の設定");
    EXPECT_FALSE(dialog.open());  // no answer: Cancel
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "バックアップ履歴の設定");
    EXPECT_EQ(dialogs.shown[0].fields, (std::vector<std::pair<std::string, std::string>>{
                                           {"編集レジューム", "有効"},
                                           {"自動バックアップ", "有効"},
                                           {"バックアップの間隔(分)", "5"},
                                           {"バックアップファイルの最大数", "10"},
                                           {"ファイル履歴の最大数", "10"}}));
    const Edit::EditService::Settings& s = service().settings();
    EXPECT_EQ(std::vector<int32_t>({s.editResume, s.autoBackup, s.autoBackupInterval, s.autoBackupFileMax,
                                    s.historyFileMax}),
              std::vector<int32_t>({1, 1, 5, 10, 10}));
    EXPECT_EQ(service().projectHistory().size(), 3u);
    EXPECT_EQ(service().backupHistory().size(), 4u);
    for (const auto& file : files) EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(service().backupHistory().timer().id(), timer);
}

TEST_F(BackupDialogTest, OkTrimsBothListsDeletingTheOldestBackupsAndSetsTheTimer) {
    const auto files = makeBackups();
    for (const char* path : {"/p/a.vpj2", "/p/b.vpj2", "/p/c.vpj2"})
        service().projectHistory().addItem(System::utf8ToWide(path));
    service().updateBackupTimer();

    // Backups off, two of them kept, one recent project.
    answer(1, 0, "7", "2", "1");
    EXPECT_TRUE(Dialog::BackupDialog(L"バックアップ履歴の設定").open());
    const Edit::EditService::Settings& s = service().settings();
    EXPECT_EQ(std::vector<int32_t>({s.editResume, s.autoBackup, s.autoBackupInterval, s.autoBackupFileMax,
                                    s.historyFileMax}),
              std::vector<int32_t>({1, 0, 7, 2, 1}));
    EXPECT_EQ(service().projectHistory().getItemList(), std::vector<std::wstring>{L"/p/c.vpj2"});
    EXPECT_EQ(service().backupHistory().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(files[0]));
    EXPECT_FALSE(std::filesystem::exists(files[1]));
    EXPECT_TRUE(std::filesystem::exists(files[2]));
    EXPECT_TRUE(std::filesystem::exists(files[3]));
    EXPECT_EQ(service().backupHistory().timer().id(), 0u) << "backups off stop the timer";

    // Backups on again: the timer runs with the stored interval.
    answer(-1, 1, "", "", "");
    EXPECT_TRUE(Dialog::BackupDialog(L"バックアップ履歴の設定").open());
    EXPECT_EQ(s.autoBackup, 1);
    EXPECT_EQ(s.autoBackupInterval, 7);
    EXPECT_NE(service().backupHistory().timer().id(), 0u);
}

}  // namespace
