#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace Media {
class ResourceBuffer;
}

// One wipe: a built-in shape, clock, horizontal or vertical wipe, or an image
// whose dark parts are covered first.
namespace Resource {

class PathData;

class TransitionData {
public:
    enum Kind : int32_t { kShape = 0, kClock = 1, kHorizontal = 2, kVertical = 3 };

    TransitionData(std::wstring name, const PathData* path, float scale, int32_t kind)
        : name(std::move(name)), path(path), scale(scale), kind(kind) {}
    // An image mask.
    TransitionData(std::wstring name, std::wstring file) : name(std::move(name)), file(std::move(file)) {}

    // The mask at the progress (0 nothing covered, 1 all) in the working
    // format, the coverage in its alpha; null for a size of 0 or a missing image.
    std::unique_ptr<Media::ResourceBuffer> createMask(uint32_t width, uint32_t height, float progress, int32_t blur,
                                                      bool keepAspect) const;

    // The soft band of an image mask: (limit min, limit max).
    static void imageLimits(float progress, int32_t blur, float& limitMin, float& limitMax);
    // The image's sampling scale that keeps its aspect in the mask.
    static void imageScale(uint32_t width, uint32_t height, uint32_t imageWidth, uint32_t imageHeight, float& x,
                           float& y);

    std::wstring name;
    const PathData* path = nullptr;
    float scale = 1;
    std::wstring file;
    int32_t kind = kShape;

private:
    std::unique_ptr<Media::ResourceBuffer> createImageMask(uint32_t width, uint32_t height, float progress,
                                                           int32_t blur, bool keepAspect) const;
};

}  // namespace Resource
