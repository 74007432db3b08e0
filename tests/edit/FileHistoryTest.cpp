#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/File.h"
#include "core/Timer.h"
#include "core/IniFile.h"
#include "core/TextConvert.h"
#include "edit/BackupHistory.h"
#include "edit/FileHistory.h"
#include "edit/Project.h"
#include "edit/ProjectHistory.h"
#include "support/LogCapture.h"
#include "support/TestFolders.h"

namespace {

using Strings = std::vector<std::wstring>;

// Records what trimming hands to remove.
class RecordingHistory : public Edit::FileHistory {
public:
    Strings removed;
    void remove(const std::wstring& path) override { removed.push_back(path); }
};

TEST(FileHistory, AddMovesToFrontComparingExactlyAndIgnoresPathsWithoutName) {
    RecordingHistory history;
    history.addItem(L"/p/a.vpj2");
    history.addItem(L"/p/b.vpj2");
    history.addItem(L"/p/a.vpj2");
    history.addItem(L"/p/A.vpj2");  // another spelling is another entry
    history.addItem(L"/p/dir/");
    history.addItem(L"");
    EXPECT_EQ(history.getItemList(), (Strings{L"/p/A.vpj2", L"/p/a.vpj2", L"/p/b.vpj2"}));
    EXPECT_EQ(history.getItem(0), L"/p/A.vpj2");
    EXPECT_EQ(history.getItem(2), L"/p/b.vpj2");
    EXPECT_EQ(history.getItem(-1), L"");
    EXPECT_EQ(history.getItem(3), L"");
    EXPECT_TRUE(history.removed.empty());
}

TEST(FileHistory, TrimRemovesOldestBeyondClampedMaximum) {
    RecordingHistory history;
    for (const wchar_t* name : {L"/1", L"/2", L"/3", L"/4"}) history.addItem(name);
    history.setMaximum(2);
    history.trim();
    EXPECT_EQ(history.getItemList(), (Strings{L"/4", L"/3"}));
    EXPECT_EQ(history.removed, (Strings{L"/1", L"/2"}));
    history.setMaximum(-5);
    EXPECT_EQ(history.maximum(), 0);
    history.trim();
    EXPECT_EQ(history.size(), 0u);
    history.setMaximum(1000);
    EXPECT_EQ(history.maximum(), Edit::FileHistory::kMaxItems);
}

class HistoryFiles : public TestFolders {
protected:
    std::filesystem::path store() const { return appData() / "history.ini"; }
    std::filesystem::path backup() const { return appData() / "Backup"; }
    Strings backupFiles() const {
        Strings names;
        for (const auto& entry : System::findFilesByPattern(wide(backup() / "*.vpj2"))) names.push_back(entry.name);
        return names;
    }
};

TEST_F(HistoryFiles, RecentListReadsKeysOneToFiftyOnly) {
    writeFile(store(), "[project]\r\n1=/p/first.vpj2\r\n3=/p/\xE6\x97\xA5\xE6\x9C\xAC.vpj2\r\n60=/p/late.vpj2\r\n");
    Edit::ProjectHistory history;
    history.addItem(L"/old");
    history.load();
    EXPECT_EQ(history.getItemList(), (Strings{L"/p/first.vpj2", L"/p/\u65E5\u672C.vpj2"}));
}

TEST_F(HistoryFiles, RecentListWithoutStoreIsEmptyAndSaveWritesTrimmedList) {
    Edit::ProjectHistory history;
    history.load();
    EXPECT_EQ(history.size(), 0u);

    writeFile(store(), "[project]\r\n1=/e\r\n2=/d\r\n3=/c\r\n4=/b\r\n5=/a\r\n");
    history.load();
    history.setMaximum(3);
    history.trim();
    // Trimming the recent list touches no file; only save rewrites the store.
    EXPECT_NE(readFile(store()).find("5=/a"), std::string::npos);
    history.save();
    EXPECT_EQ(readFile(store()), "[project]\r\n1=/e\r\n2=/d\r\n3=/c\r\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(store()));
    for (const auto& entry : std::filesystem::directory_iterator(appData()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(HistoryFiles, RecentListSaveLogsAndSurvivesLoadInOrder) {
    const Strings paths{L"/p/\u65E5\u672C \u52D5\u753B.vpj2", L"/p/a=b.vpj2", L"/p/x y/z.vpj2"};
    Edit::ProjectHistory history;
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) history.addItem(*it);
    {
        LogCapture log;
        history.save();
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0].level, "VERBOSE");
        EXPECT_EQ(log.lines[0].scope, "System::IniFile::Save::Save");
        EXPECT_EQ(log.lines[0].message, "saveFile : " + store().string());
    }
    Edit::ProjectHistory reread;
    reread.load();
    EXPECT_EQ(reread.getItemList(), paths);
}

TEST_F(HistoryFiles, PathWithLineBreakCannotBreakTheStore) {
    Edit::ProjectHistory history;
    history.addItem(L"/p/old.vpj2");
    history.addItem(L"/p/a\r\n[x]\r\n9=/p/b.vpj2");
    history.addItem(L"/p/new.vpj2");
    history.save();
    Edit::ProjectHistory reread;
    reread.load();
    EXPECT_EQ(reread.getItemList(), (Strings{L"/p/new.vpj2", L"/p/old.vpj2"}));
    EXPECT_EQ(readFile(store()), "[project]\r\n1=/p/new.vpj2\r\n2=/p/old.vpj2\r\n");
}

TEST_F(HistoryFiles, RecentListSaveFailureIsQuiet) {
    std::filesystem::create_directories(store());  // nothing can be written there
    Edit::ProjectHistory history;
    history.addItem(L"/p/a.vpj2");
    EXPECT_NO_THROW(history.save());
    EXPECT_TRUE(std::filesystem::is_directory(store()));
}

TEST_F(HistoryFiles, BackupListIsTheFolderInReverseNameOrderAndTrimDeletesFiles) {
    for (const char* name : {"AutoBackup_2026-01-01_00-00-00-000.vpj2", "AutoBackup_2026-01-02_00-00-00-000.vpj2",
                             "AutoBackup_2026-01-03_00-00-00-000.vpj2", "AutoBackup_2026-01-04_00-00-00-000.vpj2",
                             "other.vpj", "other.vpj2x"})
        writeFile(backup() / name, "x");
    Edit::BackupHistory history;
    history.load();
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(history.getItem(0), wide(backup() / "AutoBackup_2026-01-04_00-00-00-000.vpj2"));
    history.setMaximum(2);
    history.trim();
    EXPECT_EQ(backupFiles(), (Strings{wide(backup() / "AutoBackup_2026-01-03_00-00-00-000.vpj2"),
                                      wide(backup() / "AutoBackup_2026-01-04_00-00-00-000.vpj2")}));
    EXPECT_TRUE(std::filesystem::exists(backup() / "other.vpj"));
    EXPECT_TRUE(std::filesystem::exists(backup() / "other.vpj2x"));
}

TEST_F(HistoryFiles, BackupTrimToZeroLeavesFoldersEmergencyBackupsAndWhatLiesInThem) {
    std::filesystem::create_directories(backup() / "empty.vpj2");
    writeFile(backup() / "kept.vpj2" / "inner.vpj2", "x");
    writeFile(backup() / "ExceptionBackup_2026-01-01_00-00-00-000.vpj2", "x");
    writeFile(backup() / "AutoBackup_2026-01-02_00-00-00-000.vpj2", "x");
    Edit::BackupHistory history;
    history.load();
    // Emergency backups are listed by their time but never pruned.
    EXPECT_EQ(history.getItemList(), (Strings{wide(backup() / "AutoBackup_2026-01-02_00-00-00-000.vpj2"),
                                              wide(backup() / "ExceptionBackup_2026-01-01_00-00-00-000.vpj2")}));
    history.setMaximum(0);
    history.trim();
    EXPECT_EQ(history.size(), 0u);
    EXPECT_EQ(history.getItemList(), (Strings{wide(backup() / "ExceptionBackup_2026-01-01_00-00-00-000.vpj2")}));
    EXPECT_EQ(history.getItem(0), wide(backup() / "ExceptionBackup_2026-01-01_00-00-00-000.vpj2"));
    EXPECT_EQ(backupFiles(), (Strings{wide(backup() / "ExceptionBackup_2026-01-01_00-00-00-000.vpj2")}));
    EXPECT_TRUE(std::filesystem::is_directory(backup() / "empty.vpj2"));
    EXPECT_TRUE(std::filesystem::exists(backup() / "kept.vpj2" / "inner.vpj2"));

    // Even a path handed to remove directly is kept.
    history.remove(wide(backup() / "ExceptionBackup_2026-01-01_00-00-00-000.vpj2"));
    EXPECT_EQ(backupFiles().size(), 1u);
}

TEST_F(HistoryFiles, BackupListIsOrderedByNameWhateverTheFolderListsFirst) {
    // Written in an order that is neither the names' order nor its reverse.
    const std::vector<std::string> days = {"03", "01", "05", "02", "04"};
    for (const auto& day : days) writeFile(backup() / ("AutoBackup_2026-01-" + day + "_00-00-00-000.vpj2"), "x");
    Edit::BackupHistory history;
    history.load();
    Strings expected;
    for (const char* day : {"05", "04", "03", "02", "01"})
        expected.push_back(wide(backup() / (std::string("AutoBackup_2026-01-") + day + "_00-00-00-000.vpj2")));
    EXPECT_EQ(history.getItemList(), expected);
    history.setMaximum(2);
    history.trim();
    EXPECT_EQ(backupFiles(), (Strings{expected[1], expected[0]}));
}

TEST_F(HistoryFiles, TickWithoutChangesWritesNothing) {
    Edit::BackupHistory history;
    history.load();
    bool changed = false;
    int saves = 0;
    history.setSaveProject([&](const std::wstring& path) {
        ++saves;
        writeFile(std::filesystem::path(path), "x");
    });
    history.setHasChanges([&] { return changed; });
    LogCapture log;
    history.autoBackupProject();
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(log.lines.empty());
    changed = true;
    history.autoBackupProject();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(history.size(), 1u);
}

TEST_F(HistoryFiles, AutoBackupWritesTheProjectBeforeDeletingTheOldest) {
    writeFile(backup() / "AutoBackup_2000-01-01_00-00-00-000.vpj2", "old");
    Edit::Project project;
    project.path = L"/home/u/movie.vpj2";
    Edit::BackupHistory history;
    history.load();
    history.setMaximum(1);

    Strings seenDuringSave;
    history.setSaveProject([&](const std::wstring& path) {
        seenDuringSave = backupFiles();
        project.saveProjectFile(path);
    });
    history.autoBackupProject();
    // The old backup was still there while the new one was written.
    EXPECT_EQ(seenDuringSave.size(), 1u);
    const Strings after = backupFiles();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(history.getItemList(), after);
    EXPECT_NE(after[0].find(L"/AutoBackup_"), std::wstring::npos);
    System::IniFile ini;
    ini.loadFile(after[0]);
    EXPECT_EQ(ini.getSection("project").getValue("file").toString(), L"/home/u/movie.vpj2");
}

TEST_F(HistoryFiles, FailedAutoBackupKeepsEveryOldBackup) {
    writeFile(backup() / "AutoBackup_2000-01-01_00-00-00-000.vpj2", "old");
    Edit::BackupHistory history;
    history.load();
    history.setMaximum(1);
    history.setSaveProject([](const std::wstring&) { throw std::runtime_error("disk full"); });
    EXPECT_THROW(history.autoBackupProject(), std::runtime_error);
    EXPECT_EQ(backupFiles().size(), 1u);
    EXPECT_EQ(history.size(), 1u);

    // Without a way to save there is no backup and nothing is deleted.
    Edit::BackupHistory unconnected;
    unconnected.load();
    unconnected.setMaximum(0);
    unconnected.autoBackupProject();
    EXPECT_EQ(backupFiles().size(), 1u);
}

TEST_F(HistoryFiles, SaveThatSwallowsItsFailureDeletesNoBackup) {
    writeFile(backup() / "AutoBackup_2000-01-01_00-00-00-000.vpj2", "old");
    Edit::BackupHistory history;
    history.load();
    history.setMaximum(1);
    // Like a save that posts its own error instead of throwing: no file appears.
    history.setSaveProject([](const std::wstring&) {});
    history.autoBackupProject();
    EXPECT_EQ(backupFiles(), (Strings{wide(backup() / "AutoBackup_2000-01-01_00-00-00-000.vpj2")}));
    EXPECT_EQ(history.getItemList(), backupFiles());
}

TEST_F(HistoryFiles, TimerTickLogsAndEntersTheBackupAndKeepsAFailedSaveInside) {
    Edit::BackupHistory history;
    history.load();
    Strings written;
    history.setSaveProject([&](const std::wstring& path) {
        written.push_back(path);
        writeFile(std::filesystem::path(path), "x");
    });
    history.updateTimer(true, 5, 10);
    ASSERT_NE(history.timer().id(), 0u);

    LogCapture log;
    System::Timer::timerProc(nullptr, 0, history.timer().id(), 0);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(history.getItemList(), written);
    EXPECT_EQ(written[0].rfind(wide(backup() / "AutoBackup_"), 0), 0u) << written[0];
    EXPECT_EQ(written[0].substr(written[0].size() - 5), L".vpj2");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].level, "INFO");
    EXPECT_EQ(log.lines[0].scope, "Edit::BackupHistory::autoBackupProject");
    EXPECT_EQ(log.lines[0].message, "auto backup : " + System::wideToUtf8(written[0]));

    // A failing save is logged inside the tick; the earlier backup stays.
    history.setSaveProject([](const std::wstring&) { throw std::runtime_error("disk full"); });
    history.setMaximum(1);
    EXPECT_NO_THROW(System::Timer::timerProc(nullptr, 0, history.timer().id(), 0));
    EXPECT_EQ(log.lines.back().level, "ERROR");
    EXPECT_EQ(history.getItemList(), written);
    EXPECT_EQ(backupFiles(), written);
}

TEST(BackupTimer, ArmedOnlyWhenOnWithIntervalAndFileMax) {
    struct Case {
        bool on;
        int32_t interval;
        int32_t fileMax;
        bool armed;
    };
    for (const Case& c : {Case{true, 5, 10, true}, Case{false, 5, 10, false}, Case{true, 0, 10, false},
                          Case{true, -1, 10, false}, Case{true, 5, 0, false}, Case{true, 2147483647, 1, true}}) {
        Edit::BackupHistory history;
        history.updateTimer(true, 5, 10);  // a running timer is replaced or stopped
        history.updateTimer(c.on, c.interval, c.fileMax);
        EXPECT_EQ(history.timer().id() != 0, c.armed) << c.on << " " << c.interval << " " << c.fileMax;
    }
}

}  // namespace
