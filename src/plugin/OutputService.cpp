#include "plugin/OutputService.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/ErrorPresenter.h"
#include "core/EventCommandPost.h"
#include "core/EventService.h"
#include "core/Exception.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/ExceptionPresenter.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "media/audio/AudioBuffer.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/gpu/FrameReadBack.h"
#include "media/gpu/RenderBuffer.h"
#include "media/image/ImageBuffer.h"
#include "plugin/ExternalOutputPlugin.h"
#include "plugin/InputService.h"
#include "plugin/OutputFile.h"
#include "plugin/OutputPipe32.h"
#include "plugin/OutputPlugin.h"
#include "plugin/avi/AviFileSave.h"
#include "plugin/image/JpgFileSave.h"
#include "plugin/image/PngFileSave.h"
#include "render/RenderService.h"
#include "render/cache/PreLoadCache.h"

namespace Plugin {
namespace {

constexpr const char* kOutputFileScope = "Plugin::OutputService::outputFile";
constexpr const char* kOutputFileEndScope = "Plugin::OutputService::outputFileEnd";

// A failed registration goes to the program's error presenter; before one
// is installed it is logged.
void errorPresenter(const std::wstring& text) {
    if (!System::presentErrorIfInstalled(text)) System::Log::error("Plugin::OutputService", L"%ls", text.c_str());
}
OutputService::Presenter presenter;

uint64_t tickCount() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

using Translate::translated;

// The current scene as the job sees it.
ExportScene readScene() {
    ExportScene scene;
    Edit::EditService* edit = Edit::EditService::instance();
    if (!edit || !edit->currentScene()) return scene;
    const Edit::Scene& current = *edit->currentScene();
    scene.width = current.videoWidth;
    scene.height = current.videoHeight;
    scene.rate = static_cast<uint32_t>(std::max(current.videoRate, 0));
    scene.scale = static_cast<uint32_t>(std::max(current.videoScale, 0));
    scene.audioRate = current.audioRate;
    scene.lastFrame = std::max(current.length, 0);
    scene.cursorFrame = current.cursorFrame;
    scene.selectionStart = current.selectedStart;
    scene.selectionEnd = current.selectedEnd;
    return scene;
}

struct IntHash {
    size_t operator()(int32_t key) const { return std::hash<int32_t>{}(key); }
};

}  // namespace

// The two export caches: every stored frame weighs 1, so the limit is a
// number of frames. The video loader renders through the video render worker
// and reads the frame back once, in the format the writer asked for. The
// render thread only submits the read-back; the writer's thread waits for it
// and takes the bytes, so the next frames are drawn while it converts and
// writes this one.
class OutputService::ExportCaches : public ExportSource {
public:
    ExportCaches() : video_(1), audio_(1) {}

    // Empties both caches for a new job and sets both limits to 1.
    void reset(const ExportScene& scene) {
        video_.clear();
        audio_.clear();
        scene_ = scene;
        setBufferSize(true, 1);
        setBufferSize(false, 1);
    }

    void clear() {
        video_.clear();
        audio_.clear();
    }

    // Ends loading and releases every writer waiting for a frame.
    void stop() {
        audio_.stop();
        video_.stop();
    }

    std::shared_ptr<Media::ImageBuffer> renderVideo(int32_t frame, int32_t format, bool copy) override {
        const std::shared_ptr<Media::FrameReadBack> readBack = videoReadBack(frame, format, copy);
        if (!readBack) return nullptr;
        try {
            return readBack->image();
        } catch (const std::exception& e) {
            System::Log::error("Plugin::OutputService::renderVideo", "%s", e.what());
            return nullptr;
        }
    }

    bool packsBgr24Bits() const override { return true; }

