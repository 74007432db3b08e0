#pragma once
#include "media/gpu/VertexListQuadTemplate.h"

// A quad list of textured vertices.
namespace Media {

class VertexListQuadPosUv : public VertexListQuadTemplate<XYZ_UV> {};

}  // namespace Media
