// The particle output drawn by the video render worker on lavapipe, compared
// with particles placed here from the emission rules: each particle's random
// direction comes from a hash of its index, the layer and the start frame, so
// the same frame always shows the same particles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "effects/ParticleOutput.h"
#include "effects/PlacementReference.h"

namespace OutputTest {
namespace {

using Effect::ParticleOutput;

constexpr uint32_t kW = 160, kH = 120, kSide = 6;

// The random value stream of a particle, written from its definition.
class Stream {
public:
    Stream(int32_t layer, int32_t start, int64_t n) {
        const uint64_t K1 = 0x137bd137bd137bd1ull, K2 = 0x37bd137bd137bd13ull, K3 = 0x7bd137bd137bd137ull,
                       K4 = 0xbd137bd137bd137bull;
        const int32_t shifted = static_cast<int32_t>(static_cast<uint32_t>(layer) << 16);
        const uint64_t s = static_cast<uint64_t>(static_cast<int64_t>(shifted)) ^ static_cast<uint64_t>(int64_t{start});
        const auto u = static_cast<uint64_t>(n);
        x_ = u * 97553 + s * 135829;
        x_ = ((x_ << 17) ^ x_ ^ K1) + s;
        x_ = ((x_ >> 19) ^ x_ ^ K2) + u;
        x_ = ((x_ << 41) ^ x_ ^ K3) + s;
        x_ = ((x_ >> 47) ^ x_ ^ K4) + u;
        k_[0] = K1, k_[1] = K2, k_[2] = K3, k_[3] = K4;
    }
    float next() {
        x_ = x_ * 97555 - (x_ / 135829) * 135829;
        x_ = (x_ << 17) ^ x_ ^ k_[0];
        x_ = (x_ >> 19) ^ x_ ^ k_[1];
        x_ = (x_ << 41) ^ x_ ^ k_[2];
        x_ = (x_ >> 47) ^ x_ ^ k_[3];
        return static_cast<float>(x_ % 4294967297ull) * 0x1p-32f;
    }

private:
    uint64_t x_;
    uint64_t k_[4];
};

TEST(ParticleRandom, TheStreamDependsOnIndexLayerAndStartFrameOnly) {
    struct Case {
        int32_t layer, start;
        int64_t n;
    };
    for (const Case c : {Case{0, 0, 0}, Case{1, 0, 0}, Case{0, 1, 0}, Case{0, 0, 1}, Case{5, 120, 99}, Case{999, -3, 7}}) {
        ParticleOutput::Random random(c.layer, c.start, c.n);
        Stream reference(c.layer, c.start, c.n);
        for (int i = 0; i < 6; ++i) {
            const float r = random.next();
            EXPECT_EQ(r, reference.next()) << c.layer << " " << c.start << " " << c.n << " draw " << i;
            EXPECT_GE(r, 0.0f);
            EXPECT_LE(r, 1.0f);
        }
    }
    // Different streams for neighbours.
    EXPECT_NE(ParticleOutput::Random(1, 0, 0).next(), ParticleOutput::Random(2, 0, 0).next());
    EXPECT_NE(ParticleOutput::Random(1, 0, 0).next(), ParticleOutput::Random(1, 1, 0).next());
}

struct Square {
    double x, y;  // centre, frame pixels
};

struct Emitter {
    double x = 0, y = 0, rate = 99, speed = 100, direction = 0, spread = 360, gravity = 0, lifetime = 0;
};

// The living particles at the frame, newest first, for a still emitter
// without turning, scaling or fading.
std::vector<Square> particles(const Emitter& e, int32_t layer, int32_t start, int32_t frame, double fps) {
    const double t = (frame - start) / fps, emitted = t * e.rate;
    const auto newest = static_cast<int64_t>(emitted);
    const double fraction = emitted - static_cast<double>(newest);
    std::vector<Square> out;
    for (int64_t i = 0; newest - i >= 0 && i < 10000; ++i) {
        const double age = (static_cast<double>(i) + fraction) / e.rate;
        if (e.lifetime > 0 && age > e.lifetime) continue;
        Stream random(layer, start, newest - i);
        const double theta = (e.direction + e.spread * (random.next() - 0.5)) * 3.14159265358979323846 / 180;
        const double d = e.speed * age, g = e.gravity * 0.5 * age * age;
        out.push_back({kW / 2.0 + e.x - d * std::sin(theta), kH / 2.0 + e.y + g + d * std::cos(theta)});
    }
    return out;
}

class ParticleCatalog : public AddedCatalog {
private:
    const Effect::EffectBase* added(const std::wstring& name) const override {
        return name == ParticleOutput::kName ? &particle_ : nullptr;
    }
    ParticleOutput particle_;
};

class ParticleOutputTest : public OutputFixture {
protected:
    ParticleOutput& emitter(int32_t layer, int32_t start, const Emitter& e) {
        auto object = scene->createObject(kPixels, layer, start, start + 300);
        static_cast<PixelSource&>(*object->effects.front()).pixels = white;
        object->effects[1] = particles_.findEffect(ParticleOutput::kName).instantiate();
        scene->update();
        auto& p = dynamic_cast<ParticleOutput&>(*object->effects[1]);
        setItem(p.x, e.x);
        setItem(p.y, e.y);
        setItem(p.rate, e.rate);
        setItem(p.speed, e.speed);
        setItem(p.direction, e.direction);
        setItem(p.spread, e.spread);
        setItem(p.gravity, e.gravity);
        setItem(p.lifetime, e.lifetime);
        return p;
    }

