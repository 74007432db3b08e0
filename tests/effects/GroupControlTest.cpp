// The group control's placement of its members, drawn through the render
// worker and compared with a reference computed here: the member's own
// placement, then each group's turn, zoom and move from the inside out, then
// the projection with its vanishing point at the outermost group's position.
#include <array>
#include <cmath>
#include <vector>

#include "effect/RenderContext.h"
#include "effects/GroupControl.h"
#include "effects/PlacementReference.h"

namespace OutputTest {
namespace {

using Effect::GroupControl;

constexpr uint32_t kFrameW = 64, kFrameH = 48, kImageW = 16, kImageH = 10;

// Position, turns (degrees) and zoom (percent) of a group or of a member's output.
struct Pose {
    double x = 0, y = 0, z = 0;
    double angleX = 0, angleY = 0, angleZ = 0;
    double zoom = 100;
};

// Zoomed, turned about z, then y, then x, then moved.
Vec3 apply(const Pose& pose, Vec3 p) {
    const double s = pose.zoom / 100;
    p = turn({p.x * s, p.y * s, p.z * s}, pose.angleX, pose.angleY, pose.angleZ);
    return {p.x + pose.x, p.y + pose.y, p.z + pose.z};
}

// groups: outermost first.
std::array<double, 2> project(const std::vector<Pose>& groups, const Pose& member, double u, double v) {
    Vec3 p = apply(member, {u, v, 0});
    for (auto g = groups.rbegin(); g != groups.rend(); ++g) p = apply(*g, p);
    const double cx = groups.front().x, cy = groups.front().y;
    const double f = 1024 / (1024 + p.z);
    return {kFrameW / 2.0 + cx + (p.x - cx) * f, kFrameH / 2.0 + cy + (p.y - cy) * f};
}

void pose(GroupControl& g, const Pose& p) {
    setItem(g.x, p.x);
    setItem(g.y, p.y);
    setItem(g.z, p.z);
    setItem(g.angleX, p.angleX);
    setItem(g.angleY, p.angleY);
    setItem(g.angleZ, p.angleZ);
    setItem(g.zoom, p.zoom);
}

void pose(Effect::VideoOutput& out, const Pose& p) {
    setItem(out.x, p.x);
    setItem(out.y, p.y);
    setItem(out.z, p.z);
    setItem(out.angleX, p.angleX);
    setItem(out.angleY, p.angleY);
    setItem(out.angleZ, p.angleZ);
    setItem(out.zoom, p.zoom);
}

constexpr const wchar_t* kViewProbe = L"視点テスト";

// Filter: notes the position of the output view it sees and hands the image on.
class ViewProbe : public Effect::EffectBase {
public:
    ViewProbe() {
        name = kViewProbe;
        role = kFilter;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<ViewProbe>(); }
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override {
        const Effect::OutputView view = context.getOutputView();
        seen.push_back({view.x, view.y, view.z});
        return image;
    }
    inline static std::vector<std::array<float, 3>> seen;
};

// The output catalogue with the group control added.
class GroupCatalog : public AddedCatalog {
    const Effect::EffectBase* added(const std::wstring& name) const override {
        if (name == GroupControl::kName) return &group_;
        if (name == kViewProbe) return &probe_;
        return nullptr;
    }

    GroupControl group_;
    ViewProbe probe_;
};

class GroupPlacement : public OutputFixture {
protected:
    void SetUp() override {
        OutputFixture::SetUp();
        frameSize(kFrameW, kFrameH);
    }
    GroupControl& group(int32_t layer, const Pose& p, int32_t range = 0) {
        auto object = scene->createObject(GroupControl::kName, layer, 0, 99);
        scene->update();
        auto& g = dynamic_cast<GroupControl&>(*object->effects.front());
        g.layers.value = range;
        pose(g, p);
        return g;
    }
    // The frame compared with the member drawn through the groups.
    void expectPlaced(const Pixels& image, const std::vector<Pose>& groups, const Pose& member, const char* name) {
        const Pixels frame = render();
        ASSERT_EQ(frame.width, kFrameW) << name;
        const double hw = kImageW / 2.0, hh = kImageH / 2.0;
        const PlacementResult r = comparePlacement(frame, image,
                                                   {project(groups, member, -hw, -hh), project(groups, member, hw, -hh),
                                                    project(groups, member, hw, hh), project(groups, member, -hw, hh)},
                                                   1.0f, name);
        EXPECT_EQ(r.wrong, 0) << name;
        EXPECT_GT(r.covered, 40) << name;  // the image was there to compare
        EXPECT_GT(r.compared, static_cast<int>(kFrameW * kFrameH * 3 / 4)) << name;
    }

