// A composition of the kind users hand between programs: a lossless AVI movie
// with a blurred, rotated, translucent picture over it, exported to PNG
// through the program's own export without a window, against the same
// composition drawn by ffmpeg's filters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "media/gpu/Direct3DService.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "plugin/OutputService.h"
#include "plugin/image/PngFileSave.h"
#include "support/ScriptedBoxes.h"
#include "support/ScriptedFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 320, kHeight = 180;

bool run(const std::string& command) { return std::system(("ffmpeg -nostdin -v error -y " + command).c_str()) == 0; }

std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Case {
    const char* codec;
    int pixelFormat;  // the working format of the frames, from the user's system.conf
};

class AnchorComposition : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmo-anchor-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
        System::FileName::resetVariableList(System::utf8ToWide((fs::current_path() / "velmo2").string()));
    }
    void TearDown() override {
        System::FileName::resetVariableList();
        fs::remove_all(root);
    }
    fs::path root;
};

// The picture: colour ramps in a band off its centre, translucent, large
// enough that the bare movie, or the band turned the other way, stays far
// below the threshold (about 20 dB).
constexpr const char* kPicture =
    "-f lavfi -i color=c=black:s=200x120,format=rgba,geq=r='255*X/W':g='255*(1-Y/H)':b=40:"
    "a='if(lt(abs(Y-H/2)\\,H/4)*lt(X\\,W*0.85)\\,235\\,0)' -frames:v 1";
// The picture's settings: blur 5 (a box of 7 then of 5 pixels each way, growing
// the picture by 5 on every side), turned 30 degrees, half transparent.
constexpr int kBlur = 5;
constexpr double kTurn = 30;
constexpr double kTransparency = 50;

