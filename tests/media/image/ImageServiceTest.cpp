#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "media/image/PixelFormat.h"
#include "platform/imaging/ImagingResult.h"
#include "support/LogCapture.h"

namespace fs = std::filesystem;
using Media::ImageService;
using Platform::imaging::FormatId;

namespace {

class ImageServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmo-image-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }
    std::wstring path(const char* name) const { return System::utf8ToWide((folder / name).string()); }

    // Saves pitch-padded BGRA rows of (x * 50, y * 60, 90, alpha) pixels.
    void save(const char* name, FormatId source, FormatId container, uint32_t width, uint32_t height, uint32_t pitch,
              uint8_t alpha = 255, const wchar_t* option = nullptr, const Platform::imaging::Variant* value = nullptr) {
        pixels.assign(static_cast<size_t>(pitch) * height, 0);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t* p = &pixels[y * pitch + x * 4];
                p[0] = 90, p[1] = static_cast<uint8_t>(y * 60), p[2] = static_cast<uint8_t>(x * 50), p[3] = alpha;
            }
        FormatId variable = container;
        holder.get()->saveToFile(path(name), pixels.data(), width, height, pitch, source, variable, option, value);
        lastContainer = variable;
    }

    static void expectThrows(const std::function<void()>& f, const std::vector<std::string>& parts) {
        try {
            f();
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            for (const std::string& part : parts)
                EXPECT_NE(std::string::npos, std::string(e.what()).find(part)) << e.what();
        }
    }

    size_t entries() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
        return n;
    }

    LogCapture log;
    System::ServiceHolder<ImageService> holder;
    fs::path folder;
    std::vector<uint8_t> pixels;
    FormatId lastContainer = FormatId::Undefined;
};

