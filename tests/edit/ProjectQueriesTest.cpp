#include "edit/ProjectQueries.h"

#include <gtest/gtest.h>

#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/Scene.h"

namespace {

// The open project's scenes as the effect items look them up: by id for the
// name, by name (first in display order, then id) for the id.
TEST(ProjectQueries, ScenesAreFoundInTheAttachedProject) {
    Edit::Project project;
    struct Scene {
        int32_t id;
        const wchar_t* name;
        int32_t order;
    } scenes[] = {{0, L"Root", 0}, {2, L"Twin", 5}, {3, L"Twin", 1}, {4, L"Solo", 2}, {6, L"Tie", 3}, {5, L"Tie", 3}};
    for (const auto& s : scenes) {
        auto scene = project.getOrCreateScene(s.id);
        scene->name = s.name;
        scene->displayOrder = s.order;
    }

    Edit::ProjectQueries queries;
    std::wstring name = L"kept";
    EXPECT_FALSE(queries.findSceneName(0, name));  // no project attached
    EXPECT_EQ(name, L"kept");
    EXPECT_EQ(queries.findSceneId(L"Root"), -1);

    queries.setProject(&project);
    const struct {
        int32_t id;
        const wchar_t* name;  // none: no scene
    } byId[] = {{0, L"Root"}, {2, L"Twin"}, {4, L"Solo"}, {1, nullptr}, {-1, nullptr}};
    for (const auto& c : byId) {
        SCOPED_TRACE(c.id);
        name = L"kept";
        EXPECT_EQ(queries.findSceneName(c.id, name), c.name != nullptr);
        EXPECT_EQ(name, c.name ? c.name : L"kept");
    }
    const struct {
        const wchar_t* name;
        int32_t id;
    } byName[] = {{L"Root", 0}, {L"Twin", 3}, {L"Solo", 4}, {L"Tie", 5}, {L"twin", -1}, {L"", -1}};
    for (const auto& c : byName) {
        SCOPED_TRACE(testing::Message() << c.id);
        EXPECT_EQ(queries.findSceneId(c.name), c.id);
    }

    queries.setProject(nullptr);
    EXPECT_EQ(queries.findSceneId(L"Solo"), -1);
}

TEST(ProjectQueries, ObjectsAndScenesAreReadAsTheyStand) {
    Edit::Object object(2, 10, 40);
    object.midpoints = {5, 20};
    Edit::Scene scene(1, 1);
    scene.videoRate = 30000;
    scene.videoScale = 1001;
    scene.audioRate = 44100;
    const Edit::ProjectQueries queries;
    EXPECT_EQ(queries.objectStart(object), 10);
    EXPECT_EQ(queries.objectEnd(object), 40);
    EXPECT_EQ(&queries.objectMidpoints(object), &object.midpoints);
    EXPECT_EQ(&queries.objectEffects(object), &object.effects);
    EXPECT_EQ(queries.sceneRate(scene), 30000);
    EXPECT_EQ(queries.sceneScale(scene), 1001);
    EXPECT_EQ(queries.sceneAudioRate(scene), 44100);
    std::vector<std::wstring> names{L"stale"};
    std::wstring defaultName = L"stale";
    queries.fontFamilies(names, defaultName);  // no font list in the program yet
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(defaultName.empty());
    names = {L"stale"};
    queries.figureNames(names);
    EXPECT_TRUE(names.empty());
}

// The font and figure lists come from the readers the program installs, for
// every instance (the edit service holds its own); without one they are empty.
TEST(ProjectQueries, FontAndFigureListsComeFromTheInstalledReaders) {
    Edit::ProjectQueries before, queries;
    std::vector<std::wstring> names{L"stale"};
    std::wstring defaultName = L"stale";
    queries.fontFamilies(names, defaultName);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(defaultName.empty());

    auto previousFonts = Edit::ProjectQueries::setFontListReader([](std::vector<std::wstring>& n, std::wstring& d) {
        n = {L"Alpha", L"Beta"}, d = L"Beta";
    });
    auto previousFigures = Edit::ProjectQueries::setFigureListReader([](std::vector<std::wstring>& n) {
        n = {L"背景", L"円"};
    });
    for (const Edit::ProjectQueries* q : {&before, &queries}) {
        q->fontFamilies(names, defaultName);
        EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"Beta"}));
        EXPECT_EQ(defaultName, L"Beta");
        q->figureNames(names);
        EXPECT_EQ(names, (std::vector<std::wstring>{L"背景", L"円"}));
    }
    Edit::ProjectQueries::setFontListReader(std::move(previousFonts));
    Edit::ProjectQueries::setFigureListReader(std::move(previousFigures));
    names = {L"stale"};
    queries.figureNames(names);
    EXPECT_TRUE(names.empty());
}

}  // namespace
