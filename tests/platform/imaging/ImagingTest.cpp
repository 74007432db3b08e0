#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/imaging/Decoding.h"
#include "platform/imaging/Imaging.h"
#include "platform/imaging/SampleImages.h"

namespace Img = Platform::imaging;
using Img::FormatId;
using Samples::Bytes;

namespace {

using Samples::decode;
using Samples::Decoded;

// The largest difference of any channel from the sample pattern.
// With weighted set, colour differences count as much as their alpha lets
// them show (a source that premultiplies loses colour at low alpha).
int worstDifference(const Decoded& d, const std::function<Samples::Rgba(uint32_t, uint32_t)>& expected,
                    bool weighted = false) {
    int worst = 0;
    for (uint32_t y = 0; y < d.height; ++y)
        for (uint32_t x = 0; x < d.width; ++x) {
            const Samples::Rgba e = expected(x, y);
            const uint8_t* p = &d.rgba[(static_cast<size_t>(y) * d.width + x) * 4];
            const int want[4] = {e.r, e.g, e.b, e.a};
            for (int c = 0; c < 4; ++c) {
                const int difference = std::abs(p[c] - want[c]);
                worst = std::max(worst, weighted && c < 3 ? (difference * e.a + 127) / 255 : difference);
            }
        }
    return worst;
}

Samples::Rgba pattern(uint32_t x, uint32_t y, bool alpha) { return Samples::samplePixel(x, y, alpha); }
Samples::Rgba grey(uint32_t x, uint32_t y, bool alpha) {
    const Samples::Rgba p = Samples::samplePixel(x, y, alpha);
    return {p.r, p.r, p.r, p.a};
}
Samples::Rgba paletteColour(uint32_t x, uint32_t y, bool) {
    static constexpr Samples::Rgba kColours[4] = {{0, 0, 0, 0}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    return kColours[(x + y) % 4];
}
Samples::Rgba greyOpaque(uint32_t x, uint32_t y, bool) { return grey(x, y, false); }

Platform::Result encodeFile(const std::string& path, FormatId container, const Bytes& bgra, uint32_t width,
                            uint32_t height, FormatId source, const Img::Variant* quality = nullptr);
Bytes bgraPattern(uint32_t width, uint32_t height, bool alpha);

Bytes jpegSample(uint32_t width, uint32_t height) {
    Samples::TempFolder folder;
    (void)encodeFile(folder.path + "/s.jpg", FormatId::ContainerJpeg, bgraPattern(width, height, false), width, height,
                     FormatId::Bgr32);
    return Samples::readFile(folder.path + "/s.jpg");
}

// A JPEG whose frame header claims another height.
Bytes jpegClaiming(uint32_t height) {
    Bytes b = jpegSample(8, 8);
    for (size_t i = 0; i + 9 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            b[i + 5] = static_cast<uint8_t>(height >> 8), b[i + 6] = static_cast<uint8_t>(height);
            break;
        }
    return b;
}

struct DecodeCase {
    const char* name;
    std::function<Bytes()> make;
    FormatId native;
    std::function<Samples::Rgba(uint32_t, uint32_t, bool)> expected;
    bool alpha;
    int tolerance;
    bool weighted = false;
};

const std::vector<DecodeCase>& decodeCases() {
    static const std::vector<DecodeCase> cases = {
        {"png rgb", [] { return Samples::png(13, 7, PNG_COLOR_TYPE_RGB, 8); }, FormatId::Rgb24, pattern, false, 0},
        {"png rgba 16-bit", [] { return Samples::png(13, 7, PNG_COLOR_TYPE_RGBA, 16); }, FormatId::Rgba32, pattern,
         true, 0},
        {"png grey", [] { return Samples::png(13, 7, PNG_COLOR_TYPE_GRAY, 8); }, FormatId::Gray8, grey, false, 0},
        {"png grey alpha", [] { return Samples::png(13, 7, PNG_COLOR_TYPE_GRAY_ALPHA, 8); }, FormatId::Rgba32, grey,
         true, 0},
        {"png interlaced", [] { return Samples::png(13, 9, PNG_COLOR_TYPE_RGBA, 8, true); }, FormatId::Rgba32, pattern,
         true, 0},
        {"png palette", [] { return Samples::pngPalette(9, 5); }, FormatId::Rgba32, paletteColour, false, 0},
        {"gif", [] { return Samples::gif(9, 5, false); }, FormatId::Rgba32, paletteColour, false, 0},
        {"gif interlaced", [] { return Samples::gif(9, 19, true); }, FormatId::Rgba32, paletteColour, false, 0},
        {"tiff rgb", [] { return Samples::tiff(11, 6, false); }, FormatId::Rgba32, pattern, false, 0},
        // Straight alpha keeps its colours exactly, however low the alpha.
        {"tiff rgba", [] { return Samples::tiff(11, 6, true); }, FormatId::Rgba32, pattern, true, 0},
        {"webp rgb", [] { return Samples::webp(11, 6, false); }, FormatId::Rgb24, pattern, false, 0},
        {"webp rgba", [] { return Samples::webp(11, 6, true); }, FormatId::Rgba32, pattern, true, 0},
        // Lossy: the pixels are checked in the round trip, here only that it decodes.
        {"jpeg", [] { return jpegSample(16, 8); }, FormatId::Rgb24, pattern, false, 255},
        {"bmp 24", [] { return Samples::bmp(13, 7, 24); }, FormatId::Rgb24, pattern, false, 0},
        {"bmp 24 top-down", [] { return Samples::bmp(13, 7, 24, true); }, FormatId::Rgb24, pattern, false, 0},
        {"bmp 32 alpha", [] { return Samples::bmp(13, 7, 32); }, FormatId::Rgba32, pattern, true, 0},
        {"bmp 8 palette", [] { return Samples::bmp(13, 7, 8); }, FormatId::Rgb24, greyOpaque, false, 0},
    };
    return cases;
}

TEST(ImagingDecode, EveryContainerGivesItsPixels) {
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        const Decoded d = decode(c.make());
        ASSERT_EQ(Platform::kOk, d.result);
        EXPECT_EQ(c.native, d.native);
        EXPECT_LE(worstDifference(
                      d, [&](uint32_t x, uint32_t y) { return c.expected(x, y, c.alpha); }, c.weighted),
                  c.tolerance);
    }
}

// Every cut of a sample and every single flipped byte of its first part
// fails with a result or decodes: never a crash, a hang or a read past it.
TEST(ImagingDecode, CutAndDamagedFilesFailCleanly) {
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        const Bytes whole = c.make();
        int failures = 0;
        for (size_t cut = 0; cut < whole.size(); cut += std::max<size_t>(1, whole.size() / 40)) {
            // Exactly sized, so the sanitizer sees any read past the end.
            const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
            const Decoded d = decode(part);
            if (Platform::failed(d.result)) ++failures;
        }
        EXPECT_GT(failures, 0);
        for (size_t at = 0; at < std::min<size_t>(whole.size(), 96); ++at) {
            Bytes damaged = whole;
            damaged[at] ^= 0xA5;
            decode(damaged);
        }
    }
}

