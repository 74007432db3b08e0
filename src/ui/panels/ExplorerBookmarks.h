#pragma once
#include <string>
#include <vector>

// The folder bookmarks every explorer panel shares, kept in
// "%AppData%\explorer.ini" as the sections bookmark.0, bookmark.1, ... each
// with a "name" and a "path". Paths are kept as the user added them (a
// leading file-name variable stays unexpanded). UI thread only.
namespace Component {

struct ExplorerBookmark {
    std::wstring name;
    std::wstring path;
    bool operator==(const ExplorerBookmark&) const = default;
};

class ExplorerBookmarks {
public:
    using List = std::vector<ExplorerBookmark>;

    // The one list of the process.
    static List& list();

    // Reads the file into the list, from bookmark.0 up to the first missing
    // section; a section without a name or path, or an unreadable value,
    // ends the reading and keeps what came before. A missing file gives an
    // empty list. Nothing is reported.
    static void load(List& bookmarks, const std::wstring& path);
    // Writes the list in its order, numbered from 0. Failures are swallowed;
    // the file left before a failed write stays as it was.
    static void save(const List& bookmarks, const std::wstring& path);

    // Replaces the bookmark of the same name (exact) or appends one at the end.
    static void add(List& bookmarks, const std::wstring& name, const std::wstring& path);
    // Removes every bookmark of the path (exact); false when there was none.
    static bool removePath(List& bookmarks, const std::wstring& path);
    static bool hasPath(const List& bookmarks, const std::wstring& path);
    // The first bookmark of the path in list order, or null.
    static const ExplorerBookmark* findPath(const List& bookmarks, const std::wstring& path);
    // By name, digits as numbers, case and width ignored.
    static void sortByName(List& bookmarks);
    // The last path component cut before its last "."; empty for a path
    // ending in a separator.
    static std::wstring suggestedName(const std::wstring& path);
};

}  // namespace Component
