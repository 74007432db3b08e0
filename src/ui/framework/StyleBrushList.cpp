#include "ui/framework/StyleBrushList.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "media/gpu/StyleBrush.h"

namespace Window {

namespace {

namespace D2 = Platform::draw2d;
using Entry = Media::ComResource<D2::Brush>;

enum class Kind { Solid, Gradient, Fade, ListEntry, Half };

struct Source {
    StyleBrushList::Index index;
    const char* key;
    Kind kind;
    size_t listIndex;
};

Entry::Generator generatorOf(const Source& source) {
    const std::string key = source.key;
    switch (source.kind) {
    case Kind::Gradient:
        return [key](std::unique_ptr<D2::Brush>* out) { *out = Resource::GradientBrush::createFromStyle(key); };
    case Kind::Fade:
        return
            [key](std::unique_ptr<D2::Brush>* out) { *out = Resource::GradientBrush::createFromStyleAlpha(key, 0.0f); };
    case Kind::ListEntry: {
        const size_t n = source.listIndex;
        return [n](std::unique_ptr<D2::Brush>* out) { *out = Resource::ColorBrush::createFromStyleList(n); };
    }
    case Kind::Half:
        return [key](std::unique_ptr<D2::Brush>* out) {
            auto brush = Resource::ColorBrush::createFromStyle(key);
            brush->color.a = 0.5f;
            *out = std::move(brush);
        };
    case Kind::Solid: break;
    }
    return [key](std::unique_ptr<D2::Brush>* out) { *out = Resource::ColorBrush::createFromStyle(key); };
}

using I = StyleBrushList;
constexpr Source kSources[] = {
    {I::Background, "Background", Kind::Solid, 0},
    {I::WindowBorder, "WindowBorder", Kind::Solid, 0},
    {I::WindowSeparator, "WindowSeparator", Kind::Solid, 0},
    {I::Grouping, "Grouping", Kind::Solid, 0},
    {I::GroupingHover, "GroupingHover", Kind::Solid, 0},
    {I::GroupingSelect, "GroupingSelect", Kind::Solid, 0},
    {I::Border, "Border", Kind::Solid, 0},
    {I::BorderFocus, "BorderFocus", Kind::Solid, 0},
    {I::BorderSelect, "BorderSelect", Kind::Solid, 0},
    {I::BorderHalf, "Border", Kind::Half, 0},
    {I::Footer, "Footer", Kind::Solid, 0},
    {I::FooterProgress0, "FooterProgress", Kind::ListEntry, 0},
    {I::FooterProgress1, "FooterProgress", Kind::ListEntry, 1},
    {I::TitleHeader, "TitleHeader", Kind::Solid, 0},
    {I::Text, "Text", Kind::Solid, 0},
    {I::TextDisable, "TextDisable", Kind::Solid, 0},
    {I::TextSelect, "TextSelect", Kind::Solid, 0},
    {I::ButtonBody, "ButtonBody", Kind::Solid, 0},
    {I::ButtonBodyHover, "ButtonBodyHover", Kind::Solid, 0},
    {I::ButtonBodyPress, "ButtonBodyPress", Kind::Solid, 0},
    {I::ButtonBodyDisable, "ButtonBodyDisable", Kind::Solid, 0},
    {I::ButtonBodySelect, "ButtonBodySelect", Kind::Solid, 0},
    {I::SliderCursor, "SliderCursor", Kind::Solid, 0},
    {I::TrackBarRange, "TrackBarRange", Kind::Solid, 0},
    {I::ZoomGauge, "ZoomGauge", Kind::Solid, 0},
    {I::ZoomGaugeHover, "ZoomGaugeHover", Kind::Solid, 0},
    {I::ZoomGaugeOff, "ZoomGaugeOff", Kind::Solid, 0},
    {I::ZoomGaugeOffHover, "ZoomGaugeOffHover", Kind::Solid, 0},
    {I::Layer, "Layer", Kind::Solid, 0},
    {I::LayerHeader, "LayerHeader", Kind::Solid, 0},
    {I::LayerHover, "LayerHover", Kind::Solid, 0},
    {I::LayerDisable, "LayerDisable", Kind::Solid, 0},
    {I::LayerRange, "LayerRange", Kind::Solid, 0},
    {I::LayerRangeFrame, "LayerRangeFrame", Kind::Solid, 0},
    {I::ObjectVideo, "ObjectVideo", Kind::Gradient, 0},
    {I::ObjectVideoSelect, "ObjectVideoSelect", Kind::Solid, 0},
    {I::ObjectVideoFilter, "ObjectVideoFilter", Kind::Gradient, 0},
    {I::ObjectVideoFilterSelect, "ObjectVideoFilterSelect", Kind::Solid, 0},
    {I::ObjectAudio, "ObjectAudio", Kind::Gradient, 0},
    {I::ObjectAudioSelect, "ObjectAudioSelect", Kind::Solid, 0},
    {I::ObjectAudioFilter, "ObjectAudioFilter", Kind::Gradient, 0},
    {I::ObjectAudioFilterSelect, "ObjectAudioFilterSelect", Kind::Solid, 0},
    {I::ObjectControl, "ObjectControl", Kind::Gradient, 0},
    {I::ObjectControlSelect, "ObjectControlSelect", Kind::Solid, 0},
    {I::ObjectAudioFade, "ObjectAudio", Kind::Fade, 0},
    {I::ClippingObject, "ClippingObject", Kind::Fade, 0},
    {I::ClippingObjectMask, "ClippingObjectMask", Kind::Solid, 0},
    {I::ObjectHover, "ObjectHover", Kind::Solid, 0},
    {I::ObjectSection, "ObjectSection", Kind::Solid, 0},
    {I::FrameRangeSelect, "FrameRangeSelect", Kind::Solid, 0},
    {I::FrameRangeOutside, "FrameRangeOutside", Kind::Solid, 0},
    {I::FrameCursor, "FrameCursor", Kind::Solid, 0},
    {I::FrameCursorWide, "FrameCursorWide", Kind::Solid, 0},
    {I::PlayerCursor, "PlayerCursor", Kind::Solid, 0},
    {I::GuideLine, "GuideLine", Kind::Solid, 0},
    {I::Anchor, "Anchor", Kind::Solid, 0},
    {I::AnchorLine, "AnchorLine", Kind::Solid, 0},
    {I::AnchorIn, "AnchorIn", Kind::Solid, 0},
    {I::AnchorOut, "AnchorOut", Kind::Solid, 0},
    {I::AnchorSelect, "AnchorSelect", Kind::Solid, 0},
    {I::AnchorHover, "AnchorHover", Kind::Solid, 0},
    {I::AnchorEdge, "AnchorEdge", Kind::Solid, 0},
    {I::HandleX, "HandleX", Kind::Solid, 0},
    {I::HandleY, "HandleY", Kind::Solid, 0},
    {I::HandleZ, "HandleZ", Kind::Solid, 0},
    {I::HandleXHover, "HandleXHover", Kind::Solid, 0},
    {I::HandleYHover, "HandleYHover", Kind::Solid, 0},
    {I::HandleZHover, "HandleZHover", Kind::Solid, 0},
    {I::OutsideDisplay, "OutsideDisplay", Kind::Solid, 0},
};
static_assert(std::size(kSources) == StyleBrushList::Count);

}  // namespace

StyleBrushList::StyleBrushList() {
    for (const Source& source : kSources) entries[source.index].generator = generatorOf(source);
}

Platform::draw2d::Brush& StyleBrushList::get(Index index) { return *entries.at(index).createResource(); }

Platform::draw2d::LinearGradientBrush& StyleBrushList::gradient(Index index) {
    D2::Brush& brush = get(index);
    if (brush.kind() != D2::Brush::Kind::LinearGradient) throw std::invalid_argument("style brush is not a gradient.");
    return static_cast<D2::LinearGradientBrush&>(brush);
}

}  // namespace Window
