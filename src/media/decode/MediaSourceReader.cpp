#include "media/decode/MediaSourceReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "media/audio/RawAudioBuffer.h"
#include "platform/mediareader/MediaReader.h"

namespace Media {
namespace {

namespace MR = Platform::mediareader;

constexpr int64_t kSecond = 10000000;  // 100 ns units

int32_t clampToInt32(__int128 v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < 0) return 0;
    return static_cast<int32_t>(v);
}

// The audio frame at 100-ns time `time`, to the nearest.
int64_t nearestFrame(uint32_t rate, int64_t time) {
    const __int128 twice = 2 * static_cast<__int128>(rate) * time + kSecond;
    const __int128 div = 2 * static_cast<__int128>(kSecond);
    __int128 q = twice / div;
    if (twice % div != 0 && twice < 0) --q;  // floor
    return static_cast<int64_t>(q);
}

}  // namespace

MediaSourceReader::MediaSourceReader() = default;
MediaSourceReader::~MediaSourceReader() {
    currentSample.reset();
    reader.reset();
}

bool MediaSourceReader::open(const std::wstring& file) {
    constexpr const char* kScope = "Media::MediaSourceReader::open";
    try {
        currentSample.reset();
        reader.reset();
        if (const auto hr = MR::SourceReader::create(System::wideToUtf8(file), false, reader); Platform::failed(hr))
            throw System::hresultException("MFCreateSourceReaderFromURL", kScope, hr);
        if (const auto hr = reader->getDuration(duration); Platform::failed(hr))
            throw System::hresultException("source->GetPresentationAttribute", kScope, hr);
        path = file;
        bool selected = false;
        hasVideo = reader->getStreamSelection(MR::kFirstVideoStream, selected) == Platform::kOk;
        hasAudio = reader->getStreamSelection(MR::kFirstAudioStream, selected) == Platform::kOk;
        return true;
    } catch (const std::exception&) {
        // Already logged by the exception's builder.
        return false;
    }
}

void MediaSourceReader::setVideoDecode() {
    MR::MediaType type;
    type.major = MR::MajorType::Video;
    type.subtype = MR::Subtype::Rgb32;
    if (Platform::succeeded(reader->setCurrentMediaType(stream, type))) return;
    type.subtype = MR::Subtype::Yuy2;
    if (Platform::succeeded(reader->setCurrentMediaType(stream, type))) return;
    enableVideoProcessing();
    type.subtype = MR::Subtype::Rgb32;
    if (Platform::succeeded(reader->setCurrentMediaType(stream, type))) return;
    throw System::messageException("Media::MediaSourceReader::setVideoDecode", "can not video decode.");
}

void MediaSourceReader::enableVideoProcessing() {
    currentSample.reset();
    reader.reset();
    if (const auto hr = MR::SourceReader::create(System::wideToUtf8(path), true, reader); Platform::failed(hr))
        throw System::hresultException("MFCreateSourceReaderFromURL", "Media::MediaSourceReader::enableVideoProcessing",
                                       hr);
}

void MediaSourceReader::setAudioDecode() {
    MR::MediaType type;
    type.major = MR::MajorType::Audio;
    type.subtype = MR::Subtype::Float;
    if (Platform::succeeded(reader->setCurrentMediaType(stream, type))) return;
    type.subtype = MR::Subtype::Pcm;
    if (Platform::succeeded(reader->setCurrentMediaType(stream, type))) return;
    throw System::messageException("Media::MediaSourceReader::setAudioDecode", "can not audio decode.");
}

