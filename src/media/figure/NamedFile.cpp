#include "media/figure/NamedFile.h"

#include <algorithm>

#include "core/File.h"
#include "core/FileName.h"
#include "core/TextConvert.h"

namespace Resource {

std::vector<NamedFile> listNamedFiles(const std::wstring& pattern) {
    std::vector<std::wstring> files;
    std::wstring expanded = pattern;
    System::FileName::expandVariable(expanded);
    for (const auto& entry : System::findFilesByPattern(expanded)) files.push_back(entry.name);
    std::sort(files.begin(), files.end(), [](const std::wstring& a, const std::wstring& b) {
        return System::wideToUtf16(a) < System::wideToUtf16(b);
    });
    std::vector<NamedFile> named;
    named.reserve(files.size());
    for (std::wstring& file : files) {
        const size_t slash = file.find_last_of(L"/\\");
        std::wstring name = slash == std::wstring::npos ? file : file.substr(slash + 1);
        const size_t dot = name.rfind(L'.');
        if (dot != std::wstring::npos) name.erase(dot);
        named.push_back({std::move(name), std::move(file)});
    }
    return named;
}

}  // namespace Resource
