#include "media/gpu/FontManager.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "core/Exception.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "media/gpu/Direct2DService.h"
#include "platform/draw2d/Font.h"

namespace Media {

namespace D2 = Platform::draw2d;

std::string FontManager::userLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == 0) continue;
        std::string tag(value);
        tag = tag.substr(0, tag.find_first_of(".@"));
        if (tag == "C" || tag == "POSIX") return {};
        for (char& c : tag) c = c == '_' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
        return tag;
    }
    return {};
}

void FontManager::registerFont(const D2::FontCollection& collection) {
    static constexpr const char* kScope = "Media::FontManager::registerFont";
    const std::string locale = userLocaleName();
    fonts_.reserve(collection.familyCount());
    for (uint32_t i = 0; i < collection.familyCount(); ++i) {
        try {
            const auto family = collection.family(i);
            if (!family) throw System::hresultException("collection->GetFontFamily", kScope, Platform::kFail);
            const D2::LocalizedName* familyName =
                locale.empty() ? nullptr : D2::findLocalizedName(family->familyNames(), locale);
            const bool localized = familyName != nullptr;
            if (familyName == nullptr) familyName = D2::findLocalizedName(family->familyNames(), "en-us");
            if (familyName == nullptr && !family->familyNames().empty()) familyName = &family->familyNames().front();
            if (familyName == nullptr)
                throw System::hresultException("familyNames->GetString", kScope, Platform::kFail);
            for (uint32_t f = 0; f < family->fontCount(); ++f) {
                const auto font = family->font(f);
                if (!font) throw System::hresultException("family->GetFont", kScope, Platform::kFail);
                // Italic and oblique faces are never registered.
                if (font->style() != D2::FontStyle::Normal) continue;
                const D2::LocalizedName* win32 =
                    locale.empty() ? nullptr : D2::findLocalizedName(font->win32FamilyNames(), locale);
                if (win32 == nullptr) win32 = D2::findLocalizedName(font->win32FamilyNames(), "en-us");
                const std::wstring name = System::utf8ToWide(win32 != nullptr ? win32->name : familyName->name);
                const int32_t order = counter_++;
                if (fonts_.count(name) != 0) continue;
                fonts_.emplace(name, std::make_unique<FontDefine>(name, order, !localized, font));
                System::Log::info(kScope, L"register font [%ls]%lc", name.c_str(), localized ? L'*' : L' ');
            }
        } catch (const std::exception&) {
            // The rest of the family is skipped; the exception has been logged.
        }
    }
}

const FontDefine* FontManager::find(const std::wstring& name) const {
    auto it = fonts_.find(name);
    return it == fonts_.end() ? nullptr : it->second.get();
}

std::vector<const FontDefine*> FontManager::getFontList() const {
    std::vector<const FontDefine*> out;
    for (const auto& [name, define] : fonts_) out.push_back(define.get());
    std::stable_sort(out.begin(), out.end(), [](const FontDefine* a, const FontDefine* b) {
        return a->order != b->order ? a->order < b->order : a->defaultOrder < b->defaultOrder;
    });
    return out;
}

std::vector<const FontDefine*> FontManager::getFontListByName() const {
    std::vector<const FontDefine*> out;
    for (const auto& [name, define] : fonts_) out.push_back(define.get());
    std::sort(out.begin(), out.end(), [](const FontDefine* a, const FontDefine* b) {
        const int c = System::compareNatural(a->fontName, b->fontName);
        return c != 0 ? c < 0 : a->fontName < b->fontName;
    });
    return out;
}

int32_t FontManager::requestedWeight(int32_t weight, bool bold) {
    return std::clamp(weight + (bold ? 200 : 0), 1, 999);
}

std::shared_ptr<D2::Font> FontManager::getFont(const std::wstring& name, bool bold, bool italic) const {
    static constexpr const char* kScope = "Media::FontManager::getFont";
    std::shared_ptr<D2::Font> out;
    if (const FontDefine* define = find(name)) {
        if (!bold && !italic) return define->font;
        const auto family = define->font->family();
        if (!family) throw System::hresultException("font->GetFontFamily", kScope, Platform::kFail);
        const D2::FontStyle style = italic ? D2::FontStyle::Italic : define->font->style();
        if (const auto hr = family->firstMatchingFont(requestedWeight(define->font->weight(), bold),
                                                      define->font->stretch(), style, out);
            Platform::failed(hr))
            throw System::hresultException("family->GetFirstMatchingFont", kScope, hr);
        return out;
    }
    std::shared_ptr<D2::FontCollection> collection;
    if (const Direct2DService* d2d = Direct2DService::get(); d2d != nullptr && d2d->writeFactory) {
        collection = d2d->writeFactory;
    } else if (const auto hr = D2::FontCollection::system(collection); Platform::failed(hr)) {
        throw System::hresultException("Direct2DService::Get().writeFactory->GetSystemFontCollection", kScope, hr);
    }
    const std::wstring defaultFamily = defaultFamilyName();
    uint32_t index = 0;
    // An unknown default family falls back to the collection's first family.
    collection->findFamilyName(System::wideToUtf8(defaultFamily), index);
    const auto family = collection->family(index);
    if (!family) throw System::hresultException("collection->GetFontFamily", kScope, D2::kNoFont);
    if (const auto hr = family->firstMatchingFont(bold ? 600 : 400, D2::kStretchNormal,
                                                  italic ? D2::FontStyle::Italic : D2::FontStyle::Normal, out);
        Platform::failed(hr))
        throw System::hresultException("family->GetFirstMatchingFont", kScope, hr);
    return out;
}

std::wstring FontManager::defaultFamilyName() {
    std::wstring family = L"Yu Gothic UI";
    if (const Setting::SettingService* settings = Setting::SettingService::get())
        family = settings->font.getValue("DefaultFamily").toString(family);
    return family;
}

void FontManager::familyNames(std::vector<std::wstring>& names, std::wstring& defaultName) const {
    names.clear();
    for (const FontDefine* define : getFontList()) names.push_back(define->getName());
    defaultName = defaultFamilyName();
}

}  // namespace Media
