#include "platform/codecs/VideoCodec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace Platform::codecs {

namespace {

constexpr uint32_t kYuy2 = 0x32595559;  // "YUY2"
// Larger frames than any stream we read; keeps every size below in 32 bits.
constexpr int32_t kMaxSide = 16384;
// Far more private data than any codec keeps.
constexpr size_t kMaxExtraSize = size_t{1} << 20;

bool sizeOk(const BitmapHeader& h) {
    const int64_t height = std::llabs(static_cast<int64_t>(h.biHeight));
    return h.biWidth > 0 && h.biWidth <= kMaxSide && height > 0 && height <= kMaxSide;
}

AVPixelFormat outputFormat(const BitmapHeader& h) {
    if (h.biCompression == kYuy2 && h.biBitCount == 16) return AV_PIX_FMT_YUYV422;
    if (h.biCompression == kBiRgb && h.biBitCount == 32) return AV_PIX_FMT_BGRA;
    if (h.biCompression == kBiRgb && h.biBitCount == 24) return AV_PIX_FMT_BGR24;
    return AV_PIX_FMT_NONE;
}

}  // namespace

struct VideoCodec {
    AVCodecContext* context = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* scaler = nullptr;
    // The converter writes whole vector widths past a row's end, so it
    // draws into this padded image and only the rows are copied out.
    uint8_t* scratch[4] = {};
    int scratchStride[4] = {};
    AVPixelFormat scratchFormat = AV_PIX_FMT_NONE;
    int width = 0;
    int height = 0;
};

uint32_t outputStride(const BitmapHeader& header) {
    if (!sizeOk(header) || outputFormat(header) == AV_PIX_FMT_NONE) return 0;
    return (static_cast<uint32_t>(header.biWidth) * (header.biBitCount / 8) + 3) & ~3u;
}

