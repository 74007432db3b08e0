#include "ui/framework/WindowClientRenderTarget.h"

#include "ui/framework/WindowService.h"

namespace Window {

WindowClientRenderTarget::WindowClientRenderTarget(const std::wstring* title, const std::string& name,
                                                   const DefaultPlacement& defaults)
    : WindowClient(title, name, defaults), Media::RenderTarget(*windowService) {}

}  // namespace Window
