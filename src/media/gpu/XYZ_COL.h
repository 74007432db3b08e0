#pragma once

// A coloured vertex: position and straight RGBA colour, 28 bytes.
namespace Media {

struct XYZ_COL {
    float x, y, z;
    float r, g, b, a;
};
static_assert(sizeof(XYZ_COL) == 28);

}  // namespace Media
