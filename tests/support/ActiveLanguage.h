#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/FileName.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"

// The settings and translation services over a fresh data folder whose
// language file (ini text, UTF-8) is the active language, for the life of the
// object. The folder and the services go with it.
class ActiveLanguage {
public:
    explicit ActiveLanguage(const std::string& languageFile) {
        char pattern[] = "/tmp/velmo-language-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        root_ = pattern;
        std::filesystem::create_directories(root_ / "install");
        // The shipped style beside the test (its working folder), whose layout
        // sizes a program with the window framework reads at start-up.
        if (std::filesystem::exists("style.conf"))
            std::filesystem::copy_file("style.conf", root_ / "install" / "style.conf");
        setenv("XDG_DATA_HOME", (root_ / "xdg").c_str(), 1);
        System::FileName::resetVariableList(System::utf8ToWide((root_ / "install" / "velmo2").string()));
        const std::filesystem::path data = root_ / "xdg" / "velmo2";
        std::filesystem::create_directories(data / "Language");
        std::ofstream(data / "velmo2.ini", std::ios::binary) << "[Translate]\nLanguage=Test\n";
        std::ofstream(data / "Language" / "Test.vln2", std::ios::binary) << languageFile;
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
        translate_ = std::make_unique<System::ServiceHolder<Translate::TranslateService>>();
    }
    ~ActiveLanguage() {
        translate_->get()->setLanguage(L"");
        translate_->get()->loadLanguage();  // clears the active flag
        translate_.reset();
        settings_.reset();
        System::FileName::resetVariableList();
        unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(root_);
    }
    ActiveLanguage(const ActiveLanguage&) = delete;
    ActiveLanguage& operator=(const ActiveLanguage&) = delete;

private:
    std::filesystem::path root_;
    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
    std::unique_ptr<System::ServiceHolder<Translate::TranslateService>> translate_;
};
