#pragma once
#include "media/gpu/VertexListQuadTemplate.h"

// A quad list of textured vertices with normals.
namespace Media {

class VertexListQuadPosUvNorm : public VertexListQuadTemplate<XYZ_UV_NORM> {};

}  // namespace Media
