#pragma once
// A test of the running program with a data folder of its own: root is a
// fresh /tmp/velmo-<name>-XXXXXX folder, XDG_DATA_HOME is root/xdg, and the
// program's file-name variables point at the shipped files beside the built
// program (the tests run in its folder). Everything is put back afterwards.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "core/FileName.h"
#include "core/TextConvert.h"

class ProgramDataFixture : public testing::Test {
protected:
    explicit ProgramDataFixture(std::string name) : name_(std::move(name)) {}

    std::filesystem::path root;

    void SetUp() override {
        std::string pattern = "/tmp/velmo-" + name_ + "-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        if (const char* old = std::getenv("XDG_DATA_HOME")) oldDataHome_ = old;
        setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
        System::FileName::resetVariableList(System::utf8ToWide((std::filesystem::current_path() / "velmo2").string()));
    }
    void TearDown() override {
        System::FileName::resetVariableList();
        if (oldDataHome_)
            setenv("XDG_DATA_HOME", oldDataHome_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(root);
    }

private:
    std::string name_;
    std::optional<std::string> oldDataHome_;
};
