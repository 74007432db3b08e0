#pragma once
#include <cstdint>

// A textured vertex with a normal, 40 bytes.
namespace Media {

struct XYZ_UV_NORM {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
    float alpha;
    uint32_t unused;
};
static_assert(sizeof(XYZ_UV_NORM) == 40);

}  // namespace Media
