#include "media/decode/VideoDecompressor.h"

#include <bit>

#include "core/Exception.h"

namespace Media {

namespace Codecs = Platform::codecs;

namespace {

static_assert(sizeof(Codecs::BitmapHeader) == sizeof(BitmapInfoHeader));

Codecs::BitmapHeader toCodec(const BitmapInfoHeader& h) { return std::bit_cast<Codecs::BitmapHeader>(h); }

Codecs::Rect frameRect(const BitmapInfoHeader& h) {
    const int32_t height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    return {0, 0, h.biWidth, height};
}

}  // namespace

VideoDecompressor::VideoDecompressor(BitmapInfoHeader* source, Codecs::VideoCodec* codec)
    : source_(source), codec_(codec) {}

VideoDecompressor::~VideoDecompressor() { close(); }

bool VideoDecompressor::begin(uint32_t compression, uint16_t bits) {
    if (!codec_ || !source_ || begun_ || begunEx_) return false;
    output_ = {};
    output_.biSize = 40;
    output_.biWidth = source_->biWidth;
    output_.biHeight = source_->biHeight;
    output_.biPlanes = 1;
    output_.biBitCount = bits ? bits : source_->biBitCount;
    output_.biCompression = compression;
    const Codecs::BitmapHeader out = toCodec(output_);
    const uint32_t stride = Codecs::outputStride(out);
    // The stride is 0 for sizes and formats no codec writes, which keeps the
    // image size from wrapping around.
    if (stride == 0) return false;
    const int64_t height = output_.biHeight < 0 ? -static_cast<int64_t>(output_.biHeight) : output_.biHeight;
    output_.biSizeImage = static_cast<uint32_t>(height * stride);
    const Codecs::BitmapHeader in = toCodec(*source_);
    if (Codecs::decompressQuery(codec_, in, out) != Codecs::kIcOk) return false;
    if (Codecs::decompressBegin(codec_, in, out) == Codecs::kIcOk) {
        begun_ = true;
        return true;
    }
    Codecs::DecompressEx record;
    record.source = &in;
    record.destination = &out;
    record.destinationRect = frameRect(output_);
    record.sourceRect = frameRect(output_);
    if (Codecs::decompressExBegin(codec_, record) == Codecs::kIcOk) {
        begunEx_ = true;
        return true;
    }
    return false;
}

bool VideoDecompressor::decode(const void* data, uint32_t size, bool flag) {
    if (!codec_ || !source_ || (!begun_ && !begunEx_)) return false;
    source_->biSizeImage = size;
    outputBuffer_.allocMemory(output_.biSizeImage);
    const Codecs::BitmapHeader in = toCodec(*source_);
    const Codecs::BitmapHeader out = toCodec(output_);
    const uint32_t flags = flag ? Codecs::kDecompressNotKeyFrame : 0;
    if (begunEx_) {
        Codecs::DecompressEx record{
            flags, &in, data, &out, outputBuffer_.data(), frameRect(output_), frameRect(output_)};
        return guardedSend("Media::VideoDecompressor::decodeEx", true, &record) == Codecs::kIcOk;
    }
    Codecs::Decompress record{flags, &in, data, &out, outputBuffer_.data(), fourCC(flag ? "00dc" : "00db")};
    return guardedSend("Media::VideoDecompressor::decode", false, &record) == Codecs::kIcOk;
}

Codecs::IcResult VideoDecompressor::guardedSend(const char* scope, bool extended, const void* record) {
    return System::guardedCall("ICSendMessage", scope, [&] {
        return extended ? Codecs::decompressEx(codec_, *static_cast<const Codecs::DecompressEx*>(record))
                        : Codecs::decompress(codec_, *static_cast<const Codecs::Decompress*>(record));
    });
}

void VideoDecompressor::close() {
    if (!codec_) return;
    if (begun_) Codecs::decompressEnd(codec_);
    if (begunEx_) Codecs::decompressExEnd(codec_);
    begun_ = begunEx_ = false;
    Codecs::closeVideoCodec(codec_);
    codec_ = nullptr;
}

}  // namespace Media
