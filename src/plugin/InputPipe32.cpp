#include "plugin/InputPipe32.h"

#include <cstring>

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/image/BitmapInfoHeader.h"
#include "media/image/ImageBuffer.h"
#include "plugin/HostProcess.h"
#include "plugin/PluginAudioBlock.h"
#include "plugin/host/PluginFormat.h"
#include "render/cache/CacheService.h"

namespace Plugin {
namespace {

constexpr const char* kLoadScope = "Plugin::InputPipe32Process::ControlSection::loadPlugin";
constexpr const char* kControlScope = "Plugin::InputPipe32Process::ControlSection";
constexpr int32_t kMaxSide = 16384;

void logFailure(const char* text) { System::Log::error("Exception", "%s", text); }

}  // namespace

InputPipe32::InputPipe32(const std::wstring& fileName) : fileName_(System::FileName::getExpandedPath(fileName.c_str())) {
    std::lock_guard lock(mutex_);
    try {
        HostProcess::start(process_, pipe_, L"%AppInstall%/pipe32vin");
        talk(kLoadTimeoutMs, [&](System::Pipe& pipe) {
            pipe.writeInt(kLoadPlugin);
            pipe.writeString(fileName_);
            readDescription(pipe, flags, name, filter, information);
        });
    } catch (const std::exception&) {
        stopHost();
        throw System::messageException(kLoadScope, "load plugin failed.", System::wideToUtf8(fileName_).c_str());
    }
}

InputPipe32::~InputPipe32() {
    std::lock_guard lock(mutex_);
    HostProcess::quit(process_, pipe_);
}

void InputPipe32::stopHost() { HostProcess::stop(process_, pipe_, kControlScope, fileName_); }

template <class F>
void InputPipe32::talk(uint32_t timeoutMs, F&& conversation) {
    if (!pipe_) throw System::messageException(kControlScope, "pipe process is not running.",
                                               System::wideToUtf8(fileName_).c_str());
    pipe_->setKeepWaiting(System::Pipe::timeout(timeoutMs));
    try {
        conversation(*pipe_);
    } catch (...) {
        // What is left of the reply cannot be told from the next one: the host goes.
        stopHost();
        throw;
    }
}

void InputPipe32::readDescription(System::Pipe& pipe, int32_t& flags, std::wstring& name, std::wstring& filter,
                                  std::wstring& information) {
    const int32_t bits = pipe.readInt();
    std::wstring readName, readFilter, readInformation;
    pipe.readString(readName);
    pipe.readString(readFilter);
    pipe.readString(readInformation);
    flags = bits & (kVideo | kAudio | kSetting);
    name = std::move(readName);
    // The filter's pairs keep their NULs; the list ends with one more.
    filter = std::move(readFilter);
    if (filter.empty() || filter.back() != L'\0') filter.push_back(L'\0');
    filter.push_back(L'\0');
    information = std::move(readInformation);
}

void InputPipe32::readFileInfo(System::Pipe& pipe, InputFile::Info& info) {
    info = InputFile::Info{};
    info.flags = pipe.readInt() & (InputFile::kVideo | InputFile::kAudio);
    if (info.flags & InputFile::kVideo) {
        info.frameCount = pipe.readInt();
        info.videoFormat = pipe.readInt();
        info.width = pipe.readInt();
        info.height = pipe.readInt();
        info.rate = static_cast<uint32_t>(pipe.readInt());
        info.scale = static_cast<uint32_t>(pipe.readInt());
    }
    if (info.flags & InputFile::kAudio) {
        info.audioSampleCount = pipe.readInt64();
        info.audioFormatTag = pipe.readInt();
        info.bitsPerSample = pipe.readInt();
        info.channels = pipe.readInt();
        info.sampleRate = pipe.readInt();
    }
}

namespace {

// What a host describes must be something the readers can make: a known
// pixel format at a sane size, and sound the block conversion takes.
bool usable(const InputFile::Info& info) {
    if (info.flags & InputFile::kVideo) {
        Media::BitmapInfoHeader header{};
        if (info.width <= 0 || info.height <= 0 || info.width > kMaxSide || info.height > kMaxSide) return false;
        try {
            Media::ImageBuffer::getBitmapInfoHeader(info.videoFormat, static_cast<uint32_t>(info.width),
                                                    static_cast<uint32_t>(info.height), header);
        } catch (const std::exception&) {
            return false;
        }
    }
    if (info.flags & InputFile::kAudio) {
        if (!isBlockAudioFormat(info.audioFormatTag, info.bitsPerSample, info.channels)) return false;
        if (info.sampleRate <= 0 || info.sampleRate > 768000) return false;
    }
    return true;
}

}  // namespace

std::shared_ptr<InputFile> InputPipe32::open(const std::wstring& path) {
    // The file is let go outside the host's mutex: its destruction closes its handle under it.
    std::shared_ptr<InputPipe32File> file;
    {
        std::lock_guard lock(mutex_);
        try {
            talk(kOpenTimeoutMs, [&](System::Pipe& pipe) {
                pipe.writeInt(kOpen);
                pipe.writeString(path);
                const int32_t handle = pipe.readInt();
                if (handle == 0) return;
                InputFile::Info info;
                readFileInfo(pipe, info);
                file = std::make_shared<InputPipe32File>(*this, handle);
                file->info = info;
            });
        } catch (const std::exception&) {
            logFailure("file load failed.");
            return nullptr;
        }
    }
    if (file && !usable(file->info)) {
        System::Log::error(kControlScope, L"unusable media format from the host [%ls]", path.c_str());
        return nullptr;
    }
    return file;
}

InputPipe32::InputPipe32File::~InputPipe32File() {
    std::lock_guard lock(plugin_.mutex_);
    try {
        plugin_.talk(kReadTimeoutMs, [&](System::Pipe& pipe) {
            pipe.writeInt(kClose);
            pipe.writeInt(handle_);
        });
    } catch (const std::exception&) {
        logFailure("file close failed.");
    }
}

std::shared_ptr<Media::ImageBuffer> InputPipe32::InputPipe32File::readVideo(int32_t frame) {
    std::lock_guard lock(plugin_.mutex_);
    if (!(info.flags & kVideo)) return nullptr;
    try {
        std::shared_ptr<Media::ImageBuffer> image;
        plugin_.talk(kReadTimeoutMs, [&](System::Pipe& pipe) {
            pipe.writeInt(kReadVideo);
            pipe.writeInt(handle_);
            pipe.writeInt(frame);
            Cache::CacheService::VideoScratch* shared = Cache::CacheService::videoScratch();
            std::unique_lock scratchLock = shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
            System::AlignedBuffer& scratch = shared ? shared->buffer : plugin_.videoBuffer_;
            Media::BitmapInfoHeader header{};
            Media::ImageBuffer::getBitmapInfoHeader(info.videoFormat, static_cast<uint32_t>(info.width),
                                                    static_cast<uint32_t>(info.height), header);
            scratch.allocMemory(header.biSizeImage);
            pipe.writeInt(static_cast<int32_t>(header.biSizeImage));
            const uint32_t got = pipe.readBlock(scratch.data(), header.biSizeImage);
            // A short frame is padded with black, never with what the buffer held before.
            if (got < header.biSizeImage) std::memset(scratch.data() + got, 0, header.biSizeImage - got);
            image = Media::ImageBuffer::make(info.videoFormat, static_cast<uint32_t>(info.width),
                                             static_cast<uint32_t>(info.height));
            image->copyFromBitmap(header, scratch.data());
        });
        return image;
    } catch (const std::exception&) {
        logFailure("read video failed.");
        return nullptr;
    }
}

std::shared_ptr<Media::AudioBlockBuffer> InputPipe32::InputPipe32File::readAudio(int32_t block) {
    std::lock_guard lock(plugin_.mutex_);
    if (!(info.flags & kAudio)) return nullptr;
    try {
        std::shared_ptr<Media::AudioBlockBuffer> result;
        plugin_.talk(kReadTimeoutMs, [&](System::Pipe& pipe) {
            pipe.writeInt(kReadAudio);
            pipe.writeInt(handle_);
            pipe.writeInt(static_cast<int32_t>(static_cast<int64_t>(block) * info.sampleRate));
            pipe.writeInt(info.sampleRate);
            Cache::CacheService::AudioScratch* shared = Cache::CacheService::audioScratch();
            std::unique_lock scratchLock = shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
            Media::RawAudioBuffer& raw = shared ? shared->block : plugin_.audioBlock_;
            const uint32_t bytes = prepareSilentBlock(raw, info.audioFormatTag, info.bitsPerSample, info.channels, info.sampleRate);
            pipe.writeInt(static_cast<int32_t>(bytes));
            (void)pipe.readBlock(raw.data.data(), bytes);
            result = makeAudioBlock(raw);
        });
        return result;
    } catch (const std::exception&) {
        logFailure("read audio failed.");
        return nullptr;
    }
}

void InputPipe32::showSetting(void* ownerWindow) {
    std::lock_guard lock(mutex_);
    if (!(flags & kSetting)) return;
    try {
        talk(kReadTimeoutMs, [&](System::Pipe& pipe) {
            pipe.writeInt(kConfig);
            pipe.writeInt(static_cast<int32_t>(reinterpret_cast<uintptr_t>(ownerWindow)));
            pipe.writeInt(process_.mutexHandle());
            (void)pipe.readInt();
        });
        process_.waitMutexProcessMessage(static_cast<Platform::window::WindowHandle>(ownerWindow));
    } catch (const std::exception&) {
        logFailure("show config failed.");
    }
}

}  // namespace Plugin
