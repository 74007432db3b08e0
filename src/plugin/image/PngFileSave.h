#pragma once
#include <memory>
#include <string>

#include "plugin/OutputPlugin.h"

// The built-in PNG writer: the cursor frame as one picture, with the scene's
// alpha ("transparent" 1) or opaque ("transparent" 0).
namespace Plugin {

class PngFileSave : public OutputPlugin {
public:
    PngFileSave();
    ~PngFileSave() override;

    std::shared_ptr<OutputFile> createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                 ExportSource* source) override;
    void showSetting(void* ownerWindow) override;
    std::wstring getSettingText() const override;
    void loadSetting(const std::string& section) override;

    int32_t transparent = 1;

private:
    struct Settings;
    std::unique_ptr<Settings> settings_;
};

}  // namespace Plugin
