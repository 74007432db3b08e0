// Upload, read-back and clear at 1920x1080 through the GPU layer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gpu/Gpu.h"

using namespace Platform::gpu;

namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;

Device& device() {
    static std::unique_ptr<Device> d = [] {
        std::unique_ptr<Device> out;
        if (Device::create({}, out) != Platform::kOk) std::abort();
        return out;
    }();
    return *d;
}

void UploadBgra8(benchmark::State& state) {
    std::vector<uint8_t> pixels(kWidth * kHeight * 4, 0x80);
    InitialData init{pixels.data(), kWidth * 4};
    for (auto _ : state) {
        std::unique_ptr<Texture> t;
        (void)device().createTexture({kWidth, kHeight, 87, 1, kBindShaderResource}, &init, t);
        (void)device().context().copyResource(*t, *t);  // no-op; the upload is waited for by finish
        (void)device().context().finish();
    }
}
BENCHMARK(UploadBgra8)->Unit(benchmark::kMillisecond);

void ReadBackRgba16f(benchmark::State& state) {
    std::unique_ptr<Texture> t;
    (void)device().createTexture({kWidth, kHeight, 10, 1, kBindShaderResource | kBindRenderTarget}, nullptr, t);
    std::unique_ptr<StagingTexture> staging;
    (void)device().createStagingTexture(kWidth, kHeight, 10, staging);
    View* rtv = nullptr;
    (void)t->view(ViewKind::RenderTarget, rtv);
    const float c[4] = {0.5f, 0.5f, 0.5f, 1};
    device().context().clearRenderTargetView(rtv, c);
    std::vector<uint8_t> image(kWidth * kHeight * 8);
    for (auto _ : state) {
        (void)device().context().copyResource(*staging, *t);
        MappedTexture m;
        (void)device().context().map(*staging, m);
        for (uint32_t y = 0; y < kHeight; ++y)
            std::memcpy(image.data() + y * kWidth * 8, static_cast<const uint8_t*>(m.data) + y * m.rowPitch,
                        kWidth * 8);
        device().context().unmap(*staging);
    }
}
BENCHMARK(ReadBackRgba16f)->Unit(benchmark::kMillisecond);

void ClearRgba16f(benchmark::State& state) {
    std::unique_ptr<Texture> t;
    (void)device().createTexture({kWidth, kHeight, 10, 1, kBindShaderResource | kBindRenderTarget}, nullptr, t);
    View* rtv = nullptr;
    (void)t->view(ViewKind::RenderTarget, rtv);
    const float c[4] = {0, 0, 0, 0};
    for (auto _ : state) {
        device().context().clearRenderTargetView(rtv, c);
        (void)device().context().finish();
    }
}
BENCHMARK(ClearRgba16f)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
