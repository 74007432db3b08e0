#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Color.h"
#include "media/figure/FigureData.h"
#include "media/gpu/PathData.h"

namespace Media {
class ResourceBuffer;
}

// The figures in their fixed order (the index stored in projects): the
// built-in shapes, then the SVG files of the figure folder by path.
namespace Resource {

class FigureList {
public:
    // `paths`: the built-in paths in their order, kept alive by the caller.
    // `pattern`: the figure files, variables expanded before listing.
    FigureList(const std::vector<std::unique_ptr<PathData>>& paths, const std::wstring& pattern = L"%Figure%/*.svg");

    // Null for an index out of range or a size of 0.
    std::unique_ptr<Media::ResourceBuffer> createFigure(int32_t index, uint32_t width, uint32_t height,
                                                        const Media::ColorRgba& color, float lineWidth,
                                                        bool round) const;
    // The figure filled, as coverage in the mask format.
    std::unique_ptr<Media::ResourceBuffer> createMask(int32_t index, uint32_t width, uint32_t height) const;

    std::vector<FigureData> figures;
    std::map<int32_t, std::wstring> names;
};

}  // namespace Resource
