#pragma once
#include <string>

#include "media/gpu/ComResource.h"
#include "platform/draw2d/Font.h"

namespace Media {
template <>
struct ComResourceName<Platform::draw2d::FontFace> {
    static constexpr const char* createResourceScope = "Media::ComResource<struct IDWriteFontFace1>::createResource";
};
}  // namespace Media

// A font chosen by name, size and style as text drawing lays glyphs out with:
// the face, its pixel metrics and the scale from design units to pixels.
namespace Resource {

class FontFace {
public:
    // Throws when the font cannot be opened.
    void setFont(const std::wstring& name, float size, bool bold, bool italic, bool vertical);

    Media::ComResource<Platform::draw2d::FontFace> fontFace;
    float size = 0;
    float vertical = 0;     // 0 or 1
    float lineAdvance = 0;  // pixels from one line to the next
    float ascent = 0;       // pixels from the top of a line to its baseline
    float designScale = 0;  // pixels per design unit
};

}  // namespace Resource
