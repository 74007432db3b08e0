// The image source: numbered sequences, the picture drawn, missing files.
#include <gtest/gtest.h>

#include <algorithm>

#include "effect/EffectItemNumber.h"
#include "effect/EffectService.h"
#include "effect/MovementDefine.h"
#include "effect/RenderContext.h"
#include "effects/ImageLoad.h"
#include "effects/SourceFixture.h"
#include "media/gpu/ResourceBuffer.h"

namespace SourceTest {
namespace {

class ImageLoadTest : public SourceFixture {
protected:
    Effect::ImageLoad& image(const Edit::Object& object) {
        return dynamic_cast<Effect::ImageLoad&>(*object.effects[0]);
    }
    std::filesystem::path folder() const { return root_ / "seq"; }
    void touch(const char* name) { writeFile(folder() / name, "x"); }
    // The file the object shows at the frame, as a name within the folder.
    std::string shownAt(const std::shared_ptr<Edit::Object>& object, int32_t frame) {
        Render::RenderContext context;
        context.scene = scene.get();
        context.frame = frame;
        context.preciseFrame = frame;
        context.resetObject(object);
        const std::wstring shown = image(*object).getSequenceFileName(context);
        return std::filesystem::path(System::wideToUtf8(shown)).filename().string();
    }
    std::shared_ptr<Edit::Object> sequenceObject(const char* chosen, int32_t start = 5, int32_t layer = 0) {
        auto object = add(Effect::ImageLoad::kName, layer, start, start + 40);
        Effect::ImageLoad& source = image(*object);
        source.file.path = wide(folder() / chosen);
        source.sequence.value = 1;
        return object;
    }
};

TEST_F(ImageLoadTest, SequenceFollowsTheFramesSinceTheStart) {
    newScene(64, 64);
    for (const char* name :
         {"img_007.png", "img_008.png", "img_010.png", "img_005.png", "other_009.png", "img_x9.png", "img_009.jpg"})
        touch(name);
    auto object = sequenceObject("img_007.png", 5);
    const struct {
        int32_t sinceStart;
        const char* shown;
    } cases[] = {
        {0, "img_007.png"},  // below the chosen number: the chosen file
        {7, "img_007.png"},  {8, "img_008.png"},
        {9, "img_008.png"},                        // no 9 (other prefixes and extensions are other sequences)
        {10, "img_010.png"}, {30, "img_010.png"},  // past the last number: the last file
    };
    for (const auto& c : cases) EXPECT_EQ(shownAt(object, 5 + c.sinceStart), c.shown) << c.sinceStart;
    EXPECT_EQ(image(*object).firstNumber, 7);
    EXPECT_EQ(image(*object).lastNumber, 10);
}

TEST_F(ImageLoadTest, DisplayNumberSelectsTheFile) {
    newScene(64, 64);
    for (const char* name : {"f1.png", "f2.png", "f3.png", "f4.png", "f5.png"}) touch(name);
    auto object = sequenceObject("f1.png", 0);
    Effect::ImageLoad& source = image(*object);
    // Linear from 5 to 3 over frames 0..40: taken to the nearest whole number.
    source.frameNumber.setMovement(*Effect::EffectService::get()->findMovement(L"直線移動").movement());
    source.frameNumber.values = {5, 3};
    EXPECT_EQ(shownAt(object, 0), "f5.png");
    EXPECT_EQ(shownAt(object, 20), "f4.png");
    EXPECT_EQ(shownAt(object, 40), "f3.png");
}

TEST_F(ImageLoadTest, NamesOutsideASequenceShowTheChosenFile) {
    newScene(64, 64);
    for (const char* name : {"logo.png", "img_7.png", "img_007.png", "big_99999999999.png", "big_1.png", "a_3.png"})
        touch(name);
    const struct {
        const char* chosen;
        bool sequence;
        int32_t sinceStart;
        const char* shown;
    } cases[] = {
        {"logo.png", true, 0, "logo.png"},  // no digits: a single image
        {"logo.png", true, 20, "logo.png"},
        {"img_007.png", true, 7, "img_007.png"},  // listed first of the two 7s, its own digits
        {"img_7.png", true, 7, "img_007.png"},
        {"big_1.png", true, 3, "big_1.png"},  // a number too long for an int ends the scan
        {"a_3.png", false, 9, "a_3.png"},     // sequence off
        {"a_3.png", true, 9, "a_3.png"},      // the only member
    };
    int32_t layer = 0;
    for (const auto& c : cases) {
        auto object = sequenceObject(c.chosen, 0, layer++);
        image(*object).sequence.value = c.sequence;
        EXPECT_EQ(shownAt(object, c.sinceStart), c.shown) << c.chosen;
    }
}

TEST_F(ImageLoadTest, FilesAddedLaterShowAfterAnItemChange) {
    newScene(64, 64);
    touch("n_1.png");
    auto object = sequenceObject("n_1.png", 0);
    EXPECT_EQ(shownAt(object, 2), "n_1.png");
    touch("n_2.png");
    EXPECT_EQ(shownAt(object, 2), "n_1.png") << "the scan is kept";
    Effect::ItemEvent event;
    event.kind = Effect::ItemEvent::kItemChanged;
    event.item = &image(*object).sequence;
    EXPECT_TRUE(image(*object).itemEvent(event));
    EXPECT_EQ(shownAt(object, 2), "n_2.png");
}

TEST_F(ImageLoadTest, DrawsThePictureAndKeepsItsUploadBetweenFrames) {
    newScene(32, 32);
    writePng(root_ / "red.png", solid(32, 32, 0, 0, 255));
    auto object = add(Effect::ImageLoad::kName, 0);
    image(*object).file.path = wide(root_ / "red.png");
    const Picture first = render(0);
    ASSERT_EQ(first.width, 32u);
    EXPECT_EQ(first.text(16, 16), "0,0,255,255");
    EXPECT_EQ(first.text(0, 31), "0,0,255,255");

    Render::RenderContext context;
    context.scene = scene.get();
    context.resetObject(object);
    const auto a = image(*object).inputVideo(context);
    const auto b = image(*object).inputVideo(context);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b) << "the decoded picture is uploaded once";
    EXPECT_EQ(a->width, 32u);
}

TEST_F(ImageLoadTest, MissingFileDrawsNothingAndIsLoggedOnce) {
    newScene(16, 16);
    auto object = add(Effect::ImageLoad::kName, 0);
    image(*object).file.path = wide(root_ / "gone.png");
    writeFile(root_ / "broken.png", "not a picture");
    auto broken = add(Effect::ImageLoad::kName, 1);
    image(*broken).file.path = wide(root_ / "broken.png");
    for (int32_t frame = 0; frame < 4; ++frame) EXPECT_EQ(render(frame).text(8, 8), "0,0,0,0") << frame;
    const auto count = [this](const char* file) {
        const std::vector<LogCapture::Line> lines = log.snapshot();  // the cache threads may still log
        return std::count_if(lines.begin(), lines.end(), [file](const LogCapture::Line& l) {
            return l.scope == "Effect::ImageLoad::inputVideo" && l.message.find(file) != std::string::npos;
        });
    };
    EXPECT_EQ(count("gone.png"), 1);
    EXPECT_EQ(count("broken.png"), 1);

    // A missing file that appears shows at once; a file that did not decode
    // is tried again once it is chosen again.
    writePng(root_ / "gone.png", solid(16, 16, 255, 0, 0));
    EXPECT_EQ(render(5).text(8, 8), "255,0,0,255");
    writePng(root_ / "broken.png", solid(16, 16, 0, 255, 0));
    EXPECT_EQ(render(6).text(8, 8), "255,0,0,255") << "still the one below";
    Effect::ItemEvent event;
    event.kind = Effect::ItemEvent::kFileGiven;
    event.path = wide(root_ / "broken.png");
    EXPECT_TRUE(image(*broken).itemEvent(event));
    EXPECT_EQ(render(7).text(8, 8), "0,255,0,255");
}

TEST_F(ImageLoadTest, EditedFileThatDoesNotOpenIsRefused) {
    newScene(16, 16);
    writeFile(root_ / "notes.txt", "text");
    writePng(root_ / "ok.png", solid(4, 4, 1, 2, 3));
    auto object = add(Effect::ImageLoad::kName, 0);
    Effect::ImageLoad& source = image(*object);
    Effect::ItemEvent event;
    event.kind = Effect::ItemEvent::kItemChanged;
    event.item = &source.file;
    source.file.path = wide(root_ / "ok.png");
    EXPECT_TRUE(source.itemEvent(event));
    EXPECT_EQ(source.getDisplayName(), L"ok.png");
    source.file.path = wide(root_ / "notes.txt");
    EXPECT_FALSE(source.itemEvent(event));
    EXPECT_TRUE(source.file.path.empty());
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], L"このファイルには対応していません");
    EXPECT_EQ(source.getDisplayName(), L"画像ファイル");
}

}  // namespace
}  // namespace SourceTest
