#include "plugin/ExternalOutputPlugin.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "core/Exception.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "media/image/BitmapInfoHeader.h"
#include "media/image/ImageBuffer.h"
#include "plugin/host/PluginFormat.h"
#include "render/cache/CacheService.h"

namespace Plugin {
namespace {

constexpr const char* kLoadScope = "Plugin::ExternalOutputPlugin::ExternalOutputPlugin";
constexpr const char* kVideoScope = "Plugin::ExternalOutputFile::getVideo";
constexpr const char* kAudioScope = "Plugin::ExternalOutputFile::getAudio";

// The export being saved: the callbacks carry no context. One export runs at a time.
std::atomic<ExternalOutputFile*> currentJob{nullptr};

}  // namespace

ExternalOutputPlugin::ExternalOutputPlugin(const std::wstring& path) {
    System::Log::info(kLoadScope, L"LoadLibrary: %ls", path.c_str());
    if (Platform::failed(library_.open(System::wideToUtf8(path)))) {
        System::Log::error(kLoadScope, "%s", library_.errorText().c_str());
        throw System::lastErrorException("LoadLibrary", kLoadScope);
    }
    using GetTable = OutputPluginTable* (*)();
    auto getTable = reinterpret_cast<GetTable>(library_.symbol(OUTPUT_PLUGIN_TABLE_FUNCTION));
    if (getTable == nullptr) throw System::lastErrorException("GetProcAddress", kLoadScope);
    const OutputPluginTable* table =
        System::guardedCall(OUTPUT_PLUGIN_TABLE_FUNCTION, kLoadScope, [&] { return getTable(); });
    if (table == nullptr) throw System::messageException(kLoadScope, "no plugin table.");
    std::memcpy(&table_, table, sizeof table_);
    name = pluginText(table_.name);
    information = pluginText(table_.information);
    filter = pluginFilter(table_.filefilter);
    flags = table_.flag & (kVideo | kAudio);
    if (table_.func_config != nullptr) flags |= kSetting;
}

ExternalOutputPlugin::~ExternalOutputPlugin() = default;

std::shared_ptr<OutputFile> ExternalOutputPlugin::createOutputFile(const std::wstring& path, const ExportScene& scene,
                                                                   ExportSource* source) {
    return std::make_shared<ExternalOutputFile>(path, scene, source, table_);
}

void ExternalOutputPlugin::showSetting(void* ownerWindow) {
    if (table_.func_config == nullptr) return;
    void* instance = module();
    (void)System::guardedCall("table.func_config", "Plugin::ExternalOutputPlugin::showSetting",
                              [&] { return table_.func_config(ownerWindow, instance); });
}

std::wstring ExternalOutputPlugin::getSettingText() const {
    if (table_.func_get_config_text == nullptr) return {};
    const char16_t* text = System::guardedCall("table.func_get_config_text",
                                               "Plugin::ExternalOutputPlugin::getSettingText",
                                               [&] { return table_.func_get_config_text(); });
    return pluginText(text);
}

ExternalOutputFile::ExternalOutputFile(std::wstring path, const ExportScene& scene, ExportSource* source,
                                       const OutputPluginTable& table)
    : OutputFile(std::move(path), true, scene, source), table_(table) {}

bool ExternalOutputFile::save() {
    if (table_.func_output == nullptr) return false;
    currentJob = this;
    setVideoBufferSize(4);
    setAudioBufferSize(4);
    const std::u16string savefile = System::wideToUtf16(outputPath);
    OUTPUT_INFO info{};
    info.flag = 3;
    info.w = scene.width;
    info.h = scene.height;
    info.rate = static_cast<int32_t>(scene.rate);
    info.scale = static_cast<int32_t>(scene.scale);
    info.n = frameCount;
    info.audio_rate = scene.audioRate;
    info.audio_ch = 2;
    info.audio_n = static_cast<int32_t>(audioCount);
    info.savefile = savefile.c_str();
    info.func_get_video = videoCallback;
    info.func_get_audio = audioCallback;
    info.func_is_abort = abortCallback;
    info.func_rest_time_disp = progressCallback;
    info.func_set_buffer_size = bufferSizeCallback;
    struct Done {
        ~Done() { currentJob = nullptr; }  // a library calling back afterwards gets nothing
    } done;
    return System::guardedCall("table.func_output", "Plugin::ExternalOutputFile::save",
                               [&] { return table_.func_output(&info); });
}

void* ExternalOutputFile::videoCallback(int32_t frame, uint32_t code) {
    ExternalOutputFile* job = currentJob.load();
    static System::AlignedBuffer idle;  // for a library that calls when no export runs
    if (job == nullptr) {
        idle.allocMemory(64);
        std::memset(idle.data(), 0, 64);
        return idle.data();
    }
    Cache::CacheService::VideoScratch* shared = Cache::CacheService::outputVideoScratch();
    std::unique_lock scratchLock = shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
    System::AlignedBuffer& scratch = shared ? shared->buffer : job->videoBuffer_;
    const int32_t format = pluginRequestFormat(code);
    const auto width = static_cast<uint32_t>(std::max(job->scene.width, 1));
    const auto height = static_cast<uint32_t>(std::max(job->scene.height, 1));
    const auto zeros = [&](int32_t sized) {
        Media::BitmapInfoHeader header{};
        try {
            Media::ImageBuffer::getBitmapInfoHeader(sized, width, height, header);
            scratch.allocMemory(std::max<uint32_t>(header.biSizeImage, 1));
        } catch (const std::exception&) {
            scratch.allocMemory(1);
        }
        std::memset(scratch.data(), 0, scratch.size());
        return scratch.data();
    };
    if (format == 0) return zeros(pluginRequestFormat(0));
    try {
        Media::BitmapInfoHeader header{};
        Media::ImageBuffer::getBitmapInfoHeader(format, width, height, header);
        const auto image = job->getVideo(job->startFrame + frame, format, true);
        if (!image) return zeros(format);
        scratch.allocMemory(header.biSizeImage);
        // Rows are padded to 4 bytes: the padding is zero, never what the buffer held before.
        std::memset(scratch.data(), 0, header.biSizeImage);
        image->copyToBitmap(header, scratch.data());
        return scratch.data();
    } catch (const std::exception& e) {
        System::Log::error(kVideoScope, "%s", e.what());
        return zeros(format);
    }
}

void* ExternalOutputFile::audioCallback(int32_t start, int32_t length, int32_t* delivered, uint32_t format) {
    if (delivered != nullptr) *delivered = 0;
    ExternalOutputFile* job = currentJob.load();
    static System::AlignedBuffer idle;
    if (job == nullptr) {
        idle.allocMemory(64);
        std::memset(idle.data(), 0, 64);
        return idle.data();
    }
    Cache::CacheService::AudioScratch* shared = Cache::CacheService::outputAudioScratch();
    std::unique_lock scratchLock = shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
    Media::RawAudioBuffer& raw = shared ? shared->block : job->audioBlock_;
    if ((format != Media::RawAudioBuffer::kFormatPcm && format != Media::RawAudioBuffer::kFormatIeeeFloat) ||
        length <= 0) {
        raw.sampleCount = 0;
        raw.data.allocMemory(0);
    } else {
        try {
            job->getAudio(raw, job->audioStart + start, static_cast<uint32_t>(length), static_cast<int32_t>(format));
            if (delivered != nullptr) *delivered = raw.sampleCount;
        } catch (const std::exception& e) {
            System::Log::error(kAudioScope, "%s", e.what());
            raw.sampleCount = 0;
            raw.data.allocMemory(0);
        }
    }
    if (raw.data.data() == nullptr) raw.data.allocMemory(32);  // never a null pointer to the library
    return raw.data.data();
}

int32_t ExternalOutputFile::abortCallback() {
    ExternalOutputFile* job = currentJob.load();
    return job != nullptr && job->abort.load() ? 1 : 0;
}

void ExternalOutputFile::progressCallback(int32_t done, int32_t total) {
    if (ExternalOutputFile* job = currentJob.load()) {
        job->framesDone = done;
        job->framesTotal = total;
    }
}

void ExternalOutputFile::bufferSizeCallback(int32_t videoFrames, int32_t audioFrames) {
    if (ExternalOutputFile* job = currentJob.load()) {
        job->setVideoBufferSize(videoFrames);
        job->setAudioBufferSize(audioFrames);
    }
}

}  // namespace Plugin
