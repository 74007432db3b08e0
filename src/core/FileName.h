#pragma once
#include <string>
#include <vector>

// File-name variables and path helpers. Stored and configured paths begin
// with a variable ("%AppData%/velmo2.ini") and are expanded just before use;
// only a variable at the very start of a path is recognised, case-sensitively.
namespace System {

// The one path separator.
inline constexpr wchar_t kPathSeparator = L'/';

class FileName {
public:
    // Expands the leading variable of the path, every occurrence of that
    // variable included. The first expansion builds the table and creates
    // %AppData% and its sub-folders.
    static void expandVariable(std::wstring& path);
    static std::wstring getExpandedPath(const wchar_t* path);
    static void initializeVariableList();
    // Empties the table so that the next expansion builds it again; a
    // non-empty path stands in for the executable's (tests).
    static void resetVariableList(const std::wstring& executable = {});

    // The text before the last separator ("" when there is none).
    static std::wstring getDirectory(const std::wstring& path);
    // The file name without its last extension.
    static std::wstring getBaseName(const std::wstring& path);
    // The extension without the point, A-Z lower-cased; "" when none.
    static std::wstring getExtension(const wchar_t* path);
    // folder + "prefix_YYYY-MM-DD_hh-mm-ss-mmm" + "." + extension, expanded.
    static std::wstring createTimeStampName(const std::wstring& folder, const std::wstring& prefix,
                                            const std::wstring& extension);

    // File-dialog filters: NUL-separated description/pattern pairs ended by an empty text.
    static std::vector<std::wstring> getFilterExtList(const wchar_t* filter);
    // 1-based entry whose patterns name the path's extension; 0 when none does.
    static int32_t getFilterIndex(const wchar_t* filter, const wchar_t* path);
    // The extension of the first pattern of the 0-based entry; "*" for "*.*".
    static std::wstring getFilterExt(const wchar_t* filter, int32_t index);
};

}  // namespace System
