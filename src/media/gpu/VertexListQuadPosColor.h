#pragma once
#include "media/gpu/VertexListQuadTemplate.h"

// A quad list of coloured vertices.
namespace Media {

class VertexListQuadPosColor : public VertexListQuadTemplate<XYZ_COL> {};

}  // namespace Media