    // Pixels well inside a particle are white, pixels well outside every
    // particle are clear; pixels near an edge are not compared.
    static void compare(const Pixels& frame, const std::vector<Square>& squares, const std::string& name) {
        int wrong = 0, inside = 0, compared = 0;
        for (uint32_t y = 0; y < kH; ++y)
            for (uint32_t x = 0; x < kW; ++x) {
                const double cx = x + 0.5, cy = y + 0.5;
                bool deep = false, near = false;
                for (const Square& s : squares) {
                    const double dx = std::fabs(cx - s.x), dy = std::fabs(cy - s.y);
                    const double h = kSide / 2.0;
                    if (dx <= h - 1.0 && dy <= h - 1.0) deep = true;
                    if (dx < h + 0.75 && dy < h + 0.75) near = true;
                }
                if (!deep && near) continue;
                ++compared;
                inside += deep ? 1 : 0;
                const float want = deep ? 1.0f : 0.0f;
                const float* got = frame.at(x, y);
                bool ok = true;
                for (int k = 0; k < 4; ++k) ok &= std::fabs(got[k] - want) <= 0.02f;
                if (!ok && wrong++ < 4)
                    ADD_FAILURE() << name << " at " << x << "," << y << ": " << got[0] << " " << got[3] << " want "
                                  << want;
            }
        EXPECT_EQ(wrong, 0) << name;
        EXPECT_GT(inside, 0) << name;
        EXPECT_GT(compared, static_cast<int>(kW * kH / 2)) << name;
    }

    void SetUp() override {
        OutputFixture::SetUp();
        frameSize(kW, kH);
    }

    const Pixels white = [] {
        Pixels p{kSide, kSide, std::vector<float>(kSide * kSide * 4, 1.0f)};
        return p;
    }();
    ParticleCatalog particles_;
};

TEST_F(ParticleOutputTest, ParticlesOfAFigureAreWhereTheirEmissionPutsThem) {
    struct Case {
        const char* name;
        int32_t layer, start, frame;
        Emitter emitter;
        size_t count;
    };
    Emitter falling;
    falling.gravity = 60;
    falling.direction = 90;
    falling.spread = 120;
    Emitter shortLived;
    shortLived.lifetime = 0.5;
    Emitter aside;
    aside.x = -30;
    aside.y = 20;
    const Case cases[] = {
        {"the first frame: one particle at the emitter", 0, 0, 0, {}, 1},
        {"a second later: 100 particles", 0, 0, 30, {}, 100},
        {"another layer: other directions", 3, 0, 30, {}, 100},
        {"another start frame: other directions", 0, 40, 70, {}, 100},
        {"gravity bends the flight", 1, 0, 30, falling, 100},
        {"a lifetime of half a second hides the older half", 0, 0, 30, shortLived, 50},
        {"between emissions the newest particle has flown a little", 0, 0, 31, aside, 103},
        {"an emitter off the centre", 2, 10, 40, aside, 100},
    };
    for (const Case& c : cases) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        frameSize(kW, kH);
        emitter(c.layer, c.start, c.emitter);
        const std::vector<Square> want = particles(c.emitter, c.layer, c.start, c.frame, 30);
        EXPECT_EQ(want.size(), c.count) << c.name;
        const Pixels frame = render(c.frame);
        ASSERT_EQ(frame.width, kW) << c.name;
        compare(frame, want, c.name);
        // Rendered again, the same particles.
        EXPECT_EQ(render(c.frame).rgba, frame.rgba) << c.name;
    }
}

TEST_F(ParticleOutputTest, NothingIsDrawnWithoutEmissionOrWhenEveryParticleHasFaded) {
    struct Case {
        const char* name;
        double rate, transparency, transparencySpeed, zoom, zoomSpeed;
        int32_t frame;
    };
    const Case cases[] = {
        {"no emission rate", 0, 0, 0, 100, 0, 30},
        {"fully transparent from the start", 20, 100, 0, 100, 0, 30},
        {"faded out: transparency 50 rising by 100 per second, the only particle two thirds of a second old", 1, 50,
         100, 100, 0, 20},
        {"shrunk to nothing: zoom 0", 20, 0, 0, 0, 0, 30},
    };
    for (const Case& c : cases) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        frameSize(kW, kH);
        Emitter e;
        e.rate = c.rate;
        ParticleOutput& p = emitter(0, 0, e);
        setItem(p.transparency, c.transparency);
        setItem(p.transparencySpeed, c.transparencySpeed);
        setItem(p.zoom, c.zoom);
        setItem(p.zoomSpeed, c.zoomSpeed);
        const Pixels frame = render(c.frame);
        ASSERT_EQ(frame.width, kW) << c.name;
        float most = 0;
        for (float v : frame.rgba) most = std::max(most, v);
        EXPECT_EQ(most, 0.0f) << c.name;
    }
}

}  // namespace
}  // namespace OutputTest
