#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "core/Color.h"

// The named colours of the palettes, for the colour tags of text. The
// effect layer installs its palettes at start-up; until then no name is known.
namespace Media {

class PresetColorSource {
public:
    virtual ~PresetColorSource() = default;
    // False when no preset colour has the name.
    virtual bool findPresetColor(const std::wstring& name, ColorRgba& out) const = 0;

    static inline const PresetColorSource* installed = nullptr;
    // Moves on every rebuild of the preset colours, so that a text drawn with
    // colour tags knows its picture may be out of date.
    static inline std::atomic<uint32_t> generation{0};
};

}  // namespace Media
