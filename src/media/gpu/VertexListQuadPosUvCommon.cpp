#include "media/gpu/VertexListQuadPosUvCommon.h"

namespace Media {

VertexListQuadPosUvCommon& VertexListQuadPosUvCommon::getRectangle(uint32_t width, uint32_t height) {
    static VertexListQuadPosUvCommon rectangle;
    const float w = static_cast<float>(width) / 2, h = static_cast<float>(height) / 2;
    rectangle.vertices = {
        {-w, -h, 0, 0, 0, 1, 0},
        {w, -h, 0, 1, 0, 1, 0},
        {w, h, 0, 1, 1, 1, 0},
        {-w, h, 0, 0, 1, 1, 0},
    };
    return rectangle;
}

}  // namespace Media
