#include "media/gpu/GdiFontList.h"

#include <charconv>
#include <cmath>

#include "core/SettingService.h"

namespace Resource {

GdiFontList::Font GdiFontList::parse(const std::wstring& value, const std::wstring& defaultFamily) {
    Font font;
    const size_t comma = value.find(L',');
    const std::wstring size = value.substr(0, comma);
    std::string digits;
    for (wchar_t c : size)
        if (c != L' ') digits += c < 0x80 ? static_cast<char>(c) : '?';
    double height = 0;
    const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), height);
    // No number: the system's size.
    if (read.ec == std::errc() && std::isfinite(height) && height > 0 && height < 1000)
        font.height = static_cast<int32_t>(std::lround(height));
    font.family = comma == std::wstring::npos ? defaultFamily : value.substr(comma + 1);
    const size_t first = font.family.find_first_not_of(L' ');
    font.family = first == std::wstring::npos ? std::wstring() : font.family.substr(first);
    if (font.family.empty()) font.family = defaultFamily;
    return font;
}

GdiFontList::GdiFontList() {
    const Setting::SettingService* settings = Setting::SettingService::get();
    if (settings == nullptr) return;
    font_ = parse(settings->font.getValue("Control").toString(L""),
                  settings->font.getValue("DefaultFamily").toString(L"Yu Gothic UI"));
}

}  // namespace Resource