    // The rows are waited for here, on the writer's thread, as renderVideo
    // waits for its image.
    std::shared_ptr<Media::FrameReadBack> renderBgr24Bits(int32_t frame) override {
        const std::shared_ptr<Media::FrameReadBack> readBack = videoReadBack(frame, kBgr24Bits, false);
        if (!readBack) return nullptr;
        try {
            (void)readBack->rows();
            return readBack;
        } catch (const std::exception& e) {
            System::Log::error("Plugin::OutputService::renderVideo", "%s", e.what());
            return nullptr;
        }
    }

    std::shared_ptr<Media::RawAudioBuffer> renderAudio(int32_t frame, int32_t sampleFormat) override {
        const int32_t ahead = std::min<int64_t>(scene_.lastFrame, static_cast<int64_t>(frame) + audioLimit_ / 2);
        for (int32_t next = frame + 1; next <= ahead; ++next) audio_.preload(next, audioLoader(next, sampleFormat));
        return audio_.get(frame, audioLoader(frame, sampleFormat));
    }

    void setBufferSize(bool video, int32_t frames) override {
        frames = std::max(frames, 1);
        if (video) {
            videoLimit_ = frames;
            video_.setByteLimit(static_cast<uint64_t>(frames));
        } else {
            audioLimit_ = frames;
            audio_.setByteLimit(static_cast<uint64_t>(frames));
        }
    }

private:
    // The format the loader reads back as 24-bit bitmap rows packed on the GPU.
    static constexpr int32_t kBgr24Bits = -24;

    std::shared_ptr<Media::FrameReadBack> videoReadBack(int32_t frame, int32_t format, bool copy) {
        const int32_t ahead = std::min<int64_t>(scene_.lastFrame, static_cast<int64_t>(frame) + videoLimit_ / 2);
        // The frame waited for is asked first: the loads run in order, and at
        // the start none of the frames ahead is asked yet.
        video_.preload(frame, videoLoader(frame, format, copy));
        for (int32_t next = frame + 1; next <= ahead; ++next) video_.preload(next, videoLoader(next, format, copy));
        return video_.get(frame, videoLoader(frame, format, copy));
    }

    std::function<void()> videoLoader(int32_t frame, int32_t format, bool copy) {
        return [this, frame, format, copy] {
            Render::RenderService* render = Render::RenderService::get();
            if (!render) return;
            Render::RenderVideoWorker& worker = render->video();
            worker.requestRenderingFrame(Render::kRenderExport, frame,
                                         [this, format, copy](int32_t rendered, Media::RenderBuffer& buffer,
                                                              Anchor::AnchorList*) {
                                             try {
                                                 video_.complete(rendered,
                                                                 format == kBgr24Bits
                                                                     ? buffer.submitBgr24Bits()
                                                                     : buffer.submitImageBuffer(format, copy),
                                                                 1);
                                             } catch (const std::exception& e) {
                                                 System::Log::error("Plugin::OutputService::renderVideo", "%s",
                                                                    e.what());
                                             }
                                         });
            worker.waitAll();
        };
    }

    std::function<void()> audioLoader(int32_t frame, int32_t sampleFormat) {
        return [this, frame, sampleFormat] {
            const auto first = [this](int64_t f) -> int64_t {
                if (scene_.rate == 0) return int64_t{0};
                return std::llround(static_cast<double>(scene_.audioRate) * static_cast<double>(f) * scene_.scale /
                                    scene_.rate);
            };
            const int64_t start = first(frame);
            const int32_t count = static_cast<int32_t>(std::max<int64_t>(first(frame + 1) - start, 0));
            std::shared_ptr<Media::RawAudioBuffer> block;
            if (Render::RenderService* render = Render::RenderService::get()) {
                block = renderFrameAudio(render->audio(), frame, count, sampleFormat);
            } else {
                if (!silenceLogged_.exchange(true))
                    System::Log::info("Plugin::OutputService::renderAudio", "no audio renderer: exporting silence");
                block = makeRawBlock(sampleFormat);
                block->sampleCount = count;
                block->data.allocMemory(static_cast<uint32_t>(count * block->blockAlign));
                if (count > 0) std::memset(block->data.data(), 0, block->data.size());
            }
            audio_.complete(frame, std::move(block), 1);
        };
    }

