#include "ui/framework/WindowMenu.h"

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "ui/framework/MenuText.h"

namespace Window {

namespace W = Platform::window;

namespace {

const wchar_t* const kLabels[WindowMenu::Count] = {L"ファイル", L"編集", L"表示", L"設定", L"その他"};

}  // namespace

void WindowMenu::TopMenu::updateText(W::MenuHandle bar) const {
    W::setMenuStringAt(bar, position, System::wideToUtf8(MenuText::translate(label)));
}

WindowMenu::WindowMenu(BaseMenu& bar) {
    for (int32_t i = 0; i < Count; ++i) {
        auto& top = menus[static_cast<size_t>(i)];
        top.label = kLabels[i];
        top.position = i;
        top.menu = std::make_unique<BaseMenu>(bar, top.label);
    }
}

void WindowMenu::DeleteMenuItem() {
    for (auto& top : menus)
        // From the last item: the same result without moving the rest each time.
        for (int32_t n = W::getMenuItemCount(top.menu->menu); n > 0; --n)
            if (!W::deleteMenuAt(top.menu->menu, n - 1))
                throw System::lastErrorException("DeleteMenu", "Window::WindowMenu::DeleteMenuItem");
}

}  // namespace Window
