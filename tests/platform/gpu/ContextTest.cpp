#include <cmath>

#include "GpuFixture.h"

using namespace Platform;
using namespace Platform::gpu;

using ContextTest = GpuTest;

namespace {

// Bytes of a width x height image in the program's layout of `format`, each
// pixel made from its index so that misplaced rows or pixels show.
std::vector<uint8_t> pattern(int32_t format, uint32_t width, uint32_t height, uint32_t pitch) {
    std::vector<uint8_t> out(static_cast<size_t>(pitch) * height, 0xEE);
    const FormatInfo& info = *FormatTable::find(format);
    const uint32_t row = FormatTable::cpuRowBytes(info, width);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t i = 0; i < row; ++i) {
            uint8_t v = static_cast<uint8_t>(y * 37 + i * 11 + 5);
            if (format == 10 && (i % 2) == 1) v &= 0x3B;  // keep halves finite
            out[y * pitch + i] = v;
        }
    }
    return out;
}

std::vector<uint8_t> packRows(const std::vector<uint8_t>& rows, uint32_t rowBytes, uint32_t pitch, uint32_t height) {
    std::vector<uint8_t> out;
    for (uint32_t y = 0; y < height; ++y)
        out.insert(out.end(), rows.begin() + y * pitch, rows.begin() + y * pitch + rowBytes);
    return out;
}

}  // namespace

TEST_F(ContextTest, UploadThenReadBackGivesTheBytesOfEveryFormat) {
    for (int32_t format : {10, 11, 13, 28, 41, 65, 69, 87, 88, 107}) {
        const uint32_t w = 6, h = 3;
        const FormatInfo& info = *FormatTable::find(format);
        const uint32_t row = FormatTable::cpuRowBytes(info, w);
        const uint32_t pitch = row + 12;  // padded rows
        auto pixels = pattern(format, w, h, pitch);
        auto t = makeTexture(w, h, format, kBindShaderResource, pixels.data(), pitch);
        ASSERT_TRUE(t) << format;
        EXPECT_EQ(packRows(pixels, row, pitch, h), readBack(*t)) << "format " << format;
    }
}

TEST_F(ContextTest, Yuy2OfOddWidthKeepsItsLastPixel) {
    // Three pixels: pairs (Y0 U Y1 V) (Y2 U' x V'), the last pair half used.
    const uint8_t yuy2[8] = {10, 20, 30, 40, 50, 60, 70, 80};
    auto t = makeTexture(3, 1, 107, kBindShaderResource, yuy2, 8);
    auto back = readBack(*t);
    ASSERT_EQ(8u, back.size());
    EXPECT_EQ(10, back[0]);
    EXPECT_EQ(20, back[1]);
    EXPECT_EQ(30, back[2]);
    EXPECT_EQ(40, back[3]);
    EXPECT_EQ(50, back[4]);
    EXPECT_EQ(60, back[5]);
    EXPECT_EQ(80, back[7]);
}

