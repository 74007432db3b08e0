#include "ui/dialogs/InputPluginDialog.h"

#include <cwctype>

#include "core/FileName.h"
#include "core/TranslateService.h"
#include "platform/window/Menu.h"
#include "plugin/InputPlugin.h"
#include "plugin/InputService.h"
#include "render/cache/CacheService.h"
#include "ui/dialogs/DialogItemListView.h"
#include "ui/dialogs/DialogItemText.h"

namespace Dialog {

namespace {

std::wstring joined(const std::vector<std::wstring>& parts) {
    std::wstring out;
    for (const std::wstring& part : parts) {
        if (!out.empty()) out += L',';
        out += part;
    }
    return out;
}

}  // namespace

std::wstring InputPluginDialog::filterExtensions(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text)
        if ((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L',' ||
            c == L'_' || c == L'-')
            out += c;
    return out;
}

InputPluginDialog::InputPluginItem::InputPluginItem(Plugin::InputPlugin& plugin)
    : name(Translate::TranslateService::isActive()
               ? Translate::translated(Translate::TranslateService::Table::Menu, plugin.name.c_str())
               : plugin.name),
      extensions(filterExtensions(joined(plugin.getExtList()))),
      plugin(plugin) {}

std::wstring InputPluginDialog::InputPluginItem::defaultExtensions() const {
    return filterExtensions(joined(System::FileName::getFilterExtList(plugin.filter.c_str())));
}

std::wstring InputPluginDialog::InputPluginItem::getText(int32_t column) const {
    if (column == 0) return name;
    if (column == 1) return extensions;
    return {};
}

void InputPluginDialog::InputPluginItem::fillEditor(int32_t column, DialogItem& editor) {
    if (auto* text = dynamic_cast<DialogItemText*>(&editor); text != nullptr && column == 1) text->text = extensions;
}

void InputPluginDialog::InputPluginItem::readEditor(int32_t column, DialogItem& editor) {
    auto* text = dynamic_cast<DialogItemText*>(&editor);
    if (text == nullptr || column != 1) return;
    std::wstring typed = filterExtensions(text->text);
    for (wchar_t& c : typed) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    extensions = typed.empty() ? defaultExtensions() : typed;
}

bool InputPluginDialog::open() {
    Plugin::InputService* input = Plugin::InputService::get();
    if (input == nullptr) return false;
    using List = DialogItemListView<InputPluginItem>;
    List* list = append(std::make_unique<List>(400, true));
    list->appendColumn(L"プラグイン(優先順位)", 300);
    list->appendColumn(L"拡張子", 400, std::make_unique<DialogItemText>(L"", L"", false));
    for (const auto& plugin : input->plugins()) list->appendItem(std::make_unique<InputPluginItem>(*plugin));

    Window::PopupMenu& menu = list->contextMenu;
    menu.insertItem(L"先頭に移動", [list] {
        if (list->contextItem != nullptr) list->moveItem(list->getItemLine(list->contextItem), 0);
    });
    menu.insertItem(L"最後に移動", [list] {
        if (list->contextItem != nullptr)
            list->moveItem(list->getItemLine(list->contextItem), list->lineCount() - 1);
    });
    menu.insertSeparator();
    menu.insertItem(L"拡張子を標準に戻す", [list] {
        auto* row = dynamic_cast<InputPluginItem*>(list->contextItem);
        if (row == nullptr) return;
        row->extensions = row->defaultExtensions();
        list->update();
    });
    menu.insertSeparator();
    const auto setting = menu.insertItem(L"プラグインの設定", [list] {
        auto* row = dynamic_cast<InputPluginItem*>(list->contextItem);
        if (row == nullptr || (row->plugin.flags & Plugin::InputPlugin::kSetting) == 0) return;
        row->plugin.showSetting(list->window != nullptr ? list->window->owner() : nullptr);
    });
    list->beforeMenu = [list, setting] {
        auto* row = dynamic_cast<InputPluginItem*>(list->contextItem);
        if (row == nullptr) return;
        Platform::window::enableMenuItem(setting.menu, static_cast<uint32_t>(setting.id),
                                         (row->plugin.flags & Plugin::InputPlugin::kSetting) != 0);
    };

    if (!create(700)) return false;
    int32_t priority = 0;
    for (InputPluginItem* row : list->getItemViewList()) {
        row->plugin.setPriority(priority++);
        row->plugin.setExtList(row->extensions);
    }
    input->updateExtTypeList();
    input->clearFileCache();
    if (Cache::CacheService* caches = Cache::CacheService::get()) {
        caches->imageCache.store().clear();
        caches->audioCache.store().clear();
    }
    return true;
}

}  // namespace Dialog
