// Text layouts and paths drawn into a 1920x1080 target through the 2-D layer;
// each benchmark draws 1,000 items per iteration and reports the time per item.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw2d/Draw2d.h"
#include "platform/gpu/Gpu.h"

using namespace Platform::draw2d;

namespace {

constexpr int kItems = 1000;
constexpr uint32_t kWidth = 1920, kHeight = 1080;

MemoryTarget& target() {
    static std::unique_ptr<MemoryTarget> t = [] {
        std::unique_ptr<MemoryTarget> out;
        if (MemoryTarget::create(kWidth, kHeight, out) != Platform::kOk) std::abort();
        return out;
    }();
    return *t;
}

const std::vector<std::string>& texts() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> out;
        for (int i = 0; i < kItems; ++i)
            out.push_back("レイヤー " + std::to_string(i) + " テキストオブジェクト Layer text");
        return out;
    }();
    return all;
}

// Creates and draws one layout per item, as a panel does for each label.
void TextLayouts(benchmark::State& state) {
    std::unique_ptr<TextFormat> format;
    if (TextFormat::create("Noto Sans CJK JP", kWeightNormal, FontStyle::Normal, kStretchNormal, 16, "ja-jp", format) !=
        Platform::kOk)
        std::abort();
    format->setWordWrapping(WordWrapping::NoWrap);
    SolidColorBrush brush({0.9f, 0.9f, 0.9f, 1});
    for (auto _ : state) {
        target().beginDraw();
        for (int i = 0; i < kItems; ++i) {
            std::unique_ptr<TextLayout> layout;
            (void)TextLayout::create(texts()[i], *format, 65536, 65536, layout);
            target().drawTextLayout({float(i % 6) * 300, float(i / 6 % 60) * 18}, *layout, brush);
        }
        (void)target().endDraw();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
    state.counters["us_per_item"] =
        benchmark::Counter(double(state.iterations()) * kItems,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(TextLayouts)->Unit(benchmark::kMillisecond);

// Builds, fills and strokes one path per item: lines, a quadratic curve and an arc.
void Paths(benchmark::State& state) {
    SolidColorBrush fill({0.2f, 0.5f, 0.8f, 0.8f});
    SolidColorBrush stroke({1, 1, 1, 1});
    std::unique_ptr<StrokeStyle> style;
    StrokeStyleDesc desc;
    desc.startCap = desc.endCap = desc.dashCap = CapStyle::Round;
    desc.lineJoin = LineJoin::Round;
    desc.miterLimit = 1;
    (void)StrokeStyle::create(desc, nullptr, 0, style);
    for (auto _ : state) {
        target().beginDraw();
        for (int i = 0; i < kItems; ++i) {
            const float x = float(i % 40) * 48, y = float(i / 40) * 43;
            PathGeometry path;
            GeometrySink* sink = nullptr;
            (void)path.open(sink);
            sink->beginFigure({x, y}, FigureBegin::Filled);
            sink->addLine({x + 40, y});
            sink->addQuadraticBezier({x + 44, y + 20}, {x + 40, y + 40});
            sink->addArc({{x, y + 40}, {20, 12}, 0, SweepDirection::Clockwise, ArcSize::Small});
            sink->endFigure(FigureEnd::Closed);
            (void)sink->close();
            target().fillGeometry(path, fill);
            target().drawGeometry(path, stroke, 2, style.get());
        }
        (void)target().endDraw();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
    state.counters["us_per_item"] =
        benchmark::Counter(double(state.iterations()) * kItems,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(Paths)->Unit(benchmark::kMillisecond);

Platform::gpu::Device& device() {
    static std::unique_ptr<Platform::gpu::Device> d = [] {
        std::unique_ptr<Platform::gpu::Device> out;
        if (Platform::gpu::Device::create({}, out) != Platform::kOk) std::abort();
        return out;
    }();
    return *d;
}

// A line of text drawn into a working-format (16-bit float) texture the way a
// text object is each frame: a target over the cleared texture, one layout,
// uploaded at the end. Arguments: the texture's width and height.
void TextIntoGpuBuffer(benchmark::State& state) {
    const uint32_t w = uint32_t(state.range(0)), h = uint32_t(state.range(1));
    std::unique_ptr<Platform::gpu::Texture> texture;
    (void)device().createTexture({w, h, 10, 1, Platform::gpu::kBindShaderResource | Platform::gpu::kBindRenderTarget},
                                 nullptr, texture);
    std::unique_ptr<TextFormat> format;
    (void)TextFormat::create("Noto Sans CJK JP", kWeightNormal, FontStyle::Normal, kStretchNormal, 48, "ja-jp", format);
    SolidColorBrush brush({1, 1, 1, 1});
    for (auto _ : state) {
        std::unique_ptr<GpuTarget> target;
        (void)GpuTarget::create(device(), *texture, true, target);
        std::unique_ptr<TextLayout> layout;
        (void)TextLayout::create(texts()[0], *format, 65536, 65536, layout);
        target->beginDraw();
        target->drawTextLayout({10, 5}, *layout, brush);
        (void)target->endDraw();
        (void)device().context().finish();
    }
}
BENCHMARK(TextIntoGpuBuffer)->Args({640, 64})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