TEST_F(ContextTest, ClearsWriteTheValueInTheFormatsLayout) {
    const float color[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    auto rgba16f = makeTexture(4, 4, 10, kBindShaderResource | kBindRenderTarget);
    View* rtv = nullptr;
    ASSERT_EQ(kOk, rgba16f->view(ViewKind::RenderTarget, rtv));
    context().clearRenderTargetView(rtv, color);
    auto px = readBack(*rgba16f);
    float texel[4];
    texelHalf4(px, 4, 3, 3, texel);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(color[i], texel[i], 1e-3) << i;

    auto bgra = makeTexture(2, 2, 87, kBindShaderResource | kBindRenderTarget);
    ASSERT_EQ(kOk, bgra->view(ViewKind::RenderTarget, rtv));
    context().clearRenderTargetView(rtv, color);
    auto b = readBack(*bgra);
    EXPECT_NEAR(191, b[0], 1);  // blue first
    EXPECT_NEAR(128, b[1], 1);
    EXPECT_NEAR(64, b[2], 1);
    EXPECT_EQ(255, b[3]);

    auto mask = makeTexture(3, 2, 65, kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess);
    ASSERT_EQ(kOk, mask->view(ViewKind::RenderTarget, rtv));
    const float half[4] = {1, 1, 1, 0.5f};
    context().clearRenderTargetView(rtv, half);
    auto m = readBack(*mask);
    ASSERT_EQ(6u, m.size());
    for (uint8_t v : m) EXPECT_NEAR(128, v, 1);

    auto depth = makeTexture(2, 2, 41, kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess);
    View* uav = nullptr;
    ASSERT_EQ(kOk, depth->view(ViewKind::UnorderedAccess, uav));
    const float far[4] = {1e10f, 1e10f, 1e10f, 1e10f};
    context().clearUnorderedAccessViewFloat(uav, far);
    auto d = readBack(*depth);
    float f;
    std::memcpy(&f, d.data() + 12, 4);
    EXPECT_EQ(1e10f, f);
    // A view of the wrong kind is dropped.
    context().clearUnorderedAccessViewFloat(rtv, color);
}

TEST_F(ContextTest, RegionCopiesClampOrDropBoxesOutsideEitherTexture) {
    const uint32_t n = 8;
    std::vector<uint8_t> src(n * n * 4);
    for (uint32_t i = 0; i < n * n; ++i) src[i * 4] = static_cast<uint8_t>(i + 1);
    auto source = makeTexture(n, n, 28, kBindShaderResource, src.data(), n * 4);
    struct Case {
        const char* what;
        uint32_t x, y;
        Box box;
        // Expected: destination (dx, dy) holds source (sx, sy) for the rectangle below, zero elsewhere.
        uint32_t dx, dy, w, h, sx, sy;
    };
    const Case cases[] = {
        {"inside", 1, 2, {2, 3, 0, 5, 6, 1}, 1, 2, 3, 3, 2, 3},
        {"right and bottom past the source", 0, 0, {6, 6, 0, 20, 20, 1}, 0, 0, 2, 2, 6, 6},
        {"wholly outside the source", 0, 0, {9, 0, 0, 12, 4, 1}, 0, 0, 0, 0, 0, 0},
        {"left past right", 0, 0, {5, 0, 0, 3, 4, 1}, 0, 0, 0, 0, 0, 0},
        {"wrapped unsigned sum", 0, 0, {4, 4, 0, 0xFFFFFFF0u, 0xFFFFFFF0u, 1}, 0, 0, 4, 4, 4, 4},
        {"destination point outside", 8, 0, {0, 0, 0, 4, 4, 1}, 0, 0, 0, 0, 0, 0},
        {"reaches past the destination", 6, 5, {0, 0, 0, 8, 8, 1}, 6, 5, 2, 3, 0, 0},
        {"empty depth range", 0, 0, {0, 0, 1, 4, 4, 1}, 0, 0, 0, 0, 0, 0},
    };
    const float zero[4] = {0, 0, 0, 0};
    for (const Case& c : cases) {
        auto dst = makeTexture(n, n, 28, kBindShaderResource | kBindRenderTarget);
        View* rtv = nullptr;
        ASSERT_EQ(kOk, dst->view(ViewKind::RenderTarget, rtv));
        context().clearRenderTargetView(rtv, zero);
        context().copySubresourceRegion(*dst, c.x, c.y, *source, &c.box);
        auto px = readBack(*dst);
        for (uint32_t y = 0; y < n; ++y) {
            for (uint32_t x = 0; x < n; ++x) {
                uint8_t want = 0;
                if (x >= c.dx && x < c.dx + c.w && y >= c.dy && y < c.dy + c.h)
                    want = src[((y - c.dy + c.sy) * n + (x - c.dx + c.sx)) * 4];
                ASSERT_EQ(want, px[(y * n + x) * 4]) << c.what << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(ContextTest, WholeCopiesNeedMatchingTextures) {
    std::vector<uint8_t> a(4 * 4 * 8, 0x11);
    auto source = makeTexture(4, 4, 10, kBindShaderResource, a.data(), 32);
    auto same = makeTexture(4, 4, 11, kBindShaderResource | kBindRenderTarget);
    auto other = makeTexture(5, 4, 10, kBindShaderResource | kBindRenderTarget);
    const float zero[4] = {0, 0, 0, 0};
    View* rtv = nullptr;
    (void)other->view(ViewKind::RenderTarget, rtv);
    context().clearRenderTargetView(rtv, zero);
    context().copyResource(*same, *source);   // same texel size: copied bit for bit
    context().copyResource(*other, *source);  // other size: dropped
    context().copyResource(*source, *source);
    EXPECT_EQ(a, readBack(*same));
    EXPECT_EQ(std::vector<uint8_t>(5 * 4 * 8, 0), readBack(*other));
}

TEST_F(ContextTest, ResolveOfAUniformMultisampledTargetKeepsTheColour) {
    auto ms = makeTexture(4, 4, 10, kBindRenderTarget, nullptr, 0, 4);
    ASSERT_TRUE(ms);
    auto single = makeTexture(4, 4, 10, kBindShaderResource | kBindRenderTarget);
    View* rtv = nullptr;
    ASSERT_EQ(kOk, ms->view(ViewKind::RenderTarget, rtv));
    const float color[4] = {0.5f, 0.25f, 1.0f, 0.75f};
    context().clearRenderTargetView(rtv, color);
    context().resolveSubresource(*single, *ms);
    auto px = readBack(*single);
    float texel[4];
    texelHalf4(px, 4, 2, 1, texel);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(color[i], texel[i], 1e-3);
    // Single-sample sources and mismatched formats are dropped.
    context().resolveSubresource(*ms, *single);
}

TEST_F(ContextTest, ManyOperationsGoInOneSubmissionAndMapWaitsForThem) {
    auto a = makeTexture(4, 4, 10, kBindShaderResource | kBindRenderTarget);
    auto b = makeTexture(4, 4, 10, kBindShaderResource | kBindRenderTarget);
    View* rtv = nullptr;
    ASSERT_EQ(kOk, a->view(ViewKind::RenderTarget, rtv));
    ASSERT_EQ(kOk, context().finish());
    const uint64_t before = context().submissionCount();
    for (int i = 0; i < 500; ++i) {
        const float v[4] = {i / 500.0f, 0, 0, 1};
        context().clearRenderTargetView(rtv, v);
        context().copyResource(*b, *a);
    }
    EXPECT_EQ(before, context().submissionCount());
    ASSERT_EQ(kOk, context().flush());
    EXPECT_EQ(before + 1, context().submissionCount());

    // The map of a read-back recorded after more work sees that work.
    const float last[4] = {0.125f, 0.5f, 0, 1};
    context().clearRenderTargetView(rtv, last);
    context().copyResource(*b, *a);
    auto px = readBack(*b);
    float texel[4];
    texelHalf4(px, 4, 1, 1, texel);
    EXPECT_NEAR(0.125f, texel[0], 1e-3);
    EXPECT_NEAR(0.5f, texel[1], 1e-3);
}

TEST_F(ContextTest, TheLastOfTwoReadBacksIntoOneStagingTextureWins) {
    auto a = makeTexture(2, 2, 28, kBindShaderResource | kBindRenderTarget);
    auto b = makeTexture(2, 2, 28, kBindShaderResource | kBindRenderTarget);
    View *rtvA = nullptr, *rtvB = nullptr;
    ASSERT_EQ(kOk, a->view(ViewKind::RenderTarget, rtvA));
    ASSERT_EQ(kOk, b->view(ViewKind::RenderTarget, rtvB));
    const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
    context().clearRenderTargetView(rtvA, red);
    context().clearRenderTargetView(rtvB, green);
    std::unique_ptr<StagingTexture> staging;
    ASSERT_EQ(kOk, device().createStagingTexture(2, 2, 28, staging));
    context().copyResource(*staging, *a);
    context().copyResource(*staging, *b);  // in the same submission, ordered after the first
    MappedTexture m;
    ASSERT_EQ(kOk, context().map(*staging, m));
    const auto* texel = static_cast<const uint8_t*>(m.data);
    EXPECT_EQ(0, texel[0]);
    EXPECT_EQ(255, texel[1]);
}

TEST_F(ContextTest, ObjectsDestroyedWhileRecordedWorkUsesThemLiveUntilItIsDone) {
    auto target = makeTexture(16, 16, 10, kBindShaderResource | kBindRenderTarget);
    for (int i = 0; i < 20; ++i) {
        std::vector<uint8_t> px(16 * 16 * 8, static_cast<uint8_t>(i));
        auto temp = makeTexture(16, 16, 10, kBindShaderResource, px.data(), 16 * 8);
        context().copyResource(*target, *temp);
        if (i % 7 == 0) (void)context().flush();
    }  // each temporary texture is gone before its copy ran
    auto back = readBack(*target);
    EXPECT_EQ(std::vector<uint8_t>(16 * 16 * 8, 19), back);
}

TEST_F(ContextTest, ALongRunOfWorkIsSubmittedInPartsWithoutASyncPoint) {
    auto t = makeTexture(2, 2, 10, kBindShaderResource | kBindRenderTarget);
    View* rtv = nullptr;
    ASSERT_EQ(kOk, t->view(ViewKind::RenderTarget, rtv));
    ASSERT_EQ(kOk, context().finish());
    const uint64_t before = context().submissionCount();
    const float c[4] = {0.5f, 0, 0, 1};
    for (int i = 0; i < 10000; ++i) context().clearRenderTargetView(rtv, c);
    const uint64_t parts = context().submissionCount() - before;
    EXPECT_GE(parts, 2u);
    EXPECT_LE(parts, 3u);
}
