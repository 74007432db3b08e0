#include "ui/framework/MenuText.h"

#include "core/TextConvert.h"
#include "core/TranslateService.h"

namespace Window {

std::wstring MenuText::translate(const std::wstring& text) {
    auto* service = Translate::TranslateService::get();
    return service ? service->getMenuText(text) : text;
}

std::wstring MenuText::getItemText(Platform::window::MenuHandle menu, int32_t id) {
    std::string text;
    if (!Platform::window::getMenuString(menu, static_cast<uint32_t>(id), text))
        return {};
    return System::utf8ToWide(text);
}

void MenuText::setShortcutText(Platform::window::MenuHandle menu, int32_t id, const std::wstring& keyName) {
    std::wstring text = getItemText(menu, id);
    text = text.substr(0, text.find(L'\t'));
    if (!keyName.empty())
        text += L"\t" + keyName;
    Platform::window::setMenuString(menu, static_cast<uint32_t>(id), System::wideToUtf8(text));
}

void MenuText::setItemText(Platform::window::MenuHandle menu, int32_t id, const std::wstring& text) {
    std::wstring current = getItemText(menu, id);
    size_t tab = current.find(L'\t');
    std::wstring result = text;
    if (tab != std::wstring::npos)
        result += current.substr(tab);
    Platform::window::setMenuString(menu, static_cast<uint32_t>(id), System::wideToUtf8(result));
}

}  // namespace Window
