// Clipping objects in the scene walk, drawn on lavapipe through the real
// outputs and compared with a reference computed here: the clipping objects
// draw only into a mask, the objects after them up to the clipping's last
// layer stay only where the mask covers, and the frame elsewhere is what it
// was when the clipping opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "effects/OutputFixture.h"

namespace OutputTest {
namespace {

constexpr uint32_t kW = 24, kH = 16;

using Shade = std::function<std::array<float, 4>(uint32_t x, uint32_t y)>;  // straight colour, alpha

Pixels picture(const Shade& shade) {
    Pixels p{kW, kH, std::vector<float>(kW * kH * 4)};
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            const auto c = shade(x, y);
            float* t = p.at(x, y);
            for (int k = 0; k < 3; ++k) t[k] = c[k] * c[3];
            t[3] = c[3];
        }
    return p.rounded();
}

// The shapes the clipping objects draw: coverage only matters.
const Shade kLeftHalf = [](uint32_t x, uint32_t) { return std::array<float, 4>{1, 1, 1, x < kW / 2 ? 1.0f : 0.0f}; };
const Shade kSoftBand = [](uint32_t x, uint32_t y) {
    return std::array<float, 4>{0, 1, 0, y >= 4 && y < 12 ? 0.25f + 0.05f * static_cast<float>(x % 8) : 0.0f};
};
const Shade kBlue = [](uint32_t, uint32_t) { return std::array<float, 4>{0, 0, 1, 1}; };
const Shade kRedFading = [](uint32_t x, uint32_t) {
    return std::array<float, 4>{1, 0.2f, 0, 0.5f + 0.5f * static_cast<float>(x) / kW};
};
const Shade kGreenCorner = [](uint32_t x, uint32_t y) {
    return std::array<float, 4>{0, 1, 0, x >= 18 && y < 4 ? 1.0f : 0.0f};
};

// Premultiplied over.
void over(float* d, const float* s) {
    for (int k = 0; k < 4; ++k) d[k] = s[k] + d[k] * (1 - s[3]);
}

class ClippingTest : public OutputFixture {
protected:
    void SetUp() override {
        OutputFixture::SetUp();
        frameSize(kW, kH);
    }

    struct Layer {
        const Shade* shade;
        bool clipping;
    };
    void build(const std::vector<Layer>& layers) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        frameSize(kW, kH);
        for (size_t i = 0; i < layers.size(); ++i) {
            if (!layers[i].shade) continue;
            add(static_cast<int32_t>(i), picture(*layers[i].shade))->clipping = layers[i].clipping;
        }
    }

    // The reference: the layers in order; a run of clipping objects opens a
    // mask (alpha over alpha, held in 8 bits) and keeps the frame; the next
    // object closes it after itself.
    static Pixels reference(const std::vector<Layer>& layers, const float* tint = nullptr) {
        Pixels frame{kW, kH, std::vector<float>(kW * kH * 4, 0.0f)};
        std::vector<float> mask, snapshot;
        auto finish = [&] {
            if (mask.empty()) return;
            for (size_t p = 0; p < kW * kH; ++p) {
                const float m = std::round(mask[p] * 255) / 255;
                for (int k = 0; k < 4; ++k)
                    frame.rgba[p * 4 + k] = snapshot[p * 4 + k] * (1 - m) + frame.rgba[p * 4 + k] * m;
                if (tint) {
                    float t[4];
                    for (int k = 0; k < 4; ++k) t[k] = tint[k] * m;
                    over(&frame.rgba[p * 4], t);
                }
            }
            mask.clear();
        };
        bool closeAfter = false;
        for (const Layer& layer : layers) {
            if (!layer.shade) continue;
            const Pixels image = picture(*layer.shade);
            if (layer.clipping) {
                if (mask.empty()) {
                    mask.assign(kW * kH, 0.0f);
                    snapshot = frame.rgba;
                }
                for (size_t p = 0; p < kW * kH; ++p) {
                    const float a = std::round(image.rgba[p * 4 + 3] * 255) / 255;
                    mask[p] = std::round((a + mask[p] * (1 - a)) * 255) / 255;
                }
                closeAfter = true;
                continue;
            }
            for (size_t p = 0; p < kW * kH; ++p) over(&frame.rgba[p * 4], &image.rgba[p * 4]);
            if (closeAfter) {
                finish();
                closeAfter = false;
            }
        }
        finish();
        return frame;
    }

