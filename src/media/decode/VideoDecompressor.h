#pragma once
#include <cstddef>
#include <cstdint>

#include "media/image/BitmapInfoHeader.h"
#include "media/decode/DataBuffer.h"
#include "platform/codecs/VideoCodec.h"

// Decompresses the frames of a compressed video stream into an uncompressed
// bitmap of a chosen format. The reader owns the source header and opens the
// codec; this object closes it.
namespace Media {

class VideoDecompressor {
public:
    VideoDecompressor(BitmapInfoHeader* source, Platform::codecs::VideoCodec* codec);
    ~VideoDecompressor();
    VideoDecompressor(const VideoDecompressor&) = delete;
    VideoDecompressor& operator=(const VideoDecompressor&) = delete;

    // bits 0 means the source's bit count.
    bool begin(uint32_t compression, uint16_t bits);
    // flag set: the frame is not a key frame.
    bool decode(const void* data, uint32_t size, bool flag);
    void close();

    const BitmapInfoHeader& outputHeader() const { return output_; }
    const uint8_t* outputData() const { return outputBuffer_.data(); }
    bool isOpen() const { return codec_ != nullptr; }

private:
    Platform::codecs::IcResult guardedSend(const char* scope, bool extended, const void* record);

    BitmapInfoHeader* source_;
    BitmapInfoHeader output_;
    System::DataBuffer outputBuffer_;
    Platform::codecs::VideoCodec* codec_;
    bool begun_ = false;
    bool begunEx_ = false;
};

}  // namespace Media
