#pragma once
#include <memory>
#include <string>

#include "core/AlignedBuffer.h"
#include "media/audio/RawAudioBuffer.h"
#include "plugin/OutputFile.h"
#include "plugin/OutputPlugin.h"
#include "plugin/PluginTable.h"
#include "platform/os/DynamicLibrary.h"

// An output plug-in library ("*.vou2") loaded into the editor. An export
// through it hands the library one OUTPUT_INFO; the library pulls frames and
// sound through its callbacks while it writes. Every call into the library
// runs under the crash guard; the callbacks never throw into it.
namespace Plugin {

class ExternalOutputPlugin : public OutputPlugin {
public:
    // Loads the library and copies its table; throws "LoadLibrary",
    // "GetProcAddress" or "no plugin table.".
    explicit ExternalOutputPlugin(const std::wstring& path);
    ~ExternalOutputPlugin() override;

    std::shared_ptr<OutputFile> createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                 ExportSource* source) override;
    void showSetting(void* ownerWindow) override;
    // What the library says of its settings; empty without func_get_config_text.
    std::wstring getSettingText() const override;

    const OutputPluginTable& table() const { return table_; }
    void* module() const { return library_.nativeHandle(); }

private:
    Platform::os::DynamicLibrary library_;
    OutputPluginTable table_{};
};

class ExternalOutputFile : public OutputFile {
public:
    ExternalOutputFile(std::wstring path, const ExportScene& scene, ExportSource* source,
                       const OutputPluginTable& table);
    // Returns what func_output returns; a fault in it throws.
    bool save() override;

private:
    static void* videoCallback(int32_t frame, uint32_t format);
    static void* audioCallback(int32_t start, int32_t length, int32_t* delivered, uint32_t format);
    static int32_t abortCallback();
    static void progressCallback(int32_t done, int32_t total);
    static void bufferSizeCallback(int32_t videoFrames, int32_t audioFrames);

    const OutputPluginTable& table_;
    // Used when no cache service lends its scratch buffers.
    System::AlignedBuffer videoBuffer_;
    Media::RawAudioBuffer audioBlock_;
};

}  // namespace Plugin
