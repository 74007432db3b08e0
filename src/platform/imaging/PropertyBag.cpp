#include "platform/imaging/PropertyBag.h"

#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging {

Result PropertyBag::write(const std::wstring& name, const Variant& value) {
    if (!jpeg_ || name != L"ImageQuality") return kPropertyNotSupported;
    if (value.type != Variant::Type::Float) return kPropertyUnexpectedType;
    if (!(value.floatValue >= 0.0f && value.floatValue <= 1.0f)) return kInvalidArg;
    quality_ = value.floatValue;
    return kOk;
}

}  // namespace Platform::imaging
