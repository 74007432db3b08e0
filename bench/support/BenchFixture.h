#pragma once
// What the render benches share: the software GPU they run on, the small
// effects their scenes are made of, the model a worker reads those scenes
// from, and the timed loop of an export-style frame run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>

#include "core/Exception.h"
#include "core/ServiceHolder.h"
#include "edit/EffectCatalog.h"
#include "edit/ProjectQueries.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/ModelQueries.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "render/RenderVideoWorker.h"

namespace Bench {

// Loads the software Vulkan driver and keeps it for the whole run, so every
// GPU bench measures the same device on any machine.
void loadSoftwareGpu();

struct SoftwareGpu {
    SoftwareGpu() { loadSoftwareGpu(); }
};

// The GPU device on the software driver and, when asked for, the shared
// shaders (without them the drawing takes its shader-less paths).
struct GpuServices : private SoftwareGpu {
    enum Shaders { kDeviceOnly, kWithShaders };
    explicit GpuServices(Shaders shaders);
    Platform::gpu::Context& context() const { return *d3d.get()->context; }

    System::ServiceHolder<Media::Direct3DService> d3d;
    std::optional<System::ServiceHolder<Resource::ResourceService>> resources;
};

// A width x height image cleared to `colour`, the clear finished.
std::shared_ptr<Media::ResourceBuffer> filledImage(uint32_t width, uint32_t height, const float (&colour)[4]);

// A video effect of the name and role.
class VideoEffect : public Effect::EffectBase {
public:
    VideoEffect(const wchar_t* effectName, uint8_t effectRole);
};

// A source whose 480x270 image is made once and handed out on every frame.
class SolidSource : public VideoEffect {
public:
    SolidSource();
    std::shared_ptr<Effect::EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext&) override;

    float color[4] = {1, 1, 1, 1};
    std::shared_ptr<Media::ResourceBuffer> image;
};

// An output copying the image to a fixed point of the frame.
class PlaceOutput : public VideoEffect {
public:
    PlaceOutput();
    std::shared_ptr<Effect::EffectBase> createInstance() const override;
    void outputVideo(Render::RenderContext&, Media::RenderBuffer& target,
                     std::shared_ptr<Media::ResourceBuffer> image) override;

    uint32_t x = 0, y = 0;
};

// The catalogue of a bench scene: one source and the output paired with it.
template <class Source, class Output>
class Catalog : public Edit::EffectCatalog {
public:
    Catalog() { setCurrent(this); }
    ~Catalog() override { setCurrent(nullptr); }
    const Effect::EffectBase& findEffect(const std::wstring& name) const override {
        if (name == source.name) return source;
        if (name == output.name) return output;
        throw System::messageException("Bench::Catalog::findEffect", "not found effect.");
    }
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase&) const override { return output; }
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase&) const override { return nullptr; }

    Source source;
    Output output;
};

// The model a render worker reads: the project queries installed, the
// catalogue, a scene and the lock the worker's readers hold it under.
template <class Source, class Output>
struct Model {
    Model() = default;
    Model(int32_t width, int32_t height) {
        scene->videoWidth = width;
        scene->videoHeight = height;
    }
    std::function<std::unique_ptr<Edit::ReadSection>()> reader() {
        return [this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); };
    }

    Edit::ProjectQueries queries;
    Effect::ModelQueriesScope installed{queries};
    Catalog<Source, Output> catalog;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_mutex lock;
};

using SolidModel = Model<SolidSource, PlaceOutput>;

// Fills the scene with `objects` solid sources, one a layer, each `frames`
// long, tiled four across in 480x270 cells, shaded by layer; then updates it.
void addSolidGrid(Edit::Scene& scene, int32_t objects, int32_t frames);

// The worker settings of the solid-grid benches: room for two cached 1080p frames.
Render::RenderVideoWorker::Settings solidGridSettings();

// Requests `frames` frames as an export does, per iteration, and waits for the
// GPU; reports frames per second and GPU submissions per frame.
void measureExportFrames(benchmark::State& state, Render::RenderVideoWorker& worker, Platform::gpu::Context& context,
                         int32_t frames);

}  // namespace Bench
