#pragma once
#include "media/gpu/VertexListTemplate.h"
#include "media/gpu/XYZ_COL.h"
#include "media/gpu/XYZ_COL_NORM.h"
#include "media/gpu/XYZ_UV.h"
#include "media/gpu/XYZ_UV_NORM.h"

// The operations of the quad lists, for the four vertex formats (instantiated
// in the .cpp file only).
namespace Media {

template <class T>
class VertexListQuadTemplate : public VertexListTemplate<T> {
public:
    void draw() override;
    void drawWithNormal() override;
    void setShader() override;
    void setDepthShader() override;
    void setNormalShader() override;
    std::shared_ptr<VertexList> createEmpty() const override;
    bool isEmpty() const override { return this->vertices.empty(); }
    void appendTransformed(const VertexList& other, const float matrix[16], float alphaFactor) override;
};

extern template class VertexListQuadTemplate<XYZ_UV>;
extern template class VertexListQuadTemplate<XYZ_COL>;
extern template class VertexListQuadTemplate<XYZ_UV_NORM>;
extern template class VertexListQuadTemplate<XYZ_COL_NORM>;

}  // namespace Media
