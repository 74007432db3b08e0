// SVG figures: monochrome documents take the chosen colour with each fill's
// alpha, coloured ones keep theirs, documents without fills draw in the
// colour, and files that cannot be read give no figure and a log line.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/Log.h"
#include "media/figure/SvgDocument.h"
#include "media/gpu/MediaFixture.h"
#include "media/gpu/ResourceBuffer.h"

namespace {

class SvgDocumentTest : public MediaTest {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("velmo-svg-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        System::Log::setHandler([this](const System::Log::Type& type, const char* scope, const char* message) {
            std::lock_guard lock(mutex);
            lines.push_back(std::string(type.name) + "|" + scope + "|" + message);
        });
    }
    void TearDown() override {
        System::Log::setHandler(System::Log::defaultHandler);
        std::filesystem::remove_all(dir);
        MediaTest::TearDown();
    }
    std::wstring write(const char* name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).wstring();
    }
    // RGBA floats of a working-format buffer at (x, y).
    static std::vector<float> at(Media::ResourceBuffer& buffer, uint32_t x, uint32_t y) {
        const auto px = readBack(*buffer.texture);
        std::vector<float> out(4);
        for (int c = 0; c < 4; ++c) {
            uint16_t h;
            std::memcpy(&h, px.data() + (size_t(y) * buffer.width + x) * 8 + size_t(c) * 2, 2);
            out[size_t(c)] = halfToFloat(h);
        }
        return out;
    }

    std::filesystem::path dir;
    std::mutex mutex;
    std::vector<std::string> lines;
};

// Two halves: left at (5, 10), right at (15, 10) of a 20 x 20 buffer.
const char* twoHalves(const char* left, const char* right) {
    static std::string text;
    text = std::string("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 20 20'>") +
           "<rect x='0' y='0' width='10' height='20' fill='" + left + "'/>" +
           "<rect x='10' y='0' width='10' height='20' fill='" + right + "'/></svg>";
    return text.c_str();
}

TEST_F(SvgDocumentTest, RecolouringKeepsEachFillsAlphaAndLeavesColouredDocuments) {
    struct Case {
        const char* name;
        std::string text;
        bool monochrome;
        std::vector<float> left, right;  // premultiplied
    };
    const Case cases[] = {
        {"opaque and half-transparent red", twoHalves("#ff0000", "rgba(255,0,0,0.5)"), true, {0, 0, 1, 1},
         {0, 0, 0.5f, 0.5f}},
        {"red in two spellings", twoHalves("red", "#f00"), true, {0, 0, 1, 1}, {0, 0, 1, 1}},
        {"red and green", twoHalves("#ff0000", "#00ff00"), false, {1, 0, 0, 1}, {0, 1, 0, 1}},
        {"style declarations", std::string("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 20 20'>") +
                                   "<rect width='10' height='20' style='fill:#000000'/>" +
                                   "<rect x='10' width='10' height='20' style='opacity:1;fill:#000'/></svg>",
         true, {0, 0, 1, 1}, {0, 0, 1, 1}},
        {"no fill at all", "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 20 20'><rect width='20' height='20'/></svg>",
         true, {0, 0, 1, 1}, {0, 0, 1, 1}},
        {"a gradient and a colour", std::string("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 20 20'>") +
                                        "<rect width='10' height='20' fill='url(#none)'/>" +
                                        "<rect x='10' width='10' height='20' fill='#ff0000'/></svg>",
         true, {0, 0, 0, 0}, {0, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring file = write("figure.svg", c.text);
        Media::SvgDocument document(file);
        EXPECT_EQ(c.monochrome, document.monochrome);
        auto image = Media::SvgDocument::createResourceBuffer(file, 20, 20, {0, 0, 1, 1}, 0);
        ASSERT_NE(nullptr, image);
        const auto left = at(*image, 5, 10), right = at(*image, 15, 10);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(c.left[size_t(i)], left[size_t(i)], 0.02) << "left " << i;
            EXPECT_NEAR(c.right[size_t(i)], right[size_t(i)], 0.02) << "right " << i;
        }
    }
}

TEST_F(SvgDocumentTest, TheViewBoxIsScaledIntoTheBufferAndASizedRootTakesTheBuffersSize) {
    // 10 x 10 units drawn into 40 x 40: the rectangle's right half covers x 20..40.
    const std::wstring scaled = write("a.svg",
                                      "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10' viewBox='0 0 10 10'>"
                                      "<rect x='5' width='5' height='10' fill='#fff'/></svg>");
    Media::SvgDocument document(scaled);
    EXPECT_TRUE(document.hasSize);
    auto image = Media::SvgDocument::createResourceBuffer(scaled, 40, 40, {1, 1, 1, 1}, 0);
    ASSERT_NE(nullptr, image);
    EXPECT_NEAR(0, at(*image, 15, 20)[3], 0.02);
    EXPECT_NEAR(1, at(*image, 25, 20)[3], 0.02);
    EXPECT_NEAR(1, at(*image, 39, 39)[3], 0.02);
    EXPECT_FALSE(Media::SvgDocument(write("b.svg", "<svg xmlns='http://www.w3.org/2000/svg'/>")).hasSize);
}

TEST_F(SvgDocumentTest, UnreadableFilesGiveNoFigureAndALogLine) {
    struct Case {
        const char* name;
        const char* text;  // null: no file
    };
    const Case cases[] = {
        {"missing", nullptr},
        {"not XML", "<svg"},
        {"another root", "<html/>"},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring file = c.text ? write("bad.svg", c.text) : (dir / "missing.svg").wstring();
        lines.clear();
        EXPECT_EQ(nullptr, Media::SvgDocument::createResourceBuffer(file, 10, 10, {1, 1, 1, 1}, 0));
        EXPECT_FALSE(Media::SvgDocument::canLoad(file));
        std::lock_guard lock(mutex);
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(std::string::npos, lines.back().find("Media::SvgDocument::SvgDocument")) << lines.back();
    }
    EXPECT_TRUE(Media::SvgDocument::canLoad(write("good.svg", "<svg xmlns='http://www.w3.org/2000/svg'/>")));
}

TEST_F(SvgDocumentTest, OnlyALowerCaseSvgExtensionIsAnSvgFile) {
    struct Case {
        const wchar_t* path;
        bool svg;
    };
    const Case cases[] = {{L"a.svg", true},       {L"/x/y/a.b.svg", true}, {L"a.SVG", false}, {L"a.svgz", false},
                          {L"svg", false},        {L"/x.svg/a", false},    {L"a.", false},    {L".svg", true}};
    for (const Case& c : cases) EXPECT_EQ(c.svg, Media::SvgDocument::isSvgFile(c.path)) << c.path;
}

}  // namespace
