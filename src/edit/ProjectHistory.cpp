#include "edit/ProjectHistory.h"

#include <string>

#include "core/File.h"
#include "core/FileName.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "edit/IniLines.h"

namespace Edit {

void ProjectHistory::load() {
    items_.clear();
    try {
        System::IniFile ini;
        ini.loadFile(System::FileName::getExpandedPath(kStorePath));
        if (!ini.hasSection("project")) return;
        const auto section = ini.getSection("project");
        for (int32_t i = 1; i <= kMaxItems; ++i) {
            const auto& value = section.findValue(std::to_string(i));
            if (value.text.empty())  // missing, or no path to open
                continue;
            items_.push_back(value.toString());
        }
    } catch (...) {
        // A missing or damaged store keeps what was read.
    }
}

void ProjectHistory::save() {
    try {
        const std::wstring path = System::FileName::getExpandedPath(kStorePath);
        System::Log::verbose("System::IniFile::Save::Save", L"saveFile : %ls", path.c_str());
        System::File file;
        // Written beside the store and renamed into place by close().
        file.open(path, System::File::kWrite);
        IniLines::writeSection(file, "project");
        int32_t key = 1;
        for (const auto& item : items_) {
            // A line break would end the value and start lines of its own.
            if (item.find_first_of(L"\r\n") != std::wstring::npos) continue;
            System::IniFile::writeKeyValue(file, std::to_string(key++), item);
        }
        file.close();
    } catch (...) {
        // Shutdown goes on; the previous store is still in place.
    }
}

}  // namespace Edit
