#pragma once
#include <memory>
#include <string>

#include "plugin/OutputPlugin.h"

// The built-in AVI writer: uncompressed video and audio interleaved frame by
// frame, continued in further RIFF chunks with an extended index past 2 GB.
// Its settings "VideoType" and "AudioType" choose the pixel and sample format.
namespace Plugin {

class AviFileSave : public OutputPlugin {
public:
    AviFileSave();
    ~AviFileSave() override;

    std::shared_ptr<OutputFile> createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                 ExportSource* source) override;
    void showSetting(void* ownerWindow) override;
    std::wstring getSettingText() const override;
    void loadSetting(const std::string& section) override;

    std::wstring videoType = L"RGB24bit";
    std::wstring audioType = L"PCM16bit";

private:
    struct Settings;
    std::unique_ptr<Settings> settings_;
};

}  // namespace Plugin
