// Writes the seeds of the ImageDecode target: a small image of every
// container and pixel layout the decoders read, made with the libraries
// themselves (JPEG through the program's own encoder).
//   write_image_seeds [folder]   (default: fuzz/seeds/ImageDecode of the source tree)
// The seeds numbered after these, files in the forms other programs write
// (run-length bitmaps, CMYK and EXIF JPEG, an animated WebP, a GIF placed on
// a larger canvas, straight-alpha TIFF), were made with ImageMagick's convert
// and are kept as files.
#include <png.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "platform/imaging/Imaging.h"
#include "platform/imaging/SampleImages.h"

namespace {

namespace Img = Platform::imaging;
using Samples::Bytes;

// Encodes the BGRX pixels to a JPEG file; false on failure.
bool encodeJpeg(const std::string& path, const Bytes& bgra, uint32_t width, uint32_t height) {
    std::unique_ptr<Img::Factory> factory;
    (void)Img::createFactory(factory);
    std::unique_ptr<Img::FileStream> stream;
    (void)factory->createStream(stream);
    std::unique_ptr<Img::Encoder> encoder;
    std::unique_ptr<Img::FrameEncode> frame;
    std::unique_ptr<Img::PropertyBag> options;
    std::unique_ptr<Img::MemoryBitmap> bitmap;
    Img::FormatConverter converter;
    Img::FormatId target = Img::FormatId::ContainerJpeg;
    if (Platform::failed(stream->initializeFromFilename(path)) ||
        Platform::failed(factory->createEncoder(Img::FormatId::ContainerJpeg, encoder)))
        return false;
    (void)encoder->initialize(stream.get());
    (void)encoder->createNewFrame(frame, options);
    (void)frame->initialize(options.get());
    (void)frame->setResolution(72, 72);
    (void)frame->setPixelFormat(target);
    if (Platform::failed(frame->setSize(width, height)) ||
        Platform::failed(factory->createBitmapFromMemory(width, height, Img::FormatId::Bgr32, width * 4, bgra.size(),
                                                         bgra.data(), bitmap)) ||
        Platform::failed(converter.initialize(bitmap.get(), target)) ||
        Platform::failed(frame->writeSource(&converter, nullptr)) || Platform::failed(frame->commit()) ||
        Platform::failed(encoder->commit()))
        return false;
    return true;
}

// A JPEG of the sample pattern through the program's encoder; empty on failure.
Bytes jpeg(uint32_t width, uint32_t height) {
    Bytes bgra;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const Samples::Rgba p = Samples::samplePixel(x, y, false);
            bgra.insert(bgra.end(), {p.b, p.g, p.r, p.a});
        }
    Samples::TempFolder folder;
    const std::string path = folder.path + "/s.jpg";
    return encodeJpeg(path, bgra, width, height) ? Samples::readFile(path) : Bytes();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : VELMO_IMAGE_SEED_FOLDER;
    const struct {
        const char* name;
        std::function<Bytes()> make;
    } seeds[] = {
        {"png-rgb", [] { return Samples::png(13, 7, PNG_COLOR_TYPE_RGB, 8); }},
        {"png-rgba-16-bit", [] { return Samples::png(13, 7, PNG_COLOR_TYPE_RGBA, 16); }},
        {"png-grey", [] { return Samples::png(13, 7, PNG_COLOR_TYPE_GRAY, 8); }},
        {"png-grey-alpha", [] { return Samples::png(13, 7, PNG_COLOR_TYPE_GRAY_ALPHA, 8); }},
        {"png-interlaced", [] { return Samples::png(13, 9, PNG_COLOR_TYPE_RGBA, 8, true); }},
        {"png-palette", [] { return Samples::pngPalette(9, 5); }},
        {"gif", [] { return Samples::gif(9, 5, false); }},
        {"gif-interlaced", [] { return Samples::gif(9, 19, true); }},
        {"tiff-rgb", [] { return Samples::tiff(11, 6, false); }},
        {"tiff-rgba", [] { return Samples::tiff(11, 6, true); }},
        {"webp-rgb", [] { return Samples::webp(11, 6, false); }},
        {"webp-rgba", [] { return Samples::webp(11, 6, true); }},
        {"jpeg", [] { return jpeg(16, 8); }},
        {"bmp-24", [] { return Samples::bmp(13, 7, 24); }},
        {"bmp-24-top-down", [] { return Samples::bmp(13, 7, 24, true); }},
        {"bmp-32-alpha", [] { return Samples::bmp(13, 7, 32); }},
        {"bmp-8-palette", [] { return Samples::bmp(13, 7, 8); }},
    };
    int n = 0;
    for (const auto& seed : seeds) {
        const Bytes bytes = seed.make();
        if (bytes.empty()) {
            std::fprintf(stderr, "write_image_seeds: %s could not be made\n", seed.name);
            return 1;
        }
        Samples::writeFile(folder + "/" + std::to_string(n++) + "-" + seed.name, bytes);
    }
    std::printf("write_image_seeds: %d seeds in %s\n", n, folder.c_str());
    return 0;
}
