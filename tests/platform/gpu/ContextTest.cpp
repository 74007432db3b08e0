#include <cmath>
#include <future>
#include <thread>

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

TEST_F(ContextTest, Yuy2OfOddWidthUploadsFromRowsOfTwoBytesAPixel) {
    // Three pixels in six bytes: a whole pair and the last pixel's Y and U,
    // whose V comes from the pair before. A lone pixel gets the neutral V.
    const struct {
        const char* what;
        uint32_t width;
        std::vector<uint8_t> rows;    // two rows, pitch 2 x width
        std::vector<uint8_t> texels;  // (U, Y, V, 255) of each pixel of the first row
    } cases[] = {
        {"three pixels",
         3,
         {10, 20, 30, 40, 50, 60, 1, 2, 3, 4, 5, 6},
         {20, 10, 40, 255, 20, 30, 40, 255, 60, 50, 40, 255}},
        {"one pixel", 1, {70, 80, 7, 8}, {80, 70, 128, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto t = makeTexture(c.width, 2, 107, kBindShaderResource, c.rows.data(), c.width * 2);
        ASSERT_TRUE(t);
        auto clone = makeTexture(c.width, 2, 28, kBindShaderResource | kBindRenderTarget);
        ASSERT_EQ(kOk, context().copyResource(*clone, *t));
        auto px = readBack(*clone);
        EXPECT_EQ(c.texels, std::vector<uint8_t>(px.begin(), px.begin() + c.width * 4));
    }
    // Less than two bytes a pixel is still refused.
    const uint8_t short_[5] = {};
    TextureDesc desc{3, 1, 107, 1, kBindShaderResource};
    InitialData init{short_, 5};
    std::unique_ptr<Texture> refused;
    EXPECT_EQ(kInvalidArg, device().createTexture(desc, &init, refused));
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
    (void)context().copyResource(*same, *source);   // same texel size: copied bit for bit
    (void)context().copyResource(*other, *source);  // other size: dropped
    (void)context().copyResource(*source, *source);
    EXPECT_EQ(a, readBack(*same));
    EXPECT_EQ(std::vector<uint8_t>(5 * 4 * 8, 0), readBack(*other));
}

TEST_F(ContextTest, WholeCopiesResolveAndConvertOrFail) {
    // One colour cleared into each source; what sampling the copy gives is compared.
    const float color[4] = {0.5f, 0.25f, 1.0f, 0.75f};
    const struct {
        const char* what;
        int32_t from;
        uint32_t fromSamples;
        int32_t to;
        uint32_t toSamples;
        Result result;
    } cases[] = {
        {"same format", 10, 1, 10, 1, kOk},
        {"16-bit float into 8-bit RGBA", 10, 1, 28, 1, kOk},
        {"RGBA into BGRA", 28, 1, 87, 1, kOk},
        {"BGRA into 16-bit float", 87, 1, 10, 1, kOk},
        {"multisampled into single", 10, 4, 10, 1, kOk},
        {"multisampled into another format", 10, 4, 28, 1, kOk},
        {"multisampled into multisampled", 10, 4, 10, 4, kOk},
        {"single into multisampled", 10, 1, 10, 4, kInvalidArg},
        {"multisampled into multisampled of another layout", 10, 4, 28, 4, kInvalidArg},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const uint32_t bind = kBindRenderTarget | (c.fromSamples == 1 ? kBindShaderResource : 0);
        auto source = makeTexture(4, 4, c.from, bind, nullptr, 0, c.fromSamples);
        auto target =
            makeTexture(4, 4, c.to, c.toSamples == 1 ? kBindShaderResource | kBindRenderTarget : kBindRenderTarget,
                        nullptr, 0, c.toSamples);
        ASSERT_TRUE(source && target);
        View *rtvSource = nullptr, *rtvTarget = nullptr;
        ASSERT_EQ(kOk, source->view(ViewKind::RenderTarget, rtvSource));
        ASSERT_EQ(kOk, target->view(ViewKind::RenderTarget, rtvTarget));
        const float zero[4] = {0, 0, 0, 0};
        context().clearRenderTargetView(rtvSource, color);
        context().clearRenderTargetView(rtvTarget, zero);
        EXPECT_EQ(c.result, context().copyResource(*target, *source));
        // A multisampled target is read through a resolve of its own.
        auto single = makeTexture(4, 4, c.to, kBindShaderResource | kBindRenderTarget);
        if (c.toSamples == 1)
            single = std::move(target);
        else
            context().resolveSubresource(*single, *target);
        const std::vector<uint8_t> px = readBack(*single);
        const float* want = c.result == kOk ? color : zero;
        for (uint32_t y = 0; y < 4; ++y) {
            for (uint32_t x = 0; x < 4; ++x) {
                float texel[4];
                if (c.to == 10 || c.to == 11) {
                    if (c.to == 10) {
                        texelHalf4(px, 4, x, y, texel);
                    } else {
                        for (int i = 0; i < 4; ++i) {
                            uint16_t v;
                            std::memcpy(&v, &px[(y * 4 + x) * 8 + i * 2], 2);
                            texel[i] = v / 65535.0f;
                        }
                    }
                } else {
                    const uint8_t* p = &px[(y * 4 + x) * 4];
                    const bool bgra = c.to == 87;
                    texel[0] = p[bgra ? 2 : 0] / 255.0f;
                    texel[1] = p[1] / 255.0f;
                    texel[2] = p[bgra ? 0 : 2] / 255.0f;
                    texel[3] = p[3] / 255.0f;
                }
                for (int i = 0; i < 4; ++i)
                    ASSERT_NEAR(want[i], texel[i], 1.0 / 255) << x << "," << y << " channel " << i;
            }
        }
    }
}

TEST_F(ContextTest, ACloneOfAYuy2UploadHoldsItsTexels) {
    // Two pixels (Y0 U Y1 V): sampled as (U, Y, V, 1) in any format the clone has.
    const uint8_t yuy2[4] = {16, 64, 235, 192};
    auto source = makeTexture(2, 1, 107, kBindShaderResource, yuy2, 4);
    for (int32_t format : {107, 28, 10}) {
        SCOPED_TRACE(format);
        auto clone = makeTexture(2, 1, format, kBindShaderResource | kBindRenderTarget);
        ASSERT_TRUE(source && clone);
        ASSERT_EQ(kOk, context().copyResource(*clone, *source));
        const auto px = readBack(*clone);
        if (format == 107) {
            EXPECT_EQ(std::vector<uint8_t>(yuy2, yuy2 + 4), px);
            continue;
        }
        for (uint32_t x = 0; x < 2; ++x) {
            const float want[4] = {64 / 255.0f, (x == 0 ? 16 : 235) / 255.0f, 192 / 255.0f, 1};
            float texel[4];
            if (format == 10)
                texelHalf4(px, 2, x, 0, texel);
            else
                for (int i = 0; i < 4; ++i) texel[i] = px[x * 4 + i] / 255.0f;
            for (int i = 0; i < 4; ++i) EXPECT_NEAR(want[i], texel[i], 1e-3) << x << " channel " << i;
        }
    }
}

TEST_F(ContextTest, ReadingBackAMultisampledTargetResolvesIt) {
    auto ms = makeTexture(4, 4, 28, kBindRenderTarget, nullptr, 0, 4);
    ASSERT_TRUE(ms);
    View* rtv = nullptr;
    ASSERT_EQ(kOk, ms->view(ViewKind::RenderTarget, rtv));
    const float color[4] = {1, 0.5f, 0, 1};
    context().clearRenderTargetView(rtv, color);
    for (int32_t format : {28, 87}) {
        SCOPED_TRACE(format);
        std::unique_ptr<StagingTexture> staging;
        ASSERT_EQ(kOk, device().createStagingTexture(4, 4, format, staging));
        ASSERT_EQ(kOk, context().copyResource(*staging, *ms));
        MappedTexture m;
        ASSERT_EQ(kOk, context().map(*staging, m));
        const auto* row = static_cast<const uint8_t*>(m.data) + 2 * m.rowPitch;
        const uint8_t want[4] = {255, 128, 0, 255};
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(want[format == 87 && i != 1 && i != 3 ? 2 - i : i], row[4 + i], 1);
        context().unmap(*staging);
    }
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
        (void)context().copyResource(*b, *a);
    }
    EXPECT_EQ(before, context().submissionCount());
    ASSERT_EQ(kOk, context().flush());
    EXPECT_EQ(before + 1, context().submissionCount());

    // The map of a read-back recorded after more work sees that work.
    const float last[4] = {0.125f, 0.5f, 0, 1};
    context().clearRenderTargetView(rtv, last);
    (void)context().copyResource(*b, *a);
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
    (void)context().copyResource(*staging, *a);
    (void)context().copyResource(*staging, *b);  // in the same submission, ordered after the first
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
        (void)context().copyResource(*target, *temp);
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

// Read-backs handed to another thread: each is submitted without a wait, the
// recording thread goes on drawing into the same texture, and the reader,
// held behind a gate until then, finds in each staging texture the frame that
// was copied into it.
TEST_F(ContextTest, ReadBacksWaitedForOnAnotherThreadHoldTheirOwnFrames) {
    auto frame = makeTexture(2, 2, 28, kBindShaderResource | kBindRenderTarget);
    View* rtv = nullptr;
    ASSERT_EQ(kOk, frame->view(ViewKind::RenderTarget, rtv));
    constexpr int kInFlight = 3;
    std::unique_ptr<StagingTexture> staging[kInFlight];
    uint64_t tickets[kInFlight] = {};
    const uint64_t before = context().submissionCount();
    for (int i = 0; i < kInFlight; ++i) {
        ASSERT_EQ(kOk, device().createStagingTexture(2, 2, 28, staging[i]));
        const float color[4] = {i * 0.25f, 0, 0, 1};
        context().clearRenderTargetView(rtv, color);
        ASSERT_EQ(kOk, context().copyResource(*staging[i], *frame));
        ASSERT_EQ(kOk, context().submitReadBack(*staging[i], tickets[i]));
        EXPECT_NE(0u, tickets[i]);
        if (i > 0) EXPECT_GT(tickets[i], tickets[i - 1]);
    }
    EXPECT_EQ(before + kInFlight, context().submissionCount());  // one submission each, none waited for

    std::promise<void> gate;
    std::promise<std::vector<int>> read;
    std::thread reader([&, opened = gate.get_future()]() mutable {
        opened.wait();
        std::vector<int> reds;
        for (int i = 0; i < kInFlight; ++i) {
            MappedTexture m;
            if (device().mapSubmitted(*staging[i], tickets[i], m) != kOk) break;
            reds.push_back(static_cast<const uint8_t*>(m.data)[0]);
        }
        read.set_value(reds);
    });
    const float later[4] = {1, 1, 1, 1};
    context().clearRenderTargetView(rtv, later);  // drawn on meanwhile, not copied anywhere
    ASSERT_EQ(kOk, context().flush());
    gate.set_value();
    const std::vector<int> reds = read.get_future().get();
    reader.join();
    ASSERT_EQ(static_cast<size_t>(kInFlight), reds.size());
    for (int i = 0; i < kInFlight; ++i) EXPECT_NEAR(i * 64, reds[i], 1) << "frame " << i;
}

// A ticket is given only for a copy that was made, and waited for only once
// its submission was made: nothing waits for work that is never submitted.
TEST_F(ContextTest, ATicketIsGivenAndAcceptedOnlyForASubmittedCopy) {
    auto frame = makeTexture(2, 2, 28, kBindShaderResource | kBindRenderTarget);
    std::unique_ptr<StagingTexture> staging;
    ASSERT_EQ(kOk, device().createStagingTexture(2, 2, 28, staging));
    uint64_t ticket = 7;
    EXPECT_EQ(kInvalidArg, context().submitReadBack(*staging, ticket));  // nothing copied into it yet
    EXPECT_EQ(0u, ticket);
    MappedTexture m;
    EXPECT_EQ(kInvalidArg, device().mapSubmitted(*staging, 0, m));
    ASSERT_EQ(kOk, context().copyResource(*staging, *frame));  // recorded, not submitted
    EXPECT_EQ(kInvalidArg, device().mapSubmitted(*staging, UINT64_MAX, m));
    EXPECT_EQ(nullptr, m.data);
    ASSERT_EQ(kOk, context().submitReadBack(*staging, ticket));
    EXPECT_EQ(kOk, device().mapSubmitted(*staging, ticket, m));
    EXPECT_NE(nullptr, m.data);
}