    static void expectNear(const Pixels& got, const Pixels& want, const std::string& name) {
        ASSERT_EQ(got.width, want.width) << name;
        int wrong = 0;
        for (uint32_t y = 0; y < kH; ++y)
            for (uint32_t x = 0; x < kW; ++x)
                for (int k = 0; k < 4; ++k)
                    if (std::fabs(got.at(x, y)[k] - want.at(x, y)[k]) > 0.01f && wrong++ < 5)
                        ADD_FAILURE() << name << " at " << x << "," << y << " channel " << k << ": "
                                      << got.at(x, y)[k] << " want " << want.at(x, y)[k];
        EXPECT_EQ(wrong, 0) << name;
    }
};

TEST_F(ClippingTest, ObjectsAfterAClippingObjectShowOnlyInsideItsShape) {
    struct Case {
        const char* name;
        std::vector<Layer> layers;
    };
    const Case cases[] = {
        {"a hard-edged shape over a background", {{&kBlue, false}, {&kLeftHalf, true}, {&kRedFading, false}}},
        {"a soft shape: the object mixes with what lay below", {{&kBlue, false}, {&kSoftBand, true}, {&kRedFading, false}}},
        {"two clipping objects add to one mask",
         {{&kBlue, false}, {&kLeftHalf, true}, {&kSoftBand, true}, {&kRedFading, false}}},
        {"only the first object after the shape is clipped",
         {{&kBlue, false}, {&kSoftBand, true}, {&kRedFading, false}, {&kGreenCorner, false}}},
        {"a clipping object with nothing after it leaves the frame as it was", {{&kBlue, false}, {&kLeftHalf, true}}},
        {"a clipping object on an empty frame", {{&kLeftHalf, true}, {&kRedFading, false}}},
        {"a gap of empty layers before the clipped object",
         {{&kBlue, false}, {&kLeftHalf, true}, {nullptr, false}, {nullptr, false}, {&kRedFading, false}}},
        {"a second clipping after the first has closed",
         {{&kBlue, false}, {&kLeftHalf, true}, {&kRedFading, false}, {&kSoftBand, true}, {&kGreenCorner, false}}},
    };
    for (const Case& c : cases) {
        build(c.layers);
        // Twice: the frame buffer is kept between requests.
        (void)render();
        expectNear(render(), reference(c.layers), c.name);
    }
}

TEST_F(ClippingTest, ThePreviewTintsTheClippingArea) {
    Render::RenderVideoWorker::Settings settings;
    const float tint[4] = {0.25f, 0, 0.25f, 0.5f};  // premultiplied
    std::copy(tint, tint + 4, settings.clippingMaskColor);
    Render::RenderVideoWorker preview([this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
                                      settings);
    const std::vector<Layer> layers = {{&kBlue, false}, {&kSoftBand, true}, {&kRedFading, false}};
    build(layers);
    auto draw = [&](Render::RenderTaskType tag) {
        Pixels out;
        preview.requestRenderingFrame(
            tag, 0, [&out](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) { out = readFrame(buffer); });
        preview.waitAll();
        return out;
    };
    struct Case {
        const char* name;
        Render::RenderTaskType tag;
        int32_t visible;
        bool tinted;
    };
    for (const Case c : {Case{"preview", Render::kRenderPreview, 1, true},
                         Case{"preview with the view switched off", Render::kRenderPreview, 0, false},
                         Case{"export", Render::kRenderExport, 1, false}}) {
        preview.visibleClippingObject = c.visible;
        expectNear(draw(c.tag), reference(layers, c.tinted ? tint : nullptr), c.name);
    }
}

}  // namespace
}  // namespace OutputTest
