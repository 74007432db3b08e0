#pragma once
#include "platform/os/Result.h"

// Result numbers of the imaging layer beyond the common ones: the imaging
// component's own codes, so printed results read as the program expects.
namespace Platform::imaging {

inline constexpr Result kWrongState = static_cast<Result>(0x88982F04u);
inline constexpr Result kValueOutOfRange = static_cast<Result>(0x88982F05u);
inline constexpr Result kComponentNotFound = static_cast<Result>(0x88982F50u);
inline constexpr Result kImageSizeOutOfRange = static_cast<Result>(0x88982F51u);
inline constexpr Result kBadImage = static_cast<Result>(0x88982F60u);
inline constexpr Result kBadHeader = static_cast<Result>(0x88982F61u);
inline constexpr Result kFrameMissing = static_cast<Result>(0x88982F62u);
inline constexpr Result kUnsupportedPixelFormat = static_cast<Result>(0x88982F80u);
inline constexpr Result kPropertyUnexpectedType = static_cast<Result>(0x88982F8Eu);
inline constexpr Result kPropertyNotSupported = static_cast<Result>(0x88982F41u);

// Largest edge of a decoded or encoded image (the largest texture edge):
// anything larger fails before memory is taken for it.
inline constexpr uint32_t kMaxImageSize = 16384;

}  // namespace Platform::imaging
