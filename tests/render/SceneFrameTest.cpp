#include <gtest/gtest.h>

#include <cstring>
#include <future>

#include "media/audio/AudioBlockBuffer.h"
#include "media/image/ImageBuffer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderFixture.h"
#include "render/RenderSceneSource.h"

namespace {

using RenderTest::RenderFixture;

class SceneFrameTest : public RenderFixture {
protected:
    // Draws the inner scene's frame from inside the walk of the current scene.
    std::shared_ptr<Media::ImageBuffer> frameOf(Edit::Scene& inner, int32_t frame) {
        std::promise<std::shared_ptr<Media::ImageBuffer>> done;
        int32_t answers = 0;
        auto host = solid(0, "host", {0, 0, 0, 0});
        source(*host).onPrepare = [&](Render::RenderContext&) {
            worker.renderSceneFrame(inner, frame, [&](std::shared_ptr<Media::ImageBuffer> image) {
                ++answers;
                done.set_value(std::move(image));
            });
        };
        render(0);
        EXPECT_EQ(answers, 1);
        return done.get_future().get();
    }
};

TEST_F(SceneFrameTest, AnotherScenesFrameIsDrawnAndReadBack) {
    auto inner = std::make_shared<Edit::Scene>(1, 1);
    inner->videoWidth = 4;
    inner->videoHeight = 2;
    auto red = inner->createObject(RenderTest::kSolid, 0, 0, 99);
    inner->update();
    source(*red).color[0] = 1;
    const auto image = frameOf(*inner, 3);
    ASSERT_TRUE(image);
    // The image holds the inner scene's size and its red corner.
    EXPECT_EQ(image->width, 4u);
    EXPECT_EQ(image->height, 2u);
    uint16_t px[4];
    std::memcpy(px, image->data(), sizeof px);
    EXPECT_NEAR(RenderTest::halfToFloat(px[0]), 1.0f, 1e-3);
    EXPECT_NEAR(RenderTest::halfToFloat(px[3]), 1.0f, 1e-3);
    std::memcpy(px, image->data() + 3 * 8, sizeof px);  // right of the 2 x 2 square: clear
    EXPECT_EQ(RenderTest::halfToFloat(px[3]), 0.0f);
}

TEST_F(SceneFrameTest, ASceneShowingItselfIsCaughtAndAnswersCleared) {
    RenderTest::ThreadLog log;
    const auto image = frameOf(*scene, 0);
    ASSERT_TRUE(image);
    EXPECT_FALSE(log.messages("WARN").empty());
}

TEST_F(SceneFrameTest, TheSceneSourceAnswersAMissingSceneOnceWithNothing) {
    Render::RenderAudioWorker audio{nullptr};
    Render::RenderSceneSource scenes([](int32_t) { return nullptr; }, worker, audio);
    EXPECT_EQ(scenes.findScene(4), nullptr);
    int32_t frames = 0, blocks = 0;
    scenes.renderSceneFrame(nullptr, 0, [&](std::shared_ptr<Media::ImageBuffer> image) {
        EXPECT_EQ(image, nullptr);
        ++frames;
    });
    scenes.createSceneAudioBlock(nullptr, 0, [&](std::shared_ptr<Media::AudioBlockBuffer> block) {
        EXPECT_EQ(block, nullptr);
        ++blocks;
    });
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(blocks, 1);
}

}  // namespace
