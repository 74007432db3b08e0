#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Color.h"

namespace Effect {

// One colour of a palette; a named one is also a preset colour.
struct PaletteEntry {
    Media::ColorRgba color{0, 0, 0, 1};
    std::wstring name;  // empty = unnamed
};

// A named grid of 64 colours; the name is the stem of its file.
class Palette {
public:
    static constexpr int32_t kSize = 64;

    explicit Palette(std::wstring name) : name(std::move(name)), colors(kSize) {}

    std::wstring name;
    std::vector<PaletteEntry> colors;  // always kSize entries
};

}  // namespace Effect
