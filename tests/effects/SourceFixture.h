#pragma once
// The built-in sources drawn by the video render worker on lavapipe: the
// effect service with the built-in catalogue, the resource service with its
// figure list, the input service behind the image cache, and a scene of the
// test's objects read back as 8-bit premultiplied BGRA.
#include <cstring>
#include <filesystem>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/OutputView.h"
#include "effects/BuiltinFixture.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "media/resource/ResourceLists.h"
#include "platform/imaging/Codec.h"
#include "plugin/InputCacheSource.h"
#include "plugin/InputService.h"
#include "render/RenderVideoWorker.h"
#include "render/cache/CacheService.h"

namespace SourceTest {

// 8-bit BGRA rows, premultiplied, top first.
struct Picture {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> bgra;
    const uint8_t* at(uint32_t x, uint32_t y) const { return &bgra[(static_cast<size_t>(y) * width + x) * 4]; }
    // Blue, green, red, alpha of the pixel as one text, for messages.
    std::string text(uint32_t x, uint32_t y) const {
        const uint8_t* p = at(x, y);
        return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," +
               std::to_string(p[3]);
    }
};

inline float halfToFloat(uint16_t h) {
    const uint32_t sign = (h & 0x8000u) << 16, exponent = (h >> 10) & 0x1f, mantissa = h & 0x3ff;
    uint32_t bits;
    if (exponent == 0)
        bits = mantissa == 0 ? sign : 0;  // denormals count as 0 here
    else if (exponent == 31)
        bits = sign | 0x7f800000u | (mantissa << 13);
    else
        bits = sign | ((exponent + 112) << 23) | (mantissa << 13);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

inline uint8_t toByte(float v) {
    v = v < 0 ? 0 : v > 1 ? 1 : v;
    return static_cast<uint8_t>(v * 255.0f + 0.5f);
}

// The frame (16-bit float RGBA) as 8-bit BGRA.
inline Picture readPicture(Media::RenderBuffer& buffer) {
    Picture out{buffer.width, buffer.height, {}};
    const auto image = buffer.readImageBuffer();
    out.bgra.resize(static_cast<size_t>(out.width) * out.height * 4);
    for (uint32_t y = 0; y < out.height; ++y)
        for (uint32_t x = 0; x < out.width; ++x) {
            float rgba[4];
            for (int c = 0; c < 4; ++c) {
                uint16_t h;
                std::memcpy(&h, image->data() + y * image->pitch + (x * 4 + c) * 2, 2);
                rgba[c] = halfToFloat(h);
            }
            uint8_t* p = &out.bgra[(static_cast<size_t>(y) * out.width + x) * 4];
            p[0] = toByte(rgba[2]);
            p[1] = toByte(rgba[1]);
            p[2] = toByte(rgba[0]);
            p[3] = toByte(rgba[3]);
        }
    return out;
}

// A PNG of the BGRA rows as they stand (the golden pictures keep the frame's
// premultiplied values).
inline std::string encodePng(const Picture& picture) {
    Platform::imaging::codec::EncodeInput input;
    input.pixels = picture.bgra.data();
    input.width = picture.width;
    input.height = picture.height;
    std::vector<uint8_t> bytes;
    if (Platform::failed(Platform::imaging::codec::encodePng(input, bytes))) return {};
    return std::string(bytes.begin(), bytes.end());
}

// A PNG file as BGRA rows; empty when it does not decode.
inline Picture decodePng(const std::string& bytes) {
    namespace codec = Platform::imaging::codec;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    codec::ImageInfo info;
    if (Platform::failed(codec::readPngHeader(data, bytes.size(), info)) ||
        info.format != Platform::imaging::FormatId::Rgba32)
        return {};
    std::vector<uint8_t> rgba(static_cast<size_t>(info.width) * info.height * 4);
    if (Platform::failed(codec::decodePng(data, bytes.size(), info, rgba.data()))) return {};
    Picture out{info.width, info.height, std::move(rgba)};
    for (size_t i = 0; i < out.bgra.size(); i += 4) std::swap(out.bgra[i], out.bgra[i + 2]);
    return out;
}

// A width x height picture of one colour (b, g, r, a).
inline Picture solid(uint32_t width, uint32_t height, uint8_t b, uint8_t g, uint8_t r, uint8_t a = 255) {
    Picture out{width, height, {}};
    for (uint32_t i = 0; i < width * height; ++i) out.bgra.insert(out.bgra.end(), {b, g, r, a});
    return out;
}

class SourceFixture : public BuiltinFixture {
protected:
    void SetUp() override {
        BuiltinFixture::SetUp();
        // After the test folders, so that the figure folder is the test's.
        previousBuilder_ = Resource::ResourceService::setListBuilder(&Resource::ResourceLists::build);
        resources_ = std::make_unique<System::ServiceHolder<Resource::ResourceService>>();
        images_ = std::make_unique<System::ServiceHolder<Media::ImageService>>();
        input_ = std::make_unique<System::ServiceHolder<Plugin::InputService>>();
        mediaInput_ = std::make_unique<Plugin::InputCacheSource>(*Plugin::InputService::get());
        caches_ = std::make_unique<System::ServiceHolder<Cache::CacheService>>();
        Cache::CacheService::get()->setMediaInput(mediaInput_.get());
        previousReader_ = Effect::setFrameSizeReader(Media::renderBufferSize);
        previousPoster_ = Edit::Project::setErrorPoster([this](const std::wstring& t) { posted.push_back(t); });
    }
    void TearDown() override {
        worker.reset();
        project.reset();
        scene.reset();
        Edit::Project::setErrorPoster(previousPoster_);
        Effect::setFrameSizeReader(previousReader_);
        caches_.reset();
        mediaInput_.reset();
        input_.reset();
        images_.reset();
        resources_.reset();
        Resource::ResourceService::setListBuilder(previousBuilder_);
        BuiltinFixture::TearDown();
    }

    // A new scene of the size, made current for the worker.
    void newScene(int32_t width, int32_t height) {
        project = std::make_unique<Edit::Project>();
        scene = project->getOrCreateScene(0);
        scene->videoWidth = width;
        scene->videoHeight = height;
    }
    bool loadProject(const std::wstring& path) {
        project = std::make_unique<Edit::Project>();
        if (!project->loadProjectFile(path)) return false;
        scene = project->getScene(0);
        return scene != nullptr;
    }
    std::shared_ptr<Edit::Object> add(const wchar_t* source, int32_t layer, int32_t start = 0, int32_t end = 99) {
        auto object = scene->createObject(source, layer, start, end);
        scene->update();
        return object;
    }
    Picture render(int32_t frame = 0) {
        Picture out;
        worker->requestRenderingFrame(Render::kRenderExport, frame,
                                      [&out](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
                                          out = readPicture(buffer);
                                      });
        worker->waitAll();
        return out;
    }
    void writePng(const std::filesystem::path& path, const Picture& picture) { writeFile(path, encodePng(picture)); }

    std::vector<std::wstring> posted;
    std::unique_ptr<Edit::Project> project;
    std::shared_ptr<Edit::Scene> scene;
    std::shared_mutex lock;
    std::unique_ptr<Render::RenderVideoWorker> worker = std::make_unique<Render::RenderVideoWorker>(
        [this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
        Render::RenderVideoWorker::Settings{1 << 24});

private:
    Resource::ResourceService::ListBuilder previousBuilder_;
    std::unique_ptr<System::ServiceHolder<Resource::ResourceService>> resources_;
    std::unique_ptr<System::ServiceHolder<Media::ImageService>> images_;
    std::unique_ptr<System::ServiceHolder<Plugin::InputService>> input_;
    std::unique_ptr<Plugin::InputCacheSource> mediaInput_;
    std::unique_ptr<System::ServiceHolder<Cache::CacheService>> caches_;
    Effect::FrameSizeReader previousReader_ = nullptr;
    Edit::Project::ErrorPoster previousPoster_;
};

}  // namespace SourceTest
