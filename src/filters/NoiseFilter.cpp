#include "filters/NoiseFilter.h"

#include <functional>

#include "effect/RenderContext.h"
#include "filters/FilterPasses.h"
#include "filters/ObjectTime.h"
#include "filters/OptionList.h"
#include "media/gpu/NoiseTexture.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"

namespace Effect {

NoiseFilter::NoiseFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

void NoiseFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 48);
    FilterPasses::loadShaders(*made, {"Noise"}, "Effect::NoiseFilter::createCommonResource");
    resource = std::move(made);
}

namespace {

constexpr size_t kLinearWrap = 2;
// Colour and alpha times the source alpha; colour alone times it.
constexpr size_t kMultiplyAll = 7, kMultiplyColour = 16;

}  // namespace

std::array<double, 2> NoiseFilter::seedShift(int32_t seed) {
    const uint64_t s = static_cast<uint64_t>(static_cast<int64_t>(seed));
    const uint64_t a = s * 135829u;
    const uint64_t b = (a ^ (a << 17) ^ 0x137bd137bd137bd1ull) + s;
    const uint64_t c = b ^ (b >> 19) ^ 0x37bd137bd137bd13ull;
    const uint64_t d = (c ^ (c << 41) ^ 0x7bd137bd137bd137ull) + s;
    uint64_t h = d ^ (d >> 47) ^ 0xbd137bd137bd137bull;
    const auto unit = [&] { return double(Resource::NoiseTexture::next(h) % 4294967297ull) * (1.0 / 4294967296.0); };
    const double u1 = unit();
    return {u1, unit()};
}

std::shared_ptr<Media::ResourceBuffer> NoiseFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    const double s = strength.getValue(context) * 0.01;
    if (s <= 0) return image;
    const double t = threshold.getValue(context) * 0.01;
    const bool alpha = blend.index == 0;
    if (s >= 2 || t >= 1) {
        // Nothing of the image is let through: transparent, or black where
        // the noise multiplies the brightness, as the noise pass would make it.
        image = FilterPasses::ownImage(std::move(image));
        if (alpha) {
            FilterPasses::clear(*image);
        } else {
            const float black[4] = {0, 0, 0, 0};
            FilterPasses::fillColor(*image, black, FilterPasses::blend(kMultiplyColour));
        }
        return image;
    }
    Resource::ResourceService* service = Resource::ResourceService::get();
    std::shared_ptr<Media::ResourceBuffer> field;
    if (service) field = kind.index == 3 ? service->permutationTexture.get() : service->smoothNoiseTexture.get();
    if (!field) throw std::bad_function_call();

    struct Constant {
        float step[3];
        int32_t type;
        float offset[2], cycle[2];
        float accelerate, level, limit, limitRatio;
    } constant{};
    static_assert(sizeof(Constant) == 48);
    constant.step[0] = 0.02734375f;
    constant.step[1] = 0.06640625f;
    constant.step[2] = 0.12109375f;
    constant.type = kind.index;
    constant.level = float(s);
    constant.limit = float(t);
    constant.limitRatio = float(1 / (1 - t));
    const double seconds = ObjectTime::of(context).elapsed;
    const double cx = cycleX.getValue(context), cy = cycleY.getValue(context);
    const auto [u1, u2] = seedShift(seed.value);
    constant.offset[0] = float(speedX.getValue(context) * seconds * 30 + u1 * 256 - image->width * cx * 0.5);
    constant.offset[1] = float(speedY.getValue(context) * seconds * 30 + u2 * 256 - image->height * cy * 0.5);
    constant.accelerate = float(changeSpeed.getValue(context) * seconds * 3);
    constant.cycle[0] = float(cx);
    constant.cycle[1] = float(cy);

    image = FilterPasses::ownImage(std::move(image));
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, constant);
    FilterPasses::bindSampler(kLinearWrap);
    resource->shaders[0]->drawResourceToResourceWithConstant(*image, *field, buffer,
                                                             FilterPasses::blend(alpha ? kMultiplyAll
                                                                                       : kMultiplyColour));
    return image;
}

// What the noise multiplies.
std::shared_ptr<const EffectItemSelect::SharedList> NoiseFilter::blendList() {
    static const auto list = makeOptionList({{0, L"アルファ値と乗算"}, {1, L"明るさと乗算"}});
    return list;
}

// The noise patterns.
std::shared_ptr<const EffectItemSelect::SharedList> NoiseFilter::kindList() {
    static const auto list =
        makeOptionList({{0, L"Type1"}, {1, L"Type2"}, {2, L"Type3"}, {3, L"Type4"}, {4, L"Type5"}, {5, L"Type6"}});
    return list;
}

}  // namespace Effect
