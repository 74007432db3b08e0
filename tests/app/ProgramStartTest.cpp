#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// The program starts its graphics services headless on the software driver.
TEST(ProgramStart, LogsTheDeviceAndFormatSupportAndExitsZero) {
    const char* binary = std::getenv("VELMO_TEST_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    const fs::path program = fs::path(binary) / "bin" / "velmo2";
    char pattern[] = "/tmp/velmo-d3d-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    fs::create_directories(root / "velmo2");
    std::ofstream(root / "velmo2" / "velmo2.ini", std::ios::binary) << "[Logger]\r\nFileLogLevel=1\r\n";
    const std::string run =
        "env -u DISPLAY XDG_DATA_HOME=" + root.string() + " " + program.string() + " >/dev/null 2>&1";
    ASSERT_EQ(0, std::system(run.c_str()));
    std::string log;
    for (const auto& entry : fs::directory_iterator(root / "velmo2" / "Log")) {
        std::ifstream in(entry.path(), std::ios::binary);
        log += std::string(std::istreambuf_iterator<char>(in), {});
    }
    const char* wanted[] = {
        "[INFO] [Media::Direct3DService::Direct3DService] D3D feature level : 0x0000b100",
        "D3D DXGI_FORMAT_R8G8B8A8_UNORM Texture2D Supported : 1",
        "D3D DXGI_FORMAT_B8G8R8A8_UNORM Texture2D Supported : 1",
        "D3D DXGI_FORMAT_A8_UNORM Texture2D Supported : 1",
        "D3D DXGI_FORMAT_R16G16B16A16_FLOAT Texture2D Supported : 1",
        "D3D DXGI_FORMAT_G8R8_G8B8_UNORM Texture2D Supported : 1",
        "D3D DXGI_FORMAT_R16G16B16A16_UNORM Texture2D Supported : 1",
        "D3D DXGI_FORMAT_R16G16B16A16_SNORM Texture2D Supported : 1",
        // The resource service after the devices, with the built-in figures and wipes only.
        "[INFO] [Resource::ResourceLists::build] figures : 8, transitions : 7",
        "[INFO] [Resource::ResourceService::ResourceService] resources ready: 8 paths",
        "[INFO] [Effect::EffectService::registerMovement] register movement [移動無し]",
        "[INFO] [Effect::EffectService::registerEffect] register effect [動画ファイル]",
        "[INFO] [Effect::EffectService::registerEffect] register effect [シーンチェンジ]",
        "[INFO] [Effect::EffectService::registerEffect] register effect [ぼかし]",
        "[INFO] [Effect::EffectService::registerEffect] register effect [音量調整]",
        // No palette file yet: the built-in palette is written and offers its named colours.
        "[INFO] [Effect::PaletteDefine::savePaletteFile] save palette file : %Default%/default.palette",
        "[INFO] [Effect::PaletteManager::reloadPresetColor] register preset color [white]",
        "[INFO] [Effect::PaletteManager::reloadPresetColor] register preset color [black]",
    };
    for (const char* line : wanted) EXPECT_NE(std::string::npos, log.find(line)) << line << "\n" << log;
    std::ifstream ini(root / "velmo2" / "velmo2.ini", std::ios::binary);
    const std::string settings(std::istreambuf_iterator<char>(ini), {});
    EXPECT_NE(std::string::npos, settings.find("[Direct3D]\r\n")) << settings;
    // The menu entries write themselves back.
    EXPECT_NE(std::string::npos, settings.find("[Effect.動画ファイル]\r\n")) << settings;
    EXPECT_NE(std::string::npos, settings.find("[Color.red]\r\n")) << settings;
    EXPECT_TRUE(fs::exists(root / "velmo2" / "Default" / "default.palette"));
    fs::remove_all(root);
}

}  // namespace
