#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <typeinfo>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/Timer.h"
#include "core/WorkerThread.h"
#include "plugin/ExportSource.h"

namespace Media {
class RawAudioBuffer;
}

// The output plug-ins and the one export that may run at a time. The job's
// save runs on "OutputFileWorker" while the UI thread shows its progress;
// the worker posts the end, and outputFileEnd tidies up on the UI thread.
// Rendered frames and their sound reach the job through the two export
// caches, which fetch ahead of the writer by half their limit.
namespace Plugin {

class OutputFile;
class OutputPlugin;

class OutputService {
public:
    // What the window layer shows of an export; every member may be empty.
    struct Presenter {
        // The footer's progress: caption, text and ratio; an empty caption clears it.
        std::function<void(const std::wstring& caption, const std::wstring& text, float ratio)> progress;
        // Input off while an export runs (the window then offers Esc and close
        // to abortRequest), on again at its end.
        std::function<void(bool on)> setInput;
        // The desktop notice that an export has finished.
        std::function<void(const std::wstring& title, const std::wstring& text)> notify;
        // The export's save dialog: titled with the plug-in's name, with its
        // settings strip when it has settings. Without it the edit service's
        // save dialog asks for the path.
        std::function<bool(std::wstring& path, OutputPlugin& plugin)> saveDialog;
        // The writers' settings dialogs (each false for Cancel): the AVI
        // formats, one integer within a range, and a menu of choices at the
        // cursor with one checked (the index chosen, -1 for none).
        std::function<bool(void* owner, const std::wstring& title, std::wstring& video, std::wstring& audio)>
            aviFormats;
        std::function<bool(void* owner, const std::wstring& title, const std::wstring& label, int32_t& value,
                           int32_t minimum, int32_t maximum)>
            inputInteger;
        std::function<int32_t(const std::vector<std::wstring>& choices, int32_t checked)> chooseMenu;
    };

    OutputService();
    ~OutputService();
    OutputService(const OutputService&) = delete;
    OutputService& operator=(const OutputService&) = delete;

    static OutputService* get() { return System::ServiceSlot<OutputService>::instance; }
    static Presenter setPresenter(Presenter presenter);
    // The one installed (what the writers' settings use).
    static const Presenter& currentPresenter();

    template <class T>
    OutputPlugin* registerPlugin() {
        return registerPlugin(typeid(T).name(), [] { return std::make_shared<T>(); });
    }
    OutputPlugin* registerPlugin(const char* typeName, const std::function<std::shared_ptr<OutputPlugin>()>& create);

    const std::vector<std::shared_ptr<OutputPlugin>>& plugins() const { return plugins_; }
    bool isRunning() const { return current_ != nullptr; }
    const std::shared_ptr<OutputFile>& currentJob() const { return current_; }

    // Starts an export with the plug-in at index (UI thread). Throws for an
    // index out of range; does nothing while an export runs or when the save
    // dialog is cancelled.
    void outputFile(int32_t index);
    // Ends the current export (UI thread, on the worker's posted end) once
    // its save has run.
    void outputFileEnd();
    // Without a window nothing receives the posted end: waits until the
    // job's save has run, then ends the export here.
    void waitExport();
    // Esc or the close button during an export: asks once whether to stop,
    // and sets the job's abort flag on OK. Always false (the message is swallowed).
    bool abortRequest();
    // The progress of the running export, at once.
    void showProgress();
    // Whether the last export ended written (not failed, not aborted).
    bool lastExportSucceeded() const { return lastSucceeded_; }
    // Why the last export failed; empty after one that succeeded or was aborted.
    const std::string& lastFailure() const { return lastFailure_; }

    // "%3.2f%% (%d/%d)", after 15 s with 15 frames done with the remaining
    // time and the frames per second.
    static std::wstring progressText(int32_t done, int32_t total, uint64_t elapsedMs);

private:
    class ExportCaches;
    // The plug-in folder's "*.vou2" libraries, then its older "*.vou" plug-ins.
    void registerPluginFolder();
    enum class SaveResult { Written, NotWritten, Threw };

    std::vector<std::shared_ptr<OutputPlugin>> plugins_;
    int32_t counter_ = 0;
    Worker::WorkerThread worker_{"OutputFileWorker"};
    std::shared_ptr<OutputFile> current_;
    System::Timer progressTimer_;
    std::unique_ptr<ExportCaches> caches_;
    std::atomic<SaveResult> result_{SaveResult::Written};
    // The job whose save has run: an end posted for an earlier export that
    // was already ended another way does not end the next one.
    std::atomic<const OutputFile*> saved_{nullptr};
    std::mutex failureMutex_;
    std::string failure_;  // the text of a save that threw and could not be posted
    bool failurePosted_ = false;
    bool lastSucceeded_ = false;
    std::string lastFailure_;
};

}  // namespace Plugin
