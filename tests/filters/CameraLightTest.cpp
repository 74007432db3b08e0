// The camera's lights: the light records the filters add, the lighting
// block built from them, and lit frames drawn on lavapipe compared with the
// lighting computed here for a flat figure facing the default camera.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "filters/CameraFixture.h"

namespace OutputTest {
namespace {

using Effect::CameraLight;
using Effect::OutputShaderEffect;
using Light = Media::RenderBuffer::Light;

constexpr uint32_t kW = 64, kH = 48, kFigureW = 40, kFigureH = 30;

Light directional(float r, float g, float b, float brightness) {
    Light l;
    l.type = 1;
    l.pos[2] = -1;
    l.col[0] = r * brightness, l.col[1] = g * brightness, l.col[2] = b * brightness;
    l.col[3] = std::max(1 - brightness, 0.0f);
    return l;
}
Light ambient(float brightness) {
    Light l;
    l.col[0] = l.col[1] = l.col[2] = brightness;
    return l;
}

TEST(CameraLightBlock, AmbientTermAndLightCountFollowTheLights) {
    struct Case {
        const char* name;
        std::vector<Light> lights;
        int32_t count;
        float ambient;
    };
    std::vector<Light> nine(9, directional(1, 1, 1, 0.5f));
    nine[8] = ambient(1);  // the ninth is not counted
    const Case cases[] = {
        {"no light", {}, 0, 1},
        {"one directional light at 50 %", {directional(1, 1, 1, 0.5f)}, 1, 0.5f},
        {"one directional light at 150 %", {directional(1, 1, 1, 1.5f)}, 1, 0},
        {"an ambient light alone at 100 %", {ambient(1)}, 1, 1},
        {"two directional lights leave the product of their shares",
         {directional(1, 1, 1, 0.5f), directional(1, 1, 1, 0.75f)},
         2,
         0.125f},
        {"an ambient light removes the unlit share", {directional(1, 1, 1, 0.5f), ambient(0.25f)}, 2, 0.25f},
        {"only the first eight lights count", nine, 8, 1.0f / 256},
    };
    for (const Case& c : cases) {
        const OutputShaderEffect::LightConstant block = OutputShaderEffect::lightConstant(c.lights.data(), c.lights.size());
        EXPECT_EQ(block.lightNum, c.count) << c.name;
        for (float a : block.ambient) EXPECT_NEAR(a, c.ambient, 1e-6f) << c.name;
    }
}

TEST(CameraLightDirection, AnglesTurnTheLightFromTheViewersSide) {
    struct Case {
        double latitude, longitude, tilt;
        float x, y, z;
    };
    const float h = std::sqrt(0.5f);
    const Case cases[] = {
        {0, 0, 0, 0, 0, -1},   // from the viewer's side
        {90, 0, 0, 0, -1, 0},  // from above
        {0, 90, 0, 1, 0, 0},
        {0, 45, 0, h, 0, -h},
        {0, 0, 90, 0, 0, -1},  // the tilt turns about the axis of the light itself
        {-90, 0, 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        const auto d = CameraLight::direction(c.latitude, c.longitude, c.tilt);
        SCOPED_TRACE(testing::Message() << c.latitude << " " << c.longitude << " " << c.tilt);
        EXPECT_NEAR(d.x, c.x, 1e-5f);
        EXPECT_NEAR(d.y, c.y, 1e-5f);
        EXPECT_NEAR(d.z, c.z, 1e-5f);
    }
}

struct Vec {
    double x, y, z;
};
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec unit(Vec a) {
    const double n = std::sqrt(dot(a, a));
    return {a.x / n, a.y / n, a.z / n};
}
double saturate(double v) { return std::clamp(v, 0.0, 1.0); }

// The light on a surface facing the viewer (normal toward -z) seen at the
// frame pixel through the default camera.
std::array<double, 3> lightAt(const std::vector<Light>& lights, double gloss, uint32_t px, uint32_t py) {
    const OutputShaderEffect::LightConstant block = OutputShaderEffect::lightConstant(lights.data(), lights.size());
    const Vec n{0, 0, -1};
    const Vec V = unit({-(px + 0.5 - kW / 2.0), -(py + 0.5 - kH / 2.0), -1024});
    const double q = (1 - gloss) * (1 - gloss), q2 = q * q, m = 1 - q2;
    const double nv = saturate(dot(n, V)), gV = std::sqrt(nv * nv * m + q2);
    std::array<double, 3> sum{block.ambient[0], block.ambient[1], block.ambient[2]};
    for (int i = 0; i < block.lightNum; ++i) {
        const auto& s = block.source[i];
        if (s.type != 1) continue;
        const Vec L{s.pos[0], s.pos[1], s.pos[2]};
        const Vec H = unit({V.x + L.x, V.y + L.y, V.z + L.z});
        const double f = saturate(1 - dot(H, L)), F = 0.04 + 0.96 * std::pow(f, 5);
        const double nl = saturate(dot(n, L)), nh = saturate(dot(n, H));
        const double den = nh * nh * (q2 - 1) + 1, D = q2 / (den * den);
        const double gL = std::sqrt(nl * nl * m + q2), vis = 0.5 / (nl * gV + nv * gL + 0.00001);
        for (int k = 0; k < 3; ++k) sum[k] += (D * vis * F + (1 - F)) * s.col[k] * nl;
    }
    return sum;
}

class CameraLightTest : public CameraFixture {};

TEST_F(CameraLightTest, ALitFigureIsTheFrameTimesTheLightOnItsSurface) {
    struct LightItem {
        bool ambient;
        double brightness, latitude, longitude;
        uint8_t r, g, b;
    };
    struct Case {
        const char* name;
        std::vector<LightItem> lights;
        double gloss;  // percent; negative: no material filter
    };
    const Case cases[] = {
        {"no light: drawn as without lights", {}, -1},
        {"a white light from the viewer's side", {{false, 100, 0, 0, 255, 255, 255}}, -1},
        {"a dimmed light from the upper left", {{false, 60, 30, -40, 255, 255, 255}}, -1},
        {"a red light from the side with a white ambient light",
         {{false, 100, 0, 70, 255, 0, 0}, {true, 40, 0, 0, 255, 255, 255}},
         -1},
        {"a light behind the figure leaves the unlit share only", {{false, 50, 0, 180, 255, 255, 255}}, -1},
        {"a glossy surface", {{false, 100, 10, 10, 255, 255, 255}}, 95},
        {"a matte surface", {{false, 100, 10, 10, 255, 255, 255}}, 0},
    };
    const Pixels background = flat(kW, kH, 0, 0, 0.5f);
    const Pixels figure = flat(kFigureW, kFigureH, 0.6f, 0.8f, 0.4f);
    for (const Case& c : cases) {
        newScene(kW, kH);
        add(0, background);
        camera(1);
        std::vector<Light> records;
        int32_t layer = 2;
        for (const LightItem& l : c.lights) {
            const float u = static_cast<float>(l.brightness / 100);
            if (l.ambient) {
                auto& a = filterObject<Effect::CameraLightAmbient>(layer++);
                setItem(a.brightness, l.brightness);
                a.color.red = l.r, a.color.green = l.g, a.color.blue = l.b;
                Light rec = ambient(0);
                rec.col[0] = l.r / 255.0f * u, rec.col[1] = l.g / 255.0f * u, rec.col[2] = l.b / 255.0f * u;
                records.push_back(rec);
            } else {
                auto& d = filterObject<CameraLight>(layer++);
                setItem(d.brightness, l.brightness);
                setItem(d.latitude, l.latitude);
                setItem(d.longitude, l.longitude);
                d.color.red = l.r, d.color.green = l.g, d.color.blue = l.b;
                Light rec = directional(l.r / 255.0f, l.g / 255.0f, l.b / 255.0f, u);
                const auto dir = CameraLight::direction(l.latitude, l.longitude, 0);
                rec.pos[0] = dir.x, rec.pos[1] = dir.y, rec.pos[2] = dir.z;
                records.push_back(rec);
            }
        }
        auto object = add(layer, figure);
        double gloss = 0.7;
        if (c.gloss >= 0) {
            setItem(filter<Effect::MaterialSetting>(object).gloss, c.gloss);
            gloss = c.gloss / 100;
        }
        (void)render();  // the frame and its layers are kept between requests
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kW) << c.name;
        int wrong = 0, lit = 0;
        for (uint32_t y = 0; y < kH; ++y)
            for (uint32_t x = 0; x < kW; ++x) {
                const bool inFigure = x >= (kW - kFigureW) / 2 && x < (kW + kFigureW) / 2 &&
                                      y >= (kH - kFigureH) / 2 && y < (kH + kFigureH) / 2;
                std::array<double, 4> want{background.at(x, y)[0], background.at(x, y)[1], background.at(x, y)[2], 1};
                if (inFigure) {
                    const auto light = records.empty() ? std::array<double, 3>{1, 1, 1} : lightAt(records, gloss, x, y);
                    for (int k = 0; k < 3; ++k) want[k] = figure.rgba[k] * light[k];
                    ++lit;
                }
                for (int k = 0; k < 4; ++k) {
                    const double tolerance = 0.01 + 0.01 * std::fabs(want[k]);
                    if (std::fabs(frame.at(x, y)[k] - want[k]) > tolerance && wrong++ < 4)
                        ADD_FAILURE() << c.name << " at " << x << "," << y << " channel " << k << ": "
                                      << frame.at(x, y)[k] << " want " << want[k];
                }
            }
        EXPECT_EQ(wrong, 0) << c.name;
        EXPECT_EQ(lit, static_cast<int>(kFigureW * kFigureH)) << c.name;
    }
}

// Lights change only what is drawn through the camera: the background under
// the lit figure stays, and a lit frame differs from the unlit one inside the
// figure only.
TEST_F(CameraLightTest, LightsChangeOnlyTheSurfacesOfTheBatch) {
    const Pixels background = flat(kW, kH, 0.3f, 0.3f, 0.3f);
    auto draw = [&](bool lit) {
        newScene(kW, kH);
        add(0, background);
        camera(1);
        if (lit) setItem(filterObject<CameraLight>(2).latitude, 45);
        add(3, flat(kFigureW, kFigureH, 1, 1, 1));
        return render();
    };
    const Pixels unlit = draw(false), lit = draw(true);
    int differ = 0;
    for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
            const bool inFigure = x >= (kW - kFigureW) / 2 && x < (kW + kFigureW) / 2 && y >= (kH - kFigureH) / 2 &&
                                  y < (kH + kFigureH) / 2;
            const bool same = std::fabs(unlit.at(x, y)[0] - lit.at(x, y)[0]) < 0.005f;
            if (!inFigure) EXPECT_TRUE(same) << x << "," << y;
            differ += same ? 0 : 1;
        }
    EXPECT_EQ(differ, static_cast<int>(kFigureW * kFigureH));
}

}  // namespace
}  // namespace OutputTest
