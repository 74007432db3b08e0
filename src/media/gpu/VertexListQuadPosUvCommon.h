#pragma once
#include <cstdint>

#include "media/gpu/VertexListQuadPosUv.h"

// The one process-wide rectangle list, overwritten by each use; drawn for an
// object's image when it has no list of its own.
namespace Media {

class VertexListQuadPosUvCommon : public VertexListQuadPosUv {
public:
    // The rectangle of the given size centred on the origin, uv (0, 0) at
    // (-w/2, -h/2). Rendering thread only.
    static VertexListQuadPosUvCommon& getRectangle(uint32_t width, uint32_t height);
};

}  // namespace Media
