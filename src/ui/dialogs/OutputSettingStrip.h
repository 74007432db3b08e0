#pragma once
#include <cstdint>
#include <string>

#include "ui/dialogs/FileDialogTemplate.h"

namespace Plugin {
class OutputPlugin;
}

namespace Dialog {

// The strip an output plug-in adds to its save dialog: its settings in one
// line of text and the button "設定" that opens its settings and shows them
// again afterwards.
class OutputSettingStrip : public FileDialogTemplate {
public:
    explicit OutputSettingStrip(Plugin::OutputPlugin& plugin) : plugin_(plugin) {}

    void onInitDialog() override;
    void onCommand(uint16_t id) override;

    // The export's save dialog: titled with the plug-in's name, with the
    // strip when the plug-in has settings. False for Cancel.
    static bool saveFileDialog(std::wstring& path, Plugin::OutputPlugin& plugin);

private:
    Plugin::OutputPlugin& plugin_;
};

}  // namespace Dialog
