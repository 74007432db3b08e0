#include "effects/ParticleOutput.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectService.h"
#include "effect/RenderContext.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/VertexListQuadPosUv.h"
#include "platform/math/Matrix.h"

namespace Effect {

using namespace Platform::math;

namespace {

constexpr uint64_t kK1 = 0x137bd137bd137bd1ull, kK2 = 0x37bd137bd137bd13ull, kK3 = 0x7bd137bd137bd137ull,
                   kK4 = 0xbd137bd137bd137bull;
constexpr double kPi = 3.14159265358979323846;
constexpr double kRadians = kPi / 180;

Matrix rotationAbout(const Float3& axis, double radians) {
    return rotationNormal(axis, static_cast<float>(radians));
}

bool isZero(const Float3& v) { return v.x == 0 && v.y == 0 && v.z == 0; }

}  // namespace

ParticleOutput::Random::Random(int32_t layer, int32_t startFrame, int64_t index) {
    const auto s = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(layer) << 16)) ^
                                         static_cast<int64_t>(startFrame));
    const auto n = static_cast<uint64_t>(index);
    uint64_t x = n * 97553u + s * 135829u;
    x = ((x << 17) ^ x ^ kK1) + s;
    x = ((x >> 19) ^ x ^ kK2) + n;
    x = ((x << 41) ^ x ^ kK3) + s;
    x = ((x >> 47) ^ x ^ kK4) + n;
    x_ = x;
}

float ParticleOutput::Random::next() {
    uint64_t x = x_;
    x = x * 97555u - (x / 135829u) * 135829u;
    x = (x << 17) ^ x ^ kK1;
    x = (x >> 19) ^ x ^ kK2;
    x = (x << 41) ^ x ^ kK3;
    x = (x >> 47) ^ x ^ kK4;
    x_ = x;
    return static_cast<float>(x % 4294967297ull) * (1.0f / 4294967296.0f);
}

ParticleOutput::ParticleOutput() {
    role = kOutput;
    media = kVideo;
    placement = kVideo;
    positionItems = {&x, &y, &z};
}

// None while "図形" is not registered (its registration failed): the object
// menu then leaves the particle output out instead of failing as a whole.
const EffectDefine* ParticleOutput::getPairedInputEffect() const {
    const EffectService* service = EffectService::get();
    if (!service) return nullptr;
    const auto found = service->effects().find(L"図形");
    return found == service->effects().end() ? nullptr : found->second.get();
}

OutputView ParticleOutput::getOutputView(Render::RenderContext& context) {
    OutputView view = context.view;
    view.x += static_cast<float>(x.getValue(context));
    view.y += static_cast<float>(y.getValue(context));
    view.z += static_cast<float>(z.getValue(context));
    if (blend.index != 0) view.blendMode = std::clamp(blend.index, 0, 23);
    // Sorted with the translucent surfaces of a camera.
    if (transparency.getValue(context) > 0) view.opacity *= 0.999999f;
    return view;
}

void ParticleOutput::outputVideo(Render::RenderContext& context, Media::RenderBuffer& target,
                                 std::shared_ptr<Media::ResourceBuffer> image) {
    context.customShape = 1;
    const double a = rate.getValue(context);
    if (a <= 0 || !context.object || !context.scene) return;
    std::shared_ptr<Media::VertexList> shape = context.vertexList;
    if (!shape) {
        if (!image) return;
        auto quad = std::make_shared<Media::VertexListQuadPosUv>();
        const float w = static_cast<float>(image->width) / 2, h = static_cast<float>(image->height) / 2;
        quad->vertices = {{-w, -h, 0, 0, 0, 1, 0}, {w, -h, 0, 1, 0, 1, 0}, {w, h, 0, 1, 1, 1, 0}, {-w, h, 0, 0, 1, 1, 0}};
        shape = std::move(quad);
    }
    // The particles take the shape's vertex kind.
    context.vertexList = shape->createEmpty();

    const Edit::Scene& scene = *context.scene;
    const double framesPerSecond = static_cast<double>(scene.videoRate) / scene.videoScale;
    const double t = (context.preciseFrame - context.object->start) / framesPerSecond;
    const double emitted = t * a;
    const auto newest = static_cast<int64_t>(emitted);
    const double fraction = emitted - static_cast<double>(newest);
    for (int64_t i = 0; newest - i >= 0 && i < kMaxParticles; ++i) {
        const int64_t n = newest - i;
        generateParticle(context, *shape, n, static_cast<double>(n) / a * framesPerSecond + context.object->start,
                         (static_cast<double>(i) + fraction) / a);
    }
    if (context.vertexList->isEmpty()) return;
    // The particles carry the emitter's position; the view adds it again.
    const float px = context.view.x, py = context.view.y, pz = context.view.z;
    context.view.x -= static_cast<float>(x.getValue(context));
    context.view.y -= static_cast<float>(y.getValue(context));
    context.view.z -= static_cast<float>(z.getValue(context));
    drawObject(context, target, image);
    context.view.x = px;
    context.view.y = py;
    context.view.z = pz;
}

