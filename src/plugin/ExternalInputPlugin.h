#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "core/AlignedBuffer.h"
#include "media/audio/RawAudioBuffer.h"
#include "plugin/InputFile.h"
#include "plugin/InputPlugin.h"
#include "plugin/PluginTable.h"
#include "platform/os/DynamicLibrary.h"

// An input plug-in library ("*.vin2") loaded into the editor. Its table is
// copied at load; every call into the library runs under the crash guard,
// so a fault becomes an exception naming the call ("table.func_read_video").
namespace Plugin {

class ExternalInputPlugin : public InputPlugin {
public:
    // One handle the library opened. Reads of one file are serialised unless
    // the table allows concurrent calls.
    class ExternalInputFile : public InputFile {
    public:
        ExternalInputFile(const InputPluginTable* table, void* module);
        ~ExternalInputFile() override;
        std::shared_ptr<Media::ImageBuffer> readVideo(int32_t frame) override;
        std::shared_ptr<Media::AudioBlockBuffer> readAudio(int32_t block) override;

        // Calls func_open and func_info_get; false when the library refuses
        // the file or describes a format this reader does not take.
        bool open(const std::wstring& path);

    private:
        const InputPluginTable* table_;
        INPUT_HANDLE handle_ = nullptr;
        std::mutex mutex_;
        // Used when no cache service lends its scratch buffers.
        System::AlignedBuffer videoBuffer_;
        Media::RawAudioBuffer audioBlock_;
    };

    // Loads the library and copies its table; throws "LoadLibrary",
    // "GetProcAddress" or "no plugin table.".
    explicit ExternalInputPlugin(const std::wstring& path);
    ~ExternalInputPlugin() override;

    std::shared_ptr<InputFile> open(const std::wstring& path) override;
    void showSetting(void* ownerWindow) override;

    const InputPluginTable& table() const { return table_; }

private:
    Platform::os::DynamicLibrary library_;
    InputPluginTable table_{};
};

}  // namespace Plugin
