#include "ui/menus/SettingMenu.h"

#include "ui/dialogs/CacheSizeDialog.h"
#include "ui/dialogs/DislpayColorSettingDialog.h"
#include "ui/dialogs/EffectMenuDialog.h"
#include "ui/dialogs/InputPluginDialog.h"
#include "ui/dialogs/LanguageDialog.h"
#include "ui/dialogs/LogSettingDialog.h"
#include "ui/dialogs/MovementMenuDialog.h"
#include "ui/dialogs/ShortcutKeyDialog.h"
#include "ui/framework/WindowMenuManager.h"

namespace Menu {

namespace {

SettingMenu::Openers& openers() {
    static SettingMenu::Openers installed;
    return installed;
}

template <class T>
void openDialog(const wchar_t* caption) {
    T dialog(caption);
    (void)dialog.open();
}

}  // namespace

SettingMenu::Openers SettingMenu::setOpeners(Openers installed) {
    std::swap(openers(), installed);
    return installed;
}

void SettingMenu::createMenu() {
    using Opener = void (*)(const wchar_t*);
    struct Entry {
        const wchar_t* label;
        Opener open;
    };
    const Entry entries[] = {
        {L"ショートカットキーの設定", &openDialog<Dialog::ShortcutKeyDialog>},
        {L"オブジェクト追加メニューの設定", &openDialog<Dialog::EffectMenuDialog>},
        {L"トラックバー移動メニューの設定", &openDialog<Dialog::MovementMenuDialog>},
        {L"時間制御メニューの設定",
         [](const wchar_t* caption) {
             if (openers().movementParams) openers().movementParams(caption);
         }},
        {L"プリセット色メニューの設定",
         [](const wchar_t* caption) {
             if (openers().presetColor) openers().presetColor(caption);
         }},
        {L"フォントメニューの設定",
         [](const wchar_t* caption) {
             if (openers().font) openers().font(caption);
         }},
        {L"入力プラグインの設定", &openDialog<Dialog::InputPluginDialog>},
        {L"バックアップ履歴の設定",
         [](const wchar_t* caption) {
             if (openers().backup) openers().backup(caption);
         }},
        {L"キャッシュサイズの設定", &openDialog<Dialog::CacheSizeDialog>},
        {L"画面・色の設定", &openDialog<Dialog::DislpayColorSettingDialog>},
        {L"ログの設定", &openDialog<Dialog::LogSettingDialog>},
        {L"言語の設定", &openDialog<Dialog::LanguageDialog>},
    };
    for (const Entry& entry : entries) {
        auto item = menu.insertItem(entry.label, [label = entry.label, open = entry.open] {
            if (open != nullptr) open(label);
        });
        Window::WindowMenuManager::setShortcut(item, 0);
    }
}

}  // namespace Menu
