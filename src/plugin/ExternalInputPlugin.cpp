#include "plugin/ExternalInputPlugin.h"

#include <cstdlib>
#include <cstring>

#include "core/Exception.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/image/BitmapInfoHeader.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "plugin/PluginAudioBlock.h"
#include "plugin/host/PluginFormat.h"
#include "render/cache/CacheService.h"

namespace Plugin {
namespace {

constexpr const char* kLoadScope = "Plugin::ExternalInputPlugin::ExternalInputPlugin";
constexpr const char* kOpenScope = "Plugin::ExternalInputPlugin::ExternalInputFile::open";
constexpr const char* kReadVideoScope = "Plugin::ExternalInputPlugin::ExternalInputFile::readVideo";
constexpr const char* kReadAudioScope = "Plugin::ExternalInputPlugin::ExternalInputFile::readAudio";
constexpr const char* kCloseScope = "Plugin::ExternalInputPlugin::ExternalInputFile::~ExternalInputFile";
constexpr const char* kSettingScope = "Plugin::ExternalInputPlugin::showSetting";

// Frames larger than this on a side are refused rather than allocated.
constexpr int32_t kMaxSide = 16384;

}  // namespace

ExternalInputPlugin::ExternalInputPlugin(const std::wstring& path) {
    System::Log::info(kLoadScope, L"LoadLibrary: %ls", path.c_str());
    if (Platform::failed(library_.open(System::wideToUtf8(path)))) {
        System::Log::error(kLoadScope, "%s", library_.errorText().c_str());
        throw System::lastErrorException("LoadLibrary", kLoadScope);
    }
    using GetTable = InputPluginTable* (*)();
    auto getTable = reinterpret_cast<GetTable>(library_.symbol(INPUT_PLUGIN_TABLE_FUNCTION));
    if (getTable == nullptr) throw System::lastErrorException("GetProcAddress", kLoadScope);
    const InputPluginTable* table =
        System::guardedCall(INPUT_PLUGIN_TABLE_FUNCTION, kLoadScope, [&] { return getTable(); });
    if (table == nullptr) throw System::messageException(kLoadScope, "no plugin table.");
    std::memcpy(&table_, table, sizeof table_);
    name = pluginText(table_.name);
    information = pluginText(table_.information);
    filter = pluginFilter(table_.filefilter);
    flags = 0;
    if (table_.flag & INPUT_PLUGIN_FLAG_VIDEO) flags |= kVideo;
    if (table_.flag & INPUT_PLUGIN_FLAG_AUDIO) flags |= kAudio;
    if (table_.func_config != nullptr) flags |= kSetting;
}

ExternalInputPlugin::~ExternalInputPlugin() = default;

std::shared_ptr<InputFile> ExternalInputPlugin::open(const std::wstring& path) {
    if (table_.func_open == nullptr || table_.func_info_get == nullptr) return nullptr;
    auto file = std::make_shared<ExternalInputFile>(&table_, library_.nativeHandle());
    if (!file->open(path)) return nullptr;
    return file;
}

void ExternalInputPlugin::showSetting(void* ownerWindow) {
    if (table_.func_config == nullptr) return;
    void* module = library_.nativeHandle();
    (void)System::guardedCall("table.func_config", kSettingScope,
                              [&] { return table_.func_config(ownerWindow, module); });
}

ExternalInputPlugin::ExternalInputFile::ExternalInputFile(const InputPluginTable* table, void*) : table_(table) {}

bool ExternalInputPlugin::ExternalInputFile::open(const std::wstring& path) {
    const std::u16string name = System::wideToUtf16(path);
    handle_ = System::guardedCall("table.func_open", kOpenScope, [&] { return table_->func_open(name.c_str()); });
    if (handle_ == nullptr) return false;
    INPUT_INFO record{};
    const bool described =
        System::guardedCall("table.func_info_get", kOpenScope, [&] { return table_->func_info_get(handle_, &record); });
    if (!described) return false;
    info = Info{};
    if (record.flag & kVideo) {
        const PluginBitmapInfoHeader* header = record.format;
        if (header == nullptr) return false;
        const int32_t format = pluginVideoFormat(header->biCompression, header->biBitCount);
        const int32_t width = header->biWidth;
        const int32_t height = std::abs(header->biHeight);
        if (format == 0 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
        info.flags |= kVideo;
        info.frameCount = record.n;
        info.rate = static_cast<uint32_t>(record.rate);
        info.scale = static_cast<uint32_t>(record.scale);
        info.videoFormat = format;
        info.width = width;
        info.height = height;
    }
    if (record.flag & kAudio) {
        const PluginWaveFormat* wave = record.audio_format;
        if (wave == nullptr) return false;
        if (!isBlockAudioFormat(wave->wFormatTag, wave->wBitsPerSample, wave->nChannels)) return false;
        if (wave->nSamplesPerSec == 0 || wave->nSamplesPerSec > 768000) return false;
        info.flags |= kAudio;
        info.audioSampleCount = record.audio_n;
        info.audioFormatTag = wave->wFormatTag;
        info.sampleRate = static_cast<int32_t>(wave->nSamplesPerSec);
        info.bitsPerSample = wave->wBitsPerSample;
        info.channels = wave->nChannels;
    }
    return true;
}

ExternalInputPlugin::ExternalInputFile::~ExternalInputFile() {
    if (handle_ == nullptr || table_->func_close == nullptr) return;
    try {
        (void)System::guardedCall("table.func_close", kCloseScope, [&] { return table_->func_close(handle_); });
    } catch (const std::exception&) {
        // Logged where it was built; a destructor cannot pass it on.
    }
}

std::shared_ptr<Media::ImageBuffer> ExternalInputPlugin::ExternalInputFile::readVideo(int32_t frame) {
    if (!(info.flags & kVideo) || table_->func_read_video == nullptr) return nullptr;
    std::unique_lock fileLock = (table_->flag & INPUT_PLUGIN_FLAG_CONCURRENT) ? std::unique_lock<std::mutex>()
                                                                             : std::unique_lock(mutex_);
    Cache::CacheService::VideoScratch* shared = Cache::CacheService::videoScratch();
    std::unique_lock scratchLock = shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
    System::AlignedBuffer& scratch = shared ? shared->buffer : videoBuffer_;
    Media::BitmapInfoHeader header{};
    Media::ImageBuffer::getBitmapInfoHeader(info.videoFormat, static_cast<uint32_t>(info.width),
                                            static_cast<uint32_t>(info.height), header);
    scratch.allocMemory(header.biSizeImage);
    void* buffer = scratch.data();
    (void)System::guardedCall("table.func_read_video", kReadVideoScope,
                              [&] { return table_->func_read_video(handle_, frame, buffer); });
    auto image = Media::ImageBuffer::make(info.videoFormat, static_cast<uint32_t>(info.width),
                                          static_cast<uint32_t>(info.height));
    image->copyFromBitmap(header, buffer);
    return image;
}

std::shared_ptr<Media::AudioBlockBuffer> ExternalInputPlugin::ExternalInputFile::readAudio(int32_t block) {
    if (!(info.flags & kAudio) || table_->func_read_audio == nullptr) return nullptr;
    std::unique_lock fileLock = (table_->flag & INPUT_PLUGIN_FLAG_CONCURRENT) ? std::unique_lock<std::mutex>()
                                                                             : std::unique_lock(mutex_);
    Cache::CacheService::AudioScratch* shared = Cache::CacheService::audioScratch();
    std::unique_lock scratchLock = shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
    Media::RawAudioBuffer& raw = shared ? shared->block : audioBlock_;
    prepareSilentBlock(raw, info.audioFormatTag, info.bitsPerSample, info.channels, info.sampleRate);
    if (block >= 0) {
        const auto start = static_cast<uint32_t>(static_cast<int64_t>(block) * info.sampleRate);
        const auto length = static_cast<uint32_t>(info.sampleRate);
        void* buffer = raw.data.data();
        (void)System::guardedCall("table.func_read_audio", kReadAudioScope,
                                  [&] { return table_->func_read_audio(handle_, start, length, buffer); });
    }
    return makeAudioBlock(raw);
}

}  // namespace Plugin
