#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/FileName.h"
#include "core/TextConvert.h"

// A fresh installation folder and data folder per test: %AppInstall% is
// root/install, %AppData% is root/xdg/velmo2.
class TestFolders : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmo-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        std::filesystem::create_directories(root_ / "install");
        std::filesystem::create_directories(root_ / "xdg");
        if (const char* old = std::getenv("XDG_DATA_HOME")) oldDataHome_ = old;
        setenv("XDG_DATA_HOME", (root_ / "xdg").c_str(), 1);
        System::FileName::resetVariableList(System::utf8ToWide((root_ / "install" / "velmo2").string()));
    }
    void TearDown() override {
        System::FileName::resetVariableList();
        // Put back what the test program had (a global environment may have set it).
        if (oldDataHome_)
            setenv("XDG_DATA_HOME", oldDataHome_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(root_);
    }
    std::filesystem::path install() const { return root_ / "install"; }
    std::filesystem::path appData() const { return root_ / "xdg" / "velmo2"; }
    static void writeFile(const std::filesystem::path& path, const std::string& content) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string readFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::wstring wide(const std::filesystem::path& path) { return System::utf8ToWide(path.string()); }
    std::filesystem::path root_;

private:
    std::optional<std::string> oldDataHome_;
};
