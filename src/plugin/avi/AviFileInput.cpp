#include "plugin/avi/AviFileInput.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include "core/Exception.h"
#include "core/Log.h"
#include "media/audio/AudioBlockBuffer.h"
#include "media/decode/AudioDecompressor.h"
#include "media/decode/VideoDecompressor.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "platform/codecs/VideoCodec.h"
#include "plugin/PluginAudioBlock.h"
#include "plugin/avi/AviFormat.h"
#include "render/cache/CacheService.h"

namespace Plugin {

using namespace Avi;
namespace Codecs = Platform::codecs;

namespace {

constexpr const char* kParseScope = "Plugin::AviFileInput::FileParse::open";
constexpr uint32_t kFormatSizeLimit = 65536;
constexpr uint32_t kSampleRateLimit = 768000;

// Logs why the file is refused and leaves the parse.
[[noreturn]] void refuse(const char* message) {
    System::Log::info(kParseScope, "%s", message);
    throw System::messageException(kParseScope, message);
}

uint32_t upper(uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        const uint32_t c = (v >> (8 * i)) & 0xFF;
        if (c >= 'a' && c <= 'z') v -= 0x20u << (8 * i);
    }
    return v;
}

uint16_t streamId(uint32_t n) { return static_cast<uint16_t>('0' | ('0' + n) << 8); }

uint32_t dibRow(int32_t width, uint16_t bits) {
    return static_cast<uint32_t>(((static_cast<uint64_t>(static_cast<uint32_t>(width)) * bits / 8) + 3) & ~uint64_t{3});
}

// Turns the rows of a picture that was stored top-down the right way up.
void flipRows(Media::ImageBuffer& image) {
    std::vector<uint8_t> row(image.pitch);
    for (uint32_t top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = image.data() + size_t{top} * image.pitch;
        uint8_t* b = image.data() + size_t{bottom} * image.pitch;
        std::memcpy(row.data(), a, image.pitch);
        std::memcpy(a, b, image.pitch);
        std::memcpy(b, row.data(), image.pitch);
    }
}

}  // namespace

bool AviFileInput::compareFourcc(uint32_t a, uint32_t b) {
    const auto normal = [](uint32_t v) {
        v = upper(v);
        constexpr uint32_t dib = fourCC("DIB ");
        return v == dib || v == static_cast<uint32_t>(dib << 8) ? 0u : v;
    };
    return normal(a) == normal(b);
}

// The state of one parse of the headers and indexes, on its own handle.
class AviFileInput::FileParse {
public:
    struct Range {
        uint64_t size = 0;
        uint64_t start = 0;
        uint64_t cursor = 0;
    };

    explicit FileParse(AviFileInput& owner) : owner_(owner) {}

    void open(const std::wstring& path) {
        file_.open(path, System::File::kRead);
        fileSize_ = static_cast<uint64_t>(file_.getSize());
        owner_.fileSize_ = static_cast<int64_t>(fileSize_);
        uint8_t head[12];
        if (fileSize_ < 12) throw System::messageException("Media::RiffFile::getRiffChunk", "invalid RIFF file.");
        file_.seek(0);
        file_.readBlock(head, 12);
        if (get32(head) != kRiff) throw System::messageException("Media::RiffFile::getRiffChunk", "invalid RIFF file.");
        if (get32(head + 8) != kAvi) throw System::messageException(kParseScope, "AVI chunk not found.");
        const uint32_t riffSize = get32(head + 4);
        if (riffSize < 4 || 8 + uint64_t{riffSize} > fileSize_) refuse("RIFF size beyond the file.");
        root_ = {riffSize - 4u, 12, 12};
        if (!findChunk(kHdrl, hdrl_, root_)) throw System::messageException(kParseScope, "hdrl chunk not found.");
        Range work = hdrl_;
        odml_ = findChunk(kOdml, work, from(hdrl_));
        Range list = from(hdrl_);
        for (uint32_t n = 0; findChunk(kStrl, strl_, list); ++n) readStream(n);
        if (positions_.empty()) {
            if (!findChunk(kMovi, movi_, from(root_)))
                throw System::messageException(kParseScope, "movi chunk not found.");
            Range idx1;
            if (findChunk(kIdx1, idx1, from(root_))) {
                readIdx1(idx1);
                owner_.indexKind_ = IndexKind::kIdx1;
            } else {
                scanMovi();
                owner_.indexKind_ = IndexKind::kMoviScan;
            }
        } else {
            readStandardIndex();
            owner_.indexKind_ = IndexKind::kOpenDml;
        }
        Info& info = owner_.info;
        if ((info.flags & kVideo) && owner_.videoIndex_.size() < static_cast<size_t>(std::max(info.frameCount, 0))) {
            System::Log::info(kParseScope, "invalid video frame num info.");
            info.frameCount = static_cast<int32_t>(owner_.videoIndex_.size());
        }
        if ((info.flags & kAudio) && owner_.derivedSampleCount_ < info.audioSampleCount) {
            System::Log::info(kParseScope, "invalid audio sample num info.");
            info.audioSampleCount = owner_.derivedSampleCount_;
        }
    }

private:
    static Range from(const Range& r) { return {r.size, r.start, r.start}; }

