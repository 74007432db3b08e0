#include "plugin/MediaFileReader.h"

#include "media/audio/AudioBlockBuffer.h"
#include "media/decode/MediaSourceReader.h"
#include "media/image/ImageBuffer.h"
#include "plugin/InputService.h"

namespace Plugin {

using namespace std::string_literals;

MediaFileReader::MediaFileReader() {
    name = L"Media Foundation file reader";
    // AVI too, after the AVI reader: the streams whose codec that one cannot
    // open come here.
    filter = L"Mp4File (*.mp4)\0*.mp4\0MpgFile (*.mpg)\0*.mpg\0WavFile (*.wav)\0*.wav\0Mp3File (*.mp3)\0*.mp3\0"
             L"AviFile (*.avi)\0*.avi\0\0"s;
    flags = kVideo | kAudio;
}

std::shared_ptr<InputFile> MediaFileReader::open(const std::wstring& path) {
    auto reader = std::make_unique<Media::MediaSourceReader>();
    if (!reader->open(path)) return nullptr;
    auto file = std::make_shared<InputMediaFile>();
    if (reader->hasVideo && reader->selectVideoStream()) {
        const auto& v = reader->videoInfo;
        file->info.flags |= InputFile::kVideo;
        file->info.frameCount = v.frameCount;
        file->info.rate = v.frameRateNumerator;
        file->info.scale = v.frameRateDenominator;
        file->info.videoFormat = v.pixelFormat;
        file->info.width = static_cast<int32_t>(v.width);
        file->info.height = static_cast<int32_t>(v.height);
        file->videoReader = std::move(reader);
        reader = std::make_unique<Media::MediaSourceReader>();
        if (!reader->open(path)) return nullptr;
    }
    if (reader->hasAudio && reader->selectAudioStream()) {
        const auto& a = reader->audioInfo;
        file->info.flags |= InputFile::kAudio;
        file->info.audioSampleCount = a.totalSampleFrames;
        file->info.audioFormatTag = a.formatTag;
        file->info.sampleRate = static_cast<int32_t>(a.sampleRate);
        file->info.bitsPerSample = static_cast<int32_t>(a.bitsPerSample);
        file->info.channels = static_cast<int32_t>(a.channels);
        file->audioReader = std::move(reader);
    }
    return file;
}

MediaFileReader::InputMediaFile::InputMediaFile() = default;
MediaFileReader::InputMediaFile::~InputMediaFile() = default;

std::shared_ptr<Media::ImageBuffer> MediaFileReader::InputMediaFile::readVideo(int32_t frame) {
    if (!videoReader) return nullptr;
    std::shared_ptr<Media::ImageBuffer> image;
    {
        std::lock_guard lock(videoMutex_);
        image = videoReader->readVideo(frame);
    }
    // A frame the file lists but cannot give (cut off, damaged) is a read failure, not a black frame.
    if (!image && frame >= 0 && frame < info.frameCount)
        if (InputService* input = InputService::get()) input->reportUnreadable(videoReader->path);
    return image;
}

std::shared_ptr<Media::AudioBlockBuffer> MediaFileReader::InputMediaFile::readAudio(int32_t block) {
    if (!audioReader) return nullptr;
    std::lock_guard lock(audioMutex_);
    return audioReader->readAudio(block);
}

}  // namespace Plugin