void MediaSourceReader::getVideoInfo() {
    constexpr const char* kScope = "Media::MediaSourceReader::getVideoInfo";
    MR::MediaType type;
    if (const auto hr = reader->getCurrentMediaType(stream, type); Platform::failed(hr))
        throw System::hresultException("source->GetCurrentMediaType", kScope, hr);
    VideoInfo info;
    if (type.subtype == MR::Subtype::Yuy2) {
        info.pixelFormat = PixelFormat::kYuy2;
        info.bytesPerPixel = 2;
    } else if (type.subtype == MR::Subtype::Rgb32) {
        info.pixelFormat = PixelFormat::kB8G8R8X8Unorm;
        info.bytesPerPixel = 4;
    } else {
        throw System::messageException(kScope, "invalid video stream subtype");
    }
    info.width = type.width;
    info.height = type.height;
    info.frameRateNumerator = type.frameRateNumerator;
    info.frameRateDenominator = type.frameRateDenominator;
    const int64_t stride =
        type.hasDefaultStride ? type.defaultStride : static_cast<int64_t>(info.bytesPerPixel) * info.width;
    info.pitch = static_cast<uint32_t>(stride < 0 ? -stride : stride);
    // In 128 bits: a large rate numerator times a long duration overflows 64.
    const __int128 den = static_cast<__int128>(info.frameRateDenominator) * kSecond;
    info.frameCount = den == 0 ? 0 : clampToInt32(static_cast<__int128>(info.frameRateNumerator) * duration / den);
    videoInfo = info;
}

void MediaSourceReader::getAudioInfo() {
    constexpr const char* kScope = "Media::MediaSourceReader::getAudioInfo";
    MR::MediaType type;
    if (const auto hr = reader->getCurrentMediaType(stream, type); Platform::failed(hr))
        throw System::hresultException("source->GetCurrentMediaType", kScope, hr);
    AudioInfo info;
    if (type.subtype == MR::Subtype::Float)
        info.formatTag = RawAudioBuffer::kFormatIeeeFloat;
    else if (type.subtype == MR::Subtype::Pcm)
        info.formatTag = RawAudioBuffer::kFormatPcm;
    else
        throw System::messageException(kScope, "invalid audio stream subtype");
    info.channels = type.channels;
    info.sampleRate = type.samplesPerSecond;
    info.bitsPerSample = type.bitsPerSample;
    info.blockAlign = info.bitsPerSample * info.channels / 8;
    info.totalSampleFrames = static_cast<int64_t>(static_cast<__int128>(info.sampleRate) * duration / kSecond);
    audioInfo = info;
}

