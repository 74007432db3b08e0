#pragma once
#include <cstdint>
#include <string>

#include "core/Color.h"
#include "effect/MenuDefineBase.h"

namespace Effect {

// A named palette colour as an entry of the preset-colour menu. The colour is
// the palette's at the time the preset list was last rebuilt.
class PresetColorDefine : public Menu::MenuDefineBase {
public:
    PresetColorDefine(std::wstring name, const Media::ColorRgba& color, int32_t order)
        : MenuDefineBase("Color", name, order, L"", true), color(color), name(std::move(name)) {}

    std::wstring getName() const override { return name; }

    const Media::ColorRgba color;
    const std::wstring name;
};

}  // namespace Effect
