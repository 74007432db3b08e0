// The explorer's folder bookmarks and their file: what a file gives when read
// (the reading ends at the first missing or bad section), what is written
// (in list order, numbered from 0, CR LF lines, no byte-order mark), and the
// list's own rules for adding, removing, sorting and suggesting names.
#include "ui/panels/ExplorerBookmarks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestFolders.h"

namespace {

using Component::ExplorerBookmarks;
using List = ExplorerBookmarks::List;

class ExplorerBookmarkFile : public TestFolders {
protected:
    std::filesystem::path file() const { return appData() / "explorer.ini"; }
};

TEST_F(ExplorerBookmarkFile, ReadsUpToTheFirstMissingOrBadSection) {
    const struct {
        const char* what;
        std::string content;  // empty: no file at all
        List loaded;
    } cases[] = {
        {"no file", "", {}},
        {"two in order", "[bookmark.0]\r\nname=Clips\r\npath=/m/clips\r\n[bookmark.1]\r\nname=素材\r\npath=/m/素材\r\n",
         {{L"Clips", L"/m/clips"}, {L"素材", L"/m/素材"}}},
        {"a gap ends the list", "[bookmark.0]\r\nname=A\r\npath=/a\r\n[bookmark.2]\r\nname=C\r\npath=/c\r\n",
         {{L"A", L"/a"}}},
        {"a section without a path ends it",
         "[bookmark.0]\r\nname=A\r\npath=/a\r\n[bookmark.1]\r\nname=B\r\n[bookmark.2]\r\nname=C\r\npath=/c\r\n",
         {{L"A", L"/a"}}},
        {"a section without a name ends it", "[bookmark.0]\r\npath=/a\r\n", {}},
        {"a value that is not UTF-8 ends it",
         "[bookmark.0]\r\nname=A\r\npath=/a\r\n[bookmark.1]\r\nname=\xff\xfe\r\npath=/b\r\n", {{L"A", L"/a"}}},
        {"no first section", "[bookmark.1]\r\nname=B\r\npath=/b\r\n", {}},
        {"lines without CR", "[bookmark.0]\nname=A\npath=%AppData%/x\n", {{L"A", L"%AppData%/x"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(file());
        if (!c.content.empty()) writeFile(file(), c.content);
        List loaded{{L"old", L"/old"}};
        ExplorerBookmarks::load(loaded, wide(file()));
        EXPECT_EQ(loaded, c.loaded);
    }
}

TEST_F(ExplorerBookmarkFile, WritesTheListInItsOrderAndReadsItBack) {
    std::filesystem::create_directories(appData());
    List bookmarks;
    ExplorerBookmarks::add(bookmarks, L"b10", L"/m/ten");
    ExplorerBookmarks::add(bookmarks, L"B2", L"/m/two");
    ExplorerBookmarks::add(bookmarks, L"素材", L"%AppData%/素材");
    ExplorerBookmarks::save(bookmarks, wide(file()));
    EXPECT_EQ(readFile(file()),
              "[bookmark.0]\r\nname=b10\r\npath=/m/ten\r\n[bookmark.1]\r\nname=B2\r\npath=/m/two\r\n"
              "[bookmark.2]\r\nname=\xe7\xb4\xa0\xe6\x9d\x90\r\npath=%AppData%/\xe7\xb4\xa0\xe6\x9d\x90\r\n");
    List read;
    ExplorerBookmarks::load(read, wide(file()));
    EXPECT_EQ(read, bookmarks);

    // Sorted by name (digits as numbers, case ignored), then written again from 0.
    ExplorerBookmarks::sortByName(bookmarks);
    ExplorerBookmarks::save(bookmarks, wide(file()));
    ExplorerBookmarks::load(read, wide(file()));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].name, L"B2");
    EXPECT_EQ(read[1].name, L"b10");

    // An empty list leaves an empty file; a file that cannot be written is no error.
    ExplorerBookmarks::save({}, wide(file()));
    EXPECT_EQ(readFile(file()), "");
    ExplorerBookmarks::save(bookmarks, wide(appData() / "no-such-folder" / "explorer.ini"));
    EXPECT_FALSE(std::filesystem::exists(appData() / "no-such-folder"));
}

TEST(ExplorerBookmarkList, AddingByNameAndRemovingByPath) {
    List bookmarks;
    ExplorerBookmarks::add(bookmarks, L"Clips", L"/m/clips");
    ExplorerBookmarks::add(bookmarks, L"Other", L"/m/other");
    ExplorerBookmarks::add(bookmarks, L"Clips", L"/m/new");
    EXPECT_EQ(bookmarks, (List{{L"Other", L"/m/other"}, {L"Clips", L"/m/new"}})) << "the same name replaces";
    ExplorerBookmarks::add(bookmarks, L"Again", L"/m/other");
    ASSERT_NE(ExplorerBookmarks::findPath(bookmarks, L"/m/other"), nullptr);
    EXPECT_EQ(ExplorerBookmarks::findPath(bookmarks, L"/m/other")->name, L"Other") << "the first one names the folder";
    EXPECT_FALSE(ExplorerBookmarks::hasPath(bookmarks, L"/M/other")) << "paths compare exactly";
    EXPECT_TRUE(ExplorerBookmarks::removePath(bookmarks, L"/m/other"));
    EXPECT_EQ(bookmarks, (List{{L"Clips", L"/m/new"}})) << "every bookmark of the folder goes";
    EXPECT_FALSE(ExplorerBookmarks::removePath(bookmarks, L"/m/other"));
}

TEST(ExplorerBookmarkList, SuggestsTheLastComponentBeforeItsLastDot) {
    const struct {
        const wchar_t* path;
        const wchar_t* name;
    } cases[] = {
        {L"/home/user/clips", L"clips"},   {L"/home/user/my.clips.v2", L"my.clips"},
        {L"/home/user/", L""},             {L"C:\\media\\素材", L"素材"},
        {L"plain", L"plain"},              {L"/home/user/.hidden", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExplorerBookmarks::suggestedName(c.path), c.name) << c.path;
}

}  // namespace
