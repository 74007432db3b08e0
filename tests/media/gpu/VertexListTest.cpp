#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "MediaFixture.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/VertexListQuadPosColor.h"
#include "media/gpu/VertexListQuadPosColorNorm.h"
#include "media/gpu/VertexListQuadPosUvCommon.h"
#include "media/gpu/VertexListQuadPosUvNorm.h"

using namespace Media;
using namespace Platform::gpu;

namespace {

// The draw calls made on the context.
class DrawSpy : public ContextTrace {
public:
    explicit DrawSpy(Context& context) : context_(context) { context_.setTrace(this); }
    ~DrawSpy() override { context_.setTrace(nullptr); }
    void call(const char* call, uint32_t slot, const void*) override {
        if (std::string(call) == "draw") draws.push_back(slot);
    }
    std::vector<uint32_t> draws;

private:
    Context& context_;
};

class VertexListTest : public ResourceTest {
protected:
    void TearDown() override {
        context().setVertexShader(nullptr, nullptr);
        context().setPixelShader(nullptr);
        context().setConstantBuffer(ShaderStage::Vertex, 0, nullptr);
        context().setSampler(ShaderStage::Pixel, 0, nullptr);
        d3d().boundVertexShader = nullptr;
        d3d().boundPixelShader = nullptr;
        ResourceTest::TearDown();
    }

    // A frame cleared to one colour, bound as the target with the list
    // constants: x and y scaled to the frame (y down), z kept, alpha and blend.
    std::unique_ptr<RenderBuffer> target(uint32_t w, uint32_t h, float alpha, int blend, float clear[4]) {
        auto buffer = std::make_unique<RenderBuffer>(10, d3d().defaultSampleDesc);
        buffer->createTexture2D(w, h);
        buffer->createRenderTargetView();
        context().clearRenderTargetView(buffer->renderTargetView, clear);
        auto& list = resources().pixelShaders;
        float* k = list.listConstant;
        std::memset(k, 0, sizeof list.listConstant);
        k[0] = 2.0f / w, k[5] = -2.0f / h, k[10] = 1, k[15] = 1;
        k[16] = alpha;
        std::memcpy(&k[17], &blend, 4);
        k[20] = k[25] = k[30] = k[35] = 1;  // normalWorld
        k[36] = 0.5f;                       // shine
        context().updateSubresource(*list.listConstantBuffer.buffer, k);
        context().setConstantBuffer(ShaderStage::Vertex, 0, list.listConstantBuffer.buffer.get());
        context().setConstantBuffer(ShaderStage::Pixel, 0, list.listConstantBuffer.buffer.get());
        context().setRasterizerState(resources().rasterizerStates[0].createResource());
        d3d().boundRasterizerState = nullptr;
        context().setBlendState(nullptr, nullptr);
        d3d().boundBlendState = nullptr;
        d3d().setRenderTarget(*buffer);
        return buffer;
    }

    static XYZ_COL colored(float x, float y, float z, float r, float g, float b, float a) {
        return {x, y, z, r, g, b, a};
    }
    // A quad covering x0..x1, y0..y1 (pixels from the centre) at depth z.
    static void addQuad(std::vector<XYZ_COL>& v, float x0, float x1, float y0, float y1, float z, const float c[4]) {
        for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
            v.push_back(colored(x, y, z, c[0], c[1], c[2], c[3]));
    }
};

TEST_F(VertexListTest, TexturedRectangleDrawsTheSourceFaded) {
    std::vector<float> texels;
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x) texels.insert(texels.end(), {0.25f * x, 0.5f * y, 0.125f, 1});
    auto source = resourceFrom(4, 2, texels);
    float clear[4] = {0, 0, 0, 0};
    auto frame = target(4, 2, 0.5f, 0, clear);
    context().setSampler(ShaderStage::Pixel, 0, resources().samplerStates[6].createResource());
    context().setShaderResource(ShaderStage::Pixel, 0, source->getShaderResourceView());
    VertexListQuadPosUvCommon& rectangle = VertexListQuadPosUvCommon::getRectangle(4, 2);
    rectangle.setShader();
    DrawSpy spy(context());
    rectangle.draw();
    EXPECT_EQ(std::vector<uint32_t>{4}, spy.draws) << "one quad: the shared strip";
    EXPECT_EQ(Topology::TriangleStrip, resources().pixelShaders.singleQuad28.topology);
    context().setRenderTarget(nullptr);
    const auto px = pixelsOf(*frame->texture);
    for (size_t i = 0; i < texels.size(); ++i) EXPECT_NEAR(texels[i] * 0.5f, px[i], 2e-3f) << i;
}

