#include "media/gpu/Direct3DService.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include "core/SettingService.h"
#include "support/TestFolders.h"
#include "support/LogCapture.h"

namespace {

// A settings service over fresh folders, then the Direct3D service.
class Direct3DServiceTest : public TestFolders {
protected:
    void SetUp() override {
        dlopen("libvulkan_lvp.so", RTLD_NOW | RTLD_NODELETE);
        TestFolders::SetUp();
    }
    void start(const std::string& systemConf, const std::string& mainSettings = "") {
        writeFile(install() / "system.conf", systemConf);
        if (!mainSettings.empty()) writeFile(appData() / "velmo2.ini", mainSettings);
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
    }
    void TearDown() override {
        settings_.reset();
        TestFolders::TearDown();
    }
    LogCapture log;
    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
};

TEST_F(Direct3DServiceTest, LogsFeatureLevelAndFormatSupportInOrder) {
    start("[Config]\n");
    {
        System::ServiceHolder<Media::Direct3DService> holder;
        Media::Direct3DService& d3d = *holder.get();
        EXPECT_EQ(10, d3d.pixelFormat);
        EXPECT_EQ(65, d3d.maskFormat);
        EXPECT_EQ(1u, d3d.defaultSampleDesc.count);
        EXPECT_EQ(0u, d3d.defaultSampleDesc.quality);
        EXPECT_EQ(nullptr, d3d.boundPixelShader);
        EXPECT_EQ(nullptr, d3d.boundBlendState);
        EXPECT_EQ(&d3d, Media::Direct3DInstance().Direct3D);
    }
    EXPECT_EQ(nullptr, Media::Direct3DService::get());
    std::vector<std::string> lines;
    for (const auto& l : log.lines)
        if (l.scope == "Media::Direct3DService::Direct3DService") lines.push_back(l.level + " " + l.message);
    const std::vector<std::string> want = {
        "INFO D3D feature level : 0x0000b100",
        "INFO D3D ROVsSupported : 1",
        "INFO D3D DXGI_FORMAT_R8G8B8A8_UNORM Texture2D Supported : 1",
        "INFO D3D DXGI_FORMAT_B8G8R8A8_UNORM Texture2D Supported : 1",
        "INFO D3D DXGI_FORMAT_A8_UNORM Texture2D Supported : 1",
        "INFO D3D DXGI_FORMAT_R16G16B16A16_FLOAT Texture2D Supported : 1",
        "INFO D3D DXGI_FORMAT_G8R8_G8B8_UNORM Texture2D Supported : 1",
        "INFO D3D DXGI_FORMAT_R16G16B16A16_UNORM Texture2D Supported : 1",
        "INFO D3D DXGI_FORMAT_R16G16B16A16_SNORM Texture2D Supported : 1",
    };
    EXPECT_EQ(want, lines);
}

TEST_F(Direct3DServiceTest, WorkingFormatOtherThanHalfFloatFallsBackWithAWarning) {
    start("[Config]\nPixelFormat=28\nMaskFormat=41\n");
    System::ServiceHolder<Media::Direct3DService> holder;
    EXPECT_EQ(10, holder.get()->pixelFormat);
    EXPECT_EQ(41, holder.get()->maskFormat);
    bool warned = false;
    for (const auto& l : log.lines)
        warned |= l.level == "WARN" && l.message.find("PixelFormat 28") != std::string::npos;
    EXPECT_TRUE(warned);
}

TEST_F(Direct3DServiceTest, MalformedFormatNumberFailsTheStart) {
    start("[Config]\nPixelFormat=ten\n");
    try {
        System::ServiceHolder<Media::Direct3DService> holder;
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("ini file parameter invalid format(int)."), std::string::npos);
    }
    EXPECT_EQ(nullptr, Media::Direct3DService::get());
}

TEST_F(Direct3DServiceTest, SettingGroupIsLoadedAndWrittenBack) {
    start("[Config]\n", "[Direct3D]\r\nHighDpiMode=0\r\nInputYUVColorSpace=2\r\n");
    {
        System::ServiceHolder<Media::Direct3DService> holder;
        Media::Direct3DService& d3d = *holder.get();
        EXPECT_EQ(0, d3d.highDpiMode);
        EXPECT_EQ(2, d3d.inputYuvColorSpace);
        EXPECT_EQ(8, d3d.multiSampleCount);
        EXPECT_EQ(16, d3d.maxAnisotropy);
        d3d.outputYuvColorSpace = 1;
    }
    System::IniFile& ini = *Setting::SettingService::mainSettings();
    EXPECT_EQ("1", ini.getValue("Direct3D", "OutputYUVColorSpace").text);
    EXPECT_EQ("8", ini.getValue("Direct3D", "MultiSampleCount").text);
    EXPECT_EQ("0", ini.getValue("Direct3D", "HighDpiMode").text);
}

}  // namespace