void ParticleOutput::generateParticle(Render::RenderContext& context, const Media::VertexList& shape,
                                      int64_t n, double emissionFrame, double age) {
    auto at = [&](const EffectItemNumber& item) { return item.getValueAt(context, emissionFrame); };
    const double life = at(lifetime);
    if (life > 0 && age > life) return;
    Random random(context.object->layer, context.object->start, n);
    const double c = at(zoom) + at(zoomSpeed) * age;
    if (c <= 0) return;
    const double p = at(transparency) + at(transparencySpeed) * age;
    if (p >= 100) return;
    const auto opacity = static_cast<float>(std::min(1 - p / 100, 1.0));
    const double d = at(speed) * age + at(acceleration) * 0.5 * age * age;
    const double g = at(gravity) * 0.5 * age * age;
    const float r1 = random.next();
    const double theta = (at(direction) + at(spread) * (r1 - 0.5)) * kRadians;
    const double rho = at(angle) + at(angleSpeed) * 360 * age;

    double pathFrame = emissionFrame;
    if (randomStart.value) {
        const float r2 = random.next();
        const auto start = static_cast<float>(context.object->start), end = static_cast<float>(context.object->end);
        pathFrame = start + (end - start) * r2;
    }
    auto positionAt = [&](double frame) {
        return Float3{static_cast<float>(x.getValueAt(context, frame)), static_cast<float>(y.getValueAt(context, frame)),
                      static_cast<float>(z.getValueAt(context, frame))};
    };
    const Float3 P = positionAt(pathFrame);
    Float3 m, q;
    if (directionFromMove.value || angleFromMove.value) {
        m = normalize(subtract(P, positionAt(pathFrame + 1)));
        q = normalize({-m.z, 0, m.x});
    }

    const auto size = static_cast<float>(c / 100);
    Matrix M;
    if (randomRotation.value) {
        const float ra = random.next(), rb = random.next(), rc = random.next(), rd = random.next();
        const double u = 2.0 * rc - 1, phi = (2.0 * rd - 1) * kPi, ring = std::sqrt(std::max(1 - u * u, 0.0));
        const Float3 axis = normalize({static_cast<float>(ring * std::cos(phi)), static_cast<float>(ring * std::sin(phi)),
                                       static_cast<float>(u)});
        const double turn = rb * at(angleSpeed) * 360 * age + ra * 360.0;
        M = multiply(scaling(size, size, size), rotationAbout(axis, turn * kRadians));
    } else {
        M = multiply(scaling(size, size, size), rotationZ(static_cast<float>(rho * kRadians)));
    }
    if (angleFromMove.value && !isZero(q))
        M = multiply(M, rotationAbout(q, -std::acos(std::clamp(static_cast<double>(m.y), -1.0, 1.0))));
    if (directionFromMove.value) {
        M = multiply(M, translation(static_cast<float>(d * m.x), static_cast<float>(d * m.y), static_cast<float>(d * m.z)));
        if (!isZero(q)) M = multiply(M, rotationAbout(q, q.z < 0 ? -theta : theta));
        M = multiply(M, translation(P.x, static_cast<float>(P.y + g), P.z));
    } else {
        M = multiply(M, translation(static_cast<float>(P.x - d * std::sin(theta)),
                                    static_cast<float>(P.y + g + d * std::cos(theta)), P.z));
    }
    float rows[16];
    std::memcpy(rows, M.m, sizeof rows);
    context.vertexList->appendTransformed(shape, rows, opacity);
}

}  // namespace Effect
