#pragma once
#include "media/gpu/ComResource.h"
#include "platform/draw2d/StrokeStyle.h"
#include "platform/draw2d/Text.h"

// Scope texts of the 2-D holders.
namespace Media {

template <>
struct ComResourceName<Platform::draw2d::StrokeStyle> {
    static constexpr const char* createResourceScope = "Media::ComResource<struct ID2D1StrokeStyle>::createResource";
};
template <>
struct ComResourceName<Platform::draw2d::TextFormat> {
    static constexpr const char* createResourceScope = "Media::ComResource<struct IDWriteTextFormat>::createResource";
};
template <>
struct ComResourceName<Platform::draw2d::TextLayout> {
    static constexpr const char* createResourceScope = "Media::ComResource<struct IDWriteTextLayout>::createResource";
};

}  // namespace Media
