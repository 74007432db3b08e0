#include "ui/dialogs/OutputSettingStrip.h"

#include <exception>

#include "core/TranslateService.h"
#include "plugin/OutputPlugin.h"
#include "platform/window/FileDialog.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/dialogs/ShowException.h"

namespace Dialog {

namespace W = Platform::window;

void OutputSettingStrip::onInitDialog() {
    setItemText(W::kStripButtonId, Translate::translated(Translate::TranslateService::Table::Dialog, L"設定"));
    setItemText(W::kStripTextId, plugin_.getSettingText());
}

void OutputSettingStrip::onCommand(uint16_t id) {
    if (id != W::kStripButtonId) return;
    // Called from the dialog's own event handling: nothing may pass through it.
    try {
        plugin_.showSetting(nullptr);
    } catch (const std::exception& e) {
        showException(e);
    }
    setItemText(W::kStripTextId, plugin_.getSettingText());
}

bool OutputSettingStrip::saveFileDialog(std::wstring& path, Plugin::OutputPlugin& plugin) {
    OutputSettingStrip strip(plugin);
    const bool withStrip = (plugin.flags & Plugin::OutputPlugin::kSetting) != 0;
    return Dialog::saveFileDialog(path, plugin.filter.c_str(), plugin.name.c_str(), withStrip ? &strip : nullptr);
}

}  // namespace Dialog