    // An empty stereo block in the writer's sample format (1: 16-bit PCM, else 32-bit float).
    static std::shared_ptr<Media::RawAudioBuffer> makeRawBlock(int32_t sampleFormat) {
        auto block = std::make_shared<Media::RawAudioBuffer>();
        const bool pcm = sampleFormat == Media::RawAudioBuffer::kFormatPcm;
        block->formatTag = pcm ? Media::RawAudioBuffer::kFormatPcm : Media::RawAudioBuffer::kFormatIeeeFloat;
        block->channels = 2;
        block->bitsPerSample = pcm ? 16 : 32;
        block->blockAlign = pcm ? 4 : 8;
        return block;
    }

    // The frame's mix from the audio render worker in the writer's sample
    // format; a mix that is not made (a failed render) stays empty, and the
    // writer fills it with silence.
    static std::shared_ptr<Media::RawAudioBuffer> renderFrameAudio(Render::RenderAudioWorker& worker, int32_t frame,
                                                                   int32_t count, int32_t sampleFormat) {
        std::shared_ptr<Media::RawAudioBuffer> block;
        worker.requestRenderingAudio(Render::kRenderExport, frame, [&](int32_t, Media::AudioBuffer& mix) {
            if (mix.samples != count) {
                System::Log::error("Plugin::OutputService::renderAudio", "frame %d: %d samples, %d expected", frame,
                                   mix.samples, count);
                return;
            }
            auto raw = makeRawBlock(sampleFormat);
            try {
                mix.convertTo(*raw);
                block = std::move(raw);
            } catch (const std::exception& e) {
                System::Log::error("Plugin::OutputService::renderAudio", "%s", e.what());
            }
        });
        worker.waitAll();
        return block;
    }

    System::PreLoadCache<int32_t, Media::FrameReadBack, IntHash> video_;
    System::PreLoadCache<int32_t, Media::RawAudioBuffer, IntHash> audio_;
    ExportScene scene_;
    std::atomic<int32_t> videoLimit_{1};
    std::atomic<int32_t> audioLimit_{1};
    static inline std::atomic<bool> silenceLogged_{false};
};

OutputService::Presenter OutputService::setPresenter(Presenter next) {
    Presenter previous = std::move(presenter);
    presenter = std::move(next);
    return previous;
}

const OutputService::Presenter& OutputService::currentPresenter() { return presenter; }

OutputService::OutputService() : caches_(std::make_unique<ExportCaches>()) {
    registerPlugin<AviFileSave>();
    registerPlugin<PngFileSave>();
    registerPlugin<JpgFileSave>();
    registerPluginFolder();
    if (Event::EventService* events = Event::EventService::get()) events->setOutputFileEnd([this] { outputFileEnd(); });
}

void OutputService::registerPluginFolder() {
    std::vector<System::File::FileEntry> libraries, older;
    try {
        // Libraries by their full paths; older plug-ins by their bare names, which their hosts look up.
        libraries = System::findFilesByPattern(System::FileName::getExpandedPath(L"%Plugin%/*.vou2"));
        older = System::File::getFileList(System::FileName::getExpandedPath(L"%Plugin%/*.vou"));
    } catch (const std::exception&) {
        // Logged where it was built; the built-in writers stay.
    }
    for (const System::File::FileEntry& entry : libraries)
        registerPlugin(typeid(ExternalOutputPlugin).name(),
                       [&] { return std::make_shared<ExternalOutputPlugin>(entry.name); });
    for (const System::File::FileEntry& entry : older)
        registerPlugin(typeid(OutputPipe32).name(), [&] { return std::make_shared<OutputPipe32>(entry.name); });
}

OutputService::~OutputService() {
    if (Event::EventService* events = Event::EventService::get()) events->setOutputFileEnd(nullptr);
    // A save still running is released from its waits and finishes before
    // the caches it reads go away.
    caches_->stop();
    worker_.stop();
    caches_.reset();
    progressTimer_.clear();
    current_.reset();
}

OutputPlugin* OutputService::registerPlugin(const char* typeName,
                                            const std::function<std::shared_ptr<OutputPlugin>()>& create) {
    OutputPlugin* added = nullptr;
    try {
        std::shared_ptr<OutputPlugin> plugin = create();
        if (!plugin) throw System::messageException("Plugin::OutputService::registerPlugin", "no plugin.");
        System::Log::info("Plugin::OutputService::registerPlugin", L"register output plugin [%ls]",
                          plugin->name.c_str());
        plugins_.push_back(plugin);
        added = plugin.get();
        plugin->initSetting(counter_++);
    } catch (const std::exception& e) {
        errorPresenter(L"failed to register output plugin. [" + System::utf8ToWide(typeName) + L"]\n\n" +
                       System::utf8ToWide(e.what()));
    }
    return added;
}

void OutputService::outputFile(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(plugins_.size()))
        throw System::messageException(kOutputFileScope, "not found output plugin.");
    if (isRunning()) return;
    OutputPlugin& plugin = *plugins_[static_cast<size_t>(index)];