TEST_F(ImageServiceTest, PngRoundTripGivesStraightRgbaWithTheDefaultPitch) {
    // The writers' premultiplied source; the pitch carries padding.
    save("a.png", FormatId::Pbgra32, FormatId::ContainerPng, 5, 3, 32, 255);
    EXPECT_EQ(FormatId::Bgra32, lastContainer);  // the encoder's answer
    auto image = holder.get()->loadFromFile(path("a.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(Media::PixelFormat::kR8G8B8A8Unorm, image->format);
    EXPECT_EQ(5u, image->width);
    EXPECT_EQ(3u, image->height);
    EXPECT_EQ(Media::ImageBuffer::getDefaultPitchSize(image->format, 5), image->pitch);
    const uint8_t* p = image->data() + 2 * image->pitch + 4 * 4;
    EXPECT_EQ((std::vector<uint8_t>{200, 120, 90, 255}), std::vector<uint8_t>(p, p + 4));

    // An opaque BGR source writes alpha 255 whatever its fourth byte holds.
    save("b.png", FormatId::Bgr32, FormatId::ContainerPng, 2, 2, 8, 0);
    image = holder.get()->loadFromFile(path("b.png"));
    EXPECT_EQ(255, image->data()[3]);
}

TEST_F(ImageServiceTest, JpegQualityOptionAndRefusedOptions) {
    const Platform::imaging::Variant high{Platform::imaging::Variant::Type::Float, 1.0f};
    const Platform::imaging::Variant low{Platform::imaging::Variant::Type::Float, 0.05f};
    save("high.jpg", FormatId::Bgr32, FormatId::ContainerJpeg, 64, 4, 256, 255, L"ImageQuality", &high);
    EXPECT_EQ(FormatId::Bgr24, lastContainer);
    save("low.jpg", FormatId::Bgr32, FormatId::ContainerJpeg, 64, 4, 256, 255, L"ImageQuality", &low);
    EXPECT_LT(fs::file_size(folder / "low.jpg"), fs::file_size(folder / "high.jpg"));
    // A name the encoder does not know is left out: the save still succeeds.
    save("other.jpg", FormatId::Bgr32, FormatId::ContainerJpeg, 64, 4, 256, 255, L"Unknown", &high);
    save("none.jpg", FormatId::Bgr32, FormatId::ContainerJpeg, 64, 4, 256);
    auto image = holder.get()->loadFromFile(path("none.jpg"));
    EXPECT_EQ(64u, image->width);
}

// A camera's photo whose EXIF block says the picture is turned a quarter
// clockwise loads turned: width and height exchanged, the pitch that of the
// new width, each pixel where a viewer shows it.
TEST_F(ImageServiceTest, PhotoWithExifOrientationLoadsTurned) {
    save("photo.jpg", FormatId::Bgr32, FormatId::ContainerJpeg, 5, 3, 20);
    std::ifstream in(folder / "photo.jpg", std::ios::binary);
    std::vector<uint8_t> jpeg((std::istreambuf_iterator<char>(in)), {});
    const std::vector<uint8_t> app1 = {0xFF, 0xE1, 0,    34,   'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8,
                                       0,    1,    0x01, 0x12, 0,   3,   0,   0,   0, 1, 0,   6,   0, 0,  0, 0, 0, 0};
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    std::ofstream(folder / "turned.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));

    const auto stored = holder.get()->loadFromFile(path("photo.jpg"));
    const auto image = holder.get()->loadFromFile(path("turned.jpg"));
    ASSERT_TRUE(stored && image);
    EXPECT_EQ(3u, image->width);
    EXPECT_EQ(5u, image->height);
    EXPECT_EQ(Media::ImageBuffer::getDefaultPitchSize(image->format, 3), image->pitch);
    // Shown (x, y) is stored (y, 2 - x).
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 3; ++x) {
            const uint8_t* shown = image->data() + y * image->pitch + x * 4;
            const uint8_t* from = stored->data() + (2 - x) * stored->pitch + y * 4;
            EXPECT_EQ(std::vector<uint8_t>(from, from + 4), std::vector<uint8_t>(shown, shown + 4)) << x << ", " << y;
        }
}

TEST_F(ImageServiceTest, LoadFailuresNameTheirCall) {
    expectThrows([&] { holder.get()->loadFromFile(path("missing.png")); },
                 {"factory->CreateDecoderFromFilename() failed.", "HRESULT: 0x80070002",
                  "Media::ImageService::loadFromFile()"});
    std::ofstream(folder / "text.png") << "not an image";
    expectThrows([&] { holder.get()->loadFromFile(path("text.png")); },
                 {"factory->CreateDecoderFromFilename() failed.", "HRESULT: 0x88982F50"});
    // A bitmap header whose width is beyond the largest edge fails before any pixel memory.
    std::vector<uint8_t> bmp(14 + 40 + 4, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[14] = 40, bmp[18] = 0x01, bmp[19] = 0x40, bmp[22] = 1, bmp[26] = 1, bmp[28] = 24;
    std::ofstream(folder / "huge.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), bmp.size());
    expectThrows([&] { holder.get()->loadFromFile(path("huge.bmp")); },
                 {"decoder->GetFrame() failed.", "HRESULT: 0x88982F51"});
    // Rows cut short fail in the copy.
    save("cut.png", FormatId::Bgra32, FormatId::ContainerPng, 64, 64, 256);
    fs::resize_file(folder / "cut.png", fs::file_size(folder / "cut.png") / 2);
    expectThrows([&] { holder.get()->loadFromFile(path("cut.png")); }, {"converter->CopyPixels() failed."});
}

TEST_F(ImageServiceTest, SaveFailuresLeaveNoFileAndKeepTheOldOne) {
    struct Case {
        const char* name;
        FormatId source, container;
        uint32_t width, height, pitch;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"no/folder.png",
         FormatId::Bgra32,
         FormatId::ContainerPng,
         2,
         2,
         8,
         {"stream->InitializeFromFilename() failed.", "HRESULT: 0x80070002"}},
        {"bmp.bmp", FormatId::Bgra32, FormatId::ContainerBmp, 2, 2, 8, {"factory->CreateEncoder() failed."}},
        {"big.png", FormatId::Bgra32, FormatId::ContainerPng, 16385, 1, 16385 * 4, {"frame->SetSize() failed."}},
        // A pitch shorter than a row would read past the caller's memory.
        {"pitch.png", FormatId::Bgra32, FormatId::ContainerPng, 4, 2, 8, {"factory->CreateBitmapFromMemory() failed."}},
        {"source.png",
         FormatId::ContainerJpeg,
         FormatId::ContainerPng,
         2,
         2,
         8,
         {"factory->CreateBitmapFromMemory() failed."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectThrows([&] { save(c.name, c.source, c.container, c.width, c.height, c.pitch); }, c.parts);
        EXPECT_FALSE(fs::exists(folder / c.name));
    }
    EXPECT_EQ(0u, entries());
    // An earlier file at the path survives a failed save untouched.
    std::ofstream(folder / "keep.png") << "old";
    expectThrows([&] { save("keep.png", FormatId::Bgra32, FormatId::ContainerPng, 4, 2, 8); },
                 {"factory->CreateBitmapFromMemory() failed."});
    std::ifstream in(folder / "keep.png");
    EXPECT_EQ("old", std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_EQ(1u, entries());
}

}  // namespace
