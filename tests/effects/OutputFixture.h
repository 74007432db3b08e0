#pragma once
// The outputs drawn by the video render worker on lavapipe: a scene whose
// objects take their image from a test source (pixels the test gives) and
// the real output effects, read back as floats for comparison with a
// reference the test computes.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/ServiceHolder.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"
#include "effect/OutputView.h"
#include "effects/SimpleOutput.h"
#include "effects/VideoOutput.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/image/ImageBuffer.h"
#include "platform/gpu/GpuFixture.h"
#include "render/RenderVideoWorker.h"
#include "support/SuiteGpu.h"

namespace OutputTest {

inline constexpr const wchar_t* kPixels = L"画素テスト";

// Premultiplied RGBA floats, rows top first.
struct Pixels {
    uint32_t width = 0, height = 0;
    std::vector<float> rgba;
    float* at(uint32_t x, uint32_t y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const float* at(uint32_t x, uint32_t y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    // As the 16-bit float textures hold them.
    Pixels rounded() const {
        Pixels out = *this;
        for (float& v : out.rgba) v = halfToFloat(floatToHalf(v));
        return out;
    }
};

// Red along x, green along y, blue 0.25, opaque: a misplaced or mirrored texel shows.
inline Pixels gradient(uint32_t width, uint32_t height) {
    Pixels p{width, height, std::vector<float>(static_cast<size_t>(width) * height * 4)};
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            float* t = p.at(x, y);
            t[0] = (x + 0.5f) / width;
            t[1] = (y + 0.5f) / height;
            t[2] = 0.25f;
            t[3] = 1;
        }
    return p.rounded();
}

// The pixels as a 16-bit float image on the GPU.
inline std::shared_ptr<Media::ResourceBuffer> upload(const Pixels& pixels) {
    std::vector<uint16_t> halves(pixels.rgba.size());
    for (size_t i = 0; i < halves.size(); ++i) halves[i] = floatToHalf(pixels.rgba[i]);
    auto image = std::make_shared<Media::ResourceBuffer>(0, 0);
    image->width = pixels.width;
    image->height = pixels.height;
    image->format = image->Direct3D->pixelFormat;
    const Platform::gpu::InitialData initial{halves.data(), pixels.width * 8};
    image->createTexture2D(&initial);
    return image;
}

// Source: the image of its pixels, made on the per-object thread.
class PixelSource : public Effect::EffectBase {
public:
    PixelSource() {
        name = kPixels;
        role = kInput;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<PixelSource>(); }
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext&) override { return upload(pixels); }

    Pixels pixels;
};

// The test source and the two standard video outputs; new sources get "標準描画".
class OutputCatalog : public Edit::EffectCatalog {
public:
    OutputCatalog() : previous_(current()) { setCurrent(this); }
    ~OutputCatalog() override { setCurrent(previous_); }
    const Effect::EffectBase& findEffect(const std::wstring& name) const override {
        if (name == kPixels) return source_;
        if (name == Effect::VideoOutput::kName) return video_;
        if (name == Effect::SimpleOutput::kName) return simple_;
        throw System::messageException("OutputTest::OutputCatalog::findEffect", "not found effect.");
    }
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase&) const override { return video_; }
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase&) const override { return nullptr; }

private:
    EffectCatalog* previous_;
    PixelSource source_;
    Effect::VideoOutput video_;
    Effect::SimpleOutput simple_;
};

// A catalogue that adds a test's effects to the one installed before it and
// hands every other name on to that one.
class AddedCatalog : public Edit::EffectCatalog {
public:
    AddedCatalog() : previous_(current()) { setCurrent(this); }
    ~AddedCatalog() override { setCurrent(previous_); }
    const Effect::EffectBase& findEffect(const std::wstring& name) const override {
        if (const Effect::EffectBase* effect = added(name)) return *effect;
        return previous_->findEffect(name);
    }
    const Effect::EffectBase& getOutputEffect(const Effect::EffectBase& input) const override {
        return previous_->getOutputEffect(input);
    }
    const Effect::EffectBase* getPairedInputEffect(const Effect::EffectBase& output) const override {
        return previous_->getPairedInputEffect(output);
    }

protected:
    // The added effect of that name, or null.
    virtual const Effect::EffectBase* added(const std::wstring& name) const = 0;

private:
    EffectCatalog* previous_;
};

// One rendered frame read back: RGBA floats.
inline Pixels readFrame(Media::RenderBuffer& buffer) {
    Pixels out{buffer.width, buffer.height, {}};
    const auto image = buffer.readImageBuffer();
    out.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
    for (uint32_t y = 0; y < out.height; ++y)
        for (uint32_t x = 0; x < out.width * 4; ++x) {
            uint16_t h;
            std::memcpy(&h, image->data() + y * image->pitch + x * 2, 2);
            out.rgba[y * out.width * 4 + x] = halfToFloat(h);
        }
    return out;
}

inline void setItem(Effect::EffectItemNumber& item, double value) {
    for (size_t i = 0; i < item.values.size(); ++i) item.setValue(value, static_cast<int32_t>(i));
}

class OutputFixture : public testing::Test {
protected:
    static void SetUpTestSuite() { SuiteGpu::start(SuiteGpu::kWithShaders); }
    static void TearDownTestSuite() { SuiteGpu::stop(); }
    void SetUp() override { previousReader_ = Effect::setFrameSizeReader(Media::renderBufferSize); }
    void TearDown() override { Effect::setFrameSizeReader(previousReader_); }

    void frameSize(int32_t width, int32_t height) {
        scene->videoWidth = width;
        scene->videoHeight = height;
    }
    // An object on the layer showing the pixels through the named output.
    std::shared_ptr<Edit::Object> add(int32_t layer, const Pixels& pixels,
                                      const wchar_t* output = Effect::VideoOutput::kName, int32_t start = 0,
                                      int32_t end = 99) {
        auto object = scene->createObject(kPixels, layer, start, end);
        static_cast<PixelSource&>(*object->effects.front()).pixels = pixels;
        if (output != Effect::VideoOutput::kName) object->effects[1] = catalog.findEffect(output).instantiate();
        scene->update();
        return object;
    }
    template <class T>
    static T& output(const Edit::Object& object) {
        return dynamic_cast<T&>(*object.effects[1]);
    }
    Pixels render(int32_t frame = 0) {
        Pixels out;
        worker.requestRenderingFrame(Render::kRenderExport, frame,
                                     [&out](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
                                         out = readFrame(buffer);
                                     });
        worker.waitAll();
        return out;
    }

    OutputCatalog catalog;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_mutex lock;
    Render::RenderVideoWorker worker{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
                                     Render::RenderVideoWorker::Settings{}};

private:
    Effect::FrameSizeReader previousReader_ = nullptr;
};

}  // namespace OutputTest
