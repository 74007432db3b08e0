#pragma once
#include <cstdint>
#include <string>

#include "platform/window/FileDialog.h"

namespace Dialog {

// The strip of extra controls a save dialog may carry: a right-aligned text
// (control 1003) and a settings button (control 1002, "Setting"). The object
// outlives the dialogs it is shown in; a derived class answers its events.
class FileDialogTemplate : public Platform::window::FileDialogStrip {
public:
    static constexpr int32_t kStripTemplate = 146;

    explicit FileDialogTemplate(int32_t templateId = kStripTemplate) : templateId(templateId) {}

    int32_t templateId;

    virtual void onInitDialog() {}
    virtual void onSize() {}
    virtual void onDestroy() {}
    virtual void onCommand(uint16_t id) { (void)id; }

    // The text of a strip control, shown at once while the dialog is open.
    void setItemText(uint16_t id, const std::wstring& text);
    std::wstring itemText(uint16_t id) const;

private:
    void stripOpened() final { onInitDialog(); }
    void stripResized() final { onSize(); }
    void stripClosed() final { onDestroy(); }
    void stripCommand(uint16_t id) final { onCommand(id); }
};

}  // namespace Dialog
