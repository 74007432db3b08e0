#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/Result.h"

namespace Platform::shell {

// A small picture: premultiplied B, G, R, A bytes, rows width * 4 apart.
struct FileImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

// The icon theme's picture for a content type ("inode/directory" for
// folders) at the size in pixels. kFileNotFound when the theme has none or
// there is no display to take a theme from.
Result loadTypeIcon(const std::string& contentType, int32_t size, FileImage& out);
// The thumbnail the cache holds for the file, scaled to fit the size.
// kFileNotFound when the cache has none.
Result loadThumbnail(const std::string& thumbnailPath, int32_t size, FileImage& out);

}  // namespace Platform::shell
