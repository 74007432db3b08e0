#include "filters/BokashiFilter.h"

#include <algorithm>
#include <iterator>

#include "core/Exception.h"
#include "effect/RenderContext.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "shaders/BuiltinShaders.h"

namespace Effect {
namespace {

using Platform::gpu::ShaderStage;

// Shader names by kind, horizontal then vertical.
constexpr const char* kShaderNames[6] = {"BoxTrailingH", "BoxTrailingV", "BoxCentredH",
                                         "BoxCentredV",  "BoxClampedH",  "BoxClampedV"};
// The shared shaders of the light-space variant.
constexpr size_t kToLightSpace = 21;
constexpr size_t kFromLightSpace = 22;

const std::vector<uint8_t>& builtinCode(const char* name, ShaderStage stage) {
    const std::vector<uint8_t>* code = Shader::BuiltinShaders::code(name, stage);
    if (!code) throw System::messageException("Effect::BokashiFilter::CommonResource", "built-in shader missing.");
    return *code;
}

uint32_t groupsFor(uint32_t count) {
    return (std::min(count, Media::ResourceBuffer::kMaxSize) + BokashiFilter::kComputeLanes - 1) /
           BokashiFilter::kComputeLanes;
}

}  // namespace

BokashiFilter::CommonResource::CommonResource() {
    // The constant buffer first: a device without one fails before any shader is made.
    constantBuffer.create(nullptr, sizeof constant);
    for (size_t i = 0; i < pixelShaders.size(); ++i) {
        const auto& code = builtinCode(kShaderNames[i], ShaderStage::Pixel);
        pixelShaders[i].loadFromMemory(code.data(), code.size());
    }
    for (size_t i = 0; i < computeShaders.size(); ++i) {
        const auto& code = builtinCode(kShaderNames[i], ShaderStage::Compute);
        computeShaders[i].loadFromMemory(code.data(), code.size());
    }
}

BokashiFilter::CommonResource::~CommonResource() = default;

std::shared_ptr<Media::ResourceBuffer> BokashiFilter::CommonResource::takeImage(uint32_t width, uint32_t height) {
    width = std::min(width, Media::ResourceBuffer::kMaxSize);
    height = std::min(height, Media::ResourceBuffer::kMaxSize);
    std::unique_ptr<Media::ResourceBuffer> image;
    {
        const std::lock_guard guard(spareMutex);
        for (auto it = spare.rbegin(); it != spare.rend(); ++it)
            if ((*it)->width == width && (*it)->height == height) {
                image = std::move(*it);
                spare.erase(std::next(it).base());
                break;
            }
    }
    if (!image) image = std::make_unique<Media::ResourceBuffer>(width, height);
    // Whoever drops the image last gives it back, while this resource lives.
    return std::shared_ptr<Media::ResourceBuffer>(image.release(),
                                                  [owner = weak_from_this()](Media::ResourceBuffer* dropped) {
                                                      std::unique_ptr<Media::ResourceBuffer> released(dropped);
                                                      if (const std::shared_ptr<CommonResource> resource = owner.lock())
                                                          resource->keepImage(std::move(released));
                                                  });
}

void BokashiFilter::CommonResource::keepImage(std::unique_ptr<Media::ResourceBuffer> image) {
    if (static_cast<uint64_t>(image->width) * image->height > kSpareLimit)
        return;  // a huge image is not worth its memory between frames
    std::unique_ptr<Media::ResourceBuffer> oldest;
    const std::lock_guard guard(spareMutex);
    if (spare.size() == kSpareImages) {
        oldest = std::move(spare.front());
        spare.erase(spare.begin());
    }
    spare.push_back(std::move(image));
}

BokashiFilter::BokashiFilter() : FilterClass(kName, kVideo) { menuGroup = L"ぼかし"; }

void BokashiFilter::createCommonResource() { common = std::make_shared<CommonResource>(); }

BokashiFilter::Image BokashiFilter::filterVideo(Render::RenderContext& context, Image image) {
    const int32_t size = FilterValue::pixels(range.getValue(context));
    const float ratio = FilterValue::percent(aspect.getValue(context));
    const int32_t mode = fixedSize.value ? 2 : 0;
    const int32_t strength = FilterValue::pixels(light.getValue(context));
    const uint64_t stamp = image ? image->contentStamp : 0;
    if (stamp != 0) {
        const std::lock_guard guard(keptMutex_);
        if (kept_.source == image && kept_.stamp == stamp && kept_.size == size && kept_.ratio == ratio &&
            kept_.mode == mode && kept_.strength == strength && kept_.result)
            return kept_.result;
    }
    Image source = stamp != 0 ? image : nullptr;
    Image result = blurVideo(std::move(image), size, ratio, mode, strength);
    const std::lock_guard guard(keptMutex_);
    if (stamp != 0 && result && result != source)
        kept_ = Kept{std::move(source), stamp, size, mode, strength, ratio, result};
    else
        kept_ = Kept{};
    return result;
}

BokashiFilter::Image BokashiFilter::blurVideo(Image image, int32_t size, float ratio, int32_t mode,
                                              int32_t strength) {
    if (strength <= 0) return blurImage(std::move(image), size, ratio, mode);

    // In light space bright parts weigh exponentially more, so they spread like light.
    Shader::PixelShaderList* shared = common->pixelShaderList;
    if (!shared) {
        Resource::ResourceService* resources = Resource::ResourceService::get();
        if (!resources)
            throw System::messageException("Effect::BokashiFilter::filterVideo", "resource service not available.");
        shared = &resources->pixelShaders;
    }
    Shader::PixelShaderList& list = *shared;
    Platform::gpu::Context& device = *Direct3D->context;
    Platform::gpu::Buffer* constant = list.constantBuffer.buffer.get();
    const float base = 1.0f + 0.15f * static_cast<float>(strength);

    std::shared_ptr<Media::ResourceBuffer> light = common->takeImage(image->width, image->height);
    list.constant[0] = base;
    device.updateSubresource(*constant, list.constant);
    list[kToLightSpace].drawResourceToResourceWithConstant(*light, *image, constant, nullptr);

    Image blurred = blurImage(std::move(light), size, ratio, mode);
    std::shared_ptr<Media::ResourceBuffer> result = common->takeImage(blurred->width, blurred->height);
    list.constant[0] = 1.0f / base;
    device.updateSubresource(*constant, list.constant);
    list[kFromLightSpace].drawResourceToResourceWithConstant(*result, *blurred, constant, nullptr);
    return result;
}

BokashiFilter::Image BokashiFilter::blurImage(Image image, int32_t size, float ratio, int32_t mode) const {
    if (size <= 0 || !image || image->width == 0 || image->height == 0) return image;
    int32_t v = size, h = size;
    if (ratio > 0)
        v = std::max(0, static_cast<int32_t>((1.0f - ratio) * static_cast<float>(size)));
    else if (ratio < 0)
        h = std::max(0, static_cast<int32_t>((1.0f + ratio) * static_cast<float>(size)));
    const int32_t vf = v / 2, hf = h / 2, vc = v - vf, hc = h - hf;
    const bool compute = v + h >= kComputeFrom;
    const Kind kind = mode == 2 ? kClamped : mode == 1 ? kCentred : kTrailing;

    Direct3D->context->setConstantBuffer(compute ? ShaderStage::Compute : ShaderStage::Pixel, 0,
                                         common->constantBuffer.buffer.get());
    image = boxPass(std::move(image), kind, true, vc, compute);
    image = boxPass(std::move(image), kind, false, hc, compute);
    image = boxPass(std::move(image), kind, true, vf, compute);
    return boxPass(std::move(image), kind, false, hf, compute);
}

BokashiFilter::Image BokashiFilter::expandBlur(Image image, int32_t radius) const {
    if (radius <= 0 || !image || image->width == 0 || image->height == 0) return image;
    const bool compute = radius >= kComputeFrom;
    Direct3D->context->setConstantBuffer(compute ? ShaderStage::Compute : ShaderStage::Pixel, 0,
                                         common->constantBuffer.buffer.get());
    image = boxPass(std::move(image), kTrailing, true, radius, compute);
    return boxPass(std::move(image), kTrailing, false, radius, compute);
}

BokashiFilter::Image BokashiFilter::boxPass(Image image, Kind kind, bool vertical, int32_t radius, bool compute) const {
    if (radius <= 0) return image;
    uint32_t width = image->width, height = image->height;
    if (kind == kTrailing) (vertical ? height : width) += 2 * static_cast<uint32_t>(radius);
    const size_t index = static_cast<size_t>(kind) * 2 + (vertical ? 1 : 0);
    // A growth past the largest image size: the running sum centres the
    // content in the clamped target, so both sides lose alike and the
    // object's centre stays where it was.
    if (std::max(width, height) > Media::ResourceBuffer::kMaxSize) compute = true;
    if (!compute) return drawBoxPass(std::move(image), common->pixelShaders[index], width, height, radius);
    // One thread per column of a vertical pass, per row of a horizontal one.
    return dispatchBoxPass(std::move(image), common->computeShaders[index], width, height, radius,
                           vertical ? groupsFor(width) : 1, vertical ? 1 : groupsFor(height));
}

void BokashiFilter::uploadConstant(uint32_t width, uint32_t height, int32_t radius) const {
    CommonResource::Constant& c = common->constant;
    c.width = static_cast<int32_t>(width);
    c.height = static_cast<int32_t>(height);
    c.range = radius;
    c.divive = 1.0f / static_cast<float>(2 * radius + 1);
    Direct3D->context->updateSubresource(*common->constantBuffer.buffer, &c);
}

BokashiFilter::Image BokashiFilter::drawBoxPass(Image image, Media::PixelShader& shader, uint32_t targetWidth,
                                                uint32_t targetHeight, int32_t radius) const {
    if (radius == 0) return image;
    std::shared_ptr<Media::ResourceBuffer> target = common->takeImage(targetWidth, targetHeight);
    uploadConstant(target->width, target->height, radius);
    shader.drawResourceToResourceWithConstant(*target, *image, common->constantBuffer.buffer.get(), nullptr);
    return target;
}

BokashiFilter::Image BokashiFilter::dispatchBoxPass(Image image, Media::ComputeShader& shader, uint32_t targetWidth,
                                                    uint32_t targetHeight, int32_t radius, uint32_t groupsAcross,
                                                    uint32_t groupsDown) const {
    if (radius == 0) return image;
    std::shared_ptr<Media::ResourceBuffer> target = common->takeImage(targetWidth, targetHeight);
    uploadConstant(target->width, target->height, radius);
    Platform::gpu::Context& device = *Direct3D->context;
    device.setConstantBuffer(ShaderStage::Compute, 0, common->constantBuffer.buffer.get());
    device.setShaderResource(ShaderStage::Compute, 0, image->getShaderResourceView());
    device.setUnorderedAccessView(ShaderStage::Compute, 0, target->getUnorderedAccessView());
    shader.dispatch(groupsAcross, groupsDown, 1);
    device.setShaderResource(ShaderStage::Compute, 0, nullptr);
    device.setUnorderedAccessView(ShaderStage::Compute, 0, nullptr);
    return target;
}

}  // namespace Effect
