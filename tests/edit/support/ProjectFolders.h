#pragma once
#include <string>
#include <vector>

#include "edit/Project.h"
#include "edit/support/TestCatalog.h"
#include "support/TestFolders.h"

namespace EditTest {

// Fresh folders, the test catalogue and a project whose error messages are
// kept in posted instead of shown.
class ProjectFolders : public TestFolders {
protected:
    TestCatalog catalog;
    Edit::Project project;
    std::vector<std::wstring> posted;

    void SetUp() override {
        TestFolders::SetUp();
        previousPoster_ = Edit::Project::setErrorPoster([this](const std::wstring& t) { posted.push_back(t); });
    }
    void TearDown() override {
        Edit::Project::setErrorPoster(previousPoster_);
        TestFolders::TearDown();
    }

private:
    Edit::Project::ErrorPoster previousPoster_;
};

}  // namespace EditTest
