#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "core/AlignedBuffer.h"
#include "core/Pipe.h"
#include "core/PipeProcess.h"
#include "media/audio/RawAudioBuffer.h"
#include "plugin/InputFile.h"
#include "plugin/InputPlugin.h"

// An older input plug-in ("*.vin"), run by its own instance of the host
// program "%AppInstall%/pipe32vin" and talked to over its pipes. One
// conversation (a command and its whole reply) at a time per host. A host
// that dies, stops answering or sends what cannot be read is stopped; its
// plug-in then refuses every file and read, with the reason in the log.
namespace Plugin {

class InputPipe32 : public InputPlugin {
public:
    // The host's commands.
    enum Command : int32_t {
        kQuit = 0,
        kLoadPlugin = 1,
        kConfig = 2,
        kOpen = 10,
        kClose = 11,
        kReadVideo = 12,
        kReadAudio = 13,
    };
    // How long one reply (or one piece of it) may take before the host counts as hung.
    static constexpr uint32_t kLoadTimeoutMs = 10000;
    static constexpr uint32_t kOpenTimeoutMs = 30000;
    static constexpr uint32_t kReadTimeoutMs = 10000;

    class InputPipe32File : public InputFile {
    public:
        InputPipe32File(InputPipe32& plugin, int32_t handle) : plugin_(plugin), handle_(handle) {}
        ~InputPipe32File() override;
        std::shared_ptr<Media::ImageBuffer> readVideo(int32_t frame) override;
        std::shared_ptr<Media::AudioBlockBuffer> readAudio(int32_t block) override;
        int32_t handle() const { return handle_; }

    private:
        InputPipe32& plugin_;
        int32_t handle_;
    };

    // Starts the host and loads the plug-in (the file name as listed in the
    // plug-in folder); throws "load plugin failed." with the host stopped.
    explicit InputPipe32(const std::wstring& fileName);
    ~InputPipe32() override;

    std::shared_ptr<InputFile> open(const std::wstring& path) override;
    void showSetting(void* ownerWindow) override;

    const std::wstring& fileName() const { return fileName_; }
    bool hostAlive() { return process_.isAlive(); }
    int hostProcessId() const { return process_.processId(); }

    // The reply to open after its handle (flags, then the fields the flags
    // name) into info; throws when it cannot be read.
    static void readFileInfo(System::Pipe& pipe, InputFile::Info& info);
    // The reply to loadPlugin into the plug-in's description.
    static void readDescription(System::Pipe& pipe, int32_t& flags, std::wstring& name, std::wstring& filter,
                                std::wstring& information);

private:
    friend class InputPipe32File;
    // One conversation under the host's mutex; a failure stops the host.
    template <class F>
    void talk(uint32_t timeoutMs, F&& conversation);
    void stopHost();

    std::wstring fileName_;
    std::mutex mutex_;
    System::PipeProcess process_;
    std::unique_ptr<System::Pipe> pipe_;
    // Used when no cache service lends its scratch buffers.
    System::AlignedBuffer videoBuffer_;
    Media::RawAudioBuffer audioBlock_;
};

}  // namespace Plugin
