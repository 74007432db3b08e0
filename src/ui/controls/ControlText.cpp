#include "ui/controls/ControlText.h"

#include <cmath>

#include "media/gpu/ResourceService.h"

namespace Window {

bool ControlText::layOut(const std::wstring& text) {
    Resource::ResourceService* resources = Resource::ResourceService::get();
    if (text.empty() || resources == nullptr) return false;
    format_ = resources->textFormats[Resource::ResourceService::kControl].get();
    if (format_ == nullptr) return false;
    layout.create(*format_, text.c_str(), static_cast<int32_t>(text.size()));
    const auto size = layout.getSize();
    width = static_cast<int32_t>(std::ceil(size.width));
    height = static_cast<int32_t>(std::ceil(size.height));
    return true;
}

void ControlText::trimTo(float w) {
    if (format_ == nullptr) return;
    layout.setTrimming(w, format_->getTrimmingSign());
}

}  // namespace Window
