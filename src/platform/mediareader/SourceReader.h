#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/mediareader/MediaType.h"
#include "platform/mediareader/Sample.h"
#include "platform/os/Result.h"

namespace Platform::mediareader {

inline constexpr uint32_t kFirstVideoStream = 0xfffffffc;
inline constexpr uint32_t kFirstAudioStream = 0xfffffffd;
inline constexpr uint32_t kAllStreams = 0xfffffffe;

// Flags of readSample.
inline constexpr uint32_t kFlagError = 0x1;
inline constexpr uint32_t kFlagEndOfStream = 0x2;
inline constexpr uint32_t kFlagCurrentMediaTypeChanged = 0x20;

// Failure codes, the numbers the platform's own reader reports.
inline constexpr Result kAttributeNotFound = static_cast<Result>(0xC00D36E6u);
inline constexpr Result kInvalidMediaType = static_cast<Result>(0xC00D36B4u);
inline constexpr Result kInvalidStreamNumber = static_cast<Result>(0xC00D36B3u);
inline constexpr Result kUnsupportedByteStream = static_cast<Result>(0xC00D36C4u);
inline constexpr Result kNotInitialized = static_cast<Result>(0xC00D36B6u);

// Reads the first video and the first audio stream of one file. Only
// selected streams deliver samples; packets of others are dropped. Video
// frames come upright (the stream's display rotation applied); audio times
// are those of the first sample after the decoder's priming is trimmed.
class SourceReader {
public:
    ~SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    // path is UTF-8. Advanced video processing changes nothing here: every
    // output format is converted anyway.
    static Result create(const std::string& path, bool advancedVideoProcessing, std::unique_ptr<SourceReader>& out);

    // Of the whole presentation, 100 ns units.
    Result getDuration(int64_t& duration) const;
    // Where the stream's own index says it ends, 100 ns units; kAttributeNotFound
    // when the container states no length for it.
    Result getStreamEnd(uint32_t stream, int64_t& end) const;
    // kOk with the selection when the stream exists, else kInvalidStreamNumber.
    Result getStreamSelection(uint32_t stream, bool& selected) const;
    Result setStreamSelection(uint32_t stream, bool selected);
    Result setCurrentMediaType(uint32_t stream, const MediaType& type);
    Result getCurrentMediaType(uint32_t stream, MediaType& type) const;
    // 100 ns units; decoding goes on from a key frame at or before it, so the next
    // video sample starts at or before the position (or is the stream's first).
    // Audio is decoded from a little earlier for the decoder to settle, and
    // samples that end by the position are left out.
    Result setCurrentPosition(int64_t position);
    // On success sample is null when flags report the end or an error.
    Result readSample(uint32_t stream, uint32_t& flags, int64_t& timestamp, std::shared_ptr<Sample>& sample);

    // Number of position changes so far (for callers' tests).
    int32_t seekCount() const;

    struct State;

private:
    explicit SourceReader(std::unique_ptr<State> state);
    std::unique_ptr<State> state;
};

}  // namespace Platform::mediareader
