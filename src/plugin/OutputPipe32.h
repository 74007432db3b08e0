#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "core/Pipe.h"
#include "core/PipeProcess.h"
#include "plugin/OutputFile.h"
#include "plugin/OutputPlugin.h"

// An older output plug-in ("*.vou"), run by its own instance of the host
// program "%AppInstall%/pipe32vou". During an export the host asks for
// frames, sound, the abort state and the progress until it says it is done.
// A host that dies or sends what cannot be read fails the export (logged)
// and is stopped; one that stops answering after the user aborted is too.
namespace Plugin {

class OutputPipe32File;

class OutputPipe32 : public OutputPlugin {
public:
    enum Command : int32_t { kQuit = 0, kLoadPlugin = 1, kConfig = 2, kOutput = 10 };
    enum Request : int32_t { kDone = 20, kVideo = 21, kAudio = 22, kAbort = 23, kProgress = 24 };
    static constexpr uint32_t kLoadTimeoutMs = 10000;
    // How long a host may stay silent once the user has asked to abort.
    static constexpr uint32_t kAbortGraceMs = 10000;

    // Starts the host and loads the plug-in (its file name as listed in the
    // plug-in folder); throws "load plugin failed." with the host stopped.
    explicit OutputPipe32(const std::wstring& fileName);
    ~OutputPipe32() override;

    std::shared_ptr<OutputFile> createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                 ExportSource* source) override;
    void showSetting(void* ownerWindow) override;

    const std::wstring& fileName() const { return fileName_; }
    bool hostAlive() { return process_.isAlive(); }

private:
    friend class OutputPipe32File;
    // The export conversation; false (logged "output file failed.") when it broke.
    bool processOutputFile(OutputPipe32File& job);
    void stopHost();

    std::wstring fileName_;
    std::mutex mutex_;
    System::PipeProcess process_;
    std::unique_ptr<System::Pipe> pipe_;
};

class OutputPipe32File : public OutputFile {
public:
    OutputPipe32File(std::wstring path, const ExportScene& scene, ExportSource* source, OutputPipe32& plugin)
        : OutputFile(std::move(path), true, scene, source), plugin_(plugin) {}
    bool save() override;

private:
    friend class OutputPipe32;
    OutputPipe32& plugin_;
};

}  // namespace Plugin
