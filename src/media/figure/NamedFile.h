#pragma once
#include <string>
#include <vector>

namespace Resource {

// A file found in a resource folder and the name it is listed under.
struct NamedFile {
    std::wstring name;  // the file name without folder and extension
    std::wstring path;
};

// The files matching the pattern, its variables expanded, in ordinal order of
// the full paths in UTF-16 code units. Throws when the folder is not read.
std::vector<NamedFile> listNamedFiles(const std::wstring& pattern);

}  // namespace Resource