    std::wstring path;
    const bool chosen = presenter.saveDialog ? presenter.saveDialog(path, plugin)
                                             : Edit::EditService::dialogs().saveFileDialog(path, plugin.filter.c_str());
    if (!chosen || path.empty()) return;
    const ExportScene scene = readScene();
    caches_->reset(scene);
    // Only what this export fails to read is reported at its end.
    if (InputService* input = InputService::get()) (void)input->takeUnreadable();
    std::shared_ptr<OutputFile> job = plugin.createOutputFile(path, scene, caches_.get());
    if (!job) return;
    System::Log::info(kOutputFileScope, L"export file start : %ls", job->outputPath.c_str());

    result_ = SaveResult::Written;
    saved_ = nullptr;
    {
        std::lock_guard lock(failureMutex_);
        failure_.clear();
        failurePosted_ = false;
    }
    worker_.addTask(0, [this, job] {
        try {
            result_ = job->save() ? SaveResult::Written : SaveResult::NotWritten;
        } catch (const std::exception& e) {
            result_ = SaveResult::Threw;
            auto posted = std::make_unique<std::runtime_error>(e.what());
            const bool shown = Event::postEventCommand(Event::EventCommandType::ShowException,
                                                       reinterpret_cast<intptr_t>(posted.get()));
            if (shown) (void)posted.release();
            std::lock_guard lock(failureMutex_);
            failure_ = e.what();
            failurePosted_ = shown;
        }
        saved_ = job.get();
        (void)Event::postEventCommand(Event::EventCommandType::OutputFileEnd, 0);
    });
    current_ = job;
    job->startTick = tickCount();
    if (presenter.setInput) presenter.setInput(false);
    showProgress();
    if (presenter.progress) progressTimer_.set(500, [this] { showProgress(); });
}

std::wstring OutputService::progressText(int32_t done, int32_t total, uint64_t elapsedMs) {
    const float ratio = total != 0 ? static_cast<float>(done) / static_cast<float>(total) : 0.0f;
    char text[512];
    if (elapsedMs >= 15000 && done >= 15) {
        const double remaining =
            static_cast<double>(total - done) * static_cast<double>(elapsedMs) / (static_cast<double>(done) * 1000.0);
        const int64_t seconds = static_cast<int64_t>(std::fabs(remaining));
        char time[64];
        std::snprintf(time, sizeof time, "%s%02lld:%02lld:%02lld", remaining < 0 ? "-" : "",
                      static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                      static_cast<long long>(seconds % 60));
        const float fps = static_cast<float>(static_cast<double>(done) * 1000.0 / static_cast<double>(elapsedMs));
        std::snprintf(text, sizeof text, "%3.2f%% (%d/%d) | RemainingTime %s (%1.2ffps)", ratio * 100.0f, done, total,
                      time, fps);
    } else {
        std::snprintf(text, sizeof text, "%3.2f%% (%d/%d)", ratio * 100.0f, done, total);
    }
    return System::utf8ToWide(text);
}

