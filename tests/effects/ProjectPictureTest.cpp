// A project file rendered end to end: an image object and two figure objects
// (a circle and an SVG file) loaded from a .vpj2 file and drawn by the video
// render worker, compared with golden pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "effect/EffectItem.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectService.h"
#include "effect/MovementDefine.h"
#include "effects/FigureLoad.h"
#include "effects/ImageLoad.h"
#include "effects/SourceFixture.h"

namespace SourceTest {
namespace {

constexpr const char* kTriangleSvg =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\">"
    "<path d=\"M5 0 L10 10 L0 10 Z\" fill=\"#ffffff\"/></svg>";

// 64 x 48: red, green, blue and half-transparent white quarters.
Picture quarters() {
    Picture p{64, 48, {}};
    for (uint32_t y = 0; y < 48; ++y)
        for (uint32_t x = 0; x < 64; ++x) {
            const bool right = x >= 32, bottom = y >= 24;
            if (!right && !bottom)
                p.bgra.insert(p.bgra.end(), {0, 0, 255, 255});
            else if (right && !bottom)
                p.bgra.insert(p.bgra.end(), {0, 255, 0, 255});
            else if (!right)
                p.bgra.insert(p.bgra.end(), {255, 0, 0, 255});
            else
                p.bgra.insert(p.bgra.end(), {255, 255, 255, 128});
        }
    return p;
}

class ProjectPictureTest : public SourceFixture {
protected:
    static std::string data(const std::string& name) { return std::string(VELMO_EFFECTS_TEST_DATA) + "/" + name; }

    // The project as the golden file holds it; written again only on request.
    void writeProject(const std::filesystem::path& path) {
        newScene(160, 120);
        scene->videoRate = 30;
        scene->videoScale = 1;
        auto image = add(Effect::ImageLoad::kName, 0, 0, 29);
        image->effects[0]->findItemByName(L"ファイル")->fromString("%AppInstall%/picture.png");
        image->effects[1]->findItemByName(L"X")->fromString("-40");
        auto circle = add(Effect::FigureLoad::kName, 1, 0, 29);
        auto& size = *circle->effects[0]->findItemByName(L"サイズ")->to<Effect::EffectItemNumber>();
        size.setMovement(*Effect::EffectService::get()->findMovement(L"直線移動").movement());
        size.values = {50, 90};
        circle->effects[0]->findItemByName(L"色")->fromString("ff4000");
        circle->effects[1]->findItemByName(L"X")->fromString("40");
        circle->effects[1]->findItemByName(L"Y")->fromString("-20");
        auto svg = add(Effect::FigureLoad::kName, 2, 0, 29);
        svg->effects[0]->findItemByName(L"図形の種類")->fromString("%AppInstall%/triangle.svg");
        svg->effects[0]->findItemByName(L"サイズ")->fromString("40");
        svg->effects[0]->findItemByName(L"色")->fromString("2060ff");
        svg->effects[1]->findItemByName(L"X")->fromString("40");
        svg->effects[1]->findItemByName(L"Y")->fromString("30");
        scene->update();
        project->saveProjectFile(wide(path));
    }
};

TEST_F(ProjectPictureTest, ImageAndFiguresMatchTheGoldenFrames) {
    writePng(install() / "picture.png", quarters());
    writeFile(install() / "triangle.svg", kTriangleSvg);
    const bool update = std::getenv("VELMO_UPDATE_GOLDEN") != nullptr;
    // VELMO_UPDATE_GOLDEN=1 writes the project and the pictures again; look at them before committing.
    if (update) {
        writeProject(root_ / "picture.vpj2");
        // The files are named through the installation folder's variable, as a user's project may.
        std::string text = readFile(root_ / "picture.vpj2");
        const std::string folder = install().string();
        for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder))
            text.replace(at, folder.size(), "%AppInstall%");
        writeFile(data("picture.vpj2"), text);
    }
    ASSERT_TRUE(loadProject(System::utf8ToWide(data("picture.vpj2"))));
    ASSERT_EQ(scene->videoWidth, 160);
    for (const int32_t frame : {0, 29}) {
        const Picture picture = render(frame);
        const std::string golden = data("picture_" + std::to_string(frame) + ".png");
        if (update)
            writeFile(golden, encodePng(picture));
        const Picture expected = decodePng(readFile(golden));
        ASSERT_EQ(expected.width, picture.width) << golden;
        ASSERT_EQ(expected.height, picture.height) << golden;
        // lavapipe is deterministic; the tolerance leaves room for rounding in other drivers.
        int32_t worst = 0;
        size_t differing = 0;
        for (size_t i = 0; i < picture.bgra.size(); ++i) {
            const int32_t d = std::abs(int32_t(picture.bgra[i]) - int32_t(expected.bgra[i]));
            worst = std::max(worst, d);
            differing += d > 2;
        }
        EXPECT_LE(differing, picture.bgra.size() / 1000) << "frame " << frame << ", worst difference " << worst;
    }
    EXPECT_TRUE(posted.empty());
}

}  // namespace
}  // namespace SourceTest
