#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs the program with a fresh data folder, as a user's first and second start.
TEST(ProgramRun, SettingsSurviveTwoRuns) {
    const char* binary = std::getenv("VELMO_TEST_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    const fs::path program = fs::path(binary) / "bin" / "velmo2";
    ASSERT_TRUE(fs::exists(program));
    char pattern[] = "/tmp/velmo-run-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    const std::string run = "env -u DISPLAY XDG_DATA_HOME=" + root.string() + " LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 " +
                            program.string() + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0);
    const fs::path ini = root / "velmo2" / "velmo2.ini";
    ASSERT_TRUE(fs::exists(ini));
    std::string first = readFile(ini);
    EXPECT_NE(first.find("[Logger]\r\n"), std::string::npos) << first;
    EXPECT_NE(first.find("MaxViewLine=200\r\n"), std::string::npos) << first;
    for (const char* folder :
         {"Plugin", "Script", "Default", "Alias", "Figure", "Transition", "Language", "Backup", "Log"})
        EXPECT_TRUE(fs::is_directory(root / "velmo2" / folder)) << folder;

    first = std::regex_replace(first, std::regex("MaxViewLine=200"), "MaxViewLine=77");
    std::ofstream(ini, std::ios::binary) << first;
    ASSERT_EQ(std::system(run.c_str()), 0);
    const std::string second = readFile(ini);
    EXPECT_NE(second.find("MaxViewLine=77\r\n"), std::string::npos) << second;
    for (const auto& entry : fs::directory_iterator(root / "velmo2"))
        EXPECT_EQ(entry.path().filename().string().find(".~"), std::string::npos) << "temporary file left behind";
    fs::remove_all(root);
}

}  // namespace
