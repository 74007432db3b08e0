#pragma once

// A coloured vertex with a normal: position, normal and straight RGBA, 40 bytes.
namespace Media {

struct XYZ_COL_NORM {
    float x, y, z;
    float nx, ny, nz;
    float r, g, b, a;
};
static_assert(sizeof(XYZ_COL_NORM) == 40);

}  // namespace Media