bool MediaSourceReader::selectVideoStream() {
    constexpr const char* kScope = "Media::MediaSourceReader::selectVideoStream";
    try {
        if (!reader) throw System::messageException(kScope, "no reader");
        stream = MR::kFirstVideoStream;
        setVideoDecode();
        getVideoInfo();
        if (const auto hr = reader->setStreamSelection(MR::kAllStreams, false); Platform::failed(hr))
            throw System::hresultException("source->SetStreamSelection", kScope, hr);
        if (const auto hr = reader->setStreamSelection(MR::kFirstVideoStream, true); Platform::failed(hr))
            throw System::hresultException("source->SetStreamSelection", kScope, hr);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool MediaSourceReader::selectAudioStream() {
    constexpr const char* kScope = "Media::MediaSourceReader::selectAudioStream";
    try {
        if (!reader) throw System::messageException(kScope, "no reader");
        stream = MR::kFirstAudioStream;
        setAudioDecode();
        getAudioInfo();
        if (const auto hr = reader->setStreamSelection(MR::kAllStreams, false); Platform::failed(hr))
            throw System::hresultException("source->SetStreamSelection", kScope, hr);
        if (const auto hr = reader->setStreamSelection(MR::kFirstAudioStream, true); Platform::failed(hr))
            throw System::hresultException("source->SetStreamSelection", kScope, hr);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool MediaSourceReader::needsSeek(int64_t t) const {
    return !currentSample || t < lastRequest || sampleTime > t + kSecond;
}

void MediaSourceReader::seekVideoPosition(int64_t t) {
    currentSample.reset();
    if (const auto hr = reader->setCurrentPosition(t); Platform::failed(hr))
        throw System::hresultException("source->SetCurrentPosition", "Media::MediaSourceReader::seekVideoPosition", hr);
}

void MediaSourceReader::seekAudioPosition(int64_t t) {
    currentSample.reset();
    sampleFrames = 0;
    if (const auto hr = reader->setCurrentPosition(t); Platform::failed(hr))
        throw System::hresultException("source->SetCurrentPosition", "Media::MediaSourceReader::seekAudioPosition", hr);
}

int64_t MediaSourceReader::frameTicks() const {
    return videoInfo.frameRateNumerator == 0
               ? 0
               : static_cast<int64_t>(static_cast<__int128>(kSecond) * videoInfo.frameRateDenominator /
                                      videoInfo.frameRateNumerator);
}

void MediaSourceReader::getVideoSample(int64_t t) {
    videoEnded = false;
    // A frame is due from half a frame before its time: frame times and the request are
    // both rounded to 100 ns, and a container may start the video a few milliseconds late.
    const int64_t tolerance =
        videoInfo.frameRateNumerator == 0
            ? 0
            : static_cast<int64_t>(static_cast<__int128>(kSecond) * videoInfo.frameRateDenominator /
                                   (2 * static_cast<__int128>(videoInfo.frameRateNumerator)));
    while (!currentSample || sampleTime + sampleDuration <= t + tolerance) {
        uint32_t flags = 0;
        int64_t time = 0;
        std::shared_ptr<MR::Sample> sample;
        if (const auto hr = reader->readSample(stream, flags, time, sample); Platform::failed(hr))
            throw System::hresultException("source->ReadSample", "Media::MediaSourceReader::getVideoSample", hr);
        if (flags & (MR::kFlagEndOfStream | MR::kFlagError)) {
            videoEnded = true;
            break;
        }
        if (flags & MR::kFlagCurrentMediaTypeChanged) getVideoInfo();
        if (!sample) {
            videoEnded = true;
            break;
        }
        sampleDuration = sample->duration;
        sampleTime = time;
        currentSample = std::move(sample);
        // A sample without a duration would never end before t.
        if (sampleDuration <= 0 && sampleTime >= t) break;
    }
}

std::shared_ptr<ImageBuffer> MediaSourceReader::readVideo(int32_t frame) {
    if (!reader || videoInfo.frameRateNumerator == 0) return nullptr;
    const double exact =
        static_cast<double>(frame) * kSecond * videoInfo.frameRateDenominator / videoInfo.frameRateNumerator;
    int64_t t = exact <= 0 ? 0 : exact >= static_cast<double>(duration) ? duration : std::llround(exact);
    t = std::clamp<int64_t>(t, 0, std::max<int64_t>(duration, 0));
    if (needsSeek(t)) seekVideoPosition(t);
    lastRequest = t;
    getVideoSample(t);
    if (!currentSample) return nullptr;
    // The stream ended more than a frame before the time asked for, inside the
    // length the container states: the file is cut off there, and showing the
    // last frame it had would hide that.
    if (videoEnded) {
        const int64_t reached = sampleTime + sampleDuration + frameTicks();
        int64_t end = 0;
        if (t > reached && Platform::succeeded(reader->getStreamEnd(stream, end)) && end > reached) return nullptr;
    }
    auto image = std::make_shared<ImageBuffer>(videoInfo.pixelFormat, 0, 0);
    image->create(videoInfo.width, videoInfo.height, videoInfo.pitch);
    // A sample shorter than the stream's frame leaves the rest black rather than reading past it.
    const size_t want = static_cast<size_t>(videoInfo.pitch) * videoInfo.height;
    const size_t have = std::min(want, currentSample->bytes.size());
    if (have > 0) std::memcpy(image->data(), currentSample->bytes.data(), have);
    if (have < want) std::memset(image->data() + have, 0, want - have);
    return image;
}

void MediaSourceReader::getAudioSample(int64_t p) {
    while (!currentSample || p >= sampleStart + sampleFrames) {
        uint32_t flags = 0;
        int64_t time = 0;
        std::shared_ptr<MR::Sample> sample;
        if (const auto hr = reader->readSample(stream, flags, time, sample); Platform::failed(hr))
            throw System::hresultException("source->ReadSample", "Media::MediaSourceReader::getAudioSample", hr);
        if (flags & (MR::kFlagEndOfStream | MR::kFlagError)) {
            sampleFrames = 0;
            return;
        }
        if (flags & MR::kFlagCurrentMediaTypeChanged) getAudioInfo();
        if (!sample) {
            sampleFrames = 0;
            return;
        }
        // Rounded to the nearest frame: the time stamp itself was rounded to 100 ns.
        sampleStart = sampleFrames != 0 ? sampleStart + sampleFrames : nearestFrame(audioInfo.sampleRate, time);
        sampleFrames =
            audioInfo.blockAlign == 0
                ? 0
                : static_cast<int32_t>(std::min<size_t>(sample->bytes.size() / audioInfo.blockAlign,
                                                        static_cast<size_t>(std::numeric_limits<int32_t>::max())));
        sampleTime = time;
        currentSample = std::move(sample);
        // An empty sample is stepped over; sampleFrames 0 makes the next one place itself by its time.
    }
}

std::shared_ptr<AudioBlockBuffer> MediaSourceReader::readAudio(int32_t second) {
    if (!reader) return nullptr;
    const int64_t t = std::clamp<int64_t>(static_cast<int64_t>(second) * kSecond, 0, std::max<int64_t>(duration, 0));
    // A request reads on to the end of its second, so the kept sample may lie past the start of a
    // repeated one, or the stream may have ended there: both need a seek as well.
    const int64_t start = static_cast<int64_t>(audioInfo.sampleRate) * second;
    if (needsSeek(t) || sampleFrames == 0 || sampleStart > start) seekAudioPosition(t);
    lastRequest = t;

    const uint32_t rate = audioInfo.sampleRate;
    const uint32_t align = audioInfo.blockAlign;
    RawAudioBuffer raw;
    raw.formatTag = audioInfo.formatTag;
    raw.bitsPerSample = static_cast<int32_t>(audioInfo.bitsPerSample);
    raw.channels = static_cast<int32_t>(audioInfo.channels);
    raw.blockAlign = static_cast<int32_t>(align);
    raw.sampleCount = static_cast<int32_t>(rate);
    const uint64_t bytes = static_cast<uint64_t>(align) * rate;
    if (bytes > UINT32_MAX - 32)
        throw System::formatException("Media::MediaSourceReader::readAudio", "invalid audio stream",
                                      L"rate=%u align=%u", rate, align);
    const auto used = static_cast<uint32_t>(bytes);
    raw.data.allocMemory((used + 31) & ~31u);
    std::memset(raw.data.data(), 0, raw.data.capacity());
    raw.data.allocMemory(used);

    int64_t p = start;
    int64_t filled = 0;
    while (filled < rate && align != 0) {
        getAudioSample(p);
        if (sampleFrames == 0 || !currentSample) break;
        const int64_t k = p - sampleStart;
        if (k < 0) {
            // The stream starts later or has a gap here: keep the silence until its sample begins.
            const int64_t gap = std::min<int64_t>(-k, rate - filled);
            filled += gap;
            p += gap;
            continue;
        }
        if (k >= sampleFrames) break;
        const int64_t n = std::min<int64_t>(rate - filled, sampleFrames - k);
        std::memcpy(raw.data.data() + filled * align, currentSample->bytes.data() + k * align,
                    static_cast<size_t>(n) * align);
        filled += n;
        p += n;
    }
    return std::make_shared<AudioBlockBuffer>(raw);
}

}  // namespace Media