TEST_P(AnchorComposition, TheFirstFrameExportedToPngMatchesFfmpegsRendering) {
    const std::string codec = GetParam().codec;
    const int pixelFormat = GetParam().pixelFormat;
    fs::create_directories(root / "xdg" / "velmo2");
    std::ofstream(root / "xdg" / "velmo2" / "system.conf") << "[Config]\nPixelFormat=" << pixelFormat << "\n";
    const fs::path movie = root / "movie.avi";
    const fs::path picture = root / "picture.png";
    const fs::path project = root / "anchor.vpj2";
    const fs::path exported = root / "frame.png";
    const fs::path reference = root / "reference.rgb";
    ASSERT_TRUE(run("-f lavfi -i testsrc2=s=" + std::to_string(kWidth) + "x" + std::to_string(kHeight) +
                    ":r=30:d=1 " + codec + " '" + movie.string() + "'"));
    ASSERT_TRUE(run(std::string(kPicture) + " '" + picture.string() + "'"));
    {
        std::ofstream out(project, std::ios::binary);
        out << "[project]\r\nfile=" << project.string() << "\r\ndisplay.scene=0\r\n"
            << "[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=" << kWidth << "\r\nvideo.height=" << kHeight
            << "\r\nvideo.rate=30\r\nvideo.scale=1\r\naudio.rate=48000\r\ncursor.frame=0\r\n"
            << "[0]\r\nlayer=0\r\nframe=0,29\r\n"
            << "[0.0]\r\neffect.name=動画ファイル\r\n再生位置=0.000,0.000,再生範囲,0\r\n再生速度=100.00\r\nファイル="
            << movie.string() << "\r\nループ再生=0\r\n音声付き=0\r\n"
            << "[0.1]\r\neffect.name=標準描画\r\n"
            << "[1]\r\nlayer=1\r\nframe=0,29\r\n"
            << "[1.0]\r\neffect.name=画像ファイル\r\nファイル=" << picture.string() << "\r\n"
            << "[1.1]\r\neffect.name=ぼかし\r\n範囲=" << kBlur << "\r\n"
            << "[1.2]\r\neffect.name=標準描画\r\nZ軸回転=" << kTurn << "\r\n透明度=" << kTransparency << "\r\n";
    }
    // ffmpeg: the picture blurred with its colours weighted by alpha, as the
    // program blurs, turned with bilinear sampling, its alpha halved, and laid
    // over the movie's first frame at the centre.
    const int grown = kBlur;
    char graph[1024];
    std::snprintf(graph, sizeof graph,
                  "[1:v]format=rgba,pad=iw+%d:ih+%d:%d:%d:color=black@0,premultiply=inplace=1,"
                  "boxblur=lr=%d:cr=%d:ar=%d,boxblur=lr=%d:cr=%d:ar=%d,unpremultiply=inplace=1,"
                  "rotate=%f:c=black@0:ow=hypot(iw\\,ih):oh=ow,colorchannelmixer=aa=%f[p];"
                  "[0:v][p]overlay=(W-w)/2:(H-h)/2:format=rgb,format=rgb24",
                  2 * grown, 2 * grown, grown, grown, kBlur - kBlur / 2, kBlur - kBlur / 2, kBlur - kBlur / 2, kBlur / 2,
                  kBlur / 2, kBlur / 2, kTurn * M_PI / 180,
                  1 - kTransparency / 100);
    ASSERT_TRUE(run("-i '" + movie.string() + "' -i '" + picture.string() + "' -filter_complex '" + graph +
                    "' -frames:v 1 -f rawvideo '" + reference.string() + "'"));
    const std::vector<uint8_t> want = readBytes(reference);
    ASSERT_EQ(want.size(), size_t{kWidth} * kHeight * 3);

    ScriptedBoxes boxes;
    ScriptedFiles files;
    bool succeeded = false;
    int workingFormat = 0;
    std::shared_ptr<Media::ImageBuffer> image;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        workingFormat = Media::Direct3DService::get()->pixelFormat;
        ASSERT_TRUE(Edit::EditService::instance()->loadProject(System::utf8ToWide(project.string()), false, true));
        Plugin::OutputService& output = *Plugin::OutputService::get();
        auto* png = dynamic_cast<Plugin::PngFileSave*>(output.plugins()[1].get());
        ASSERT_NE(png, nullptr);
        png->transparent = 0;
        files.answers.push_back(exported.string());
        output.outputFile(1);
        output.waitExport();
        succeeded = output.lastExportSucceeded();
        image = Media::ImageService::get()->loadFromFile(System::utf8ToWide(exported.string()));
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const auto& box : boxes.shown) ADD_FAILURE() << box.text;
    EXPECT_TRUE(succeeded);
    EXPECT_EQ(workingFormat, pixelFormat);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width, static_cast<uint32_t>(kWidth));
    ASSERT_EQ(image->height, static_cast<uint32_t>(kHeight));
    double squares = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) {
                const double d = double(image->data()[y * image->pitch + x * 4 + c]) - want[(y * kWidth + x) * 3 + c];
                squares += d * d;
            }
    const double mse = squares / (double(kWidth) * kHeight * 3);
    const double psnr = mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
    EXPECT_GE(psnr, 25) << codec << ", format " << pixelFormat;
    RecordProperty("psnr", std::to_string(psnr));
    std::printf("%s, format %d: %.2f dB\n", codec.c_str(), pixelFormat, psnr);
}

INSTANTIATE_TEST_SUITE_P(LosslessAvi, AnchorComposition,
                         testing::Values(Case{"-c:v utvideo -pix_fmt yuv420p", 10},
                                         Case{"-c:v ffv1 -pix_fmt yuv420p", 10},
                                         Case{"-c:v huffyuv -pix_fmt yuv422p", 10}));
// Every working format a user may set renders the same composition.
INSTANTIATE_TEST_SUITE_P(WorkingFormats, AnchorComposition,
                         testing::Values(Case{"-c:v utvideo -pix_fmt yuv420p", 11},
                                         Case{"-c:v utvideo -pix_fmt yuv420p", 87}));

}  // namespace
