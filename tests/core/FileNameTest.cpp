#include "core/FileName.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "core/TextConvert.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder per test standing in for the installation folder, with the
// program-data folder redirected into it.
class FileNameTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmo-filename-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ / "install");
        fs::create_directories(root_ / "xdg");
        setenv("XDG_DATA_HOME", (root_ / "xdg").c_str(), 1);
        System::FileName::resetVariableList(System::utf8ToWide((root_ / "install" / "velmo2").string()));
    }
    void TearDown() override {
        System::FileName::resetVariableList();
        unsetenv("XDG_DATA_HOME");
        fs::remove_all(root_);
    }
    std::wstring wide(const fs::path& p) const { return System::utf8ToWide(p.string()); }
    fs::path root_;
};

const wchar_t* const kSubFolders[] = {L"Plugin",     L"Script",   L"Default", L"Alias", L"Figure",
                                      L"Transition", L"Language", L"Backup",  L"Log"};

TEST_F(FileNameTest, FirstExpansionCreatesAppDataAndItsFolders) {
    std::wstring plain = L"no variable here";
    System::FileName::expandVariable(plain);
    EXPECT_FALSE(fs::exists(root_ / "xdg" / "velmo2"));  // no table built without a percent sign

    const std::wstring appData = wide(root_ / "xdg" / "velmo2");
    EXPECT_EQ(System::FileName::getExpandedPath(L"%AppData%/velmo2.ini"), appData + L"/velmo2.ini");
    for (const wchar_t* name : kSubFolders) {
        EXPECT_TRUE(fs::is_directory(root_ / "xdg" / "velmo2" / System::wideToUtf8(name))) << System::wideToUtf8(name);
        EXPECT_EQ(System::FileName::getExpandedPath((std::wstring(L"%") + name + L"%").c_str()), appData + L"/" + name);
    }
    EXPECT_EQ(System::FileName::getExpandedPath(L"%AppInstall%/system.conf"), wide(root_ / "install" / "system.conf"));
}

TEST_F(FileNameTest, DataFolderBesideTheExecutableWins) {
    fs::create_directories(root_ / "install" / "data");
    EXPECT_EQ(System::FileName::getExpandedPath(L"%Log%"), wide(root_ / "install" / "data" / "Log"));
    EXPECT_TRUE(fs::is_directory(root_ / "install" / "data" / "Transition"));
}

TEST_F(FileNameTest, DataFileBesideTheExecutableIsIgnored) {
    std::ofstream(root_ / "install" / "data") << "x";
    EXPECT_EQ(System::FileName::getExpandedPath(L"%AppData%"), wide(root_ / "xdg" / "velmo2"));
}

TEST_F(FileNameTest, OnlyALeadingKnownVariableExpands) {
    const std::wstring backup = System::FileName::getExpandedPath(L"%Backup%");
    struct Case {
        const wchar_t* path;
        std::wstring expected;
    } cases[] = {
        {L"%appdata%/velmo2.ini", L"%appdata%/velmo2.ini"},
        {L"x/%AppData%/velmo2.ini", L"x/%AppData%/velmo2.ini"},
        {L"%Unknown%/a", L"%Unknown%/a"},
        {L"%%/a", L"%%/a"},
        {L"%Backup%/a/%Backup%/b", backup + L"/a/" + backup + L"/b"},
        {L"%Backup%/%Log%", backup + L"/%Log%"},
    };
    for (const auto& c : cases) EXPECT_EQ(System::FileName::getExpandedPath(c.path), c.expected);
}

TEST_F(FileNameTest, LongPathsFromFilesExpandWithoutDeepRecursion) {
    // File items read paths from project and exchange files: a long one
    // after a percent sign must not exhaust the stack.
    const std::wstring backup = System::FileName::getExpandedPath(L"%Backup%");
    const std::wstring longName(400000, L'a');
    struct Case {
        std::wstring path, expected;
    } cases[] = {
        {L"%" + longName, L"%" + longName},
        {L"%" + longName + L"%", L"%" + longName + L"%"},
        {L"%Backup%/" + longName, backup + L"/" + longName},
    };
    for (auto& c : cases) {
        std::wstring path = c.path;
        System::FileName::expandVariable(path);
        EXPECT_EQ(path, c.expected);
    }
}

TEST(FileNameParts, DirectoryBaseNameAndExtension) {
    struct Case {
        const wchar_t* path;
        const wchar_t* directory;
        const wchar_t* baseName;
        const wchar_t* extension;
    } cases[] = {
        {L"/d/a/b.txt", L"/d/a", L"b", L"txt"},
        {L"/d/a/b.c.d", L"/d/a", L"b.c", L"d"},
        {L"/d/v.1/Clip.MP4", L"/d/v.1", L"Clip", L"mp4"},
        {L"/d/v.1/Clip", L"/d/v.1", L"Clip", L""},
        {L"file.txt", L"", L"file", L"txt"},
        {L"/file", L"", L"file", L""},
        {L"/d/.hidden", L"/d", L"", L"hidden"},
        {L"/d/name.", L"/d", L"name", L""},
        {L"/x.y/z", L"/x.y", L"z", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.path));
        EXPECT_EQ(System::FileName::getDirectory(c.path), c.directory);
        EXPECT_EQ(System::FileName::getBaseName(c.path), c.baseName);
        EXPECT_EQ(System::FileName::getExtension(c.path), c.extension);
    }
}

TEST(FileNameParts, TimeStampName) {
    const std::wstring name = System::FileName::createTimeStampName(L"/tmp/logs/", L"velmo2", L"log");
    EXPECT_TRUE(std::regex_match(name, std::wregex(LR"(/tmp/logs/velmo2_\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d-\d{3}\.log)")))
        << System::wideToUtf8(name);
}

TEST(FileNameFilter, ExtensionsIndexesAndEntries) {
    const wchar_t project[] = L"ProjectFile (*.vpj2)\0*.vpj2\0AllFile (*.*)\0*.*\0";
    EXPECT_EQ(System::FileName::getFilterExtList(project), std::vector<std::wstring>{L"vpj2"});
    EXPECT_EQ(System::FileName::getFilterIndex(project, L"/a/b.VPJ2"), 1);
    EXPECT_EQ(System::FileName::getFilterIndex(project, L"/a/b.txt"), 0);
    EXPECT_EQ(System::FileName::getFilterExt(project, 0), L"vpj2");
    EXPECT_EQ(System::FileName::getFilterExt(project, 1), L"*");
    EXPECT_EQ(System::FileName::getFilterExt(project, 2), L"");

    const wchar_t images[] = L"PngFile (*.png)\0*.PNG\0JpegFile\0*.jpg;*.jpeg\0Any\0*.png;*.\0";
    EXPECT_EQ(System::FileName::getFilterIndex(images, L"x.jpeg"), 2);
    EXPECT_EQ(System::FileName::getFilterIndex(images, L"x"), 3);  // only "*." names no extension
    EXPECT_EQ(System::FileName::getFilterExtList(images), (std::vector<std::wstring>{L"png", L"jpg", L"jpeg", L"png"}));
    EXPECT_EQ(System::FileName::getFilterExt(images, 1), L"jpg");
}

}  // namespace
