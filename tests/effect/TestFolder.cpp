#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/FileName.h"

namespace {

// File items expand path variables, and the first expansion creates
// %AppData%: keep it in a folder of this test run, never the user's.
class DataFolder : public testing::Environment {
public:
    void SetUp() override {
        char pattern[] = "/tmp/velmo-effect-data-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        setenv("XDG_DATA_HOME", pattern, 1);
        System::FileName::resetVariableList();
    }
    void TearDown() override {
        System::FileName::resetVariableList();
        std::filesystem::remove_all(root_);
    }

private:
    std::filesystem::path root_;
};

const testing::Environment* const gDataFolder = testing::AddGlobalTestEnvironment(new DataFolder);

}  // namespace
