#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/Color.h"

namespace Media {
class ResourceBuffer;
}

// One figure: a built-in path (background, rectangle, circle or another
// shape) or an SVG file of the figure folder.
namespace Resource {

class PathData;

class FigureData {
public:
    enum Kind : int32_t { kPath = 0, kBackground = 1, kRectangle = 2, kCircle = 3 };

    FigureData(std::wstring name, const PathData* path, std::wstring file, int32_t kind)
        : name(std::move(name)), path(path), file(std::move(file)), kind(kind) {}

    // The figure in a new buffer (format 0: the working format); null for a
    // size of 0. An outline is drawn when the shape is larger than twice the
    // line width or round is set, else the shape is filled.
    std::unique_ptr<Media::ResourceBuffer> createImage(uint32_t width, uint32_t height, const Media::ColorRgba& color,
                                                       float lineWidth, bool round, int32_t format) const;

    // The current scene's video size, which the background takes; installed
    // by the edit layer at start-up (unset: no size, so no background).
    // Returns the reader installed before.
    using SceneSizeReader = std::function<void(uint32_t& width, uint32_t& height)>;
    static SceneSizeReader setSceneSizeReader(SceneSizeReader reader);

    std::wstring name;
    const PathData* path;  // null for an SVG figure
    std::wstring file;     // empty for a built-in figure
    int32_t kind;
};

}  // namespace Resource
