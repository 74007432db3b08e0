// Where a mask item takes its picture from, and the time it asks a scene at.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/RenderContext.h"
#include "support/TestModelQueries.h"

using namespace Effect;

namespace {

// Notes every question; answers with a picture only for what it is told to.
class NotingPictures : public MaskImageSource {
public:
    mutable std::vector<std::string> asked;
    std::shared_ptr<Media::ResourceBuffer> picture;  // never drawn: only compared
    double sceneLength = -1;                         // seconds; negative: no scene

    std::shared_ptr<Media::ResourceBuffer> figure(int32_t index, uint32_t w, uint32_t h) const override {
        asked.push_back("figure " + std::to_string(index) + " " + std::to_string(w) + "x" + std::to_string(h));
        return picture;
    }
    std::shared_ptr<Media::ResourceBuffer> file(const std::wstring& path) const override {
        asked.push_back("file " + std::string(path.begin(), path.end()));
        return picture;
    }
    std::shared_ptr<Media::ResourceBuffer> named(const Render::RenderContext&, const std::string& name) const override {
        asked.push_back("named " + name);
        return picture;
    }
    std::shared_ptr<Media::ResourceBuffer> sceneFrame(int32_t id, double seconds) const override {
        asked.push_back("scene " + std::to_string(id) + " at " + std::to_string(seconds));
        return picture;
    }
    bool sceneSeconds(int32_t, double& seconds) const override {
        seconds = sceneLength;
        return sceneLength >= 0;
    }
    void preloadFile(const std::wstring& path) const override {
        asked.push_back("preload file " + std::string(path.begin(), path.end()));
    }
    void preloadSceneFrame(int32_t id, double seconds) const override {
        asked.push_back("preload scene " + std::to_string(id) + " at " + std::to_string(seconds));
    }
};

class MaskImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::exchange(MaskImageSource::installed, &pictures);
        scene.videoRate = 30;
        scene.videoScale = 1;
        context.scene = &scene;
        context.resetObject(object);
        context.frame = 40;  // 1 second into the object
    }
    void TearDown() override { MaskImageSource::installed = previous_; }

    NotingPictures pictures;
    Edit::Scene scene{0, 0};
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 10, 69);  // 2 seconds
    Render::RenderContext context;
    ItemList items;
    EffectItemCheck fit{&items, L"シーンの長さを合わせる"};
    EffectItemMaskSelect mask{&items, L"マスクの種類", &fit};

private:
    const MaskImageSource* previous_ = nullptr;
};

TEST_F(MaskImageTest, EachSourceAsksItsOwnPlace) {
    struct Case {
        const char* what;
        int32_t index, sceneId;
        const wchar_t* path;
        const char* asked;  // null: nothing asked
        const char* preloaded;
    };
    const Case cases[] = {
        {"a figure at the size", 2, -1, L"", "figure 2 30x20", nullptr},
        {"a file", -1, -1, L"/masks/a.png", "file /masks/a.png", "preload file /masks/a.png"},
        {"a script's buffer", -1, -1, L"*ring", "named ring", nullptr},
        {"a scene at the object's time", -1, 3, L"", "scene 3 at 1.000000", "preload scene 3 at 1.000000"},
        {"the root scene is never a mask", -1, 0, L"", nullptr, nullptr},
        {"nothing chosen", -1, -1, L"", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mask.index = c.index;
        mask.sceneId = c.sceneId;
        mask.path = c.path;
        pictures.asked.clear();
        (void)mask.getMaskImage(context, 30, 20);
        mask.preloadMaskImage(context);
        std::vector<std::string> expected;
        if (c.asked) expected.push_back(c.asked);
        if (c.preloaded) expected.push_back(c.preloaded);
        EXPECT_EQ(pictures.asked, expected);
    }
}

TEST_F(MaskImageTest, FittedSceneRunsOnceOverTheObject) {
    mask.setSceneValue(-1);
    mask.sceneId = 3;
    EXPECT_DOUBLE_EQ(mask.maskSeconds(context), 1.0);
    fit.value = 1;
    EXPECT_DOUBLE_EQ(mask.maskSeconds(context), 1.0) << "no such scene: the object's time";
    pictures.sceneLength = 6;
    EXPECT_DOUBLE_EQ(mask.maskSeconds(context), 3.0) << "1 s of a 2 s object is half the 6 s scene";
    scene.videoScale = 2;  // 15 frames a second: 2 s in, a 4 s object
    EXPECT_DOUBLE_EQ(mask.maskSeconds(context), 3.0);
}

TEST_F(MaskImageTest, NoSourceNoPicture) {
    MaskImageSource::installed = nullptr;
    mask.index = 1;
    EXPECT_EQ(mask.getMaskImage(context, 10, 10), nullptr);
    mask.preloadMaskImage(context);
}

}  // namespace
