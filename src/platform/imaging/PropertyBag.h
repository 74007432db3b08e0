#pragma once
#include <string>

#include "platform/os/Result.h"

namespace Platform::imaging {

// An option value: empty or a 32-bit float, the one kind the encoders take.
struct Variant {
    enum class Type { Empty, Float };
    Type type = Type::Empty;
    float floatValue = 0.0f;
};

// The options of one encoded frame. The JPEG encoder knows "ImageQuality"
// (a float from 0 to 1); the PNG encoder knows none.
class PropertyBag {
public:
    explicit PropertyBag(bool jpeg) : jpeg_(jpeg) {}
    Result write(const std::wstring& name, const Variant& value);
    float imageQuality() const { return quality_; }

private:
    bool jpeg_;
    float quality_ = 0.9f;
};

}  // namespace Platform::imaging
