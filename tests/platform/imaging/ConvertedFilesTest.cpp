// Files in the forms other programs write, made at test time by
// ImageMagick's convert, decoded by the layer and compared with
// ImageMagick's own decode of the same file to 8-bit straight RGBA.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/imaging/Codec.h"
#include "platform/imaging/Decoding.h"
#include "platform/imaging/SampleImages.h"

using Samples::Bytes;

namespace {

// As Debian's imagemagick package installs it (scripts/packages).
constexpr const char* kConvert = "/usr/bin/convert";

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// Runs convert in the folder; the arguments name files relative to it.
::testing::AssertionResult convert(const std::string& folder, const std::string& arguments) {
    const std::string command = "cd " + quoted(folder) + " && " + kConvert + " " + arguments;
    const int status = std::system(command.c_str());
    if (status == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "failed (" << status << "): " << command;
}

struct Picture {
    uint32_t width = 0, height = 0;
    Bytes rgba;
};

// ImageMagick's decode of input (which may name a frame, "a.gif[0]") after
// the operations, as 8-bit straight RGBA.
Picture reference(const std::string& folder, const std::string& input, const std::string& operations) {
    Picture p;
    const std::string command = "cd " + quoted(folder) + " && " + kConvert + " " + quoted(input) + " " + operations +
                                " -depth 8 -write rgba:reference.rgba -format '%w %h' info:";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return p;
    if (std::fscanf(pipe, "%u %u", &p.width, &p.height) != 2) p.width = p.height = 0;
    if (pclose(pipe) != 0) p.width = p.height = 0;
    if (p.width != 0) p.rgba = Samples::readFile(folder + "/reference.rgba");
    return p;
}

// The largest difference of any channel. With weighted set, colour counts as
// much as the reference's alpha lets it show (colour under alpha 0 is free).
::testing::AssertionResult matches(const Samples::Decoded& ours, const Picture& theirs, int tolerance, bool weighted) {
    if (Platform::failed(ours.result))
        return ::testing::AssertionFailure() << "decode failed: 0x" << std::hex << ours.result;
    if (theirs.width == 0) return ::testing::AssertionFailure() << "no reference decode";
    if (ours.width != theirs.width || ours.height != theirs.height)
        return ::testing::AssertionFailure()
               << "size " << ours.width << "x" << ours.height << ", reference " << theirs.width << "x" << theirs.height;
    if (theirs.rgba.size() != ours.rgba.size()) return ::testing::AssertionFailure() << "reference size";
    int worst = 0;
    size_t worstAt = 0;
    for (size_t i = 0; i < ours.rgba.size(); ++i) {
        int difference = std::abs(ours.rgba[i] - theirs.rgba[i]);
        if (weighted && i % 4 != 3) difference = (difference * theirs.rgba[i - i % 4 + 3] + 127) / 255;
        if (difference > worst) worst = difference, worstAt = i;
    }
    if (worst <= tolerance) return ::testing::AssertionSuccess();
    const size_t pixel = worstAt / 4;
    return ::testing::AssertionFailure() << "channel " << worstAt % 4 << " of pixel (" << pixel % ours.width << ", "
                                         << pixel / ours.width << ") is " << int{ours.rgba[worstAt]} << ", reference "
                                         << int{theirs.rgba[worstAt]};
}

// A folder holding the two source pictures: "rgb.png" and "rgba.png", the
// sample pattern (every pixel differs from its neighbours, so a turned or
// shifted picture shows) with alpha running through all 256 values.
struct Sources {
    Sources() {
        Samples::writeFile(folder.path + "/rgb.png", Samples::png(kWidth, kHeight, PNG_COLOR_TYPE_RGB, 8));
        Samples::writeFile(folder.path + "/rgba.png", Samples::png(kWidth, kHeight, PNG_COLOR_TYPE_RGBA, 8));
    }
    static constexpr uint32_t kWidth = 24, kHeight = 16;
    Samples::TempFolder folder;
};

struct Case {
    const char* name;
    const char* make;  // convert's arguments, writing the file named next
    const char* file;
    const char* reference;  // operations for the reference decode; a frame selector comes first
    int tolerance = 0;
    bool weighted = false;
};

void check(const Sources& s, const Case& c) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(convert(s.folder.path, c.make));
    std::string input = c.file, operations = c.reference;
    if (!operations.empty() && operations[0] == '[') {  // "[0] ..." selects a frame
        const size_t close = operations.find(']');
        input += operations.substr(0, close + 1);
        operations = operations.substr(close + 1);
    }
    const Samples::Decoded ours = Samples::decode(Samples::readFile(s.folder.path + "/" + c.file));
    EXPECT_TRUE(matches(ours, reference(s.folder.path, input, operations), c.tolerance, c.weighted));
}

TEST(ImagingConvertedFiles, EveryContainerInItsCommonForms) {
    const Case cases[] = {
        {"png rgb", "rgb.png png24:out.png", "out.png", ""},
        {"png rgba 16-bit", "rgba.png -depth 16 png64:out.png", "out.png", ""},
        {"png grey", "rgb.png -colorspace Gray out.png", "out.png", ""},
        {"png interlaced", "rgba.png -interlace PNG out.png", "out.png", ""},
        {"png palette with transparency", "rgba.png -channel A -threshold 50% +channel -colors 40 png8:out.png",
         "out.png", "", 0, true},
        {"jpeg", "rgb.png -quality 92 out.jpg", "out.jpg", "", 1},
        {"jpeg 4:2:0", "rgb.png -sampling-factor 2x2 -quality 80 out.jpg", "out.jpg", "", 1},
        {"jpeg progressive", "rgb.png -interlace JPEG out.jpg", "out.jpg", "", 1},
        {"jpeg grey", "rgb.png -colorspace Gray out.jpg", "out.jpg", "", 1},
        // Stored inverted, with the marker that says so.
        {"jpeg cmyk", "rgb.png -colorspace CMYK -quality 95 out.jpg", "out.jpg", "", 2},
        {"jpeg cmyk progressive", "rgb.png -colorspace CMYK -interlace JPEG out.jpg", "out.jpg", "", 2},
        {"gif", "rgb.png -colors 64 out.gif", "out.gif", ""},
        {"gif transparent", "rgba.png -colors 64 out.gif", "out.gif", "", 0, true},
        // The first image smaller than its canvas keeps its offset; the rest of
        // the canvas is clear.
        {"gif first image on a larger canvas", "rgb.png -colors 64 -repage 40x30+7+5 out.gif", "out.gif",
         "[0] -background none -flatten", 0, true},
        {"gif interlaced on a larger canvas", "rgba.png -colors 32 -interlace GIF -repage 31x17+6+1 out.gif", "out.gif",
         "[0] -background none -flatten", 0, true},
        {"gif animation, first frame placed",
         "\\( rgb.png -colors 32 -repage 40x30+3+9 \\) \\( rgb.png -flip -colors 32 -repage 40x30+0+0 \\) -loop 0 "
         "out.gif",
         "out.gif", "[0] -background none -flatten", 0, true},
        {"bmp 24", "rgb.png -type TrueColor BMP3:out.bmp", "out.bmp", ""},
        {"bmp 32 alpha", "rgba.png BMP:out.bmp", "out.bmp", ""},
        {"bmp 16 rgb565", "rgb.png -define bmp:subtype=RGB565 out.bmp", "out.bmp", "", 0},
        {"bmp 8 palette", "rgb.png -colors 200 -type Palette BMP3:out.bmp", "out.bmp", ""},
        {"bmp 1 bit", "rgb.png -monochrome BMP3:out.bmp", "out.bmp", ""},
        {"bmp rle8", "rgb.png -colors 200 -type Palette -compress RLE BMP3:out.bmp", "out.bmp", ""},
        {"bmp rle8 few colours", "rgb.png -colors 5 -type Palette -compress RLE BMP3:out.bmp", "out.bmp", ""},
        {"tiff rgb", "rgb.png out.tif", "out.tif", ""},
        {"tiff lzw", "rgb.png -compress LZW out.tif", "out.tif", ""},
        {"tiff zip with predictor", "rgba.png -compress Zip -define tiff:predictor=2 out.tif", "out.tif", ""},
        {"tiff jpeg", "rgb.png -compress JPEG out.tif", "out.tif", "", 8},
        // The library scales 16-bit colour tables down without rounding.
        {"tiff palette", "rgb.png -colors 16 -type Palette out.tif", "out.tif", "", 1},
        // Straight alpha keeps every colour value, however low the alpha.
        {"tiff straight alpha", "rgba.png out.tif", "out.tif", ""},
        {"tiff straight alpha 16-bit", "rgba.png -depth 16 out.tif", "out.tif", ""},
        {"tiff straight alpha in planes", "rgba.png -interlace Plane out.tif", "out.tif", ""},
        {"tiff straight alpha 16-bit in planes", "rgba.png -depth 16 -interlace Plane out.tif", "out.tif", ""},
        {"tiff straight alpha in tiles", "rgba.png -define tiff:tile-geometry=16x16 out.tif", "out.tif", ""},
        {"tiff grey with straight alpha", "rgba.png -colorspace Gray out.tif", "out.tif", ""},
        // 16-bit grey that falls between two 8-bit values rounds to the nearer.
        {"tiff grey 16-bit with straight alpha", "rgba.png -colorspace Gray -depth 16 out.tif", "out.tif", "", 1},
        {"tiff associated alpha", "rgba.png -define tiff:alpha=associated out.tif", "out.tif", "", 1, true},
        {"webp lossy", "rgb.png -quality 80 out.webp", "out.webp", ""},
        {"webp lossy alpha", "rgba.png -quality 80 out.webp", "out.webp", ""},
        {"webp lossless alpha", "rgba.png -define webp:lossless=true out.webp", "out.webp", ""},
        {"webp animation", "-delay 10 rgb.png \\( rgb.png -flip \\) -loop 0 out.webp", "out.webp", "[0]"},
        {"webp animation, alpha frame on a larger canvas",
         "-delay 10 \\( rgba.png -repage 40x30+4+2 \\) \\( rgb.png -flip -repage 40x30+0+0 \\) -loop 0 "
         "-define webp:lossless=true out.webp",
         "out.webp", "[0] -background none -flatten", 0, true},
    };
    Sources s;
    for (const Case& c : cases) check(s, c);
}

// The Orientation tag of a TIFF, all eight values: size and picture as shown.
TEST(ImagingConvertedFiles, TiffOrientation) {
    static constexpr const char* kNames[] = {"TopLeft", "TopRight", "BottomRight", "BottomLeft",
                                             "LeftTop", "RightTop", "RightBottom", "LeftBottom"};
    Sources s;
    for (const char* name : kNames) {
        for (const char* source : {"rgb.png", "rgba.png"}) {  // the library's reader, and the direct one
            const std::string make = std::string(source) + " -orient " + name + " out.tif";
            check(s, {name, make.c_str(), "out.tif", "-auto-orient"});
        }
    }
}

// Cameras store rows as the sensor read them and say in the EXIF block how
// to turn them. The block is put into a JPEG that convert wrote, in either
// byte order; convert reads it back and turns the picture itself.
Bytes withExifOrientation(const Bytes& jpeg, uint16_t orientation, bool littleEndian) {
    auto u16 = [&](Bytes& b, uint32_t v) {
        if (littleEndian)
            b.insert(b.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
        else
            b.insert(b.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
    };
    auto u32 = [&](Bytes& b, uint32_t v) {
        littleEndian ? (u16(b, v & 0xFFFF), u16(b, v >> 16)) : (u16(b, v >> 16), u16(b, v & 0xFFFF));
    };
    Bytes exif = {'E', 'x', 'i', 'f', 0, 0};
    exif.insert(exif.end(),
                littleEndian ? std::initializer_list<uint8_t>{'I', 'I'} : std::initializer_list<uint8_t>{'M', 'M'});
    u16(exif, 42);
    u32(exif, 8);
    u16(exif, 2);  // entries: a resolution unit first, then the orientation
    u16(exif, 0x0128), u16(exif, 3), u32(exif, 1), u16(exif, 2), u16(exif, 0);
    u16(exif, 0x0112), u16(exif, 3), u32(exif, 1), u16(exif, orientation), u16(exif, 0);
    u32(exif, 0);
    Bytes out(jpeg.begin(), jpeg.begin() + 2);  // after the start marker
    const size_t length = exif.size() + 2;
    out.insert(out.end(), {0xFF, 0xE1, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
    out.insert(out.end(), exif.begin(), exif.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

TEST(ImagingConvertedFiles, JpegExifOrientation) {
    Sources s;
    ASSERT_TRUE(convert(s.folder.path, "rgb.png -quality 95 plain.jpg"));
    ASSERT_TRUE(convert(s.folder.path, "rgb.png -colorspace CMYK -quality 95 cmyk.jpg"));
    const Bytes plain = Samples::readFile(s.folder.path + "/plain.jpg");
    const Bytes cmyk = Samples::readFile(s.folder.path + "/cmyk.jpg");
    for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
        for (bool little : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "orientation " << orientation << (little ? " II" : " MM"));
            const std::string path = s.folder.path + "/turned.jpg";
            Samples::writeFile(path, withExifOrientation(little ? cmyk : plain, orientation, little));
            const Samples::Decoded ours = Samples::decode(Samples::readFile(path));
            EXPECT_TRUE(matches(ours, reference(s.folder.path, "turned.jpg", "-auto-orient"), 2, false));
            const bool sideways = orientation >= 5;
            EXPECT_EQ(sideways ? Sources::kHeight : Sources::kWidth, ours.width);
        }
    }
}

// A damaged EXIF block leaves the picture as stored.
TEST(ImagingConvertedFiles, DamagedExifOrientationIsIgnored) {
    const Bytes good = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 6, 0, 0, 0, 0, 0, 0};
    struct Damage {
        const char* name;
        size_t at;
        uint8_t value;
        size_t keep;  // bytes kept of the block
        uint8_t expected;
    };
    const Damage cases[] = {
        {"intact", 0, 'M', good.size(), 6},
        {"unknown byte order", 0, 'X', good.size(), 1},
        {"not 42", 3, 43, good.size(), 1},
        {"first directory past the end", 7, 200, good.size(), 1},
        {"more entries claimed than the block holds", 9, 40, good.size(), 6},
        {"entry cut", 0, 'M', 20, 1},
        {"long instead of short", 13, 4, good.size(), 1},
        {"two values", 17, 2, good.size(), 1},
        {"value 9", 19, 9, good.size(), 1},
        {"value 0", 19, 0, good.size(), 1},
        {"header only", 0, 'M', 7, 1},
    };
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes block = good;
        block[c.at] = c.value;
        if (c.at == 0 && c.value == 'X') block[1] = 'X';
        block.resize(c.keep);
        EXPECT_EQ(c.expected, Platform::imaging::codec::exifOrientation(block.data(), block.size()));
    }
}

// Run-length bitmaps as other programs write them, with the escapes that
// convert's writer never uses: literal runs of odd length, moves, rows and
// the image ended early. Pixels skipped are palette entry 0.
Bytes rleBmp(int bits, int32_t width, int32_t height, const Bytes& codes) {
    Bytes b;
    auto u16 = [&](uint32_t v) { b.insert(b.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    const uint32_t colours = 16, offset = 14 + 40 + colours * 4;
    b = {'B', 'M'};
    u32(offset + static_cast<uint32_t>(codes.size())), u32(0), u32(offset);
    u32(40), u32(static_cast<uint32_t>(width)), u32(static_cast<uint32_t>(height)), u16(1), u16(bits);
    u32(bits == 8 ? 1 : 2), u32(static_cast<uint32_t>(codes.size())), u32(2835), u32(2835), u32(colours), u32(0);
    for (uint32_t i = 0; i < colours; ++i)
        b.insert(b.end(), {static_cast<uint8_t>(255 - i * 16), static_cast<uint8_t>(i * 8 + 3),
                           static_cast<uint8_t>(i * 16), 0});
    b.insert(b.end(), codes.begin(), codes.end());
    return b;
}

TEST(ImagingConvertedFiles, HandWrittenRunLengthBitmaps) {
    struct RleCase {
        const char* name;
        int bits;
        int32_t width, height;
        Bytes codes;
    };
    const RleCase cases[] = {
        {"rle8 runs, odd literal, move, early row and image ends", 8, 6, 4, {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0,
                                                                             2, 2, 1, 2, 5, 0, 0, 6, 7, 0, 1}},
        {"rle8 literal of even length and a move along the row", 8, 7, 2, {0, 4,  9, 10, 11, 12, 0, 2, 2, 0,
                                                                           1, 13, 0, 0,  7,  14, 0, 0, 0, 1}},
        {"rle4 alternating runs, odd literals and a move", 4, 8, 3, {5, 0x12, 0, 0, 0, 3,    0x34, 0x50, 0, 0,
                                                                     0, 2,    1, 0, 3, 0x67, 0,    0,    0, 1}},
        {"rle4 literal of five and one of four", 4, 9, 2, {0, 5, 0x9A, 0xBC, 0xD0, 0, 0, 4, 0xF1, 0x0E, 0,
                                                           0, 0, 4,    0x23, 0x45, 0, 0, 9, 0xCD, 0,    1}},
        {"rle4 move to the next row", 4, 6, 3, {2, 0x88, 0, 2, 2, 1, 2, 0x12, 0, 0, 6, 0x3F, 0, 1}},
    };
    Samples::TempFolder folder;
    for (const RleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = rleBmp(c.bits, c.width, c.height, c.codes);
        Samples::writeFile(folder.path + "/rle.bmp", file);
        EXPECT_TRUE(matches(Samples::decode(file), reference(folder.path, "rle.bmp", ""), 0, false));
    }
}

// Codes that run past a row, past the image or past the file stay inside the
// image: the sanitizer sees any write beyond it.
TEST(ImagingConvertedFiles, RunLengthCodesBeyondTheImageStayInside) {
    const Bytes cases[] = {
        {255, 1, 255, 2, 0, 1},                // runs far past the row
        {0, 255, 1, 2, 3},                     // a literal longer than the file
        {0, 2, 255, 255, 4, 5, 0, 2, 0, 200},  // moves past the corner
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 3},  // more row ends than rows
        {0, 2, 3},                             // a move cut short
        {3, 2, 0, 0, 2, 3, 0, 0, 1, 4},        // no end of image
        {},
    };
    for (int bits : {4, 8})
        for (const Bytes& codes : cases) {
            const Samples::Decoded d = Samples::decode(rleBmp(bits, 3, 2, codes));
            ASSERT_EQ(Platform::kOk, d.result);
            EXPECT_EQ(3u * 2u * 4u, d.rgba.size());
        }
    // A 4-bit run-length header on 8-bit rows, and the reverse, is damaged.
    Bytes wrong = rleBmp(8, 3, 2, {3, 1, 0, 1});
    wrong[30] = 2;
    EXPECT_TRUE(Platform::failed(Samples::decode(wrong).result));
}

}  // namespace
