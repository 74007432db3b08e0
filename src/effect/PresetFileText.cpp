#include "effect/PresetFileText.h"

#include <climits>
#include <exception>

#include "core/File.h"
#include "core/FileName.h"

namespace Effect {

std::string readPresetFileText(const std::wstring& path) {
    std::wstring expanded = path;
    System::FileName::expandVariable(expanded);
    // The open's exception would log a missing file as an error.
    if (!System::File::exists(expanded)) return {};
    std::string bytes;
    try {
        System::File file;
        file.open(expanded, System::File::kRead);
        const int64_t size = file.getSize();
        if (size > INT32_MAX) return {};
        bytes.resize(static_cast<size_t>(size));
        if (size > 0) file.readBlock(bytes.data(), static_cast<int32_t>(size));
    } catch (const std::exception&) {
        return {};
    }
    return bytes;
}

void writePresetFileText(const std::wstring& path, const std::string& text) {
    std::wstring expanded = path;
    System::FileName::expandVariable(expanded);
    System::File file;
    file.open(expanded, System::File::kWrite);
    file.write(text.data(), static_cast<int32_t>(text.size()));
    file.close();
}

std::vector<std::string_view> splitPresetText(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

}  // namespace Effect
