#include "media/gpu/VertexListQuadTemplate.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "core/Exception.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/VertexListBinders.h"
#include "media/gpu/VertexListQuadPosColor.h"
#include "media/gpu/VertexListQuadPosColorNorm.h"
#include "media/gpu/VertexListQuadPosUv.h"
#include "media/gpu/VertexListQuadPosUvNorm.h"

namespace Media {
namespace {

template <class T>
struct QuadList;
template <>
struct QuadList<XYZ_UV> {
    using type = VertexListQuadPosUv;
};
template <>
struct QuadList<XYZ_COL> {
    using type = VertexListQuadPosColor;
};
template <>
struct QuadList<XYZ_UV_NORM> {
    using type = VertexListQuadPosUvNorm;
};
template <>
struct QuadList<XYZ_COL_NORM> {
    using type = VertexListQuadPosColorNorm;
};

template <class T>
constexpr bool kHasNormal = sizeof(T) == 40;
template <class T>
constexpr bool kTextured = requires(T v) {
    v.alpha;
};

constexpr uint32_t kPayload = 16;  // the bytes after the position (or the normal), carried unchanged

struct Vec3 {
    float x, y, z;
};
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

template <class T>
Vec3 positionOf(const T& v) {
    return {v.x, v.y, v.z};
}

template <class T>
const uint8_t* payloadOf(const T& v) {
    return reinterpret_cast<const uint8_t*>(&v) + (kHasNormal<T> ? 24 : 12);
}

// One output record: position, the normal when `stride` is 40, the payload.
template <class T>
void writeRecord(uint8_t* out, const T& v, uint32_t stride, const Vec3* flatNormal) {
    std::memcpy(out, &v.x, 12);
    if (stride == 40) {
        if constexpr (kHasNormal<T>)
            std::memcpy(out + 12, &v.nx, 12);
        else
            std::memcpy(out + 12, flatNormal, 12);
    }
    std::memcpy(out + stride - kPayload, payloadOf(v), kPayload);
}

// The normal of a quad seen as two triangles; folded when they face apart.
Vec3 flatNormal(const Vec3 c[4], bool& folded) {
    const Vec3 f1 = cross(c[3] - c[0], c[1] - c[0]);
    const Vec3 f2 = cross(c[2] - c[3], c[1] - c[3]);
    folded = dot(f1, f2) < 0;
    const Vec3 sum = f1 + f2;
    const float length2 = dot(sum, sum);
    if (length2 == 0) return {0, 0, 0};
    if (std::isinf(length2)) {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        return {nan, nan, nan};
    }
    const float length = std::sqrt(length2);
    return {sum.x / length, sum.y / length, sum.z / length};
}

// Draws the quads of `vertices` as records of `stride` bytes.
template <class T>
void drawQuads(const std::vector<T>& vertices, uint32_t stride) {
    const size_t quads = vertices.size() / 4;
    // The corners of each quad as output records, in the order they are used.
    std::vector<uint8_t> corners(quads * 4 * stride);
    for (size_t q = 0; q < quads; ++q) {
        const T* c = &vertices[q * 4];
        Vec3 normal{0, 0, 0};
        size_t start = 0;
        if (stride == 40 && !kHasNormal<T>) {
            const Vec3 p[4] = {positionOf(c[0]), positionOf(c[1]), positionOf(c[2]), positionOf(c[3])};
            bool folded = false;
            normal = flatNormal(p, folded);
            if (folded) start = 1;  // split along the other diagonal
        }
        for (size_t k = 0; k < 4; ++k)
            writeRecord(corners.data() + (q * 4 + k) * stride, c[(start + k) % 4], stride, &normal);
    }
    Direct3DService& d3d = *Direct3DService::get();
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException("Media::VertexList::draw", "resource service not available.");
    if (vertices.size() == 4) {
        Shader::PixelShaderList& list = service->pixelShaders;
        VertexBufferCommon& quad = stride == 40 ? list.singleQuad40 : list.singleQuad28;
        const size_t strip[4] = {0, 1, 3, 2};
        for (size_t i = 0; i < 4; ++i)
            std::memcpy(quad.vertices.get() + i * stride, corners.data() + strip[i] * stride, stride);
        if (quad.buffer)
            d3d.context->updateSubresource(*quad.buffer, quad.vertices.get());
        else
            quad.create(quad.vertices.get(), 4, stride);
        d3d.drawVertexBuffer(quad);
        return;
    }
    std::vector<uint8_t> list(quads * 6 * stride);
    for (size_t q = 0; q < quads; ++q) {
        const uint8_t* c = corners.data() + q * 4 * stride;
        size_t i = q * 6;
        for (size_t k : {0, 1, 3, 3, 1, 2}) std::memcpy(list.data() + stride * i++, c + k * stride, stride);
    }
    VertexBufferCommon buffer;
    buffer.create(list.data(), static_cast<uint32_t>(quads * 6), stride);
    buffer.topology = Platform::gpu::Topology::TriangleList;
    d3d.drawVertexBuffer(buffer);
}

// (x, y, z, 1) times the row-vector matrix, divided by w.
Vec3 transformPoint(Vec3 p, const float m[16]) {
    float out[4];
    for (int j = 0; j < 4; ++j) out[j] = p.x * m[j] + p.y * m[4 + j] + p.z * m[8 + j] + m[12 + j];
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

}  // namespace

template <class T>
void VertexListQuadTemplate<T>::draw() {
    drawQuads(this->vertices, 28);
}

template <class T>
void VertexListQuadTemplate<T>::drawWithNormal() {
    drawQuads(this->vertices, 40);
}

template <class T>
void VertexListQuadTemplate<T>::setShader() {
    if constexpr (kTextured<T>)
        bindShaderUv();
    else
        bindShaderColor();
}

template <class T>
void VertexListQuadTemplate<T>::setDepthShader() {
    if constexpr (kTextured<T>)
        bindShaderUvDepth();
    else
        bindShaderColorDepth();
}

template <class T>
void VertexListQuadTemplate<T>::setNormalShader() {
    if constexpr (kTextured<T>)
        bindShaderUvNormal();
    else
        bindShaderColorNormal();
}

template <class T>
std::shared_ptr<VertexList> VertexListQuadTemplate<T>::createEmpty() const {
    return std::make_shared<typename QuadList<T>::type>();
}

template <class T>
void VertexListQuadTemplate<T>::appendTransformed(const VertexList& other, const float matrix[16], float alphaFactor) {
    const auto* source = dynamic_cast<const VertexListTemplate<T>*>(&other);
    if (!source) return;
    // By index: the other list may be this one.
    const size_t count = source->vertices.size();
    this->vertices.reserve(this->vertices.size() + count);
    for (size_t i = 0; i < count; ++i) {
        T v = source->vertices[i];
        const Vec3 position = transformPoint(positionOf(v), matrix);
        if constexpr (kHasNormal<T>) {
            const Vec3 tip = transformPoint({v.x + v.nx, v.y + v.ny, v.z + v.nz}, matrix);
            v.nx = tip.x - position.x, v.ny = tip.y - position.y, v.nz = tip.z - position.z;
        }
        v.x = position.x, v.y = position.y, v.z = position.z;
        if constexpr (kTextured<T>)
            v.alpha *= alphaFactor;
        else
            v.a *= alphaFactor;
        this->vertices.push_back(v);
    }
}

template class VertexListQuadTemplate<XYZ_UV>;
template class VertexListQuadTemplate<XYZ_COL>;
template class VertexListQuadTemplate<XYZ_UV_NORM>;
template class VertexListQuadTemplate<XYZ_COL_NORM>;

}  // namespace Media