    void readAt(uint64_t position, void* data, uint64_t size) {
        if (position > fileSize_ || size > fileSize_ - position) refuse("chunk size beyond the file.");
        file_.seek(static_cast<int64_t>(position));
        if (size) file_.readBlock(data, static_cast<int32_t>(size));
    }

    bool findChunk(uint32_t id, Range& out, Range& in) {
        const uint64_t end = in.start + in.size;
        while (in.cursor >= in.start && in.cursor + 8 <= end) {
            const uint64_t at = in.cursor;
            uint8_t header[8];
            readAt(at, header, 8);
            const uint32_t chunkId = get32(header);
            const uint32_t size = get32(header + 4);
            if (at + 8 + size > end) refuse("chunk size beyond the file.");
            in.cursor = at + 8 + size;
            in.cursor += in.cursor & 1;
            if (chunkId == id) {
                out = {size, at + 8, at + 8};
                return true;
            }
            if (chunkId == kList && size >= 4) {
                uint8_t type[4];
                readAt(at + 8, type, 4);
                if (get32(type) == id) {
                    out = {size - 4u, at + 12, at + 12};
                    return true;
                }
            }
        }
        return false;
    }
    bool findChunk(uint32_t id, Range& out, Range&& in) { return findChunk(id, out, in); }

    // The strf chunk of the stream, or empty when it is missing or of a size
    // that cannot be its format.
    std::vector<uint32_t> readFormat(uint32_t minimum, const char* scope) {
        Range strf;
        if (!findChunk(kStrf, strf, from(strl_))) return {};
        if (strf.size >= kFormatSizeLimit) {
            System::Log::info(scope, "invalid stream format size.");
            return {};
        }
        if (strf.size < minimum) {
            System::Log::info(scope, "invalid stream format size.");
            return {};
        }
        std::vector<uint32_t> bytes((strf.size + 3) / 4 + 1, 0);
        readAt(strf.start, bytes.data(), strf.size);
        formatSize_ = static_cast<uint32_t>(strf.size);
        return bytes;
    }