TEST_F(VertexListTest, ListsOfSeveralQuadsDrawTwoTrianglesEachAndIgnoreLooseVertices) {
    float clear[4] = {0, 0, 0, 0};
    auto frame = target(4, 2, 1.0f, 0, clear);
    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 0.5f};
    VertexListQuadPosColor list;
    addQuad(list.vertices, -2, 0, -1, 1, 0, red);
    addQuad(list.vertices, 0, 2, -1, 1, 0, green);
    list.setShader();
    DrawSpy spy(context());
    list.draw();
    VertexListQuadPosColor loose;
    addQuad(loose.vertices, -2, 2, -1, 1, 0, red);
    loose.vertices.resize(6, loose.vertices[0]);
    loose.draw();
    EXPECT_EQ((std::vector<uint32_t>{12, 6}), spy.draws);
    // Drawn last, the loose list covers all; draw the two quads again to check them.
    list.draw();
    context().setRenderTarget(nullptr);
    const auto px = pixelsOf(*frame->texture);
    const float want[2][4] = {{1, 0, 0, 1}, {0, 0.5f, 0, 0.5f}};  // the straight colour premultiplied
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            for (int c = 0; c < 4; ++c) EXPECT_NEAR(want[x / 2][c], px[(y * 4 + x) * 4 + c], 2e-3f) << x << "," << y;
    VertexListQuadPosColor empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_ANY_THROW(empty.draw());
}

TEST_F(VertexListTest, FlatNormalsAndTheSplitOfFoldedQuads) {
    float clear[4] = {0, 0, 0, 0};
    auto frame = target(2, 2, 1.0f, 0, clear);
    VertexListQuadPosUvCommon& rectangle = VertexListQuadPosUvCommon::getRectangle(2, 2);
    rectangle.setShader();
    rectangle.drawWithNormal();
    auto& quad = resources().pixelShaders.singleQuad40;
    EXPECT_EQ(40u, quad.stride);
    const float* records = reinterpret_cast<const float*>(quad.vertices.get());
    // Strip order c0, c1, c3, c2; each record position, normal, uv, alpha, word.
    const float corners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(corners[i][0], records[i * 10 + 0]) << i;
        EXPECT_EQ(corners[i][1], records[i * 10 + 1]) << i;
        EXPECT_EQ(0.0f, records[i * 10 + 3]);
        EXPECT_EQ(0.0f, records[i * 10 + 4]);
        EXPECT_EQ(-1.0f, records[i * 10 + 5]);
        EXPECT_EQ(1.0f, records[i * 10 + 8]);  // alpha
    }
    // Folded: c2 lifted out of the plane the other way round so that the two
    // triangles face apart; the quad then starts at c1.
    VertexListQuadPosUv folded;
    folded.vertices = {{0, 0, 0, 0, 0, 1, 0}, {1, 0, 0, 1, 0, 1, 0}, {0, 1, 0, 1, 1, 1, 0}, {0, 1, 0.5f, 0, 1, 1, 0}};
    folded.vertices[2] = {1, 1, -50, 1, 1, 1, 0};
    folded.vertices[3] = {0, 1, 50, 0, 1, 1, 0};
    folded.drawWithNormal();
    EXPECT_EQ(1.0f, records[0]) << "starts at c1";
    EXPECT_EQ(0.0f, records[1]);
    // A list with its own normals keeps them; draw() drops them.
    VertexListQuadPosUvNorm own;
    for (int i = 0; i < 4; ++i)
        own.vertices.push_back({corners[i][0], corners[i][1], 0, 0.6f, 0.8f, 0, 0.5f, 0.5f, 0.25f, 7});
    own.drawWithNormal();
    EXPECT_EQ(0.6f, records[3]);
    EXPECT_EQ(0.8f, records[4]);
    own.draw();
    const float* short28 = reinterpret_cast<const float*>(resources().pixelShaders.singleQuad28.vertices.get());
    EXPECT_EQ(0.5f, short28[3]);   // u right after the position
    EXPECT_EQ(0.25f, short28[5]);  // alpha
    uint32_t word;
    std::memcpy(&word, &short28[6], 4);
    EXPECT_EQ(7u, word);
    context().setRenderTarget(nullptr);
}

