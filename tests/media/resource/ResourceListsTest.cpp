// The resource service's figure and transition lists: built at the end of
// the service's construction from its own shape paths.
#include <gtest/gtest.h>

#include <optional>

#include "core/HookScope.h"
#include "core/ServiceHolder.h"
#include "media/figure/FigureList.h"
#include "media/gpu/MediaFixture.h"
#include "media/gpu/ResourceService.h"
#include "media/resource/ResourceLists.h"
#include "media/resource/TransitionList.h"

namespace {

class ResourceListsTest : public MediaTest {};

TEST_F(ResourceListsTest, TheServiceListsFiguresAndWipesOverItsOwnPaths) {
    {
        System::ServiceHolder<Resource::ResourceService> bare;
        EXPECT_EQ(nullptr, Resource::ResourceService::get()->figures) << "no builder installed: no lists";
        EXPECT_EQ(8u, Resource::ResourceService::get()->paths.size());
    }
    std::optional<System::HookScope<Resource::ResourceService::ListBuilder>> builder(
        std::in_place, Resource::ResourceService::setListBuilder, &Resource::ResourceLists::build);
    System::ServiceHolder<Resource::ResourceService> holder;
    builder.reset();
    Resource::ResourceService& service = *Resource::ResourceService::get();
    ASSERT_NE(nullptr, service.figures);
    ASSERT_NE(nullptr, service.transitions);
    ASSERT_GE(service.figures->figures.size(), 8u);
    ASSERT_GE(service.transitions->transitions.size(), 7u);
    EXPECT_EQ(service.paths[Resource::PathData::kCircle].get(), service.figures->figures[1].path);
    EXPECT_EQ(service.paths[Resource::PathData::kDiamond].get(), service.transitions->transitions[1].path);
    EXPECT_NE(nullptr, service.figures->createFigure(6, 16, 16, {1, 1, 1, 1}, 1, true)) << "a star, round";
}

}  // namespace
