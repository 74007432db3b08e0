#pragma once
#include <vector>

#include "media/gpu/VertexList.h"

// A vertex list holding records of type T; quad k is vertices 4k to 4k + 3,
// in order around the quad.
namespace Media {

template <class T>
class VertexListTemplate : public VertexList {
public:
    std::vector<T> vertices;
};

}  // namespace Media
