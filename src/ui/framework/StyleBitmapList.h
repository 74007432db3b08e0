#pragma once
#include <array>
#include <cstdint>

#include "media/gpu/ComResource.h"
#include "platform/draw2d/Bitmap.h"

namespace Media {
template <>
struct ComResourceName<Platform::draw2d::Bitmap> {
    static constexpr const char* createResourceScope = "Media::ComResource<struct ID2D1Bitmap>::createResource";
};
}  // namespace Media

// The icons the controls draw: 32 x 32 pictures of the program, decoded the
// first time each is asked for.
namespace Window {

class StyleBitmapList {
public:
    enum Index : int32_t {
        CameraOn,
        Camera,
        CameraOff,
        ArrowUp,
        ArrowDown,
        Refresh,
        Volume,
        Zoom,
        Lock,
        Unlock,
        Clip,
        ClipOff,
        Link,
        LinkOff,
        Movie,
        Picture,
        Setting,
        Effect,
        TextTool,
        Pipette,
        Clock,
        ColorWheel,
        Count
    };
    // The picture number of each entry.
    static const std::array<int32_t, Count> ResourceIds;

    StyleBitmapList();
    StyleBitmapList(const StyleBitmapList&) = delete;
    StyleBitmapList& operator=(const StyleBitmapList&) = delete;

    Platform::draw2d::Bitmap& get(Index index) { return *entries.at(index).createResource(); }
    void bind(Platform::draw2d::RenderTarget* target) { this->target = target; }

    std::array<Media::ComResource<Platform::draw2d::Bitmap>, Count> entries;
    Platform::draw2d::RenderTarget* target = nullptr;
};

}  // namespace Window
