// The file browser's ground: the stored text form of column keys, folder
// listings in name order with their kinds, sizes and types, and the paths
// around them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/shell/FolderReader.h"
#include "platform/shell/PropertyKey.h"

namespace {

namespace S = Platform::shell;

TEST(ShellKeys, ColumnKeysReadAndWriteTheirTextForm) {
    const std::string storage = "{B725F130-47EF-101A-A5F1-02608C9EEBAC}";
    const struct {
        S::Column column;
        std::string text;
    } columns[] = {{S::Column::Name, storage + " 10"},
                   {S::Column::Size, storage + " 12"},
                   {S::Column::Modified, storage + " 14"},
                   {S::Column::Type, storage + " 4"}};
    for (const auto& c : columns) {
        EXPECT_EQ(c.text, S::propertyKeyToString(S::keyOf(c.column)));
        S::PropertyKey key;
        ASSERT_EQ(Platform::kOk, S::propertyKeyFromString(c.text, key)) << c.text;
        EXPECT_EQ(c.column, S::columnOf(key));
    }
    const struct {
        std::string text;
        bool valid;
        S::Column column;
    } texts[] = {
        {"{b725f130-47ef-101a-a5f1-02608c9eebac} 10", true, S::Column::Name},  // any case
        {"  " + storage + "   12  ", true, S::Column::Size},                   // blanks around
        {"{F29F85E0-4FF9-1068-AB91-08002B27B3D9} 2", true, S::Column::Unknown},
        {storage, false, S::Column::Unknown},
        {storage + " x", false, S::Column::Unknown},
        {storage + " 12x", false, S::Column::Unknown},
        {storage + "12", false, S::Column::Unknown},
        {"{B725F130-47EF-101A-A5F1-02608C9EEBAX} 10", false, S::Column::Unknown},
        {"B725F130-47EF-101A-A5F1-02608C9EEBAC 10", false, S::Column::Unknown},
        {"", false, S::Column::Unknown},
        {storage + " 99999999999", false, S::Column::Unknown},
    };
    for (const auto& c : texts) {
        S::PropertyKey key;
        EXPECT_EQ(c.valid, Platform::succeeded(S::propertyKeyFromString(c.text, key))) << c.text;
        if (c.valid) EXPECT_EQ(c.column, S::columnOf(key)) << c.text;
    }
    EXPECT_EQ(storage.substr(0, 9), S::propertyKeyToString(S::keyOf(S::Column::Name), 10)) << "cut at the capacity";
}

class ShellFolders : public testing::Test {
protected:
    void SetUp() override {
        root = std::filesystem::temp_directory_path() / ("velmo-shell-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "Zeta");
        std::filesystem::create_directories(root / "alpha");
        std::ofstream(root / "b.txt") << "hello";
        std::ofstream(root / "A.png") << "x";
        std::ofstream(root / ".dot") << "";
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    std::filesystem::path root;
};

TEST_F(ShellFolders, AFolderListsItsEntriesByNameWithTheirKinds) {
    std::vector<S::FolderItem> items;
    ASSERT_EQ(Platform::kOk, S::readFolder(root.string(), items));
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(item.name);
    EXPECT_EQ((std::vector<std::string>{".dot", "A.png", "alpha", "b.txt", "Zeta"}), names);
    EXPECT_TRUE(items[0].hidden);
    EXPECT_FALSE(items[1].isFolder);
    EXPECT_TRUE(items[2].isFolder);
    EXPECT_EQ("inode/directory", items[2].contentType);
    EXPECT_EQ(5, items[3].size);
    EXPECT_EQ("text/plain", items[3].contentType);
    EXPECT_FALSE(items[3].typeName.empty());
    EXPECT_GT(items[3].modified, 0);
}

TEST_F(ShellFolders, WhatIsNoFolderFailsAndPathsGoUpAndDown) {
    std::vector<S::FolderItem> items(1);
    EXPECT_EQ(Platform::kFileNotFound, S::readFolder((root / "missing").string(), items));
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(Platform::kFileNotFound, S::readFolder((root / "b.txt").string(), items));
    EXPECT_EQ(Platform::kFileNotFound, S::readFolder("", items));
    EXPECT_TRUE(S::isFolder(root.string()));
    EXPECT_FALSE(S::isFolder((root / "b.txt").string()));
    const struct {
        std::string path, parent;
    } cases[] = {{"/a/b", "/a"}, {"/a/b/", "/a"}, {"/a", "/"}, {"/", "/"}};
    for (const auto& c : cases) EXPECT_EQ(c.parent, S::parentFolder(c.path)) << c.path;
    EXPECT_EQ("/a/b", S::childPath("/a", "b"));
    EXPECT_EQ("file:///a/b%20c", S::fileUri("/a/b c"));
    EXPECT_TRUE(S::isFolder(S::desktopFolder()));
}

}  // namespace
