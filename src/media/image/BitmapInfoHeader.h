#pragma once
#include <cstdint>

#include "platform/codecs/BitmapHeader.h"

// The header of a device-independent bitmap as plug-ins and the clipboard
// exchange it (40 bytes, little-endian fields).
namespace Media {

using BitmapInfoHeader = Platform::codecs::BitmapHeader;

// A four-character code with its first letter in the low byte.
constexpr uint32_t fourCC(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
}

}  // namespace Media
