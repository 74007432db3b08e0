#include "plugin/avi/AviFileSaveFile.h"

#include <algorithm>
#include <cstring>

#include "core/Exception.h"
#include "core/Log.h"
#include "media/audio/RawAudioBuffer.h"
#include "media/gpu/FrameReadBack.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"

namespace Plugin {

using namespace Avi;

namespace {

namespace F = Media::PixelFormat;

int32_t videoFormatOf(const std::wstring& type) {
    if (type == L"YUY2") return F::kYuy2;
    if (type == L"RGBA64bit(PA64)") return F::kR16G16B16A16Unorm;
    if (type == L"RGBA64bit(HF64)") return F::kR16G16B16A16Float;
    if (type == L"RGBA32bit") return F::kB8G8R8A8Unorm;
    return F::kB8G8R8X8Unorm;
}

// A picture for a frame that has none and no earlier one to repeat.
void fillBlack(int32_t format, uint8_t* data, uint32_t size) {
    if (format != F::kYuy2) {
        std::memset(data, 0, size);
        return;
    }
    for (uint32_t i = 0; i + 1 < size; i += 2) {
        data[i] = 16;
        data[i + 1] = 128;
    }
}

}  // namespace

AviFileSaveFile::AviFileSaveFile(const std::wstring& path, const ExportScene& scene, ExportSource* source,
                                 const std::wstring& videoType, const std::wstring& audioType)
    : OutputFile(path, true, scene, source), videoFormat(videoFormatOf(videoType)) {
    if (audioType == L"PCM(float)32bit") {
        formatTag = Media::RawAudioBuffer::kFormatIeeeFloat;
        bitsPerSample = 32;
    }
    blockAlign_ = channels * bitsPerSample / 8u;
}

AviFileSaveFile::~AviFileSaveFile() = default;

void AviFileSaveFile::write(const void* data, uint32_t size) {
    file_.write(data, static_cast<int32_t>(size));
    position_ += size;
}

void AviFileSaveFile::writeChunk(uint32_t id, const void* data, uint32_t size) {
    uint8_t header[8];
    put32(header, id);
    put32(header + 4, size);
    write(header, 8);
    if (size) write(data, size);
    if (size & 1) {
        const uint8_t pad = 0;
        write(&pad, 1);
    }
}

uint64_t AviFileSaveFile::beginList(uint32_t id, uint32_t type) {
    uint8_t header[12];
    put32(header, id);
    put32(header + 4, 0);
    put32(header + 8, type);
    write(header, 12);
    return position_ - 4;
}

void AviFileSaveFile::closeList(uint64_t typePosition) {
    uint8_t size[4];
    put32(size, static_cast<uint32_t>(position_ - typePosition));
    file_.seek(static_cast<int64_t>(typePosition - 4));
    file_.write(size, 4);
    file_.seek(static_cast<int64_t>(position_));
}

template <size_t N>
void AviFileSaveFile::writePatch(uint32_t id, Patch<N>& patch) {
    patch.position = position_ + 8;
    writeChunk(id, patch.body.data(), static_cast<uint32_t>(N));
}

template <size_t N>
void AviFileSaveFile::rewrite(const Patch<N>& patch) {
    file_.seek(static_cast<int64_t>(patch.position));
    file_.write(patch.body.data(), static_cast<int32_t>(N));
    file_.seek(static_cast<int64_t>(position_));
}

void AviFileSaveFile::rewriteFourcc(uint64_t chunkPosition, uint32_t id) {
    uint8_t code[4];
    put32(code, id);
    file_.seek(static_cast<int64_t>(chunkPosition));
    file_.write(code, 4);
    file_.seek(static_cast<int64_t>(position_));
}

void AviFileSaveFile::writeAlignment() {
    // The first chunk of the movi list that follows starts on a multiple of 2048.
    const uint32_t size = 2048 - static_cast<uint32_t>((position_ + 20) % 2048);
    if (zeros_.size() < size) zeros_.assign(size, 0);
    writeChunk(kJunk, zeros_.data(), size);
}

void AviFileSaveFile::writeHeaders() {
    const auto width = static_cast<uint32_t>(scene.width);
    const auto height = static_cast<uint32_t>(scene.height);
    riffList_ = beginList(kRiff, kAvi);
    hdrlList_ = beginList(kList, kHdrl);

    uint8_t* m = mainHeader_.body.data();
    put32(m, scene.rate == 0 ? 0 : static_cast<uint32_t>(static_cast<double>(scene.scale) * 1000000.0 / scene.rate));
    put32(m + 12, 0x810);
    put32(m + 24, 2);
    put32(m + 32, width);
    put32(m + 36, height);
    writePatch(kAvih, mainHeader_);

    Media::BitmapInfoHeader bitmap{};
    Media::ImageBuffer::getBitmapInfoHeader(videoFormat, width, height, bitmap);
    uint64_t strl = beginList(kList, kStrl);
    uint8_t* v = videoHeader_.body.data();
    put32(v, kVids);
    put32(v + 4, bitmap.biCompression);
    put32(v + 20, scene.scale);
    put32(v + 24, scene.rate);
    put32(v + 56, width);
    put32(v + 60, height);
    writePatch(kStrh, videoHeader_);
    uint8_t format[40];
    put32(format, 40);
    put32(format + 4, width);
    put32(format + 8, height);
    put16(format + 12, 1);
    put16(format + 14, bitmap.biBitCount);
    put32(format + 16, bitmap.biCompression);
    put32(format + 20, bitmap.biSizeImage);
    std::memset(format + 24, 0, 16);
    writeChunk(kStrf, format, sizeof format);
    put16(videoSuperIndex_.body.data(), 4);
    put32(videoSuperIndex_.body.data() + 8, kVideoChunk);
    writePatch(kJunk, videoSuperIndex_);
    closeList(strl);

    strl = beginList(kList, kStrl);
    uint8_t* a = audioHeader_.body.data();
    put32(a, kAuds);
    put32(a + 4, formatTag);
    put32(a + 20, blockAlign_);
    put32(a + 24, blockAlign_ * static_cast<uint32_t>(scene.audioRate));
    put32(a + 44, blockAlign_);
    writePatch(kStrh, audioHeader_);
    uint8_t wave[18];
    put16(wave, formatTag);
    put16(wave + 2, channels);
    put32(wave + 4, static_cast<uint32_t>(scene.audioRate));
    put32(wave + 8, blockAlign_ * static_cast<uint32_t>(scene.audioRate));
    put16(wave + 12, static_cast<uint16_t>(blockAlign_));
    put16(wave + 14, bitsPerSample);
    put16(wave + 16, 0);
    writeChunk(kStrf, wave, sizeof wave);
    put16(audioSuperIndex_.body.data(), 4);
    put32(audioSuperIndex_.body.data() + 8, kAudioChunk);
    writePatch(kJunk, audioSuperIndex_);
    closeList(strl);

    put32(odml_.body.data(), kOdml);
    put32(odml_.body.data() + 4, kDmlh);
    put32(odml_.body.data() + 8, 248);
    writePatch(kJunk, odml_);
    closeList(hdrlList_);
    writeAlignment();
    moviList_ = beginList(kList, kMovi);
}

void AviFileSaveFile::writeVideo(int32_t frame) {
    const auto width = static_cast<uint32_t>(scene.width);
    const auto height = static_cast<uint32_t>(scene.height);
    Media::BitmapInfoHeader header{};
    Media::ImageBuffer::getBitmapInfoHeader(videoFormat, width, height, header);
    const uint32_t size = header.biSizeImage;
    if (frame_.size() != size) {
        frame_.allocMemory(size);
        hasFrame_ = false;
    }
    // A frame of another format or size would not match the stream's header:
    // it counts as one that could not be rendered.
    const uint8_t* bits = nullptr;
    if (videoFormat == F::kB8G8R8X8Unorm && sourcePacksBgr24Bits()) {
        // Rows packed where the frame was drawn go out as they were read back;
        // rows read back further apart than the bitmap's are laid out first.
        const uint32_t rowBytes = height != 0 ? size / height : 0;
        if (const auto packed = getBgr24Bits(frame)) {
            const Media::FrameReadBack::Rows rows = packed->rows();
            if (rows.data && rows.height == height && rows.pitch == rowBytes) {
                bits = rows.data;
                lastBits_ = packed;
            } else if (rows.data && rows.height == height && rows.pitch > rowBytes) {
                for (uint32_t y = 0; y < height; ++y)
                    std::memcpy(frame_.data() + static_cast<size_t>(y) * rowBytes,
                                rows.data + static_cast<size_t>(y) * rows.pitch, rowBytes);
                bits = frame_.data();
                hasFrame_ = true;
                lastBits_.reset();
            }
        }
        if (!bits && lastBits_) {
            ++repeatedFrames;
            bits = lastBits_->rows().data;
        }
    } else if (const auto image = getVideo(frame, videoFormat, true);
               image && image->format == videoFormat && image->width == width && image->height == height) {
        image->copyToBitmap(header, frame_.data());
        hasFrame_ = true;
        bits = frame_.data();
    }
    if (!bits) {
        ++repeatedFrames;
        if (!hasFrame_) fillBlack(videoFormat, frame_.data(), size);
        hasFrame_ = true;
        bits = frame_.data();
    }
    index_.push_back({position_, size, 0, 0});
    largestVideo_ = std::max(largestVideo_, size);
    ++videoFrames_;
    writeChunk(kVideoChunk, bits, size);
}

void AviFileSaveFile::writeAudio(int32_t frame) {
    const int64_t expected = frameFirstSample(frame + 1) - frameFirstSample(frame);
    const auto block = getAudioBlock(frame, formatTag);
    const uint8_t* data = nullptr;
    uint64_t count = 0;
    if (block && block->formatTag == formatTag && block->bitsPerSample == bitsPerSample &&
        block->channels == channels && block->sampleCount >= 0 &&
        static_cast<uint64_t>(block->sampleCount) * blockAlign_ <= block->data.size()) {
        data = block->data.data();
        count = static_cast<uint64_t>(block->sampleCount);
    } else {
        // Silence of the frame's length keeps the sound of later frames in step.
        ++silentFrames;
        count = static_cast<uint64_t>(std::max<int64_t>(expected, 0));
        if (count == 0) return;
        if (zeros_.size() < count * blockAlign_) zeros_.assign(count * blockAlign_, 0);
        data = zeros_.data();
    }
    const auto bytes = static_cast<uint32_t>(count * blockAlign_);
    index_.push_back({position_, bytes, 1, 0});
    largestAudio_ = std::max(largestAudio_, bytes);
    samples_ += static_cast<uint32_t>(count);
    writeChunk(kAudioChunk, data, bytes);
}

void AviFileSaveFile::writeStandardIndex(uint16_t stream) {
    auto& super = stream == 0 ? videoSuperIndex_ : audioSuperIndex_;
    const uint32_t chunkId = stream == 0 ? kVideoChunk : kAudioChunk;
    uint32_t entries = 0;
    for (const IndexEntry& entry : index_) entries += entry.stream == stream;
    const uint32_t dataSize = kIndexHeaderSize + 8 * entries;

    uint8_t* body = super.body.data();
    const uint32_t used = get32(body + 4);
    uint8_t* slot = body + kIndexHeaderSize + 16 * used;
    put64(slot, position_);
    put32(slot + 8, dataSize);
    put32(slot + 12, stream == 0 ? videoFrames_ - riffVideoFrames_ : samples_ - riffSamples_);
    put32(body + 4, used + 1);
    rewrite(super);

    const uint64_t base = moviList_ + 4;
    std::vector<uint8_t> chunk(dataSize);
    put16(chunk.data(), 2);
    chunk[3] = 1;
    put32(chunk.data() + 4, entries);
    put32(chunk.data() + 8, chunkId);
    put64(chunk.data() + 12, base);
    uint8_t* out = chunk.data() + kIndexHeaderSize;
    for (const IndexEntry& entry : index_) {
        if (entry.stream != stream) continue;
        put32(out, static_cast<uint32_t>(entry.position - base + 8));
        put32(out + 4, entry.size & ~kNotKeyBit);
        out += 8;
    }
    writeChunk(stream == 0 ? kVideoIndex : kAudioIndex, chunk.data(), dataSize);
}

void AviFileSaveFile::finishRiff() {
    if (odmlUsed_) {
        if (riffNumber_ == 0) {
            rewriteFourcc(videoSuperIndex_.position - 8, kIndx);
            rewriteFourcc(audioSuperIndex_.position - 8, kIndx);
        }
        writeStandardIndex(0);
        writeStandardIndex(1);
    }
    closeList(moviList_);
    if (riffNumber_ == 0) {
        std::vector<uint8_t> idx1(index_.size() * 16);
        uint8_t* out = idx1.data();
        for (const IndexEntry& entry : index_) {
            put32(out, entry.stream == 0 ? kVideoChunk : kAudioChunk);
            put32(out + 4, kKeyFrameFlag);
            put32(out + 8, static_cast<uint32_t>(entry.position - moviList_));
            put32(out + 12, entry.size);
            out += 16;
        }
        writeChunk(kIdx1, idx1.data(), static_cast<uint32_t>(idx1.size()));
    }
    closeList(riffList_);

    if (riffNumber_ == 0) {
        put32(mainHeader_.body.data() + 16, videoFrames_);
        rewrite(mainHeader_);
    }
    if (odmlUsed_) {
        if (riffNumber_ == 0) rewriteFourcc(odml_.position - 8, kList);
        put32(odml_.body.data() + 12, videoFrames_);
        rewrite(odml_);
    }
    put32(videoHeader_.body.data() + 32, videoFrames_);
    put32(videoHeader_.body.data() + 36, largestVideo_);
    rewrite(videoHeader_);
    put32(audioHeader_.body.data() + 32, samples_);
    put32(audioHeader_.body.data() + 36, largestAudio_);
    rewrite(audioHeader_);
}

void AviFileSaveFile::changeRiff() {
    odmlUsed_ = true;
    finishRiff();
    ++riffNumber_;
    riffStart_ = position_;
    riffVideoFrames_ = videoFrames_;
    riffSamples_ = samples_;
    index_.clear();
    if (riffNumber_ >= kRiffMax) {
        // Every RIFF written so far is closed and indexed: the file is kept as it is.
        file_.close();
        throw System::messageException("Plugin::AviFileSaveFile::changeRiff", "exceeded super index entry max.");
    }
    riffList_ = beginList(kRiff, kAvix);
    writeAlignment();
    moviList_ = beginList(kList, kMovi);
}

bool AviFileSaveFile::save() {
    // A few frames rendered ahead keep the render workers busy while this
    // thread converts and writes the frame before.
    setVideoBufferSize(kFramesAhead);
    setAudioBufferSize(kFramesAhead);
    file_.open(outputPath, System::File::kWrite);
    position_ = 0;
    index_.reserve(2 * (static_cast<size_t>(std::max(frameCount, 0)) + 1));
    writeHeaders();
    for (int32_t i = 0; i < frameCount; ++i) {
        if (abort) break;
        framesDone = i;
        framesTotal = frameCount;
        writeVideo(startFrame + i);
        writeAudio(startFrame + i);
        if (position_ - riffStart_ >= splitSize) changeRiff();
    }
    finishRiff();
    file_.close();
    if (repeatedFrames > 0 || silentFrames > 0) {
        System::Log::warn("Plugin::AviFileSaveFile::save", "frames not rendered: video %d, audio %d", repeatedFrames,
                          silentFrames);
        throw System::formatException("Plugin::AviFileSaveFile::save", "some frames could not be rendered.",
                                      L"video = %d, audio = %d", repeatedFrames, silentFrames);
    }
    return true;
}

}  // namespace Plugin
