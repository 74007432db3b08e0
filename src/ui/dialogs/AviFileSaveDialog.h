#pragma once
#include <string>
#include <vector>

#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// The AVI writer's formats: a "Video" list and an "Audio" list, each
// preselecting the given name (a name the list lacks preselects its first
// choice). Captioned with the plug-in's name.
class AviFileSaveDialog : public DialogTemplate {
public:
    using DialogTemplate::DialogTemplate;

    // The choices, in the order shown.
    static const std::vector<std::wstring>& videoFormats();
    static const std::vector<std::wstring>& audioFormats();

    // True on OK; the names then hold the chosen formats.
    bool open(Platform::window::WindowHandle owner, std::wstring& video, std::wstring& audio);
};

}  // namespace Dialog
