// The blur of "ぼかし" on a 1920x1080 RGBA16F image at radii 5, 50 and 500, in
// the size-keeping mode (the image's own size) and the growing mode, next to
// a full-frame copy pass (the floor: one pass of the same size, into an
// image made once and into a new one) and the same blur on the CPU (running
// sums on one thread). Each iteration waits for the GPU: the time is ms per
// blur. Compare the ratios to the copy pass; a loaded machine moves them all.
// The still blurred frame after frame shows what keeping the blur of an
// unchanged image saves.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "effect/RenderContext.h"
#include "filters/BokashiFilter.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceBuffer.h"
#include "support/BenchFixture.h"

namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;
constexpr size_t kCopy = 2;  // the general copy shader

struct Setup {
    Bench::GpuServices gpu{Bench::GpuServices::kWithShaders};
    std::shared_ptr<Effect::BokashiFilter> blur = std::make_shared<Effect::BokashiFilter>();
    std::shared_ptr<Media::ResourceBuffer> image = Bench::filledImage(kWidth, kHeight, {0.25f, 0.5f, 0.75f, 1});

    Setup() { blur->createCommonResource(); }
    Platform::gpu::Context& context() { return gpu.context(); }
};

Setup& setup() {
    static Setup* s = new Setup();
    return *s;
}

// range(0): 1 draws into a new image each time (as an unpooled pass does), 0 into one made once.
void CopyPass(benchmark::State& state) {
    Setup& s = setup();
    Media::PixelShader& copy = Resource::ResourceService::get()->pixelShaders[kCopy];
    auto kept = std::make_shared<Media::ResourceBuffer>(kWidth, kHeight);
    auto once = [&] {
        auto target = state.range(0) ? std::make_shared<Media::ResourceBuffer>(kWidth, kHeight) : kept;
        copy.drawResourceToResource(*target, *s.image, nullptr);
        s.context().finish();
    };
    once();  // pipeline made outside the timing
    for (auto _ : state) once();
}
BENCHMARK(CopyPass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0): radius; range(1): mode (2 keeps the size, 0 grows).
void GpuBlur(benchmark::State& state) {
    Setup& s = setup();
    const int32_t radius = static_cast<int32_t>(state.range(0)), mode = static_cast<int32_t>(state.range(1));
    auto once = [&] {
        auto out = s.blur->blurImage(s.image, radius, 0, mode);
        benchmark::DoNotOptimize(out);
        s.context().finish();
    };
    once();
    for (auto _ : state) once();
}
BENCHMARK(GpuBlur)->ArgsProduct({{5, 50, 500}, {2, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();

// The filter step on a still image frame after frame, as an export draws it:
// range(0) 1 stamps the image as its source does (kept unchanged), so the blur
// is made once and kept; 0 leaves it unstamped and blurs it every frame.
void StillBlurPerFrame(benchmark::State& state) {
    Setup& s = setup();
    auto filter = std::static_pointer_cast<Effect::BokashiFilter>(s.blur->createInstance());
    filter->shareResource(*s.blur);
    Render::RenderContext context;
    auto still = Bench::filledImage(kWidth, kHeight, {0.25f, 0.5f, 0.75f, 1});
    if (state.range(0)) still->contentStamp = Media::ResourceBuffer::newStamp();
    auto once = [&] {
        auto out = filter->filterVideo(context, still);
        benchmark::DoNotOptimize(out);
        s.context().finish();
    };
    once();
    for (auto _ : state) once();
}
BENCHMARK(StillBlurPerFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same four boxes on the CPU with running sums, edges repeated (mode 2).
void boxLine(const float* in, float* out, int n, int stride, int r) {
    const float divide = 1.0f / static_cast<float>(2 * r + 1);
    for (int c = 0; c < 4; ++c) {
        auto at = [&](int i) { return in[std::clamp(i, 0, n - 1) * stride + c]; };
        float sum = 0;
        for (int k = -r; k < r; ++k) sum += at(k);
        for (int i = 0; i < n; ++i) {
            sum += at(i + r);
            out[i * stride + c] = sum * divide;
            sum -= at(i - r);
        }
    }
}

void CpuBlur(benchmark::State& state) {
    const int32_t size = static_cast<int32_t>(state.range(0));
    std::vector<float> a(size_t(kWidth) * kHeight * 4, 0.5f), b(a.size());
    const int radii[4] = {size - size / 2, size - size / 2, size / 2, size / 2};
    for (auto _ : state) {
        for (int pass = 0; pass < 4; ++pass) {
            const int r = radii[pass];
            if (pass % 2 == 0)
                for (uint32_t x = 0; x < kWidth; ++x) boxLine(&a[x * 4], &b[x * 4], kHeight, kWidth * 4, r);
            else
                for (uint32_t y = 0; y < kHeight; ++y) boxLine(&a[y * kWidth * 4], &b[y * kWidth * 4], kWidth, 4, r);
            a.swap(b);
        }
        benchmark::DoNotOptimize(a.data());
    }
}
BENCHMARK(CpuBlur)->Arg(5)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
