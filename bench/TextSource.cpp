// The text source's cost per 1080p frame for the export yardstick's line of
// text ("velmo", size 64, white): the kept image handed out again while nothing
// shown changes, against laying the text out and drawing it into a new image
// every frame. Report the ratio of the two.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "edit/ProjectQueries.h"
#include "effect/ModelQueries.h"
#include "effect/RenderContext.h"
#include "effects/TextInput.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/text/TextDraw.h"

namespace {

void readFonts(std::vector<std::wstring>& names, std::wstring& defaultName) {
    if (const Media::Direct2DService* d2d = Media::Direct2DService::get())
        d2d->fontManager.familyNames(names, defaultName);
}

struct Setup {
    System::ServiceHolder<Media::Direct3DService> d3d;
    System::ServiceHolder<Resource::ResourceService> resources;
    System::ServiceHolder<Media::Direct2DService> d2d;
    Edit::ProjectQueries queries;
    Effect::ModelQueriesScope scope{queries};

    Setup() { Edit::ProjectQueries::setFontListReader(readFonts); }
};

Setup& setup() {
    static Setup s;
    return s;
}

// The yardstick's text object's source.
std::unique_ptr<Effect::TextInput> velmo() {
    setup();
    auto source = std::make_unique<Effect::TextInput>();
    source->text.text = L"velmo";
    source->size.fromString("64");
    source->font.fromString("DejaVu Sans");
    return source;
}

void finish() { setup().d3d.get()->context->finish(); }

// Every frame of a text that does not change.
void TextFrameKept(benchmark::State& state) {
    auto source = velmo();
    Render::RenderContext context;
    for (auto _ : state) {
        benchmark::DoNotOptimize(source->inputVideo(context));
        finish();
    }
}
BENCHMARK(TextFrameKept)->Unit(benchmark::kMicrosecond);

// The same text laid out and drawn into a new image every frame.
void TextFrameRedrawn(benchmark::State& state) {
    auto source = velmo();
    for (auto _ : state) {
        Media::TextDraw layout;
        Effect::TextInput::LayoutText texts;
        source->buildTextLayout(layout, texts, nullptr, Effect::TextInput::alignmentRow(0),
                                Effect::TextInput::decorationRow(0));
        layout.measure();
        auto image = std::make_shared<Media::ResourceBuffer>(uint32_t(std::ceil(layout.blockWidth())),
                                                             uint32_t(std::ceil(layout.blockHeight())));
        layout.draw(*image, true);
        benchmark::DoNotOptimize(image);
        finish();
    }
}
BENCHMARK(TextFrameRedrawn)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