void OutputService::showProgress() {
    if (!current_) return;
    const int32_t done = current_->framesDone.load();
    const int32_t total = current_->framesTotal.load();
    const std::wstring text = progressText(done, total, tickCount() - current_->startTick);
    const float ratio = total != 0 ? static_cast<float>(done) / static_cast<float>(total) : 0.0f;
    if (presenter.progress)
        presenter.progress(translated(Translate::TranslateService::Table::Message, L"ファイル出力中"), text, ratio);
}

bool OutputService::abortRequest() {
    if (!current_ || current_->abort.load()) return false;
    if (Edit::EditService::dialogs().askOkCancel(
            translated(Translate::TranslateService::Table::Message, L"ファイル出力を中断しますか？")))
        current_->abort = true;
    return false;
}

void OutputService::waitExport() {
    if (!current_) return;
    worker_.waitAll();
    outputFileEnd();
}

void OutputService::outputFileEnd() {
    if (!current_ || saved_.load() != current_.get()) return;
    worker_.waitAll();
    if (Render::RenderService* render = Render::RenderService::get()) render->video().waitAll();
    caches_->clear();
    progressTimer_.clear();
    if (presenter.progress) presenter.progress(L"", L"", 0.0f);
    if (presenter.setInput) presenter.setInput(true);

    std::string failure;
    bool posted = false;
    {
        std::lock_guard lock(failureMutex_);
        failure = failure_;
        posted = failurePosted_;
    }
    lastSucceeded_ = false;
    lastFailure_.clear();
    InputService* input = InputService::get();
    const std::vector<std::wstring> unreadable = input ? input->takeUnreadable() : std::vector<std::wstring>{};
    if (current_->abort.load()) {
        System::Log::info(kOutputFileEndScope, "export file cancel");
    } else if (result_ != SaveResult::Written) {
        // A save that threw or wrote nothing has not exported anything: say so
        // instead of reporting the file complete.
        System::Log::error(kOutputFileEndScope, L"export file failed : %ls", current_->outputPath.c_str());
        lastFailure_ = result_ == SaveResult::Threw ? failure : "no frame could be rendered";
        if (result_ == SaveResult::Threw && !posted)
            System::presentException(std::runtime_error(failure));
        else if (result_ == SaveResult::NotWritten)
            Edit::EditService::dialogs().showError(L"export file failed.\n\n" + current_->outputPath);
    } else if (!unreadable.empty()) {
        // The file is written, but with black frames where these media were:
        // not a complete export.
        std::wstring list;
        for (const std::wstring& path : unreadable) list += L"\n" + path;
        System::Log::error(kOutputFileEndScope, L"export file incomplete, media could not be read : %ls%ls",
                           current_->outputPath.c_str(), list.c_str());
        lastFailure_ = System::wideToUtf8(L"media could not be read:" + list);
        Edit::EditService::dialogs().showError(L"export file incomplete: media could not be read.\n" + list +
                                               L"\n\n" + current_->outputPath);
    } else {
        lastSucceeded_ = true;
        if (current_->notify && presenter.notify)
            presenter.notify(L"Velmo Kirta2",
                             translated(Translate::TranslateService::Table::Message, L"ファイル出力が完了しました"));
        System::Log::info(kOutputFileEndScope, "export file complete");
    }
    current_.reset();
    saved_ = nullptr;
}

}  // namespace Plugin
