#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "media/gpu/ComResource.h"
#include "platform/draw2d/Brush.h"

namespace Platform::draw2d {
class RenderTarget;
}

namespace Media {
template <>
struct ComResourceName<Platform::draw2d::Brush> {
    static constexpr const char* createResourceScope = "Media::ComResource<struct ID2D1Brush>::createResource";
};
}  // namespace Media

// The brushes every panel and control paints with, made from the style's
// [Color] values the first time each is asked for.
namespace Window {

class StyleBrushList {
public:
    enum Index : int32_t {
        Background,
        WindowBorder,
        WindowSeparator,
        Grouping,
        GroupingHover,
        GroupingSelect,
        Border,
        BorderFocus,
        BorderSelect,
        BorderHalf,
        Footer,
        FooterProgress0,
        FooterProgress1,
        TitleHeader,
        Text,
        TextDisable,
        TextSelect,
        ButtonBody,
        ButtonBodyHover,
        ButtonBodyPress,
        ButtonBodyDisable,
        ButtonBodySelect,
        SliderCursor,
        TrackBarRange,
        ZoomGauge,
        ZoomGaugeHover,
        ZoomGaugeOff,
        ZoomGaugeOffHover,
        Layer,
        LayerHeader,
        LayerHover,
        LayerDisable,
        LayerRange,
        LayerRangeFrame,
        ObjectVideo,
        ObjectVideoSelect,
        ObjectVideoFilter,
        ObjectVideoFilterSelect,
        ObjectAudio,
        ObjectAudioSelect,
        ObjectAudioFilter,
        ObjectAudioFilterSelect,
        ObjectControl,
        ObjectControlSelect,
        ObjectAudioFade,
        ClippingObject,
        ClippingObjectMask,
        ObjectHover,
        ObjectSection,
        FrameRangeSelect,
        FrameRangeOutside,
        FrameCursor,
        FrameCursorWide,
        PlayerCursor,
        GuideLine,
        Anchor,
        AnchorLine,
        AnchorIn,
        AnchorOut,
        AnchorSelect,
        AnchorHover,
        AnchorEdge,
        HandleX,
        HandleY,
        HandleZ,
        HandleXHover,
        HandleYHover,
        HandleZHover,
        OutsideDisplay,
        Count
    };

    // Generators only; nothing is read from the style yet.
    StyleBrushList();
    StyleBrushList(const StyleBrushList&) = delete;
    StyleBrushList& operator=(const StyleBrushList&) = delete;

    // The brush, made on first use (a missing or malformed colour throws then).
    Platform::draw2d::Brush& get(Index index);
    // The gradient and fade entries; their points are set by the painter.
    Platform::draw2d::LinearGradientBrush& gradient(Index index);
    // Binds the list to the main window's target; brushes made so far stay.
    void bind(Platform::draw2d::RenderTarget* target) { this->target = target; }

    std::array<Media::ComResource<Platform::draw2d::Brush>, Count> entries;
    Platform::draw2d::RenderTarget* target = nullptr;
};

}  // namespace Window
