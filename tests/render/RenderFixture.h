#pragma once
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderBuffer.h"
#include "media/image/ImageBuffer.h"
#include "render/RenderVideoWorker.h"
#include "render/RenderTestEffects.h"
#include "support/SuiteGpu.h"

namespace RenderTest {

// Log lines of every thread, kept while the object lives.
class ThreadLog {
public:
    struct Line {
        std::string level, scope, message;
    };
    ThreadLog() {
        System::Log::setHandler([this](const System::Log::Type& t, const char* scope, const char* message) {
            const std::lock_guard guard(mutex_);
            lines_.push_back({t.name, scope, message});
        });
    }
    ~ThreadLog() { System::Log::setHandler(System::Log::defaultHandler); }
    std::vector<Line> lines() {
        const std::lock_guard guard(mutex_);
        return lines_;
    }
    // Messages of the level, in order.
    std::vector<std::string> messages(const std::string& level) {
        std::vector<std::string> out;
        for (const auto& line : lines())
            if (line.level == level) out.push_back(line.message);
        return out;
    }

private:
    std::mutex mutex_;
    std::vector<Line> lines_;
};

// One rendered frame read back: RGBA floats, rows top first.
struct Frame {
    int32_t frame = -1;
    uint32_t width = 0, height = 0;
    std::vector<float> rgba;
    const float* at(uint32_t x, uint32_t y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    bool clear() const {
        for (float v : rgba)
            if (v != 0) return false;
        return true;
    }
};

inline float halfToFloat(uint16_t h) {
    const uint32_t sign = (h & 0x8000u) << 16, exponent = (h >> 10) & 0x1f, mantissa = h & 0x3ff;
    uint32_t bits;
    if (exponent == 0)
        bits = sign;  // zero (the tests draw no subnormals)
    else if (exponent == 31)
        bits = sign | 0x7f800000u | (mantissa << 13);
    else
        bits = sign | ((exponent + 112) << 23) | (mantissa << 13);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

inline Frame readFrame(int32_t frame, Media::RenderBuffer& buffer) {
    Frame out;
    out.frame = frame;
    out.width = buffer.width;
    out.height = buffer.height;
    if (!buffer.texture) return out;
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

// A scene on the test effects, the project lock and a video worker reading
// the scene through a read scope, on one GPU service per test suite.
class RenderFixture : public testing::Test {
protected:
    static void SetUpTestSuite() { SuiteGpu::start(SuiteGpu::kDeviceOnly); }
    static void TearDownTestSuite() { SuiteGpu::stop(); }
    void SetUp() override {
        scene->videoWidth = 8;
        scene->videoHeight = 6;
        journal().take();
    }

    static Render::RenderVideoWorker::Settings settings() {
        Render::RenderVideoWorker::Settings s;
        s.temporaryImageCacheSize = 1000;
        return s;
    }

    // An object with its default effects; the scene is put in order.
    std::shared_ptr<Edit::Object> add(const wchar_t* effect, int32_t layer, int32_t start = 0, int32_t end = 99) {
        auto object = scene->createObject(effect, layer, start, end);
        scene->update();
        return object;
    }
    // A source on the layer: a w x h image of the colour drawn at (x, y).
    std::shared_ptr<Edit::Object> solid(int32_t layer, const std::string& tag, std::vector<float> color = {1, 0, 0, 1},
                                        uint32_t x = 0, uint32_t y = 0, uint32_t w = 2, uint32_t h = 2) {
        auto object = add(kSolid, layer);
        SolidTestSource& s = source(*object);
        s.tag = tag;
        std::copy(color.begin(), color.end(), s.color);
        s.width = w;
        s.height = h;
        auto& out = static_cast<CopyTestOutput&>(*object->effects[1]);
        out.x = x;
        out.y = y;
        return object;
    }
    // A filter added to the object (or a filter object when the object is none).
    PassTestFilter& filter(const std::shared_ptr<Edit::Object>& object, const std::string& tag) {
        const size_t at = object->addEffect(kPass);
        auto& f = static_cast<PassTestFilter&>(*object->effects[at]);
        f.tag = tag;
        return f;
    }
    PassTestFilter& filterObject(int32_t layer, const std::string& tag) {
        auto object = add(kPass, layer);
        auto& f = static_cast<PassTestFilter&>(*object->effects.front());
        f.tag = tag;
        return f;
    }
    std::shared_ptr<Edit::Object> control(const wchar_t* name, int32_t layer, int32_t range) {
        auto object = add(name, layer);
        static_cast<RangeTestControl&>(*object->effects.front()).range.value = range;
        return object;
    }
    static SolidTestSource& source(const Edit::Object& object) {
        return static_cast<SolidTestSource&>(*object.effects.front());
    }

    // Renders the frame and reads it back in the callback; a frame whose
    // callback did not run has the number -1.
    Frame render(int32_t frame, Render::RenderTaskType tag = Render::kRenderExport) {
        Frame out;
        worker.requestRenderingFrame(tag, frame, [&out](int32_t f, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
            out = readFrame(f, buffer);
        });
        worker.waitAll();
        return out;
    }

    // The journal split by thread: what the render thread prepared, what the
    // per-object thread drew.
    struct Steps {
        std::vector<std::string> prepared, drawn;
    };
    static Steps steps() {
        Steps s;
        for (auto& line : journal().take())
            (line.rfind("prepare", 0) == 0 ? s.prepared : s.drawn).push_back(std::move(line));
        return s;
    }

    TestEffects effects;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_mutex lock;
    Render::RenderVideoWorker worker{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
                                     settings()};
};

}  // namespace RenderTest
