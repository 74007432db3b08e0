#include "ui/panels/ExplorerBookmarks.h"

#include <algorithm>
#include <exception>

#include "core/File.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"

namespace Component {

ExplorerBookmarks::List& ExplorerBookmarks::list() {
    static List bookmarks;
    return bookmarks;
}

void ExplorerBookmarks::load(List& bookmarks, const std::wstring& path) {
    bookmarks.clear();
    System::IniFile file;
    try {
        if (!file.loadFile(path)) return;
        for (int32_t i = 0;; ++i) {
            const System::IniFile::SectionRef section = file.getSection("bookmark", i);
            if (!file.hasSection(section.name())) break;
            const System::IniFile::VALUE& name = section.getValue("name");
            const System::IniFile::VALUE& folder = section.getValue("path");
            if (!System::isValidUtf8(name.text) || !System::isValidUtf8(folder.text)) break;
            bookmarks.push_back({name.toString(), folder.toString()});
        }
    } catch (const std::exception&) {
        // A bad section ends the list; the ones before it stay.
    }
}

void ExplorerBookmarks::save(const List& bookmarks, const std::wstring& path) {
    System::Log::verbose("System::IniFile::Save::Save", "saveFile : %s", System::wideToUtf8(path).c_str());
    try {
        System::File file;
        file.open(path, System::File::kWrite);
        for (size_t i = 0; i < bookmarks.size(); ++i) {
            const std::string header = "[bookmark." + std::to_string(i) + "]\r\n";
            file.write(header.data(), static_cast<int32_t>(header.size()));
            System::IniFile::writeKeyValue(file, "name", bookmarks[i].name);
            System::IniFile::writeKeyValue(file, "path", bookmarks[i].path);
        }
        file.close();
    } catch (const std::exception&) {
        // The bookmarks are not worth a message at exit.
    }
}

void ExplorerBookmarks::add(List& bookmarks, const std::wstring& name, const std::wstring& path) {
    std::erase_if(bookmarks, [&](const ExplorerBookmark& b) { return b.name == name; });
    bookmarks.push_back({name, path});
}

bool ExplorerBookmarks::removePath(List& bookmarks, const std::wstring& path) {
    return std::erase_if(bookmarks, [&](const ExplorerBookmark& b) { return b.path == path; }) != 0;
}

bool ExplorerBookmarks::hasPath(const List& bookmarks, const std::wstring& path) {
    return findPath(bookmarks, path) != nullptr;
}

const ExplorerBookmark* ExplorerBookmarks::findPath(const List& bookmarks, const std::wstring& path) {
    const auto found =
        std::find_if(bookmarks.begin(), bookmarks.end(), [&](const ExplorerBookmark& b) { return b.path == path; });
    return found != bookmarks.end() ? &*found : nullptr;
}

void ExplorerBookmarks::sortByName(List& bookmarks) {
    std::stable_sort(bookmarks.begin(), bookmarks.end(), [](const ExplorerBookmark& a, const ExplorerBookmark& b) {
        return System::compareNatural(a.name, b.name) < 0;
    });
}

std::wstring ExplorerBookmarks::suggestedName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring last = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (const size_t dot = last.rfind(L'.'); dot != std::wstring::npos) last.resize(dot);
    return last;
}

}  // namespace Component