    void readStream(uint32_t n) {
        Range strh;
        if (!findChunk(kStrh, strh, from(strl_)) || strh.size < kStreamHeaderMinimum) return;
        uint8_t h[kStreamHeaderMinimum];
        readAt(strh.start, h, sizeof h);
        const uint32_t type = get32(h);
        Info& info = owner_.info;
        if (compareFourcc(type, kVids)) {
            constexpr const char* scope = "Plugin::AviFileInput::FileParse::getVideoStreamHeader";
            owner_.videoId_ = streamId(n);
            std::vector<uint32_t> format = readFormat(0, scope);
            if (format.empty()) return;
            // A format shorter than its header, or a picture without rows or
            // columns, would have the frames read past their data.
            if (formatSize_ < sizeof(Media::BitmapInfoHeader)) refuse("video format shorter than its header.");
            Media::BitmapInfoHeader bitmap;
            std::memcpy(&bitmap, format.data(), sizeof bitmap);
            const uint32_t rate = get32(h + 24), scale = get32(h + 20);
            if (bitmap.biWidth <= 0 || bitmap.biHeight == 0 || bitmap.biHeight == INT32_MIN)
                refuse("invalid video size.");
            if (rate == 0 || scale == 0) refuse("invalid video frame rate.");
            owner_.videoFormatBuffer_ = std::move(format);
            owner_.videoFormatSize_ = formatSize_;
            info.width = bitmap.biWidth;
            // A negative height marks rows stored top-down.
            info.height = bitmap.biHeight < 0 ? -bitmap.biHeight : bitmap.biHeight;
            owner_.topDown_ = bitmap.biHeight < 0;
            info.rate = rate;
            info.scale = scale;
            info.frameCount = static_cast<int32_t>(std::min<uint32_t>(get32(h + 32), INT32_MAX));
            const uint32_t handler = get32(h + 4);
            owner_.videoHandler_ = handler != 0                             ? handler
                                   : compareFourcc(bitmap.biCompression, 0) ? 0
                                                                            : bitmap.biCompression;
            info.flags |= kVideo;
            if (odml_) readSuperIndex();
        } else if (compareFourcc(type, kAuds)) {
            constexpr const char* scope = "Plugin::AviFileInput::FileParse::getAudioStreamHeader";
            owner_.audioId_ = streamId(n);
            std::vector<uint32_t> format = readFormat(16, scope);
            if (format.empty()) return;
            const auto* w = reinterpret_cast<const uint8_t*>(format.data());
            Codecs::WaveFormat& wave = owner_.audioSource_;
            wave.formatTag = get16(w);
            wave.channels = get16(w + 2);
            wave.samplesPerSec = get32(w + 4);
            wave.avgBytesPerSec = get32(w + 8);
            wave.blockAlign = get16(w + 12);
            wave.bitsPerSample = get16(w + 14);
            wave.extra.clear();
            if (formatSize_ >= 18) {
                const uint32_t extra = std::min<uint32_t>(get16(w + 16), formatSize_ - 18);
                wave.extra.assign(w + 18, w + 18 + extra);
            }
            owner_.audioFormatRead_ = true;
            if (get32(h + 44) == 0) return;
            const uint32_t rate = get32(h + 24), scale = get32(h + 20);
            const uint32_t blockAlign =
                wave.blockAlign != 0 ? wave.blockAlign : wave.bitsPerSample * wave.channels / 8u;
            // Sound is read and decoded a second at a time: a rate beyond any
            // real stream would make those buffers gigabytes large.
            if (rate == 0 || scale == 0 || blockAlign == 0 || wave.channels == 0 || wave.channels > 2 ||
                wave.samplesPerSec == 0 || wave.samplesPerSec > kSampleRateLimit) {
                System::Log::info(scope, "invalid audio stream header.");
                return;
            }
            info.bitsPerSample = wave.bitsPerSample;
            info.sampleRate = static_cast<int32_t>(wave.samplesPerSec);
            info.channels = wave.channels;
            info.audioSampleCount = get32(h + 32);
            owner_.audioRate_ = rate;
            owner_.audioScale_ = scale;
            owner_.audioBlockAlign_ = blockAlign;
            info.flags |= kAudio;
            if (odml_) readSuperIndex();
        }
    }

    void readSuperIndex() {
        Range indx;
        if (!findChunk(kIndx, indx, from(strl_)) || indx.size < kIndexHeaderSize) return;
        uint8_t header[kIndexHeaderSize];
        readAt(indx.start, header, sizeof header);
        const uint32_t entries = get32(header + 4);
        if (entries > (indx.size - kIndexHeaderSize) / 16) refuse("index entry count beyond its chunk.");
        std::vector<uint8_t> body(size_t{entries} * 16);
        readAt(indx.start + kIndexHeaderSize, body.data(), body.size());
        for (uint32_t i = 0; i < entries; ++i) positions_.push_back(get64(body.data() + 16 * i));
    }

    void addAudio(int64_t position, uint32_t size) {
        owner_.audioIndex_.push_back({audioTotal_, position, size});
        audioTotal_ += size;
    }

