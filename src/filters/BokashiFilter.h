#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "filters/FilterBase.h"
#include "media/gpu/ComputeShader.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ShaderResource.h"
#include "media/gpu/ShaderStateResource.h"

namespace Media {
class ResourceBuffer;
}

namespace Effect {

// Blurs the object's image. Its blur, blurImage, is the one blur of the whole
// program: other filters, the partial filter, the scene changes and the
// transition masks call it on the registered prototype. A separable box blur
// applied twice per axis (a trapezoid kernel reaching exactly the size),
// drawn with pixel shaders for small radii and with running-sum compute
// shaders, whose cost does not grow with the radius, for large ones.
class BokashiFilter : public FilterClass<BokashiFilter>, public Media::Direct3DInstance {
public:
    static constexpr const wchar_t* kName = L"ぼかし";
    using Image = std::shared_ptr<Media::ResourceBuffer>;

    // The box kinds, in shader order; each has a horizontal and a vertical shader.
    enum Kind : int32_t {
        kTrailing = 0,  // into a target grown by 2r: S[p - 2r] .. S[p]; outside reads 0
        kCentred = 1,   // S[p - r] .. S[p + r]; outside reads 0
        kClamped = 2,   // S[p - r] .. S[p + r], each tap clamped to the source
    };
    // Threads per group of the compute shaders (the shaders' LANES).
    static constexpr uint32_t kComputeLanes = 64;
    // Combined radius V + H from which the compute shaders run.
    static constexpr int32_t kComputeFrom = 200;

    // The class-wide resource: made once for the prototype, shared by every instance.
    struct CommonResource : Resource::ShaderStateResource,
                            Resource::ShaderResource,
                            std::enable_shared_from_this<CommonResource> {
        struct Constant {
            int32_t width;   // of the pass's target
            int32_t height;  // of the pass's target
            int32_t range;   // box radius r: 2r + 1 taps
            float divive;    // 1 / (2r + 1)
        };
        CommonResource();
        ~CommonResource();
        // Horizontal then vertical of each kind.
        std::array<Media::PixelShader, 6> pixelShaders;
        std::array<Media::ComputeShader, 6> computeShaders;
        Media::ConstantBufferCommon constantBuffer;
        Constant constant{};  // the buffer's contents, written before every pass

        // The images the blur draws into give themselves back here when their
        // last holder drops them, and the next passes of the same size draw
        // into them: a blur repeated frame after frame creates no textures.
        static constexpr size_t kSpareImages = 6;
        static constexpr uint64_t kSpareLimit = 8u << 20;  // pixels of the largest image kept (3840 x 2160 fits)
        std::shared_ptr<Media::ResourceBuffer> takeImage(uint32_t width, uint32_t height);
        void keepImage(std::unique_ptr<Media::ResourceBuffer> image);
        std::mutex spareMutex;
        std::vector<std::unique_ptr<Media::ResourceBuffer>> spare;  // oldest first
    };

    EffectItemNumber range{&items, L"範囲", 5, 0, 1000, 1};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.01};
    EffectItemNumber light{&items, L"光の強さ", 0, 0, 60, 0.1};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};

    std::shared_ptr<CommonResource> common;

    BokashiFilter();
    void createCommonResource() override;
    Image filterVideo(Render::RenderContext& context, Image image) override;

    // Blurs by size pixels. aspect in -1 .. 1 shortens the vertical radius when
    // positive, the horizontal one when negative. mode 0 grows the image by the
    // radius on each side, 1 keeps the size with everything outside the image
    // transparent, 2 keeps the size repeating the edge pixels outward; any
    // other mode is 0. Size 0 (or less) returns the image itself.
    Image blurImage(Image image, int32_t size, float aspect, int32_t mode) const;
    // Two trailing boxes of the radius, vertical then horizontal, growing the
    // image by the radius on each side.
    Image expandBlur(Image image, int32_t radius) const;
    // One box pass into a new target of the size; radius 0 returns the image.
    // A target clamped to the largest image size: the pixel shaders keep the
    // box where it would be in the full size (cutting the far side), the
    // compute shaders centre the content in the target.
    Image drawBoxPass(Image image, Media::PixelShader& shader, uint32_t targetWidth, uint32_t targetHeight,
                      int32_t radius) const;
    Image dispatchBoxPass(Image image, Media::ComputeShader& shader, uint32_t targetWidth, uint32_t targetHeight,
                          int32_t radius, uint32_t groupsAcross, uint32_t groupsDown) const;

private:
    // The last blur of a stamped image (one that its source keeps unchanged
    // across frames): the same image with the same items gives the kept result
    // again instead of blurring it anew every frame.
    struct Kept {
        std::shared_ptr<Media::ResourceBuffer> source;
        uint64_t stamp = 0;
        int32_t size = 0, mode = 0, strength = 0;
        float ratio = 0;
        Image result;
    };
    std::mutex keptMutex_;
    Kept kept_;
    Image blurVideo(Image image, int32_t size, float ratio, int32_t mode, int32_t strength);

    // One pass of the kind along the axis, with the implementation chosen.
    Image boxPass(Image image, Kind kind, bool vertical, int32_t radius, bool compute) const;
    void uploadConstant(uint32_t width, uint32_t height, int32_t radius) const;
};

}  // namespace Effect
