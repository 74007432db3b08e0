// Files dropped on the preview: what each name offers, and the layer the
// drop starts on (the first from the top row shown that is free at the cursor).
#include <gtest/gtest.h>

#include <memory>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "ui/panels/PreviewEditComponent.h"

namespace {

using Component::PreviewEditComponent;

TEST(PreviewDrop, TheFirstFileNamesWhatTheDropDoes) {
    const struct {
        const wchar_t* path;
        const wchar_t* tip;
    } cases[] = {
        {L"/data/lang/English.vln2", L"言語ファイルを設定"},
        {L"/work/clip.VPJ2", L"プロジェクトを開く"},
        {L"/work/title.object", L"レイヤーに追加"},
        {L"/work/notes.unknown", L""},
        {L"/work.d/README", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.tip, PreviewEditComponent::dropToolTip(c.path)) << c.path;
}

TEST(PreviewDrop, DropsStartOnTheFirstLayerFreeAtTheCursor) {
    Edit::Scene scene(0, 0);
    (void)scene.createObject(0, 0, 30);
    (void)scene.createObject(1, 20, 40);
    (void)scene.createObject(2, 50, 60);
    const struct {
        const char* what;
        int32_t cursor, topRow, layer;
    } cases[] = {
        {"layers 0 and 1 hold the cursor", 25, 0, 2},
        {"at an object's first frame", 20, 0, 2},
        {"at an object's last frame", 30, 0, 2},
        {"past the first object", 31, 0, 0},
        {"every layer busy up to the last one used", 55, 2, 3},
        {"from the top row shown", 5, 1, 1},
    };
    for (const auto& c : cases) {
        scene.cursorFrame = c.cursor;
        scene.displayLayer = c.topRow;
        EXPECT_EQ(c.layer, PreviewEditComponent::dropLayer(scene)) << c.what;
    }
}

}  // namespace
