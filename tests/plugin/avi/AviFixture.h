#pragma once
// What the AVI tests share: a source of numbered test frames and sound, a
// walker over the chunks of a written file, and byte-level file edits.
#include <cstdint>
#include <cmath>
#include <cstring>
#include <algorithm>
#include <stdexcept>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "media/audio/RawAudioBuffer.h"
#include "media/gpu/FrameReadBack.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "plugin/ExportSource.h"
#include "plugin/avi/AviFormat.h"

namespace AviTest {

// A pixel's byte of frame f; every frame differs and every row and column too.
inline uint8_t pixelByte(int32_t frame, uint32_t x, uint32_t y, uint32_t c) {
    return static_cast<uint8_t>(frame * 37 + x * 3 + y * 11 + c * 85);
}
// Sample s (scene position) of channel c as 16-bit PCM.
inline int16_t sample(int64_t s, int c) { return static_cast<int16_t>((s * 7 + c * 1000) % 30000); }

class TestSource : public Plugin::ExportSource {
public:
    TestSource(uint32_t rate, uint32_t scale, int32_t audioRate) : rate_(rate), scale_(scale), audioRate_(audioRate) {}

    std::shared_ptr<Media::ImageBuffer> renderVideo(int32_t frame, int32_t format, bool) override {
        ++videoRequests;
        if (failVideo.count(frame)) return nullptr;
        auto image = Media::ImageBuffer::make(format, width, height);
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* row = image->data() + static_cast<size_t>(y) * image->pitch;
            const uint32_t rowBytes = image->pitch;
            for (uint32_t i = 0; i < rowBytes; ++i) row[i] = pixelByte(frame, i / 4, y, i % 4);
        }
        if (onFrame) onFrame(frame);
        return image;
    }

    std::shared_ptr<Media::RawAudioBuffer> renderAudio(int32_t frame, int32_t sampleFormat) override {
        if (failAudio.count(frame)) return nullptr;
        const int64_t first = firstSample(frame);
        const int64_t count = firstSample(frame + 1) - first;
        auto block = std::make_shared<Media::RawAudioBuffer>();
        block->formatTag = sampleFormat == 1 ? 1 : 3;
        block->bitsPerSample = sampleFormat == 1 ? 16 : 32;
        block->channels = 2;
        block->blockAlign = sampleFormat == 1 ? 4 : 8;
        block->sampleCount = static_cast<int32_t>(count);
        block->data.allocMemory(static_cast<uint32_t>(count * block->blockAlign));
        for (int64_t i = 0; i < count; ++i)
            for (int c = 0; c < 2; ++c) {
                const int16_t v = sample(first + i, c);
                if (sampleFormat == 1)
                    std::memcpy(block->data.data() + i * 4 + c * 2, &v, 2);
                else {
                    const float f = v / 32768.0f;
                    std::memcpy(block->data.data() + i * 8 + c * 4, &f, 4);
                }
            }
        return block;
    }

    int64_t firstSample(int64_t frame) const {
        return std::llround(static_cast<double>(audioRate_) * static_cast<double>(frame) * scale_ / rate_);
    }

    uint32_t width = 64;
    uint32_t height = 36;
    std::set<int32_t> failVideo, failAudio;
    std::function<void(int32_t)> onFrame;
    int videoRequests = 0;

private:
    uint32_t rate_, scale_;
    int32_t audioRate_;
};

// The same frames, also handed out as 24-bit bitmap rows packed by the source.
class PackingSource : public TestSource {
public:
    using TestSource::TestSource;

    bool packsBgr24Bits() const override { return true; }
    std::shared_ptr<Media::FrameReadBack> renderBgr24Bits(int32_t frame) override {
        ++packedRequests;
        const auto image = renderVideo(frame, Media::PixelFormat::kB8G8R8X8Unorm, true);
        if (!image) return nullptr;
        Media::BitmapInfoHeader header{};
        Media::ImageBuffer::getBitmapInfoHeader(Media::PixelFormat::kB8G8R8X8Unorm, width, height, header);
        const uint32_t rowBytes = header.biSizeImage / height;
        std::vector<uint8_t> laid(header.biSizeImage);
        image->copyToBitmap(header, laid.data());
        auto bits = std::make_shared<Media::ImageBuffer>(Media::PixelFormat::kR8G8B8A8Unorm, 0, 0);
        bits->create(rowBytes / 4, height, rowBytes + padding);
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* row = bits->data() + static_cast<size_t>(y) * bits->pitch;
            std::memcpy(row, laid.data() + static_cast<size_t>(y) * rowBytes, rowBytes);
            std::memset(row + rowBytes, 0x5a, padding);  // never written out
        }
        return std::make_shared<Media::FrameReadBack>(bits);
    }

    uint32_t padding = 0;  // bytes after each row, as staging memory may have
    int packedRequests = 0;
};

struct Chunk {
    uint32_t id = 0;        // the FOURCC; for lists the list type
    bool list = false;      // RIFF or LIST
    uint64_t position = 0;  // of the FOURCC (for lists of the "RIFF"/"LIST" code)
    uint32_t size = 0;
    int depth = 0;
};

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Every chunk of the file in order, lists entered.
inline void walk(const std::vector<uint8_t>& b, uint64_t start, uint64_t end, int depth, std::vector<Chunk>& out) {
    using Plugin::Avi::get32;
    for (uint64_t at = start; at + 8 <= end;) {
        const uint32_t id = get32(&b[at]);
        const uint32_t size = get32(&b[at + 4]);
        const bool list = id == Plugin::Avi::kRiff || id == Plugin::Avi::kList;
        out.push_back({list ? get32(&b[at + 8]) : id, list, at, size, depth});
        if (list) walk(b, at + 12, std::min<uint64_t>(at + 8 + size, end), depth + 1, out);
        at += 8 + uint64_t{size} + (size & 1);
    }
}
inline std::vector<Chunk> chunks(const std::vector<uint8_t>& bytes) {
    std::vector<Chunk> out;
    walk(bytes, 0, bytes.size(), 0, out);
    return out;
}
inline std::vector<Chunk> find(const std::vector<Chunk>& all, uint32_t id) {
    std::vector<Chunk> out;
    for (const Chunk& c : all)
        if (c.id == id) out.push_back(c);
    return out;
}

// A fresh temporary folder for one test program, removed at exit.
class TempFolder {
public:
    static TempFolder& instance() {
        static TempFolder folder;
        return folder;
    }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

private:
    TempFolder() {
        char pattern[] = "/tmp/velmo-avi-XXXXXX";
        if (mkdtemp(pattern) == nullptr) throw std::runtime_error("no temporary folder");
        folder_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::filesystem::path folder_;
};

}  // namespace AviTest
