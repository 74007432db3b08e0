#pragma once
#include <string>

#include "media/gpu/RenderTarget.h"
#include "ui/framework/WindowClient.h"

// A docked panel drawn on the main window's one target.
namespace Window {

class WindowClientRenderTarget : public WindowClient, public Media::RenderTarget {
public:
    // The panel's name makes its settings section ("Window." + name).
    WindowClientRenderTarget(const std::wstring* title, const std::string& name, const DefaultPlacement& defaults);
};

}  // namespace Window
