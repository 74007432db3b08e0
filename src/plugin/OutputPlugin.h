#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/ConfigInt.h"
#include "core/ConfigParameterGroup.h"

// A way of writing an export. The plug-in keeps the user-facing side (name,
// file filter, settings in the section "Output." + its name) and makes one
// export job per export.
namespace Plugin {

class OutputFile;
class ExportSource;
struct ExportScene;

class OutputPlugin {
public:
    static constexpr int32_t kVideo = 1;
    static constexpr int32_t kAudio = 2;
    static constexpr int32_t kSetting = 4;

    OutputPlugin();
    virtual ~OutputPlugin();
    OutputPlugin(const OutputPlugin&) = delete;
    OutputPlugin& operator=(const OutputPlugin&) = delete;

    // A new job writing the path chosen in the save dialog.
    virtual std::shared_ptr<OutputFile> createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                         ExportSource* source) = 0;
    // The base throws "not implement.".
    virtual void showSetting(void* ownerWindow);
    // The base returns the display name.
    virtual std::wstring getSettingText() const;
    // Loads the plug-in's own settings from its section; the base has none.
    virtual void loadSetting(const std::string& section);

    // Takes the registration index as the default "order", loads the section
    // "Output." + name and then the plug-in's own settings from it.
    void initSetting(int32_t index);
    const std::string& section() const { return section_; }
    int32_t order() const { return order_; }

    std::wstring name;
    std::wstring filter;  // description/pattern pairs, each NUL-terminated, then one more NUL
    std::wstring information;
    int32_t flags = 0;

private:
    struct Settings;
    std::string section_;
    int32_t order_ = 0;
    std::unique_ptr<Settings> settings_;
};

}  // namespace Plugin