TEST_F(VertexListTest, AppendingTransformsPositionsAndNormalsAndScalesAlpha) {
    VertexListQuadPosUvCommon& rectangle = VertexListQuadPosUvCommon::getRectangle(100, 50);
    EXPECT_EQ(-50.0f, rectangle.vertices[0].x);
    EXPECT_EQ(-25.0f, rectangle.vertices[0].y);
    EXPECT_EQ(0.0f, rectangle.vertices[0].u);
    EXPECT_EQ(25.0f, rectangle.vertices[2].y);
    auto empty = rectangle.createEmpty();
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_NE(nullptr, dynamic_cast<VertexListQuadPosUv*>(empty.get()));
    EXPECT_EQ(nullptr, dynamic_cast<VertexListQuadPosUvCommon*>(empty.get()));

    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    empty->appendTransformed(rectangle, identity, 0.5f);
    auto& copy = static_cast<VertexListQuadPosUv&>(*empty);
    ASSERT_EQ(4u, copy.vertices.size());
    EXPECT_EQ(50.0f, copy.vertices[1].x);
    EXPECT_EQ(0.5f, copy.vertices[1].alpha);
    // Appending a list to itself doubles it.
    copy.appendTransformed(copy, identity, 1.0f);
    EXPECT_EQ(8u, copy.vertices.size());
    // Another vertex type is ignored.
    VertexListQuadPosColor colored;
    colored.vertices.push_back({1, 2, 3, 1, 1, 1, 1});
    copy.appendTransformed(colored, identity, 1.0f);
    EXPECT_EQ(8u, copy.vertices.size());

    // Scale by 2, move by (10, 0, 0), w = 2 everywhere: positions halve after scaling.
    const float m[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 10, 0, 0, 2};
    VertexListQuadPosColorNorm normals;
    VertexListQuadPosColorNorm source;
    source.vertices.push_back({1, 1, 1, 0, 0, 1, 0.1f, 0.2f, 0.3f, 0.8f});
    normals.appendTransformed(source, m, 0.25f);
    const XYZ_COL_NORM& v = normals.vertices.at(0);
    EXPECT_FLOAT_EQ(6.0f, v.x);  // (2 + 10) / 2
    EXPECT_FLOAT_EQ(1.0f, v.y);
    EXPECT_FLOAT_EQ(1.0f, v.z);
    EXPECT_FLOAT_EQ(0.0f, v.nx);
    EXPECT_FLOAT_EQ(1.0f, v.nz);  // (4 / 2) - 1, not renormalised
    EXPECT_FLOAT_EQ(0.2f, v.a);
    EXPECT_FLOAT_EQ(0.3f, v.b);
}