// A bit field as wide as the pixel scales to 255 without wrapping.
TEST(ImagingDecode, BmpFullWidthMask) {
    Bytes b = Samples::bmp(1, 1, 32);
    for (size_t at : {size_t{54}, b.size() - 4}) b[at] = b[at + 1] = b[at + 2] = b[at + 3] = 0xFF;  // red mask, pixel
    const Decoded d = decode(b);
    ASSERT_EQ(Platform::kOk, d.result);
    EXPECT_EQ(255, d.rgba[0]);
}

TEST(ImagingDecode, UnknownEmptyAndMissingFiles) {
    std::unique_ptr<Img::Factory> factory;
    ASSERT_EQ(Platform::kOk, Img::createFactory(factory));
    Samples::TempFolder folder;
    std::unique_ptr<Img::Decoder> decoder;
    EXPECT_EQ(Platform::kFileNotFound, factory->createDecoderFromFilename(folder.path + "/none.png", decoder));
    Samples::writeFile(folder.path + "/empty.png", {});
    EXPECT_EQ(Img::kComponentNotFound, factory->createDecoderFromFilename(folder.path + "/empty.png", decoder));
    Samples::writeFile(folder.path + "/text.png", {'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(Img::kComponentNotFound, factory->createDecoderFromFilename(folder.path + "/text.png", decoder));
    Samples::writeFile(folder.path + "/ok.bmp", Samples::bmp(3, 2, 24));
    ASSERT_EQ(Platform::kOk, factory->createDecoderFromFilename(folder.path + "/ok.bmp", decoder));
    std::unique_ptr<Img::DecodedFrame> frame;
    EXPECT_EQ(Platform::kInvalidArg, decoder->getFrame(1, frame));
    EXPECT_EQ(Platform::kOk, decoder->getFrame(0, frame));
}

// A header beyond the largest edge fails before pixel memory is taken; the
// largest edge itself decodes.
TEST(ImagingDecode, EdgesBeyondTheLimitFail) {
    struct Case {
        const char* name;
        Bytes bytes;
        Platform::Result expected;
    };
    Bytes hugeBmp = Samples::bmp(1, 1, 24);
    hugeBmp[18] = 0x01, hugeBmp[19] = 0x40, hugeBmp[20] = 0, hugeBmp[21] = 0;  // width 16385
    Bytes negativeBmp = Samples::bmp(1, 1, 24);
    negativeBmp[22] = 0x00, negativeBmp[23] = 0x00, negativeBmp[24] = 0x00, negativeBmp[25] = 0x80;  // INT_MIN rows
    const Case cases[] = {
        {"png 16385 wide", Samples::png(16385, 1, PNG_COLOR_TYPE_GRAY, 8), Img::kImageSizeOutOfRange},
        {"png 16385 high", Samples::png(1, 16385, PNG_COLOR_TYPE_GRAY, 8), Img::kImageSizeOutOfRange},
        {"gif 16385 wide", Samples::gif(16385, 1, false), Img::kImageSizeOutOfRange},
        {"jpeg 16385 high", jpegClaiming(16385), Img::kImageSizeOutOfRange},
        {"tiff 16385 wide", Samples::tiff(16385, 1, false), Img::kImageSizeOutOfRange},
        {"bmp 16385 wide", hugeBmp, Img::kImageSizeOutOfRange},
        {"bmp 2^31 high", negativeBmp, Img::kImageSizeOutOfRange},
        {"png 16384 wide", Samples::png(16384, 1, PNG_COLOR_TYPE_GRAY, 8), Platform::kOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, decode(c.bytes).result);
    }
}

TEST(ImagingConvert, EveryPixelFormatPairAndPremultipliedAlpha) {
    const FormatId formats[] = {FormatId::Gray8,  FormatId::Rgb24,  FormatId::Bgr24,  FormatId::Bgr32,
                                FormatId::Rgba32, FormatId::Bgra32, FormatId::Pbgra32};
    for (FormatId from : formats)
        for (FormatId to : formats) {
            bool can = false;
            (void)Img::FormatConverter::canConvert(from, to, can);
            EXPECT_TRUE(can);
        }
    bool can = true;
    (void)Img::FormatConverter::canConvert(FormatId::ContainerPng, FormatId::Rgba32, can);
    EXPECT_FALSE(can);

    // Premultiplied BGRA (200, 100, 50) at alpha 128 reads back straight, and
    // alpha 0 gives black.
    const uint8_t pbgra[8] = {25, 50, 100, 128, 7, 7, 7, 0};
    Img::MemoryBitmap bitmap(2, 1, FormatId::Pbgra32, 8, pbgra);
    Img::FormatConverter converter;
    ASSERT_EQ(Platform::kOk, converter.initialize(&bitmap, FormatId::Rgba32));
    EXPECT_EQ(Img::kWrongState, converter.initialize(&bitmap, FormatId::Rgba32));
    uint8_t rgba[8] = {};
    ASSERT_EQ(Platform::kOk, converter.copyPixels(nullptr, 8, sizeof rgba, rgba));
    EXPECT_EQ((std::vector<uint8_t>{199, 100, 50, 128, 0, 0, 0, 0}), std::vector<uint8_t>(rgba, rgba + 8));
    // A buffer one byte short, a stride below a row and a rectangle outside fail.
    EXPECT_EQ(Platform::kInvalidArg, converter.copyPixels(nullptr, 8, 7, rgba));
    EXPECT_EQ(Platform::kInvalidArg, converter.copyPixels(nullptr, 7, 8, rgba));
    const Img::Rect outside{1, 0, 2, 1};
    EXPECT_EQ(Platform::kInvalidArg, converter.copyPixels(&outside, 8, 8, rgba));
    Img::FormatConverter unset;
    EXPECT_EQ(Img::kWrongState, unset.copyPixels(nullptr, 8, 8, rgba));
}

// Writes one frame from a BGRA buffer the way the program's writers do.
Platform::Result encodeFile(const std::string& path, FormatId container, const Bytes& bgra, uint32_t width,
                            uint32_t height, FormatId source, const Img::Variant* quality) {
    std::unique_ptr<Img::Factory> factory;
    (void)Img::createFactory(factory);
    std::unique_ptr<Img::FileStream> stream;
    (void)factory->createStream(stream);
    Platform::Result r;
    if (Platform::failed(r = stream->initializeFromFilename(path))) return r;
    std::unique_ptr<Img::Encoder> encoder;
    if (Platform::failed(r = factory->createEncoder(container, encoder))) return r;
    (void)encoder->initialize(stream.get());
    std::unique_ptr<Img::FrameEncode> frame;
    std::unique_ptr<Img::PropertyBag> options;
    (void)encoder->createNewFrame(frame, options);
    if (quality) (void)options->write(L"ImageQuality", *quality);
    (void)frame->initialize(options.get());
    if (Platform::failed(r = frame->setSize(width, height))) return r;
    (void)frame->setResolution(72, 72);
    FormatId target = container;
    (void)frame->setPixelFormat(target);
    std::unique_ptr<Img::MemoryBitmap> bitmap;
    if (Platform::failed(
            r = factory->createBitmapFromMemory(width, height, source, width * 4, bgra.size(), bgra.data(), bitmap)))
        return r;
    Img::FormatConverter converter;
    if (Platform::failed(r = converter.initialize(bitmap.get(), target))) return r;
    if (Platform::failed(r = frame->writeSource(&converter, nullptr))) return r;
    if (Platform::failed(r = frame->commit())) return r;
    return encoder->commit();
}

Bytes bgraPattern(uint32_t width, uint32_t height, bool alpha) {
    Bytes b;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const Samples::Rgba p = Samples::samplePixel(x, y, alpha);
            b.insert(b.end(), {p.b, p.g, p.r, p.a});
        }
    return b;
}

TEST(ImagingEncode, PngAndJpegRoundTrips) {
    Samples::TempFolder folder;
    const std::string png = folder.path + "/a.png", jpeg = folder.path + "/a.jpg";
    ASSERT_EQ(Platform::kOk,
              encodeFile(png, FormatId::ContainerPng, bgraPattern(17, 9, true), 17, 9, FormatId::Bgra32));
    const Decoded p = decode(Samples::readFile(png));
    ASSERT_EQ(Platform::kOk, p.result);
    EXPECT_EQ(0, worstDifference(p, [](uint32_t x, uint32_t y) { return Samples::samplePixel(x, y, true); }));
    // 72 dots per inch are 2835 per metre.
    const Bytes bytes = Samples::readFile(png);
    const std::string text(bytes.begin(), bytes.end());
    const size_t phys = text.find("pHYs");
    ASSERT_NE(std::string::npos, phys);
    EXPECT_EQ(std::string("\x00\x00\x0b\x13\x00\x00\x0b\x13\x01", 9), text.substr(phys + 4, 9));

    // A flat colour survives JPEG closely; the quality option changes the file.
    Bytes flat;
    for (int i = 0; i < 32 * 16; ++i) flat.insert(flat.end(), {40, 120, 200, 255});
    ASSERT_EQ(Platform::kOk, encodeFile(jpeg, FormatId::ContainerJpeg, flat, 32, 16, FormatId::Bgr32));
    const Decoded j = decode(Samples::readFile(jpeg));
    ASSERT_EQ(Platform::kOk, j.result);
    EXPECT_EQ(FormatId::Rgb24, j.native);
    EXPECT_LE(worstDifference(j, [](uint32_t, uint32_t) { return Samples::Rgba{200, 120, 40, 255}; }), 3);

    const Bytes noisy = bgraPattern(64, 64, false);
    const Img::Variant high{Img::Variant::Type::Float, 0.95f}, low{Img::Variant::Type::Float, 0.1f};
    ASSERT_EQ(Platform::kOk, encodeFile(jpeg, FormatId::ContainerJpeg, noisy, 64, 64, FormatId::Bgr32, &high));
    const size_t highSize = Samples::readFile(jpeg).size();
    ASSERT_EQ(Platform::kOk, encodeFile(jpeg, FormatId::ContainerJpeg, noisy, 64, 64, FormatId::Bgr32, &low));
    EXPECT_LT(Samples::readFile(jpeg).size(), highSize);
}

TEST(ImagingEncode, OptionsTheEncoderRefuses) {
    Img::PropertyBag jpeg(true), png(false);
    const Img::Variant half{Img::Variant::Type::Float, 0.5f};
    EXPECT_EQ(Platform::kOk, jpeg.write(L"ImageQuality", half));
    EXPECT_FLOAT_EQ(0.5f, jpeg.imageQuality());
    EXPECT_EQ(Img::kPropertyNotSupported, png.write(L"ImageQuality", half));
    EXPECT_EQ(Img::kPropertyNotSupported, jpeg.write(L"Quality", half));
    EXPECT_EQ(Img::kPropertyUnexpectedType, jpeg.write(L"ImageQuality", Img::Variant{}));
    EXPECT_EQ(Platform::kInvalidArg, jpeg.write(L"ImageQuality", Img::Variant{Img::Variant::Type::Float, 1.5f}));
    EXPECT_FLOAT_EQ(0.5f, jpeg.imageQuality());
}

// A stream that is not committed leaves no file and keeps the old one; a
// missing folder fails at once.
TEST(ImagingEncode, UncommittedStreamsLeaveNothing) {
    Samples::TempFolder folder;
    const std::string path = folder.path + "/keep.png";
    Samples::writeFile(path, {'o', 'l', 'd'});
    {
        Img::FileStream stream;
        ASSERT_EQ(Platform::kOk, stream.initializeFromFilename(path));
        ASSERT_EQ(Platform::kOk, stream.write(reinterpret_cast<const uint8_t*>("new"), 3));
    }
    EXPECT_EQ((Bytes{'o', 'l', 'd'}), Samples::readFile(path));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path)) ++entries;
    EXPECT_EQ(1u, entries);
    Img::FileStream missing;
    EXPECT_EQ(Platform::kFileNotFound, missing.initializeFromFilename(folder.path + "/no/such.png"));
    EXPECT_EQ(Img::kImageSizeOutOfRange,
              encodeFile(folder.path + "/big.png", FormatId::ContainerPng, Bytes(4), 16385, 1, FormatId::Bgra32));
    EXPECT_EQ(Platform::kInvalidArg,
              encodeFile(folder.path + "/short.png", FormatId::ContainerPng, Bytes(4), 2, 1, FormatId::Bgra32));
    EXPECT_FALSE(std::filesystem::exists(folder.path + "/big.png"));
    EXPECT_FALSE(std::filesystem::exists(folder.path + "/short.png"));
}

}  // namespace
