#pragma once
// Script objects drawn by the video render worker: the services the scripts
// run with, script sources and filters made for the test's folder, one run
// of a script as an object's source, and the comparisons of the results.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/TextConvert.h"
#include "effect/RenderContext.h"
#include "effects/ImageLoad.h"
#include "effects/SourceFixture.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "platform/gpu/Context.h"
#include "platform/gpu/Device.h"
#include "render/ResourceCache.h"
#include "script/ScriptInput.h"
#include "script/ScriptPluginInstance.h"
#include "script/ScriptService.h"

namespace SourceTest {

inline constexpr const char* kEngines[] = {"lua", "luaJIT"};

// Channels that differ by more than 2 between two pictures of one size.
inline size_t differing(const Picture& a, const Picture& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.bgra.size(); ++i) n += std::abs(int32_t(a.bgra[i]) - int32_t(b.bgra[i])) > 2;
    return n;
}

// The pixel of a working-format image (16-bit float RGBA) as bytes B, G, R, A.
inline std::string pixelOf(Media::ResourceBuffer& image, uint32_t x, uint32_t y) {
    Media::Direct3DService& d3d = *Media::Direct3DService::get();
    std::unique_ptr<Platform::gpu::StagingTexture> staging;
    if (d3d.device->createStagingTexture(image.width, image.height, image.format, staging) != Platform::kOk)
        return "no staging";
    (void)d3d.context->copyResource(*staging, *image.texture);
    Platform::gpu::MappedTexture mapped;
    if (d3d.context->map(*staging, mapped) != Platform::kOk) return "no map";
    uint16_t half[4];
    std::memcpy(half, static_cast<const uint8_t*>(mapped.data) + y * mapped.rowPitch + x * 8, 8);
    d3d.context->unmap(*staging);
    return std::to_string(toByte(halfToFloat(half[2]))) + "," + std::to_string(toByte(halfToFloat(half[1]))) + "," +
           std::to_string(toByte(halfToFloat(half[0]))) + "," + std::to_string(toByte(halfToFloat(half[3])));
}

class ScriptRenderFixture : public SourceFixture {
protected:
    static void SetUpTestSuite() {
        SourceFixture::SetUpTestSuite();
        d2d_ = new System::ServiceHolder<Media::Direct2DService>();
    }
    static void TearDownTestSuite() {
        delete d2d_;
        d2d_ = nullptr;
        SourceFixture::TearDownTestSuite();
    }

    static std::string data(const std::string& name) { return std::string(VELMO_SCRIPT_TEST_DATA) + "/" + name; }

    // The picture against the golden picture of that name in the test data:
    // the same size, and at most one channel in 500 off by more than 2.
    // VELMO_UPDATE_GOLDEN=1 writes the picture as the golden one first.
    static void expectGolden(const Picture& picture, const std::string& name) {
        const std::string golden = data(name);
        if (std::getenv("VELMO_UPDATE_GOLDEN") != nullptr) writeFile(golden, encodePng(picture));
        const Picture expected = decodePng(readFile(golden));
        ASSERT_EQ(expected.width, picture.width) << golden;
        ASSERT_EQ(expected.height, picture.height) << golden;
        EXPECT_LE(differing(picture, expected), picture.bgra.size() / 500);
    }

    // A script effect of the kind made for the test's folder, on the named
    // engine (none: the script's own or the default).
    template <class T>
    std::shared_ptr<T> scriptEffect(const wchar_t* name, const std::string& text, const char* engine = nullptr) {
        auto effect = std::make_shared<T>(name);
        effect->createCommonResource();
        const std::string engineName = engine ? engine : "";
        effect->setScript({name, text}, wide(root_), nullptr, engine ? &engineName : nullptr);
        return effect;
    }

    // An object on the layer whose source is the script, placed at x, y.
    std::shared_ptr<Edit::Object> addScript(int32_t layer, const wchar_t* name, const std::string& text, const char* x,
                                            const char* y) {
        auto object = add(Effect::ImageLoad::kName, layer);
        object->effects[0] = scriptEffect<Effect::ScriptInput>(name, text);
        object->effects[1]->findItemByName(L"X")->fromString(x);
        object->effects[1]->findItemByName(L"Y")->fromString(y);
        return object;
    }

    struct Run {
        std::string messages, error;
        std::shared_ptr<Media::ResourceBuffer> image;
    };
    // One run of the script's effect as the source of an object of the scene.
    Run run(const char* engine, Effect::ScriptEffect& effect) {
        auto object = add(Effect::ImageLoad::kName, 0);
        Render::RenderContext context;
        context.scene = scene.get();
        context.frame = 0;
        context.resourceCache = &cache;
        context.resetObject(object);
        Run out;
        try {
            auto instance = scripts.get()->findScriptPlugin(engine)->createEffectInstance(effect, context);
            try {
                instance->executeEffect(effect.commonResource().scriptText);
            } catch (const std::exception& e) {
                out.error = e.what();
            }
            out.messages = System::wideToUtf8(instance->messageText);
            out.image = instance->objectImage();
        } catch (const std::exception& e) {
            out.error = e.what();
        }
        return out;
    }

    System::ServiceHolder<Plugin::ScriptService> scripts;
    Render::ResourceCache cache{1 << 24};
    static inline System::ServiceHolder<Media::Direct2DService>* d2d_ = nullptr;
};

}  // namespace SourceTest