TEST_F(VertexListTest, ColouredSetBlendsWithTheTargetCopy) {
    auto copy = resourceFrom(2, 1, {0.4f, 0.6f, 0.8f, 1, 0.4f, 0.6f, 0.8f, 1});
    float clear[4] = {0, 0, 0, 0};
    auto frame = target(2, 1, 1.0f, 3, clear);  // multiply
    context().setShaderResource(ShaderStage::Pixel, 1, copy->getShaderResourceView());
    VertexListQuadPosColor list;
    const float half[4] = {0.5f, 1, 0.25f, 1};
    addQuad(list.vertices, -1, 1, -0.5f, 0.5f, 0, half);
    list.setShader();
    list.draw();
    context().setRenderTarget(nullptr);
    const auto px = pixelsOf(*frame->texture);
    const float want[4] = {0.2f, 0.6f, 0.2f, 1};
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(want[c], px[c], 2e-3f) << c;
}

TEST_F(VertexListTest, DepthSetKeepsOpaqueAndTransparentLayersAndTheResolveShowsTheFrontOne) {
    float clear[4] = {0, 0, 0, 0};
    auto frame = target(2, 1, 1.0f, 0, clear);
    View* views[3] = {frame->getDepthBuffer()->getUnorderedAccessView(),
                      frame->getTransparentBuffer()->getUnorderedAccessView(),
                      frame->getTransparentDepthBuffer()->getUnorderedAccessView()};
    d3d().setRenderTargetWithUav(*frame, 3, views);
    auto quad = [](float z, const float c[4]) {
        VertexListQuadPosColor list;
        addQuad(list.vertices, -1, 1, -0.5f, 0.5f, z, c);
        return list;
    };
    const float red[4] = {1, 0, 0, 1}, blueHalf[4] = {0, 0, 1, 0.5f}, greenHalf[4] = {0, 1, 0, 0.5f};
    auto opaque = quad(0.5f, red);  // depth 51.2 / 0.5
    opaque.setDepthShader();
    opaque.draw();
    auto behind = quad(0.25f, blueHalf);  // 204.8: hidden
    behind.draw();
    auto front = quad(0.8f, greenHalf);  // 64: kept in the transparent layer
    front.draw();
    d3d().setRenderTargetWithUav(*frame, 0, nullptr);
    context().setRenderTarget(nullptr);
    auto px = pixelsOf(*frame->texture);
    EXPECT_NEAR(1.0f, px[0], 2e-3f);
    EXPECT_NEAR(0.0f, px[1], 2e-3f);
    EXPECT_NEAR(0.0f, px[2], 2e-3f);
    const auto depth = readBack(*frame->getDepthBuffer()->texture);
    const auto transparentDepth = readBack(*frame->getTransparentDepthBuffer()->texture);
    float d, t;
    std::memcpy(&d, depth.data(), 4);
    std::memcpy(&t, transparentDepth.data(), 4);
    EXPECT_NEAR(102.4f, d, 1e-3f);
    EXPECT_NEAR(64.0f, t, 1e-3f);
    const auto transparent = pixelsOf(*frame->getTransparentBuffer()->texture);
    EXPECT_NEAR(0.5f, transparent[1], 2e-3f);
    EXPECT_NEAR(0.5f, transparent[3], 2e-3f);

    // The resolve draws the transparent layer, over the target with blending.
    d3d().setRenderTargetWithUav(*frame, 3, views);
    Media::PixelShader& resolve = resources().pixelShaders.listPixelShaders[4];
    resolve.draw(resolve, resources().blendStates[0].createResource(), nullptr);
    d3d().setRenderTargetWithUav(*frame, 0, nullptr);
    context().setRenderTarget(nullptr);
    px = pixelsOf(*frame->texture);
    EXPECT_NEAR(0.5f, px[0], 2e-3f);
    EXPECT_NEAR(0.5f, px[1], 2e-3f);
    EXPECT_NEAR(1.0f, px[3], 2e-3f);
}

}  // namespace

