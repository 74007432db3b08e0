#pragma once
#include <memory>
#include <string>

#include "core/Color.h"
#include "platform/draw2d/Brush.h"

// Brushes from the style's [Color] values: one colour, or a gradient from the
// first colour of a list to its last.
namespace Resource {

class ColorBrush {
public:
    static std::unique_ptr<Platform::draw2d::SolidColorBrush> create(const Media::ColorRgba& color);
    // Throws the ini value error for a missing or malformed value.
    static std::unique_ptr<Platform::draw2d::SolidColorBrush> createFromStyle(const std::string& key);
    // The colour at the index of "FooterProgress", or its last colour past the end.
    static std::unique_ptr<Platform::draw2d::SolidColorBrush> createFromStyleList(size_t index);
};

class GradientBrush {
public:
    // Two stops at 0 and 1; the points are set when drawing.
    static std::unique_ptr<Platform::draw2d::LinearGradientBrush> create(const Media::ColorRgba& start,
                                                                         const Media::ColorRgba& end);
    static std::unique_ptr<Platform::draw2d::LinearGradientBrush> createFromStyle(const std::string& key);
    // The last colour of the list, from the given alpha to its own.
    static std::unique_ptr<Platform::draw2d::LinearGradientBrush> createFromStyleAlpha(const std::string& key,
                                                                                       float alpha);
};

}  // namespace Resource
