#pragma once
#include <memory>

// An ordered set of quads, four vertices each, that the output stage, scripts
// and effects draw with the shader set suiting its vertex format. Drawing and
// the binders use the shared single-quad arrays and the bound-state cache, so
// they run on the rendering thread only.
namespace Media {

class VertexList {
public:
    virtual ~VertexList() = default;
    // 28-byte records (position and the 16 bytes after it or after the normal).
    virtual void draw() = 0;
    // 40-byte records: a list without normals gets one flat normal per quad.
    virtual void drawWithNormal() = 0;
    virtual void setShader() = 0;
    virtual void setDepthShader() = 0;
    virtual void setNormalShader() = 0;
    virtual std::shared_ptr<VertexList> createEmpty() const = 0;
    virtual bool isEmpty() const = 0;
    // The other list's vertices transformed by the row-vector matrix (row 3 is
    // the translation) with their alpha scaled; a list of another vertex type
    // is ignored.
    virtual void appendTransformed(const VertexList& other, const float matrix[16], float alphaFactor) = 0;
};

}  // namespace Media
