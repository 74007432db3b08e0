#pragma once
#include <cstdint>

// A textured vertex: position, texture coordinate, alpha and a word no shader
// reads (carried along), 28 bytes.
namespace Media {

struct XYZ_UV {
    float x, y, z;
    float u, v;
    float alpha;
    uint32_t unused;
};
static_assert(sizeof(XYZ_UV) == 28);

}  // namespace Media