VideoCodec* openVideoCodec(uint32_t fourCC, const BitmapHeader& source, const void* extra, size_t extraSize) {
    // Damaged streams are reported by result, not on the console.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    if (!sizeOk(source)) return nullptr;
    const AVCodecTag* const tags[] = {avformat_get_riff_video_tags(), nullptr};
    // Uncompressed RGB (0) is read directly and never needs a decoder.
    const uint32_t tag = fourCC ? fourCC : source.biCompression;
    if (tag == kBiRgb) return nullptr;
    const AVCodecID id = av_codec_get_id(tags, tag);
    if (id == AV_CODEC_ID_NONE) return nullptr;
    const AVCodec* decoder = avcodec_find_decoder(id);
    if (!decoder) return nullptr;
    auto codec = std::unique_ptr<VideoCodec>(new (std::nothrow) VideoCodec);
    if (!codec) return nullptr;
    codec->context = avcodec_alloc_context3(decoder);
    codec->packet = av_packet_alloc();
    codec->frame = av_frame_alloc();
    if (!codec->context || !codec->packet || !codec->frame) {
        closeVideoCodec(codec.release());
        return nullptr;
    }
    codec->width = source.biWidth;
    codec->height = static_cast<int>(std::llabs(static_cast<int64_t>(source.biHeight)));
    codec->context->width = codec->width;
    codec->context->height = codec->height;
    codec->context->codec_tag = source.biCompression;
    codec->context->bits_per_coded_sample = source.biBitCount;
    if (extra && extraSize > 0) {
        if (extraSize > kMaxExtraSize) {
            closeVideoCodec(codec.release());
            return nullptr;
        }
        codec->context->extradata = static_cast<uint8_t*>(av_mallocz(extraSize + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!codec->context->extradata) {
            closeVideoCodec(codec.release());
            return nullptr;
        }
        std::memcpy(codec->context->extradata, extra, extraSize);
        codec->context->extradata_size = static_cast<int>(extraSize);
    }
    // The decoder's own slice threads, started once with the codec: each
    // packet still gives its frame at once, as frame threads would not.
    codec->context->thread_count = 0;
    codec->context->thread_type = FF_THREAD_SLICE;
    if (avcodec_open2(codec->context, decoder, nullptr) < 0) {
        closeVideoCodec(codec.release());
        return nullptr;
    }
    return codec.release();
}

IcResult decompressQuery(VideoCodec* codec, const BitmapHeader& source, const BitmapHeader& output) {
    if (!codec) return kIcBadParam;
    if (!sizeOk(source) || source.biWidth != codec->width ||
        std::llabs(static_cast<int64_t>(source.biHeight)) != codec->height)
        return kIcBadFormat;
    if (outputFormat(output) == AV_PIX_FMT_NONE || output.biWidth != source.biWidth ||
        std::llabs(static_cast<int64_t>(output.biHeight)) != codec->height)
        return kIcBadFormat;
    return kIcOk;
}

IcResult decompressBegin(VideoCodec* codec, const BitmapHeader& source, const BitmapHeader& output) {
    return decompressQuery(codec, source, output);
}

IcResult decompressExBegin(VideoCodec* codec, const DecompressEx& record) {
    if (!record.source || !record.destination) return kIcBadParam;
    return decompressQuery(codec, *record.source, *record.destination);
}

namespace {

IcResult run(VideoCodec* codec, const BitmapHeader* input, const void* data, const BitmapHeader* output, void* out) {
    if (!codec || !input || !output || !out || (!data && input->biSizeImage)) return kIcBadParam;
    if (decompressQuery(codec, *input, *output) != kIcOk) return kIcBadFormat;
    const uint32_t size = input->biSizeImage;
    if (size > static_cast<uint32_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE)) return kIcBadParam;
    if (av_new_packet(codec->packet, static_cast<int>(size)) < 0) return kIcError;
    if (size) std::memcpy(codec->packet->data, data, size);
    const int sent = avcodec_send_packet(codec->context, codec->packet);
    av_packet_unref(codec->packet);
    if (sent < 0) return kIcError;
    IcResult result = kIcError;
    while (avcodec_receive_frame(codec->context, codec->frame) >= 0) {
        AVFrame& f = *codec->frame;
        // A frame whose size differs from the header would not fit the output.
        if (f.width == codec->width && f.height == codec->height) {
            const AVPixelFormat format = outputFormat(*output);
            codec->scaler = sws_getCachedContext(codec->scaler, f.width, f.height, static_cast<AVPixelFormat>(f.format),
                                                 f.width, f.height, format, SWS_BICUBIC, nullptr, nullptr, nullptr);
            if (codec->scaler && format != codec->scratchFormat) {
                av_freep(&codec->scratch[0]);
                codec->scratchFormat = AV_PIX_FMT_NONE;
                if (av_image_alloc(codec->scratch, codec->scratchStride, (f.width + 63) & ~63, f.height + 2, format,
                                   64) >= 0)
                    codec->scratchFormat = format;
            }
            if (codec->scaler && codec->scratchFormat == format &&
                sws_scale(codec->scaler, f.data, f.linesize, 0, f.height, codec->scratch, codec->scratchStride) ==
                    f.height) {
                const size_t stride = outputStride(*output);
                const size_t row = format == AV_PIX_FMT_YUYV422
                                       ? static_cast<size_t>((f.width + 1) / 2) * 4
                                       : static_cast<size_t>(f.width) * (output->biBitCount / 8);
                auto* bytes = static_cast<uint8_t*>(out);
                // RGB bitmaps with a positive height run bottom-up.
                const bool bottomUp = format != AV_PIX_FMT_YUYV422 && output->biHeight > 0;
                for (int y = 0; y < f.height; ++y) {
                    const size_t to = static_cast<size_t>(bottomUp ? f.height - 1 - y : y) * stride;
                    std::memcpy(bytes + to, codec->scratch[0] + static_cast<size_t>(y) * codec->scratchStride[0],
                                std::min(row, stride));
                }
                result = kIcOk;
            }
        }
        av_frame_unref(codec->frame);
    }
    return result;
}

}  // namespace

IcResult decompress(VideoCodec* codec, const Decompress& record) {
    return run(codec, record.input, record.inputData, record.output, record.outputData);
}

IcResult decompressEx(VideoCodec* codec, const DecompressEx& record) {
    return run(codec, record.source, record.sourceData, record.destination, record.destinationData);
}

IcResult decompressEnd(VideoCodec* codec) { return codec ? kIcOk : kIcBadParam; }

IcResult decompressExEnd(VideoCodec* codec) { return codec ? kIcOk : kIcBadParam; }

IcResult closeVideoCodec(VideoCodec* codec) {
    if (!codec) return kIcBadParam;
    avcodec_free_context(&codec->context);
    av_packet_free(&codec->packet);
    av_frame_free(&codec->frame);
    sws_freeContext(codec->scaler);
    av_freep(&codec->scratch[0]);
    delete codec;
    return kIcOk;
}

}  // namespace Platform::codecs
