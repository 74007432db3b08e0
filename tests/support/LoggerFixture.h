#pragma once
#include <memory>
#include <string>

#include "core/Logger.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "support/TestFolders.h"

// The settings service and the logger started over the test folders, with
// the "[Logger]" section given; a second start begins again.
class LoggerFixture : public TestFolders {
protected:
    void start(const std::string& loggerSection = "") {
        logger_.reset();
        settings_.reset();
        if (!loggerSection.empty()) writeFile(appData() / "velmo2.ini", "[Logger]\n" + loggerSection);
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
        logger_ = std::make_unique<System::ServiceHolder<System::Logger>>();
    }
    void TearDown() override {
        logger_.reset();
        settings_.reset();
        TestFolders::TearDown();
    }
    System::Logger& logger() { return *logger_->get(); }

    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
    std::unique_ptr<System::ServiceHolder<System::Logger>> logger_;
};
