#include "ui/menus/EtcMenu.h"

#include "core/EventCommandPost.h"
#include "core/TranslateService.h"
#include "effect/EffectService.h"
#include "platform/window/MessageBox.h"
#include "plugin/InputPlugin.h"
#include "plugin/InputService.h"
#include "plugin/OutputPlugin.h"
#include "plugin/OutputService.h"
#include "ui/dialogs/ListViewDialog.h"
#include "ui/framework/BaseMenu.h"

namespace Menu {

namespace {

std::wstring dialogText(const wchar_t* text) {
    if (!Translate::TranslateService::isActive()) return text;
    return Translate::translated(Translate::TranslateService::Table::Dialog, text);
}

// Shows the rows that have one text per column.
void showTable(const wchar_t* caption, const wchar_t* first, std::vector<std::vector<std::wstring>> rows) {
    Dialog::ListViewDialog dialog(caption);
    dialog.columns = {{first, 550}, {L"種別", 150}};
    for (auto& row : rows)
        if (row.size() == dialog.columns.size()) dialog.rows.push_back(std::move(row));
    (void)dialog.open();
}

}  // namespace

void EtcMenu::showPluginInformation() {
    std::vector<std::vector<std::wstring>> rows;
    if (const Plugin::InputService* input = Plugin::InputService::get())
        for (const auto& plugin : input->plugins())
            if (!plugin->information.empty()) rows.push_back({plugin->information, dialogText(L"入力プラグイン")});
    if (const Plugin::OutputService* output = Plugin::OutputService::get())
        for (const auto& plugin : output->plugins())
            if (!plugin->information.empty()) rows.push_back({plugin->information, dialogText(L"出力プラグイン")});
    showTable(L"プラグイン情報", L"プラグイン", std::move(rows));
}

void EtcMenu::showScriptInformation() {
    std::vector<std::vector<std::wstring>> rows;
    if (const Effect::EffectService* effects = Effect::EffectService::get()) rows = effects->getScriptList();
    showTable(L"スクリプト情報", L"スクリプト情報", std::move(rows));
}

void EtcMenu::showVersion() {
    (void)Platform::window::messageBox(Event::commandWindow(), "Velmo Kirta2  version 2.0beta4", "Velmo Kirta2",
                                       Platform::window::kMbOk | Platform::window::kMbIconInformation);
}

void EtcMenu::createMenu() {
    (void)menu.insertItem(L"プラグイン情報", &showPluginInformation);
    (void)menu.insertItem(L"スクリプト情報", &showScriptInformation);
    menu.insertSeparator();
    (void)menu.insertItem(L"バージョン情報", &showVersion);
}

}  // namespace Menu
