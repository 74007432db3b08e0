#include "core/FileName.h"

#include <ctime>
#include <cwchar>
#include <unordered_map>

#include "core/Exception.h"
#include "core/File.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "platform/os/FileSystem.h"
#include "platform/os/KnownFolder.h"

namespace System {
namespace {

// Written only by the first expansion, on the UI thread before any worker exists.
std::unordered_map<std::wstring, std::wstring>& variables() {
    static std::unordered_map<std::wstring, std::wstring> table;
    return table;
}

std::wstring& executableOverride() {
    static std::wstring path;
    return path;
}

// The "%Name%" the path begins with (at least one character between the
// signs), or empty. A plain scan: paths come from files and may be long.
std::wstring leadingVariable(const std::wstring& path) {
    if (path.size() < 3 || path[0] != L'%') return {};
    const size_t close = path.find(L'%', 1);
    if (close == std::wstring::npos || close == 1) return {};
    return path.substr(0, close + 1);
}

wchar_t lowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; }

// The extension of one pattern ("*.png" -> "png"), or false when the pattern
// does not begin with a star and a point.
bool patternExtension(const std::wstring& pattern, std::wstring& out) {
    if (pattern.size() < 2 || pattern[0] != L'*' || pattern[1] != L'.') return false;
    out.clear();
    for (size_t i = 2; i < pattern.size(); ++i) out.push_back(lowerAscii(pattern[i]));
    return true;
}

std::vector<std::wstring> splitPatterns(const std::wstring& patterns) {
    std::vector<std::wstring> out;
    size_t start = 0;
    for (size_t at; (at = patterns.find(L';', start)) != std::wstring::npos; start = at + 1)
        out.push_back(patterns.substr(start, at - start));
    out.push_back(patterns.substr(start));
    return out;
}

// Calls visit(entry index, patterns) for each entry of a filter string until it returns false.
template <class Visit>
void walkFilter(const wchar_t* filter, Visit visit) {
    if (filter == nullptr) return;
    const wchar_t* p = filter;
    for (int32_t index = 0; *p != L'\0'; ++index) {
        p += std::wcslen(p) + 1;  // description
        if (*p == L'\0') return;  // a description without patterns ends the filter
        const std::wstring patterns = p;
        p += patterns.size() + 1;
        if (!visit(index, splitPatterns(patterns))) return;
    }
}

}  // namespace

void FileName::resetVariableList(const std::wstring& executable) {
    variables().clear();
    executableOverride() = executable;
}

void FileName::initializeVariableList() {
    constexpr const char* kScope = "System::FileName::initializeVariableList";
    auto& table = variables();
    std::wstring install = executableOverride();
    if (install.empty()) {
        std::string exe;
        if (Platform::failed(Platform::os::executablePath(exe))) throw lastErrorException("GetModuleFileNameW", kScope);
        install = utf8ToWide(exe);
    }
    const size_t cut = install.rfind(kPathSeparator);
    if (cut == std::wstring::npos) throw hresultException("PathCchRemoveFileSpec", kScope, Platform::kInvalidArg);
    install.erase(cut == 0 ? 1 : cut);
    table[L"%AppInstall%"] = install;

    std::wstring appData = install + kPathSeparator + L"data";
    if (!Platform::os::isFolder(wideToUtf8(appData))) appData = File::getSystemDirectory() + kPathSeparator + L"velmo2";
    File::createDirectory(appData);
    table[L"%AppData%"] = appData;
    for (const wchar_t* name :
         {L"Plugin", L"Script", L"Default", L"Alias", L"Figure", L"Transition", L"Language", L"Backup", L"Log"}) {
        const std::wstring folder = appData + kPathSeparator + name;
        File::createDirectory(folder);
        table[std::wstring(L"%") + name + L"%"] = folder;
    }
}

void FileName::expandVariable(std::wstring& path) {
    if (path.find(L'%') == std::wstring::npos) return;
    const std::wstring variable = leadingVariable(path);
    if (variable.empty()) return;
    if (variables().empty()) initializeVariableList();
    const auto found = variables().find(variable);
    if (found == variables().end()) return;
    replaceAll(path, variable, found->second);
}

std::wstring FileName::getExpandedPath(const wchar_t* path) {
    std::wstring out = path != nullptr ? path : L"";
    expandVariable(out);
    return out;
}

std::wstring FileName::getDirectory(const std::wstring& path) {
    const size_t at = path.rfind(kPathSeparator);
    return at == std::wstring::npos ? std::wstring() : path.substr(0, at);
}

std::wstring FileName::getBaseName(const std::wstring& path) {
    const size_t slash = path.rfind(kPathSeparator);
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t point = name.rfind(L'.');
    return point == std::wstring::npos ? name : name.substr(0, point);
}

std::wstring FileName::getExtension(const wchar_t* path) {
    if (path == nullptr) return {};
    const std::wstring text = path;
    const size_t slash = text.rfind(kPathSeparator);
    const size_t point = text.rfind(L'.');
    if (point == std::wstring::npos || (slash != std::wstring::npos && point < slash)) return {};
    std::wstring ext = text.substr(point + 1);
    for (wchar_t& c : ext) c = lowerAscii(c);
    return ext;
}

std::wstring FileName::createTimeStampName(const std::wstring& folder, const std::wstring& prefix,
                                           const std::wstring& extension) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    std::wstring middle =
        formatString(L"%ls_%02d-%02d-%02d_%02d-%02d-%02d-%03d", prefix.c_str(), local.tm_year + 1900, local.tm_mon + 1,
                     local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(now.tv_nsec / 1000000));
    if (middle.size() > 259) middle.resize(259);
    std::wstring path = folder + middle + L"." + extension;
    expandVariable(path);
    return path;
}

std::vector<std::wstring> FileName::getFilterExtList(const wchar_t* filter) {
    std::vector<std::wstring> list;
    walkFilter(filter, [&](int32_t, const std::vector<std::wstring>& patterns) {
        for (const auto& pattern : patterns) {
            std::wstring ext;
            if (patternExtension(pattern, ext) && !ext.empty() && ext[0] != L'*') list.push_back(ext);
        }
        return true;
    });
    return list;
}

int32_t FileName::getFilterIndex(const wchar_t* filter, const wchar_t* path) {
    const std::wstring wanted = getExtension(path);
    int32_t result = 0;
    walkFilter(filter, [&](int32_t index, const std::vector<std::wstring>& patterns) {
        for (const auto& pattern : patterns) {
            std::wstring ext;
            if (patternExtension(pattern, ext) && ext == wanted) {
                result = index + 1;
                return false;
            }
        }
        return true;
    });
    return result;
}

std::wstring FileName::getFilterExt(const wchar_t* filter, int32_t wantedIndex) {
    std::wstring result;
    walkFilter(filter, [&](int32_t index, const std::vector<std::wstring>& patterns) {
        if (index != wantedIndex) return true;
        for (const auto& pattern : patterns) {
            std::wstring ext;
            if (patternExtension(pattern, ext)) {
                result = ext;
                break;
            }
        }
        return false;
    });
    return result;
}

}  // namespace System
