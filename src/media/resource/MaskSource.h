#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace Media {
class ImageBuffer;
class ResourceBuffer;
}  // namespace Media

// What transition masks take from the layers above: the image cache's
// pictures and the effect layer's clipping and blurring filters. Installed at
// start-up; until then image masks, the clock and straight wipes give no
// mask and shapes are not blurred.
namespace Resource {

class MaskSource {
public:
    virtual ~MaskSource() = default;
    // The picture of the file, or null.
    virtual std::shared_ptr<Media::ImageBuffer> getImage(const std::wstring& path) const = 0;
    // Cuts away the sector outside the range from the base angle (degrees).
    virtual void clipSector(Media::ResourceBuffer& mask, float baseAngle, float rangeAngle, int32_t blur) const = 0;
    // Cuts away one side of a line through the centre moved by the offset.
    virtual void clipLine(Media::ResourceBuffer& mask, float angle, float offsetX, float offsetY,
                          int32_t blur) const = 0;
    // The mask blurred, same size.
    virtual std::unique_ptr<Media::ResourceBuffer> blur(Media::ResourceBuffer& mask, int32_t size) const = 0;

    static inline const MaskSource* installed = nullptr;
};

}  // namespace Resource