namespace {

TEST_F(VertexListTest, BuiltInSetsTakeTheirInputsFromTheVertexRecords) {
    struct Case {
        size_t set;
        std::vector<std::pair<std::string, uint32_t>> elements;  // semantic and offset
    };
    const Case cases[] = {
        {0, {{"POSITION", 0}, {"TEXUV", 12}, {"COLOR", 20}}},
        {1, {{"POSITION", 0}, {"TEXUV", 12}, {"COLOR", 20}}},
        {2, {{"POSITION", 0}, {"NORMAL", 12}, {"TEXUV", 24}, {"COLOR", 32}}},
        {3, {{"POSITION", 0}, {"COLOR", 12}}},
        {4, {{"POSITION", 0}, {"COLOR", 12}}},
        {5, {{"POSITION", 0}, {"NORMAL", 12}, {"COLOR", 24}}},
        {6, {{"POSITION", 0}, {"NORMAL", 12}}},
    };
    for (const Case& c : cases) {
        const auto& elements = resources().pixelShaders.listVertexShaders[c.set].layout->elements();
        ASSERT_EQ(c.elements.size(), elements.size()) << c.set;
        for (size_t i = 0; i < elements.size(); ++i) {
            EXPECT_EQ(c.elements[i].first, elements[i].semanticName) << c.set;
            EXPECT_EQ(c.elements[i].second, elements[i].offset) << c.set << " " << c.elements[i].first;
        }
    }
}

TEST_F(VertexListTest, LightPassAddsDirectionalLightsToTheAmbient) {
    // Two pixels: a surface facing the viewer with shine 0.5, and no surface.
    auto normals = resourceFrom(2, 1, {0, 0, -1, 0.5f, 0, 0, 0, -1});
    float clear[4] = {0, 0, 0, 0};
    auto frame = target(2, 1, 1.0f, 0, clear);
    struct Light {
        int32_t type;
        float pos[3];
        float col[4];
    };
    struct {
        Light source[8];
        int32_t lightNum;
        float ambient[3];
        float pad[3];
    } constants{};
    const float tilt = std::sqrt(0.5f);
    constants.source[0] = {1, {0, tilt, -tilt}, {1, 0.5f, 0.25f, 1}};
    constants.source[1] = {2, {0, 0, -1}, {5, 5, 5, 5}};  // not directional: adds nothing
    constants.source[2] = {1, {0, 0, -1}, {9, 9, 9, 9}};  // beyond lightNum
    constants.lightNum = 2;
    constants.ambient[0] = 0.1f, constants.ambient[1] = 0.2f, constants.ambient[2] = 0.3f;
    Media::ConstantBufferCommon buffer;
    buffer.create(&constants, 272);
    context().setConstantBuffer(ShaderStage::Pixel, 0, buffer.buffer.get());
    context().setShaderResource(ShaderStage::Pixel, 0, normals->getShaderResourceView());
    auto& list = resources().pixelShaders;
    context().setVertexShader(list.listVertexShaders[6].shader.get(), list.listVertexShaders[6].layout.get());
    context().setPixelShader(list.listPixelShaders[3].shader.get());
    const float quad[4 * 6] = {-1, -1, 0, 0, 0, -1, 1, -1, 0, 0, 0, -1, -1, 1, 0, 0, 0, -1, 1, 1, 0, 0, 0, -1};
    Media::VertexBufferCommon strip;
    strip.create(quad, 4, 24);
    d3d().drawVertexBuffer(strip);
    context().setShaderResource(ShaderStage::Pixel, 0, nullptr);
    context().setRenderTarget(nullptr);
    // The formula on the CPU: N = V = (0, 0, -1), L tilted by 45 degrees.
    const float a = std::pow((1 - 0.5f) * (1 - 0.5f), 2.0f);
    const float NV = 1, NL = tilt, hl = std::sqrt(0.5f + 0.5f * tilt);  // H = normalize(V + L)
    const float NH = hl;
    const float F = 0.04f + 0.96f * std::pow(1 - hl, 5.0f);
    const float q = NH * NH * (a - 1) + 1;
    const float D = a / (q * q);
    const float G = 0.5f / (NL * std::sqrt(NV * NV * (1 - a) + a) + NV * std::sqrt(NL * NL * (1 - a) + a) + 0.00001f);
    const float k = (D * G * F + (1 - F)) * NL;
    const float want[4] = {0.1f + k, 0.2f + 0.5f * k, 0.3f + 0.25f * k, k};
    const auto px = pixelsOf(*frame->texture);
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(want[c], px[c], 3e-3f + 2e-3f * want[c]) << c;
    for (int c = 0; c < 4; ++c) EXPECT_EQ(0.0f, px[4 + c]) << "no surface: discarded";
}

TEST_F(VertexListTest, NormalSetStoresTheFacingNormalWithTheShine) {
    float clear[4] = {0, 0, 0, 0};
    auto frame = target(2, 1, 1.0f, 0, clear);
    View* views[5] = {frame->getDepthBuffer()->getUnorderedAccessView(),
                      frame->getTransparentBuffer()->getUnorderedAccessView(),
                      frame->getTransparentDepthBuffer()->getUnorderedAccessView(),
                      frame->getNormalBuffer()->getUnorderedAccessView(),
                      frame->getNormalTransparentBuffer()->getUnorderedAccessView()};
    d3d().setRenderTargetWithUav(*frame, 5, views);
    VertexListQuadPosColorNorm list;
    // Left pixel: front face; right pixel: the same quad wound the other way (a back face).
    const float n[3] = {0, 0.6f, 0.8f};
    for (auto [x0, x1] : {std::pair{-1.0f, 0.0f}, {1.0f, 0.0f}})
        for (auto [x, y] : {std::pair{x0, -0.5f}, {x1, -0.5f}, {x1, 0.5f}, {x0, 0.5f}})
            list.vertices.push_back({x, y, 0.5f, n[0], n[1], n[2], 1, 1, 1, 1});
    list.setNormalShader();
    list.drawWithNormal();
    d3d().setRenderTargetWithUav(*frame, 0, nullptr);
    context().setRenderTarget(nullptr);
    const auto normal = pixelsOf(*frame->getNormalBuffer()->texture);
    const float want[2][4] = {{0, 0.6f, 0.8f, 0.5f}, {0, -0.6f, -0.8f, 0.5f}};
    // Which of the two is the front face follows the rasterizer's winding; one of each.
    const bool leftFront = normal[1] > 0;
    for (int x = 0; x < 2; ++x)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(want[(x == 0) == leftFront ? 0 : 1][c], normal[x * 4 + c], 2e-3f) << x << "," << c;
    const auto px = pixelsOf(*frame->texture);
    EXPECT_NEAR(1.0f, px[0], 2e-3f);
    EXPECT_NEAR(1.0f, px[4], 2e-3f);
}

TEST_F(VertexListTest, ShrunkTexturesAreReadOverThePixelsFootprint) {
    // Columns 1, 0, 0, 1: one filtered sample at the centre would give 0; three
    // by three samples at the cell centres give (5/6 + 0 + 5/6) / 3.
    std::vector<float> texels;
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x) {
            const float v = x == 0 || x == 3 ? 1.0f : 0.0f;
            texels.insert(texels.end(), {v, v, v, 1});
        }
    auto source = resourceFrom(4, 4, texels);
    float clear[4] = {0, 0, 0, 0};
    auto frame = target(1, 1, 1.0f, 0, clear);
    context().setSampler(ShaderStage::Pixel, 0, resources().samplerStates[1].createResource());
    context().setShaderResource(ShaderStage::Pixel, 0, source->getShaderResourceView());
    VertexListQuadPosUvCommon& rectangle = VertexListQuadPosUvCommon::getRectangle(1, 1);
    rectangle.setShader();
    rectangle.draw();
    context().setShaderResource(ShaderStage::Pixel, 0, nullptr);
    context().setRenderTarget(nullptr);
    const auto px = pixelsOf(*frame->texture);
    EXPECT_NEAR(5.0f / 9, px[0], 3e-3f);
    EXPECT_NEAR(1.0f, px[3], 2e-3f);
}

}  // namespace