    void finishAudio() {
        if (audioTotal_ != 0 && owner_.audioBlockAlign_ != 0)
            owner_.derivedSampleCount_ = audioTotal_ / owner_.audioBlockAlign_;
    }

    void checkData(uint64_t position, uint32_t size) {
        if (position > fileSize_ || size > fileSize_ - position) refuse("index entry beyond the file.");
    }

    void readStandardIndex() {
        for (const uint64_t position : positions_) {
            uint8_t header[8 + kIndexHeaderSize];
            readAt(position, header, sizeof header);
            const uint32_t size = get32(header + 4);
            const uint8_t* h = header + 8;
            const uint32_t entries = get32(h + 4);
            if (size < kIndexHeaderSize || entries > (size - kIndexHeaderSize) / 8 || position + 8 + size > fileSize_)
                refuse("index entry count beyond its chunk.");
            const uint16_t stream = static_cast<uint16_t>(get32(h + 8));
            const bool video = (owner_.info.flags & kVideo) && stream == owner_.videoId_;
            const bool audio = (owner_.info.flags & kAudio) && stream == owner_.audioId_;
            if (!video && !audio) continue;
            const uint64_t base = get64(h + 12);
            std::vector<uint8_t> body(size_t{entries} * 8);
            readAt(position + sizeof header, body.data(), body.size());
            for (uint32_t i = 0; i < entries; ++i) {
                const uint32_t offset = get32(body.data() + 8 * i);
                const uint32_t raw = get32(body.data() + 8 * i + 4);
                const uint32_t length = raw & ~kNotKeyBit;
                const uint64_t at = base + offset;
                checkData(at, length);
                if (video)
                    owner_.videoIndex_.push_back({static_cast<int64_t>(at), length, static_cast<uint8_t>(raw >> 31)});
                else
                    addAudio(static_cast<int64_t>(at), length);
            }
        }
        finishAudio();
    }

    void readIdx1(const Range& idx1) {
        const uint64_t count = idx1.size / 16;
        std::vector<uint8_t> body(count * 16);
        readAt(idx1.start, body.data(), body.size());
        const uint64_t moviData = movi_.start;
        uint64_t base = 0;
        for (uint64_t i = 0; i < count; ++i) {
            const uint8_t* e = body.data() + 16 * i;
            const uint32_t offset = get32(e + 8);
            const uint32_t length = get32(e + 12);
            if (i == 0) base = offset < moviData ? moviData + 4 : 8;
            const auto stream = static_cast<uint16_t>(get32(e));
            const bool video = (owner_.info.flags & kVideo) && stream == owner_.videoId_;
            const bool audio = (owner_.info.flags & kAudio) && stream == owner_.audioId_;
            if (!video && !audio) continue;
            const uint64_t at = base + offset;
            checkData(at, length);
            if (video)
                owner_.videoIndex_.push_back({static_cast<int64_t>(at), length, !(get32(e + 4) & kKeyFrameFlag)});
            else
                addAudio(static_cast<int64_t>(at), length);
        }
        finishAudio();
    }

    void scanMovi() {
        const uint64_t end = movi_.start + movi_.size;
        const bool hasVideo = owner_.info.flags & kVideo;
        const bool hasAudio = owner_.info.flags & kAudio;
        const uint32_t key = owner_.videoId_ | uint32_t{fourCC("\0\0db")};
        const uint32_t delta = owner_.videoId_ | uint32_t{fourCC("\0\0dc")};
        const uint32_t wave = owner_.audioId_ | uint32_t{fourCC("\0\0wb")};
        for (uint64_t at = movi_.start; at + 8 <= end;) {
            uint8_t header[8];
            readAt(at, header, 8);
            const uint32_t id = get32(header);
            const uint32_t size = get32(header + 4);
            if (at + 8 + size > end) refuse("chunk size beyond the file.");
            if (id != kList && id != kRiff) {
                if (hasVideo && compareFourcc(id, key))
                    owner_.videoIndex_.push_back({static_cast<int64_t>(at + 8), size, 0});
                else if (hasVideo && compareFourcc(id, delta))
                    owner_.videoIndex_.push_back({static_cast<int64_t>(at + 8), size, 1});
                else if (hasAudio && compareFourcc(id, wave))
                    addAudio(static_cast<int64_t>(at + 8), size);
            }
            at += 8 + uint64_t{size};
            at += at & 1;
        }
        finishAudio();
    }

