#include "core/SettingService.h"

#include <gtest/gtest.h>

#include "support/TestFolders.h"
#include "support/LogCapture.h"

namespace {

class SettingServiceTest : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        writeFile(install() / "style.conf",
                  "[Layout]\nA=5\nB=1\nC=0\nD=-4\nE=wide\n[Font]\nControl=11,Noto Sans\nLog=12\nFamily=Noto\n"
                  "[Color]\nText=ffffff\nOnlyShipped=000000\n");
        writeFile(install() / "system.conf", "[Config]\nPixelFormat=10\n");
        writeFile(appData() / "style.conf", "[Color]\nText=ff0000\n");
    }
    LogCapture log;
};

TEST_F(SettingServiceTest, UserCopiesOverrideShippedDefaults) {
    System::ServiceHolder<Setting::SettingService> holder;
    Setting::SettingService& service = *holder.get();
    EXPECT_EQ(service.color.getValue("Text").text, "ff0000");
    EXPECT_EQ(service.color.getValue("OnlyShipped").text, "000000");
    EXPECT_EQ(service.system.config.getValue("PixelFormat").toInt(), 10);
    EXPECT_EQ(service.style.path(), wide(appData() / "style.conf"));
    EXPECT_FALSE(service.style.saveFlag());
    EXPECT_EQ(service.system.uiScale, 1.0f);
    EXPECT_EQ(service.system.keyRepeatDelay, 500);
    EXPECT_EQ(service.system.keyRepeatInterval, 30);
    EXPECT_GT(service.system.installedMemory, 0);
    EXPECT_EQ(Setting::SettingService::mainSettings(), service.system.mainSettings.get());
}

TEST_F(SettingServiceTest, MainSettingsAreSavedWhenTheServiceGoesAndConfFilesAreNot) {
    {
        System::ServiceHolder<Setting::SettingService> holder;
        Setting::SettingService::mainSettings()->getValue("Test", "Key").text = "v";
        holder.get()->style.getValue("Color", "Text").text = "000000";
    }
    EXPECT_EQ(readFile(appData() / "velmo2.ini").find("[Test]\r\nKey=v\r\n") != std::string::npos, true);
    EXPECT_EQ(readFile(appData() / "style.conf"), "[Color]\nText=ff0000\n");
    EXPECT_EQ(Setting::SettingService::mainSettings(), nullptr);
}

TEST_F(SettingServiceTest, HighDpiScalingOfLayoutAndFonts) {
    writeFile(appData() / "velmo2.ini", "[Direct3D]\nHighDpiMode=1\n");
    System::ServiceHolder<Setting::SettingService> holder;
    Setting::SettingService& service = *holder.get();
    service.scaleForDpi(96);
    EXPECT_EQ(service.layout.getValue("A").text, "5");
    EXPECT_EQ(service.system.uiScale, 1.0f);
    service.scaleForDpi(144);
    EXPECT_EQ(service.system.uiScale, 1.5f);
    const char* layout[][2] = {{"A", "8"}, {"B", "2"}, {"C", "1"}, {"D", "1"}, {"E", "wide"}};
    for (const auto& [key, value] : layout) EXPECT_EQ(service.layout.getValue(key).text, value) << key;
    EXPECT_EQ(service.font.getValue("Control").text, "17,Noto Sans");
    EXPECT_EQ(service.font.getValue("Log").text, "18");
    EXPECT_EQ(service.font.getValue("Family").text, "Noto");
}

TEST_F(SettingServiceTest, TheInstalledDpiReaderScalesTheLoadedSettings) {
    writeFile(appData() / "velmo2.ini", "[Direct3D]\nHighDpiMode=1\n");
    const struct {
        const char* name;
        Setting::SettingService::DpiReader reader;
        float scale;
    } cases[] = {
        {"a HiDPI display", [] { return 192u; }, 2.0f},
        {"a plain display", [] { return 96u; }, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Setting::SettingService::setDpiReader(c.reader);
        System::ServiceHolder<Setting::SettingService> holder;
        EXPECT_EQ(holder.get()->system.uiScale, c.scale);
    }
    Setting::SettingService::setDpiReader(nullptr);
}

int32_t boundMetric = -1;

TEST_F(SettingServiceTest, BoundValuesAreSetOnceTheFilesAreLoaded) {
    Setting::SettingService::bindValue(boundMetric,
                                       [](Setting::SettingService& s) { return s.layout.getValue("A").toInt(3); });
    EXPECT_EQ(boundMetric, 0);
    System::ServiceHolder<Setting::SettingService> holder;
    EXPECT_EQ(boundMetric, 5);
}

}  // namespace