    GroupCatalog groups;
};

TEST_F(GroupPlacement, MembersArePlacedThroughTheirGroupsAsTheReference) {
    struct Case {
        const char* name;
        std::vector<Pose> groups;  // outermost first
        Pose member;
    };
    const Case cases[] = {
        {"moved", {{10, -6}}, {4, 2}},
        {"turned about the group's position", {{-5, 3, 0, 0, 0, 30}}, {9, 0}},
        {"zoomed from the group's position", {{-4, 2, 0, 0, 0, 0, 150}}, {6, -3}},
        {"tilted in depth", {{3, -2, 100, 30, -20, 0}}, {4, 2, 0, 0, 0, 10}},
        {"member turned inside a turned group", {{0, 0, 0, 0, 25, 40}}, {6, 3, 50, 20, 0, 0}},
        {"nested zooms cancel", {{6, 0, 0, 0, 0, 0, 200}, {-3, 2, 0, 0, 0, 0, 50}}, {2, 1}},
        {"nested turns and depth", {{-4, 3, 0, 0, 0, 15}, {5, 0, 80, 20, 0, 0, 120}}, {0, 4, 0, 0, 0, -30}},
    };
    const Pixels image = gradient(kImageW, kImageH);
    for (const Case& c : cases) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        frameSize(kFrameW, kFrameH);
        int32_t layer = 0;
        for (const Pose& g : c.groups) group(layer++, g);
        auto member = add(layer, image);
        pose(output<Effect::VideoOutput>(*member), c.member);
        expectPlaced(image, c.groups, c.member, c.name);
    }
}

TEST_F(GroupPlacement, TheRangeDecidesWhichLayersFollowTheGroup) {
    struct Case {
        int32_t range;
        bool follows;  // the member two layers below the group
    };
    const Pose moved{12, -7, 0, 0, 0, 20};
    const Pixels image = gradient(kImageW, kImageH);
    for (const Case& c : {Case{1, false}, Case{2, true}, Case{0, true}}) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        frameSize(kFrameW, kFrameH);
        group(0, moved, c.range);
        add(2, image);
        const std::string name = "range " + std::to_string(c.range);
        if (c.follows)
            expectPlaced(image, {moved}, {}, name.c_str());
        else
            expectPlaced(image, {Pose{}}, {}, name.c_str());
    }
}

// A filter on the group runs on each member's image and sees the group's
// position added to the view.
TEST_F(GroupPlacement, FiltersOnTheGroupSeeItsPosition) {
    group(0, {12, -7, 30});
    scene->findLayerObject(0, 0, Effect::EffectBase::kVideo)->addEffect(kViewProbe);
    add(1, gradient(kImageW, kImageH));
    ViewProbe::seen.clear();
    (void)render();
    ASSERT_EQ(ViewProbe::seen.size(), 1u);
    EXPECT_EQ(ViewProbe::seen[0], (std::array<float, 3>{12, -7, 30}));
}

// The plain flag is the group's own only while no group around it turns,
// zooms or moves in depth.
TEST_F(GroupPlacement, PlainTranslationHoldsOnlyWhileEveryGroupOnlyTranslates) {
    struct Case {
        const char* name;
        std::vector<Pose> groups;  // outermost first
        bool plain;                // of the innermost
    };
    const Case cases[] = {
        {"moved in x and y", {{200, -40}}, true},
        {"moved in depth", {{0, 0, 1}}, false},
        {"zoomed", {{0, 0, 0, 0, 0, 0, 99}}, false},
        {"turned", {{0, 0, 0, 0, 0.5}}, false},
        {"inside a moved group", {{30, 5}, {200, 0}}, true},
        {"inside a turned group", {{0, 0, 0, 0, 0, 10}, {200, 0}}, false},
    };
    for (const Case& c : cases) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        frameSize(kFrameW, kFrameH);
        GroupControl* inner = nullptr;
        int32_t layer = 0;
        for (const Pose& g : c.groups) inner = &group(layer++, g);
        add(layer, gradient(kImageW, kImageH));
        (void)render();
        EXPECT_EQ(inner->plainTranslation != 0, c.plain) << c.name;
    }
}

}  // namespace
}  // namespace OutputTest
