#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/support/ModelFixture.h"

using namespace EditTest;
using Edit::Object;

namespace {

class SceneTargetTest : public ModelFixture {};

TEST_F(SceneTargetTest, FocusObjectStandsInForAnEmptySelection) {
    int calls = 0;
    auto count = [&](const std::shared_ptr<Object>&) { return ++calls, true; };
    EXPECT_FALSE(scene.anyTargetObject(count));
    EXPECT_EQ(calls, 0);

    auto focus = add(kImage, 0, 0, 9);
    settle();
    scene.focusObject = focus;
    EXPECT_TRUE(scene.anyTargetObject(count));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(scene.anyTargetObject([&](const std::shared_ptr<Object>& o) { return o != focus; }));

    scene.deleteLayer(0);  // the focus object leaves the model
    settle();
    EXPECT_FALSE(scene.anyTargetObject(count));
    EXPECT_EQ(calls, 1);
    scene.focusObject.reset();
}

TEST_F(SceneTargetTest, SelectionIsTestedInOrderUntilThePredicateHolds) {
    auto a = add(kImage, 0, 0, 9);
    auto b = add(kImage, 1, 0, 9);
    auto c = add(kImage, 2, 0, 9);
    auto focus = add(kImage, 3, 0, 9);
    settle();
    scene.focusObject = focus;
    for (const auto& o : {a, b, c})
        scene.selection.add(o, scene);
    std::vector<const Object*> seen;
    EXPECT_TRUE(scene.anyTargetObject([&](const std::shared_ptr<Object>& o) {
        seen.push_back(o.get());
        return o == b;
    }));
    EXPECT_EQ(seen, (std::vector<const Object*>{a.get(), b.get()}));
    // The focus object does not count once something is selected.
    EXPECT_FALSE(scene.anyTargetObject([&](const std::shared_ptr<Object>& o) { return o == focus; }));
    scene.selection.clear();
    scene.focusObject.reset();
}

TEST(SceneTable, NewIdIsTheSmallestUnused) {
    TestCatalog catalog;
    struct Case {
        std::vector<int32_t> ids;
        int32_t expected;
    };
    for (const Case& c : {Case{{0}, 1}, Case{{0, 1, 3}, 2}, Case{{0, 1, 2, 3, 4}, 5}, Case{{0, 2}, 1}}) {
        Edit::Project project;
        for (int32_t id : c.ids)
            project.getOrCreateScene(id);
        EXPECT_EQ(project.getNewSceneId(), c.expected);
    }
}

}  // namespace
