#pragma once
#include <memory>
#include <string>

#include "plugin/OutputPlugin.h"

// The built-in JPEG writer: the cursor frame as one opaque picture at the
// encoder quality "quality" (1 to 100).
namespace Plugin {

class JpgFileSave : public OutputPlugin {
public:
    JpgFileSave();
    ~JpgFileSave() override;

    std::shared_ptr<OutputFile> createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                 ExportSource* source) override;
    void showSetting(void* ownerWindow) override;
    std::wstring getSettingText() const override;
    void loadSetting(const std::string& section) override;

    int32_t quality = 90;

private:
    struct Settings;
    std::unique_ptr<Settings> settings_;
};

}  // namespace Plugin
