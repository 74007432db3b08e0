#pragma once
#include "media/gpu/StyleResourceNames.h"

// The four shared stroke styles, made on first use.
namespace Resource {

class StrokeStyleList {
public:
    static constexpr int kCount = 4;
    StrokeStyleList();
    // Throws when the style cannot be made.
    Platform::draw2d::StrokeStyle* get(int index) { return styles[index].createResource(); }

    Media::ComResource<Platform::draw2d::StrokeStyle> styles[kCount];
};

}  // namespace Resource
