#pragma once
#include "media/gpu/VertexListQuadTemplate.h"

// A quad list of coloured vertices with normals.
namespace Media {

class VertexListQuadPosColorNorm : public VertexListQuadTemplate<XYZ_COL_NORM> {};

}  // namespace Media
