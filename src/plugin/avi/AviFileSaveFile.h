#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/AlignedBuffer.h"
#include "core/File.h"
#include "plugin/OutputFile.h"
#include "plugin/avi/AviFormat.h"

// One AVI export. Everything is written in one pass: the headers first with
// room reserved for the extended index, then one video and one audio chunk per
// frame, and the counts patched into the headers in place as each RIFF closes.
// Past the split size the file goes on in an "AVIX" RIFF, and every RIFF then
// carries standard indexes that the reserved super indexes point at.
namespace Plugin {

class AviFileSaveFile : public OutputFile {
public:
    static constexpr uint64_t kSplitSize = 0x7E000000;
    static constexpr uint32_t kRiffMax = Avi::kSuperIndexEntries;
    // Frames the export caches render ahead of the one being written.
    static constexpr int32_t kFramesAhead = 4;

    AviFileSaveFile(const std::wstring& path, const ExportScene& scene, ExportSource* source,
                    const std::wstring& videoType, const std::wstring& audioType);
    ~AviFileSaveFile() override;

    // Writes the file; it appears under its name only once it is complete.
    // Frames that could not be rendered still get their chunks (the previous
    // picture, silence), and are then reported by a throw after the file is
    // in place.
    bool save() override;

    int32_t videoFormat = 88;
    uint16_t formatTag = 1;
    uint16_t bitsPerSample = 16;
    uint16_t channels = 2;
    // The size of a RIFF after which the next frame goes into a new one.
    uint64_t splitSize = kSplitSize;
    // After save: frames whose picture was repeated, and whose sound was silence.
    int32_t repeatedFrames = 0;
    int32_t silentFrames = 0;

private:
    struct IndexEntry {
        uint64_t position = 0;  // of the chunk's FOURCC
        uint32_t size = 0;
        uint16_t stream = 0;  // 0 video, 1 audio
        uint8_t notKey = 0;
    };
    // A header kept in memory and rewritten in place.
    template <size_t N>
    struct Patch {
        std::array<uint8_t, N> body{};
        uint64_t position = 0;
    };

    void write(const void* data, uint32_t size);
    void writeChunk(uint32_t id, const void* data, uint32_t size);
    uint64_t beginList(uint32_t id, uint32_t type);  // the position of the type FOURCC
    void closeList(uint64_t typePosition);
    template <size_t N>
    void writePatch(uint32_t id, Patch<N>& patch);
    template <size_t N>
    void rewrite(const Patch<N>& patch);
    void rewriteFourcc(uint64_t chunkPosition, uint32_t id);
    void writeAlignment();
    void writeHeaders();
    void writeVideo(int32_t frame);
    void writeAudio(int32_t frame);
    void changeRiff();
    void finishRiff();
    void writeStandardIndex(uint16_t stream);

    System::File file_;
    uint64_t position_ = 0;
    uint64_t riffList_ = 0, hdrlList_ = 0, moviList_ = 0;
    Patch<Avi::kMainHeaderSize> mainHeader_;
    Patch<Avi::kStreamHeaderSize> videoHeader_, audioHeader_;
    Patch<Avi::kSuperIndexSize> videoSuperIndex_, audioSuperIndex_;
    Patch<Avi::kOdmlSize> odml_;
    std::vector<IndexEntry> index_;
    uint32_t videoFrames_ = 0;
    uint32_t samples_ = 0;
    uint32_t largestVideo_ = 0, largestAudio_ = 0;
    uint32_t riffNumber_ = 0;
    uint64_t riffStart_ = 0;
    uint32_t riffVideoFrames_ = 0, riffSamples_ = 0;
    bool odmlUsed_ = false;
    uint32_t blockAlign_ = 4;
    System::AlignedBuffer frame_;  // the last picture laid out, repeated for a frame that has none
    // The last 24-bit picture packed by the source, written where it was read
    // back, and repeated in its place for a frame that has none.
    std::shared_ptr<Media::FrameReadBack> lastBits_;
    bool hasFrame_ = false;
    std::vector<uint8_t> zeros_;
};

}  // namespace Plugin
