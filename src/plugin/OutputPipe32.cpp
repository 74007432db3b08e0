#include "plugin/OutputPipe32.h"

#include <chrono>
#include <cstring>
#include <optional>

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/image/BitmapInfoHeader.h"
#include "media/image/ImageBuffer.h"
#include "plugin/HostProcess.h"
#include "plugin/InputPipe32.h"
#include "render/cache/CacheService.h"

namespace Plugin {
namespace {

constexpr const char* kLoadScope = "Plugin::OutputPipe32Process::ControlSection::loadPlugin";
constexpr const char* kControlScope = "Plugin::OutputPipe32Process::ControlSection";
constexpr const char* kProcessScope = "Plugin::OutputPipe32Process::ControlSection::processOutputFile";

}  // namespace

OutputPipe32::OutputPipe32(const std::wstring& fileName)
    : fileName_(System::FileName::getExpandedPath(fileName.c_str())) {
    std::lock_guard lock(mutex_);
    try {
        HostProcess::start(process_, pipe_, L"%AppInstall%/pipe32vou");
        pipe_->setKeepWaiting(System::Pipe::timeout(kLoadTimeoutMs));
        pipe_->writeInt(kLoadPlugin);
        pipe_->writeString(fileName_);
        InputPipe32::readDescription(*pipe_, flags, name, filter, information);
    } catch (const std::exception&) {
        stopHost();
        throw System::messageException(kLoadScope, "load plugin failed.", System::wideToUtf8(fileName_).c_str());
    }
}

OutputPipe32::~OutputPipe32() {
    std::lock_guard lock(mutex_);
    HostProcess::quit(process_, pipe_);
}

void OutputPipe32::stopHost() { HostProcess::stop(process_, pipe_, kControlScope, fileName_); }

std::shared_ptr<OutputFile> OutputPipe32::createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                           ExportSource* source) {
    return std::make_shared<OutputPipe32File>(path, scene, source, *this);
}

void OutputPipe32::showSetting(void* ownerWindow) {
    std::lock_guard lock(mutex_);
    if (!(flags & kSetting)) return;
    try {
        if (!pipe_) throw System::messageException(kControlScope, "pipe process is not running.");
        pipe_->setKeepWaiting(System::Pipe::timeout(kLoadTimeoutMs));
        pipe_->writeInt(kConfig);
        pipe_->writeInt(static_cast<int32_t>(reinterpret_cast<uintptr_t>(ownerWindow)));
        pipe_->writeInt(process_.mutexHandle());
        (void)pipe_->readInt();
        process_.waitMutexProcessMessage(static_cast<Platform::window::WindowHandle>(ownerWindow));
    } catch (const std::exception&) {
        System::Log::error("Exception", "show config failed.");
    }
}

bool OutputPipe32File::save() {
    setVideoBufferSize(4);
    setAudioBufferSize(4);
    return plugin_.processOutputFile(*this);
}

bool OutputPipe32::processOutputFile(OutputPipe32File& job) {
    std::lock_guard lock(mutex_);
    try {
        if (!pipe_) throw System::messageException(kControlScope, "pipe process is not running.");
        System::Pipe& pipe = *pipe_;
        // The host may work as long as it likes between requests; once the
        // user has asked to abort it has a while to come back and hear it.
        auto abortSeen = std::make_shared<std::optional<std::chrono::steady_clock::time_point>>();
        pipe.setKeepWaiting([&job, abortSeen](uint64_t) {
            if (!job.abort.load()) return true;
            const auto now = std::chrono::steady_clock::now();
            if (!*abortSeen) *abortSeen = now;
            return now - **abortSeen < std::chrono::milliseconds(kAbortGraceMs);
        });
        pipe.writeInt(kOutput);
        pipe.writeString(job.outputPath);
        pipe.writeInt(job.scene.width);
        pipe.writeInt(job.scene.height);
        pipe.writeInt(static_cast<int32_t>(job.scene.rate));
        pipe.writeInt(static_cast<int32_t>(job.scene.scale));
        pipe.writeInt(job.frameCount);
        pipe.writeInt(job.scene.audioRate);
        pipe.writeInt(static_cast<int32_t>(job.audioCount));
        for (;;) {
            const int32_t request = pipe.readInt();
            switch (request) {
            case kDone: return pipe.readInt() != 0;
            case kVideo: {
                const int32_t frame = pipe.readInt();
                const int32_t format = pipe.readInt();
                std::shared_ptr<Media::ImageBuffer> image;
                Media::BitmapInfoHeader header{};
                if (format != 0) {
                    try {
                        image = job.getVideo(job.startFrame + frame, format, true);
                        if (image) Media::ImageBuffer::getBitmapInfoHeader(format, image->width, image->height, header);
                    } catch (const std::exception&) {
                        image.reset();  // logged where it was built; answered as not served
                    }
                }
                if (!image) {
                    pipe.writeInt(0);
                    pipe.writeBlock(nullptr, 0);
                    break;
                }
                Cache::CacheService::VideoScratch* shared = Cache::CacheService::outputVideoScratch();
                std::unique_lock scratchLock =
                    shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
                System::AlignedBuffer local;
                System::AlignedBuffer& scratch = shared ? shared->buffer : local;
                scratch.allocMemory(header.biSizeImage);
                // Rows are padded to 4 bytes: the padding is zero, never what the buffer held before.
                std::memset(scratch.data(), 0, header.biSizeImage);
                image->copyToBitmap(header, scratch.data());
                pipe.writeInt(static_cast<int32_t>(header.biSizeImage));
                pipe.writeBlock(scratch.data(), header.biSizeImage);
                break;
            }
            case kAudio: {
                const int32_t start = pipe.readInt();
                const int32_t count = pipe.readInt();
                Cache::CacheService::AudioScratch* shared = Cache::CacheService::outputAudioScratch();
                std::unique_lock scratchLock =
                    shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
                Media::RawAudioBuffer local;
                Media::RawAudioBuffer& raw = shared ? shared->block : local;
                uint32_t bytes = 0;
                int32_t samples = 0;
                if (count > 0) {
                    try {
                        job.getAudio(raw, job.audioStart + start, static_cast<uint32_t>(count),
                                     Media::RawAudioBuffer::kFormatPcm);
                        samples = raw.sampleCount;
                        bytes = static_cast<uint32_t>(samples) * 4;
                    } catch (const std::exception&) {
                        samples = 0;
                        bytes = 0;
                    }
                }
                pipe.writeInt(samples);
                pipe.writeInt(static_cast<int32_t>(bytes));
                pipe.writeBlock(raw.data.data(), bytes);
                break;
            }
            case kAbort: pipe.writeInt(job.abort.load() ? 1 : 0); break;
            case kProgress: {
                const int32_t done = pipe.readInt();
                const int32_t total = pipe.readInt();
                job.framesDone = done;
                job.framesTotal = total;
                break;
            }
            default:
                throw System::messageException(kProcessScope, "invalid pipe command.",
                                               std::to_string(request).c_str());
            }
        }
    } catch (const std::exception&) {
        System::Log::error("Exception", "output file failed.");
        stopHost();
        return false;
    }
}

}  // namespace Plugin
