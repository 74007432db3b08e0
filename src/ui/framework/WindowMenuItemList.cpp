#include "ui/framework/WindowMenuItemList.h"

#include "core/Exception.h"
#include "core/TextConvert.h"

namespace Window {

namespace W = Platform::window;

void WindowMenuItemList::updateItemList(bool numbered) {
    if (frozen)
        return;
    for (int32_t n = W::getMenuItemCount(menu); n > 0; --n)
        if (!W::deleteMenuAt(menu, n - 1))
            throw System::lastErrorException("DeleteMenu", "Window::WindowMenu::DeleteMenuItem");
    if (!provider)
        return;
    const std::vector<std::wstring> texts = provider();
    for (size_t i = 0; i < texts.size() && static_cast<int32_t>(i) < count; ++i) {
        std::wstring text = numbered ? L"&" + std::to_wstring(i + 1) + L" " + texts[i] : texts[i];
        if (!W::appendMenuString(menu, static_cast<uint32_t>(firstId) + static_cast<uint32_t>(i),
                                 System::wideToUtf8(text)))
            throw System::lastErrorException("AppendMenu", "Window::WindowMenu::ItemList::updateItemList");
    }
}

}  // namespace Window
