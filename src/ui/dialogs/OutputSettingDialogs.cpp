#include "ui/dialogs/OutputSettingDialogs.h"

#include "ui/dialogs/AviFileSaveDialog.h"
#include "ui/dialogs/InputIntegerDialog.h"
#include "ui/dialogs/OutputSettingStrip.h"
#include "ui/framework/PopupMenu.h"

namespace Dialog {

namespace W = Platform::window;

void addOutputSettingDialogs(Plugin::OutputService::Presenter& presenter) {
    presenter.saveDialog = OutputSettingStrip::saveFileDialog;
    presenter.aviFormats = [](void* owner, const std::wstring& title, std::wstring& video, std::wstring& audio) {
        AviFileSaveDialog dialog(title.c_str());
        return dialog.open(static_cast<W::WindowHandle>(owner), video, audio);
    };
    presenter.inputInteger = [](void* owner, const std::wstring& title, const std::wstring& label, int32_t& value,
                                int32_t minimum, int32_t maximum) {
        InputIntegerDialog dialog(title.c_str());
        return dialog.open(static_cast<W::WindowHandle>(owner), label.c_str(), value, minimum, maximum);
    };
    presenter.chooseMenu = [](const std::vector<std::wstring>& choices, int32_t checked) {
        Window::PopupMenu menu;
        int32_t chosen = -1;
        for (size_t i = 0; i < choices.size(); ++i) {
            const Window::BaseMenu::Item item =
                menu.insertItem(choices[i], [&chosen, i] { chosen = static_cast<int32_t>(i); });
            if (static_cast<int32_t>(i) == checked) (void)W::checkMenuItem(menu.menu, static_cast<uint32_t>(item.id), true);
        }
        (void)menu.show();
        return chosen;
    };
}

}  // namespace Dialog