    AviFileInput& owner_;
    System::File file_;
    uint64_t fileSize_ = 0;
    Range root_, hdrl_, strl_, movi_;
    bool odml_ = false;
    std::vector<uint64_t> positions_;
    int64_t audioTotal_ = 0;
    uint32_t formatSize_ = 0;
};

AviFileInput::AviFileInput() = default;
AviFileInput::~AviFileInput() = default;

bool AviFileInput::open(const std::wstring& path) {
    try {
        FileParse parse(*this);
        parse.open(path);
    } catch (const std::exception&) {
        return false;
    }
    if (info.flags & kVideo) {
        if (info.frameCount <= 0 || !setupVideoDecoder()) info.flags &= ~kVideo;
        if (refused_) return false;
    }
    if ((info.flags & kAudio) && !setupAudio()) info.flags &= ~kAudio;
    try {
        if (info.flags & kVideo) videoFile_.open(path, System::File::kRead);
        if (info.flags & kAudio) audioFile_.open(path, System::File::kRead);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool AviFileInput::setupVideoDecoder() {
    const auto& source = *reinterpret_cast<const Media::BitmapInfoHeader*>(videoFormatBuffer_.data());
    const uint32_t handler = videoHandler_;
    const bool raw = compareFourcc(handler, 0) || handler == fourCC("YUY2") || handler == fourCC("PA64") ||
                     handler == fourCC("HF64");
    if (raw) {
        outputHeader_ = {};
        outputHeader_.biSize = 40;
        outputHeader_.biWidth = info.width;
        outputHeader_.biHeight = info.height;
        outputHeader_.biPlanes = 1;
        outputHeader_.biBitCount = source.biBitCount;
        outputHeader_.biCompression = compareFourcc(handler, 0) ? 0 : handler;
        const uint64_t image = uint64_t{dibRow(info.width, source.biBitCount)} * static_cast<uint32_t>(info.height);
        if (image == 0 || image > UINT32_MAX) {
            System::Log::info(kParseScope, "invalid video frame size.");
            return false;
        }
        outputHeader_.biSizeImage = static_cast<uint32_t>(image);
        // A stored frame shorter than the picture would be read past its data.
        for (const VideoIndexEntry& entry : videoIndex_)
            if (entry.size != 0 && entry.size < outputHeader_.biSizeImage) {
                System::Log::info(kParseScope, "video frame smaller than its picture.");
                refused_ = true;
                return false;
            }
    } else {
        auto* header = reinterpret_cast<Media::BitmapInfoHeader*>(videoFormatBuffer_.data());
        const auto codecHeader = std::bit_cast<Codecs::BitmapHeader>(*header);
        // The codec's private data follows the header in strf.
        const auto* format = reinterpret_cast<const uint8_t*>(videoFormatBuffer_.data());
        const size_t headerSize = sizeof(Media::BitmapInfoHeader);
        const uint8_t* extra = videoFormatSize_ > headerSize ? format + headerSize : nullptr;
        const size_t extraSize = extra ? videoFormatSize_ - headerSize : 0;
        Codecs::VideoCodec* codec = Codecs::openVideoCodec(handler, codecHeader, extra, extraSize);
        if (!codec) codec = Codecs::openVideoCodec(header->biCompression, codecHeader, extra, extraSize);
        if (!codec) return false;
        videoDecoder_ = std::make_unique<Media::VideoDecompressor>(header, codec);
        if (!videoDecoder_->begin(fourCC("YUY2"), 16) && !videoDecoder_->begin(0, 32) && !videoDecoder_->begin(0, 24)) {
            videoDecoder_.reset();
            return false;
        }
        outputHeader_ = videoDecoder_->outputHeader();
    }
    namespace F = Media::PixelFormat;
    const uint32_t c = outputHeader_.biCompression;
    const uint16_t bits = outputHeader_.biBitCount;
    if (c == 0 && bits == 32)
        info.videoFormat = F::kB8G8R8A8Unorm;
    else if (c == 0 && bits == 24)
        info.videoFormat = F::kB8G8R8X8Unorm;
    else if (c == fourCC("YUY2") && bits == 16)
        info.videoFormat = F::kYuy2;
    else if (c == fourCC("PA64") && bits == 64)
        info.videoFormat = F::kR16G16B16A16Unorm;
    else if (c == fourCC("HF64") && bits == 64)
        info.videoFormat = F::kR16G16B16A16Float;
    else {
        videoDecoder_.reset();
        return false;
    }
    return true;
}

bool AviFileInput::setupAudio() {
    if (info.audioSampleCount <= 0) return false;
    const uint16_t tag = audioSource_.formatTag;
    if (tag == Codecs::kWaveFormatPcm || tag == Codecs::kWaveFormatIeeeFloat) {
        info.audioFormatTag = tag;
    } else {
        if (!audioFormatRead_) return false;
        audioDecoder_ = std::make_unique<Media::AudioDecompressor>(&audioSource_);
        if (!audioDecoder_->open()) {
            audioDecoder_.reset();
            return false;
        }
        info.audioFormatTag = Codecs::kWaveFormatPcm;
        info.bitsPerSample = 16;
    }
    const bool pcm16 = info.audioFormatTag == Codecs::kWaveFormatPcm && info.bitsPerSample == 16;
    const bool float32 = info.audioFormatTag == Codecs::kWaveFormatIeeeFloat && info.bitsPerSample == 32;
    // A one-second block of more than 2 GB cannot be held.
    const uint64_t blockBytes = uint64_t{static_cast<uint32_t>(info.channels)} * info.bitsPerSample / 8 *
                                static_cast<uint32_t>(info.sampleRate);
    if ((!pcm16 && !float32) || info.channels < 1 || info.channels > 2 || blockBytes > INT32_MAX) {
        audioDecoder_.reset();
        return false;
    }
    return true;
}

std::shared_ptr<Media::ImageBuffer> AviFileInput::readVideo(int32_t frame) {
    if (!(info.flags & kVideo) || !videoFile_.isOpen()) return nullptr;
    std::lock_guard state(videoMutex_);
    const int32_t last = static_cast<int32_t>(videoIndex_.size()) - 1;
    const int32_t target = frame < 0 ? 0 : std::min(frame, std::min(info.frameCount - 1, last));
    int32_t start = target;
    if (frame < 0) {
        start = 0;
    } else if (videoDecoder_) {
        while (start > 0 && videoIndex_[start].notKey && start != lastFrame_ + 1) --start;
    } else {
        // A raw frame stands alone; an empty one repeats the nearest stored frame.
        while (start > 0 && videoIndex_[start].size == 0) --start;
    }
    lastFrame_ = target;

    Cache::CacheService::VideoScratch* shared = Cache::CacheService::videoScratch();
    std::unique_lock scratchLock = shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
    System::AlignedBuffer& scratch = shared ? shared->buffer : videoBuffer_;
    auto image = Media::ImageBuffer::make(info.videoFormat, static_cast<uint32_t>(info.width),
                                          static_cast<uint32_t>(info.height));
    lastDecodeCount_ = 0;
    if (!videoDecoder_) {
        const VideoIndexEntry& entry = videoIndex_[start];
        const uint32_t size = outputHeader_.biSizeImage;
        if (entry.size == 0) {
            std::memset(image->data(), 0, image->usedSize());
            return image;
        }
        if (scratch.capacity() < size) scratch.allocMemory(size);
        videoFile_.seek(entry.position);
        videoFile_.readBlock(scratch.data(), static_cast<int32_t>(size));
        lastDecodeCount_ = 1;
        image->copyFromBitmap(outputHeader_, scratch.data());
        if (topDown_ && (outputHeader_.biBitCount == 24 || outputHeader_.biBitCount == 32)) flipRows(*image);
        return image;
    }
    for (int32_t i = start; i <= target; ++i) {
        const VideoIndexEntry& entry = videoIndex_[i];
        if (entry.size != 0) {
            if (scratch.capacity() < entry.size) scratch.allocMemory(entry.size);
            videoFile_.seek(entry.position);
            videoFile_.readBlock(scratch.data(), static_cast<int32_t>(entry.size));
        }
        ++lastDecodeCount_;
        videoDecoder_->decode(scratch.data(), entry.size, entry.notKey != 0);
    }
    image->copyFromBitmap(videoDecoder_->outputHeader(), videoDecoder_->outputData());
    return image;
}

std::shared_ptr<Media::AudioBlockBuffer> AviFileInput::readAudio(int32_t block) {
    if (!(info.flags & kAudio) || !audioFile_.isOpen()) return nullptr;
    std::lock_guard state(audioMutex_);
    Cache::CacheService::AudioScratch* shared = Cache::CacheService::audioScratch();
    std::unique_lock scratchLock = shared ? std::unique_lock(shared->mutex) : std::unique_lock<std::mutex>();
    Media::RawAudioBuffer& raw = shared ? shared->block : audioBlock_;
    const uint32_t bytes = prepareSilentBlock(raw, info.audioFormatTag, info.bitsPerSample, info.channels, info.sampleRate);
    uint8_t* out = raw.data.data();
    uint32_t filled = 0;
    uint64_t offset = 0;
    if (block < 0) {
        lastBlock_ = block;
        return makeAudioBlock(raw);
    }
    if (audioDecoder_ && block == lastBlock_ + 1) {
        size_t& left = audioDecoder_->undelivered();
        const size_t n = std::min<size_t>(left, bytes);
        std::memcpy(out, audioDecoder_->decodedData() + (audioDecoder_->decodedSize() - left), n);
        left -= n;
        filled = static_cast<uint32_t>(n);
    } else {
        // The stream's byte position of the block's first second, exact for any rate and scale.
        const auto units = static_cast<unsigned __int128>(block) * audioRate_ / audioScale_;
        const auto position = static_cast<uint64_t>(std::min<unsigned __int128>(units * audioBlockAlign_, INT64_MAX));
        const auto found = std::upper_bound(audioIndex_.begin(), audioIndex_.end(), position,
                                            [](uint64_t p, const AudioIndexEntry& e) {
                                                return p < static_cast<uint64_t>(e.streamOffset);
                                            });
        currentAudioEntry_ = found == audioIndex_.begin() ? 0 : static_cast<uint32_t>(found - audioIndex_.begin() - 1);
        offset =
            audioIndex_.empty() ? 0 : position - static_cast<uint64_t>(audioIndex_[currentAudioEntry_].streamOffset);
        if (audioDecoder_ && !audioDecoder_->open()) audioDecoder_.reset();
    }
    lastBlock_ = block;
    while (filled < bytes && currentAudioEntry_ < audioIndex_.size()) {
        const AudioIndexEntry& entry = audioIndex_[currentAudioEntry_++];
        if (offset >= entry.size) {
            offset = 0;
            continue;
        }
        const uint32_t rest = entry.size - static_cast<uint32_t>(offset);
        audioFile_.seek(entry.position + static_cast<int64_t>(offset));
        offset = 0;
        if (!audioDecoder_) {
            const uint32_t n = std::min(rest, bytes - filled);
            audioFile_.readBlock(out + filled, static_cast<int32_t>(n));
            filled += n;
            continue;
        }
        if (audioSourceBytes_.size() < rest) audioSourceBytes_.resize(rest);
        audioFile_.readBlock(audioSourceBytes_.data(), static_cast<int32_t>(rest));
        audioDecoder_->insertSourceData(audioSourceBytes_.data(), rest);
        audioDecoder_->decode();
        const size_t produced = audioDecoder_->decodedSize();
        const size_t n = std::min<size_t>(produced, bytes - filled);
        std::memcpy(out + filled, audioDecoder_->decodedData(), n);
        audioDecoder_->undelivered() = produced - n;
        filled += static_cast<uint32_t>(n);
    }
    return makeAudioBlock(raw);
}

}  // namespace Plugin
