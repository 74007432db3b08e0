#include "platform/mediareader/SourceReader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "platform/mediareader/MediaReader.h"

namespace Platform::mediareader {

Result startup(uint32_t, uint32_t) { return kOk; }
Result shutdown() { return kOk; }

namespace {

constexpr AVRational kHundredNs{1, 10000000};
// Frames beyond this edge are refused: a damaged header must not ask for gigabytes.
constexpr int kMaxEdge = 16384;
constexpr int kMaxSampleRate = 768000;
// The most one allocation inside the demuxers and decoders may take: far above any
// frame plane up to the edge limit at 8 bits, far below what a header can claim
// (a chunk size of 4 GB in a file of 60 bytes).
constexpr size_t kMaxAllocation = size_t{300} << 20;
// Compressed audio decodes wrongly just after a seek until the decoder has seen
// this much of what comes before (overlapped transforms, bit reservoirs).
constexpr int64_t kAudioPreroll = 2000000;
// A seek that lands after the asked position steps back this far, doubling, before
// it starts again from the top.
constexpr int64_t kSeekStepBack = 10000000;
constexpr int kSeekTries = 5;
constexpr int64_t kNoSample = INT64_MIN;

// A decoded frame waiting to be handed out, with its time from the start, 100 ns.
struct Pending {
    AVFrame* frame = nullptr;
    int64_t time = 0;
    int64_t duration = 0;
    bool valid = false;

    void clear() {
        if (frame != nullptr) av_frame_unref(frame);
        valid = false;
    }
};

struct StreamState {
    int index = -1;
    AVCodecContext* codec = nullptr;
    bool selected = true;
    bool typeSet = false;
    MediaType current;
    SwsContext* sws = nullptr;
    SwrContext* swr = nullptr;
    int swrRate = 0;
    int swrFormat = -1;
    AVChannelLayout swrLayout{};
    int64_t nextTime = 0;
    bool needKey = false;         // after a seek, packets before a key frame are dropped
    int rotation = 0;             // clockwise quarter turns that show the picture upright, 0..3
    SwsContext* widen = nullptr;  // to a format whose planes turn as they are
    AVFrame* wide = nullptr;
    AVFrame* turned = nullptr;
    Pending held;            // the next frame to hand out (video: read one ahead for its duration)
    // Video samples handed out before: one nobody holds any more takes the next
    // frame in memory already paged in, instead of a new frame's worth of pages.
    std::shared_ptr<Sample> spare[2];
    int nextSpare = 0;
    int64_t dropBefore = 0;  // audio: frames ending at or before this are decoded but not handed out
    int64_t preroll = 0;     // audio: how far before a seek position decoding starts
    int64_t lag = 0;         // audio: how much later than its audio a decoded frame is stamped
    // Audio in a container that stamps coarser than a sample (Matroska: to the
    // millisecond): frames end only every `granule` samples from `phase`, so a
    // frame is placed to end on the nearest of those sample positions to its
    // stamp, or right after the frame before when its stamp agrees within a tick.
    int64_t granule = 0;
    int64_t phase = 0;
    int64_t tickSamples = 0;                // how many samples one stamp tick spans, rounded up
    int64_t nextSample = kNoSample;         // where the frame after the last one starts; none after a seek

    void releaseConverters() {
        sws_freeContext(sws);
        sws = nullptr;
        swr_free(&swr);
        av_channel_layout_uninit(&swrLayout);
        swrRate = 0;
        swrFormat = -1;
    }
    ~StreamState() {
        releaseConverters();
        sws_freeContext(widen);
        av_frame_free(&wide);
        av_frame_free(&turned);
        av_frame_free(&held.frame);
        avcodec_free_context(&codec);
    }
};

Result errorResult(int err) {
    if (err == AVERROR(ENOENT)) return kFileNotFound;
    if (err == AVERROR(ENOMEM)) return kOutOfMemory;
    return kUnsupportedByteStream;
}

}  // namespace

struct SourceReader::State {
    std::string path;
    AVFormatContext* format = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    StreamState video, audio;
    int64_t startTime = 0;         // where time 0 lies in the container, 100 ns
    int64_t startShift = 0;        // from the container's start to the first sample after priming, 100 ns
    std::deque<AVPacket*> queued;  // read ahead while opening, handed out before the demuxer's next
    bool demuxEnded = false;
    bool drainSent = false;
    int32_t seeks = 0;
    bool untouched = true;  // nothing read since the file was opened

    ~State() {
        dropQueued();
        av_frame_free(&frame);
        av_packet_free(&packet);
        avformat_close_input(&format);
    }

    Result openFormat() {
        avformat_close_input(&format);
        // A playlist inside a media file may name other files or network
        // addresses: only plain local files are opened.
        AVDictionary* options = nullptr;
        av_dict_set(&options, "protocol_whitelist", "file", 0);
        const int err = avformat_open_input(&format, path.c_str(), nullptr, &options);
        av_dict_free(&options);
        if (err < 0) {
            format = nullptr;
            return errorResult(err);
        }
        if (int err = avformat_find_stream_info(format, nullptr); err < 0) return errorResult(err);
        startTime =
            format->start_time != AV_NOPTS_VALUE ? av_rescale_q(format->start_time, AV_TIME_BASE_Q, kHundredNs) : 0;
        startTime += startShift;
        dropQueued();
        demuxEnded = false;
        drainSent = false;
        untouched = true;
        return kOk;
    }

    void dropQueued() {
        for (AVPacket* p : queued) av_packet_free(&p);
        queued.clear();
    }

    // The next packet of the file: first those read ahead, then the demuxer's.
    int readPacket(AVPacket* into) {
        if (queued.empty()) return av_read_frame(format, into);
        AVPacket* p = queued.front();
        queued.pop_front();
        av_packet_move_ref(into, p);
        av_packet_free(&p);
        return 0;
    }

    StreamState* pick(uint32_t stream) {
        if (stream == kFirstVideoStream || (video.index >= 0 && stream == static_cast<uint32_t>(video.index)))
            return video.index >= 0 ? &video : nullptr;
        if (stream == kFirstAudioStream || (audio.index >= 0 && stream == static_cast<uint32_t>(audio.index)))
            return audio.index >= 0 ? &audio : nullptr;
        return nullptr;
    }

    // After a seek: decoders empty, nothing held, packets taken from the next key frame on.
    void restart(bool fromKey) {
        for (StreamState* s : {&video, &audio}) {
            s->needKey = fromKey;
            s->held.clear();
            s->nextSample = kNoSample;
            if (s->codec != nullptr) avcodec_flush_buffers(s->codec);
        }
        demuxEnded = false;
        drainSent = false;
    }

    // Opens the file again and decodes from its very start. A file that has
    // lost its streams meanwhile is closed: the reader then only reports errors.
    Result reopen() {
        Result r = openFormat();
        if (succeeded(r) && (video.index >= static_cast<int>(format->nb_streams) ||
                             audio.index >= static_cast<int>(format->nb_streams)))
            r = kUnsupportedByteStream;
        if (failed(r)) {
            avformat_close_input(&format);
            return r;
        }
        restart(false);
        return kOk;
    }

    StreamState* served() {
        if (video.index >= 0 && video.selected) return &video;
        if (audio.index >= 0 && audio.selected) return &audio;
        return nullptr;
    }
};

namespace {

// Clockwise quarter turns that bring the stored picture upright, from the stream's display matrix.
int displayRotation(const AVStream* stream) {
    size_t size = 0;
    const uint8_t* data = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (data == nullptr || size < 9 * sizeof(int32_t)) return 0;
    int32_t matrix[9];
    std::memcpy(matrix, data, sizeof matrix);
    const double counterClockwise = av_display_rotation_get(matrix);
    if (!std::isfinite(counterClockwise)) return 0;
    const long turns = std::lround(-counterClockwise / 90.0) % 4;
    return static_cast<int>(turns < 0 ? turns + 4 : turns);
}

void openDecoder(StreamState& s, const AVStream* stream) {
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (decoder == nullptr) return;
    s.codec = avcodec_alloc_context3(decoder);
    if (s.codec == nullptr) return;
    // Video decodes on the decoder's own threads; audio is cheap enough on one.
    s.codec->thread_count = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? 0 : 1;
    if (avcodec_parameters_to_context(s.codec, stream->codecpar) < 0) {
        avcodec_free_context(&s.codec);
        return;
    }
    // With the packets' time base the decoder moves a frame's time past the priming it trims.
    s.codec->pkt_timebase = stream->time_base;
    if (avcodec_open2(s.codec, decoder, nullptr) < 0) {
        avcodec_free_context(&s.codec);
        return;
    }
    s.held.frame = av_frame_alloc();
    if (s.held.frame == nullptr) avcodec_free_context(&s.codec);
}

// Samples between the places a frame of this codec can start: Opus frames
// last a multiple of 2.5 ms; a Vorbis packet gives a quarter of each of two
// blocks, so a multiple of a quarter of the short block, which the
// identification header gives; other codecs their fixed frame size. 0: unknown.
int64_t audioGranule(const AVCodecParameters* p) {
    switch (p->codec_id) {
    case AV_CODEC_ID_OPUS:
        return p->sample_rate == 48000 ? 120 : 0;
    case AV_CODEC_ID_VORBIS: {
        // The header is found by its packet type and name inside the laced headers.
        static constexpr uint8_t kName[7] = {1, 'v', 'o', 'r', 'b', 'i', 's'};
        const uint8_t* data = p->extradata;
        const int size = p->extradata_size;
        for (int i = 0; data != nullptr && i + 30 <= size; ++i)
            if (std::memcmp(data + i, kName, sizeof kName) == 0) {
                const int shortBlock = 1 << (data[i + 28] & 0x0f);
                return shortBlock >= 64 ? shortBlock / 4 : 0;
            }
        return 0;
    }
    default:
        return p->frame_size > 0 ? p->frame_size : 0;
    }
}

// Places audio frames on their codec's sample grid where the container's
// stamps are coarser than a sample yet finer than the grid.
void setAudioGranule(StreamState& s, const AVStream* stream) {
    const AVCodecParameters* p = stream->codecpar;
    const AVRational base = stream->time_base;
    if (p->sample_rate <= 0 || base.num <= 0 || base.den <= 0) return;
    const int64_t tick = av_rescale_rnd(p->sample_rate, base.num, base.den, AV_ROUND_UP);
    const int64_t granule = audioGranule(p);
    if (tick > 1 && granule > tick) {
        s.granule = granule;
        s.tickSamples = tick;
    }
}

void findStreams(SourceReader::State& st) {
    for (unsigned i = 0; i < st.format->nb_streams; ++i) {
        const AVStream* stream = st.format->streams[i];
        const auto type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO && st.video.index < 0 && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
            st.video.index = static_cast<int>(i);
            st.video.rotation = displayRotation(stream);
            openDecoder(st.video, stream);
        } else if (type == AVMEDIA_TYPE_AUDIO && st.audio.index < 0) {
            st.audio.index = static_cast<int>(i);
            openDecoder(st.audio, stream);
            const AVCodecDescriptor* d = avcodec_descriptor_get(stream->codecpar->codec_id);
            // Lossy codecs overlap their blocks or borrow bits from earlier packets.
            const bool everyPacketStandsAlone = d != nullptr && (d->props & AV_CODEC_PROP_LOSSLESS);
            const int rate = stream->codecpar->sample_rate;
            int64_t preroll = everyPacketStandsAlone ? 0 : kAudioPreroll;
            if (rate > 0 && stream->codecpar->seek_preroll > 0)
                preroll = std::max(preroll, av_rescale(stream->codecpar->seek_preroll, 10000000, rate));
            st.audio.preroll = preroll;
            setAudioGranule(st.audio, stream);
        }
    }
}

// Where the audio truly starts. Some containers stamp the first packet before
// the decoder trims its priming (Matroska's codec delay), and some decoders give
// nothing for their first packet, so that their audio carries the next packet's
// later stamp. The first audio frame is decoded here, on a decoder of its own,
// from packets kept for the reader: when whole packets gave nothing, every frame
// is moved back so that the first starts with the stream; and time 0 moves to
// the first sample after priming when that is where the file begins.
void findAudioStart(SourceReader::State& st) {
    StreamState& a = st.audio;
    if (a.index < 0 || a.codec == nullptr) return;
    const AVStream* stream = st.format->streams[a.index];
    const int rate = stream->codecpar->sample_rate;
    if (rate <= 0) return;
    AVCodecContext* probe = avcodec_alloc_context3(a.codec->codec);
    AVFrame* frame = av_frame_alloc();
    // A file whose audio comes late is not read far ahead for it.
    constexpr size_t kMaxPackets = 512;
    constexpr int64_t kMaxBytes = 16 << 20;
    int64_t bytes = 0;
    int sent = 0;
    int64_t firstPts = AV_NOPTS_VALUE;
    int64_t skipped = 0;  // samples the container marks for trimming
    int64_t framePts = AV_NOPTS_VALUE;
    int64_t frameSamples = 0;
    if (probe != nullptr && frame != nullptr && avcodec_parameters_to_context(probe, stream->codecpar) >= 0) {
        probe->pkt_timebase = stream->time_base;
        probe->thread_count = 1;
        if (avcodec_open2(probe, a.codec->codec, nullptr) >= 0) {
            for (size_t n = 0; n < kMaxPackets && bytes < kMaxBytes && framePts == AV_NOPTS_VALUE; ++n) {
                AVPacket* p = av_packet_alloc();
                if (p == nullptr || av_read_frame(st.format, p) < 0) {
                    av_packet_free(&p);
                    break;
                }
                st.queued.push_back(p);
                bytes += p->size;
                if (p->stream_index != a.index) continue;
                if (sent == 0) {
                    if (p->pts == AV_NOPTS_VALUE) break;
                    firstPts = p->pts;
                }
                size_t size = 0;
                if (const uint8_t* side = av_packet_get_side_data(p, AV_PKT_DATA_SKIP_SAMPLES, &size);
                    side && size >= 4)
                    skipped += AV_RL32(side);
                ++sent;
                if (avcodec_send_packet(probe, p) < 0) continue;
                if (avcodec_receive_frame(probe, frame) == 0 && frame->nb_samples > 0) {
                    framePts = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
                    frameSamples = frame->nb_samples;
                }
            }
        }
    }
    avcodec_free_context(&probe);
    av_frame_free(&frame);
    if (framePts == AV_NOPTS_VALUE || firstPts == AV_NOPTS_VALUE) return;
    const int64_t frameTime = av_rescale_q(framePts, stream->time_base, kHundredNs) - st.startTime;
    // The stream's start counts what the container marks for trimming.
    const int64_t untrimmed = stream->start_time != AV_NOPTS_VALUE
                                  ? av_rescale_q(stream->start_time, stream->time_base, kHundredNs) - st.startTime
                                  : av_rescale_q(firstPts, stream->time_base, kHundredNs) - st.startTime +
                                        av_rescale(skipped, 10000000, rate);
    // Only a few milliseconds of decoder delay are corrected; more would be a damaged stamp.
    constexpr int64_t kMostShift = 1000000;
    if (sent > 1 && frameTime > untrimmed && frameTime - untrimmed <= kMostShift) a.lag = frameTime - untrimmed;
    const int64_t audioStart = frameTime - a.lag;
    int64_t start = audioStart;
    if (st.video.index >= 0) {
        const AVStream* v = st.format->streams[st.video.index];
        start = std::min(start, v->start_time != AV_NOPTS_VALUE
                                    ? av_rescale_q(v->start_time, v->time_base, kHundredNs) - st.startTime
                                    : 0);
    }
    int64_t shift = 0;
    if (start > 0 && start <= kMostShift) {
        shift = start;
        st.startShift = start;
        st.startTime += start;
    }
    // From the start the first frame is where its stamp puts it; every later
    // one ends a whole number of granules after it.
    if (a.granule > 0) {
        const int64_t firstEnd = av_rescale(audioStart - shift, rate, 10000000) + frameSamples;
        a.phase = ((firstEnd % a.granule) + a.granule) % a.granule;
    }
}

// Enum fields of a frame are read as the integers a file put there: a damaged
// stream may carry numbers no enumerator has.
int intField(const void* field) {
    int value = 0;
    std::memcpy(&value, field, sizeof value);
    return value;
}

// Turns every plane of `from` into `to` by `turns` clockwise quarter turns. The
// format must keep its planes' shapes when turned (same subsampling both ways).
bool turnPlanes(const AVFrame* from, AVFrame* to, int turns) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(from->format));
    if (d == nullptr) return false;
    const int w = from->width, h = from->height;
    const int outW = turns % 2 != 0 ? h : w;
    const int outH = turns % 2 != 0 ? w : h;
    if (to->width != outW || to->height != outH || to->format != from->format || to->data[0] == nullptr) {
        av_frame_unref(to);
        to->format = from->format;
        to->width = outW;
        to->height = outH;
        if (av_frame_get_buffer(to, 0) < 0) return false;
    }
    const bool rgb = (d->flags & AV_PIX_FMT_FLAG_RGB) != 0;
    const int planes = av_pix_fmt_count_planes(static_cast<AVPixelFormat>(from->format));
    for (int p = 0; p < planes; ++p) {
        int bytes = 0;
        bool chroma = false;
        for (int c = 0; c < d->nb_components; ++c) {
            if (d->comp[c].plane != p) continue;
            bytes = std::max(bytes, d->comp[c].step);
            if (!rgb && (c == 1 || c == 2)) chroma = true;
        }
        if (bytes <= 0) continue;
        const int pw = chroma ? AV_CEIL_RSHIFT(w, d->log2_chroma_w) : w;
        const int ph = chroma ? AV_CEIL_RSHIFT(h, d->log2_chroma_h) : h;
        const uint8_t* src = from->data[p];
        uint8_t* dst = to->data[p];
        const ptrdiff_t srcPitch = from->linesize[p], dstPitch = to->linesize[p];
        const size_t n = static_cast<size_t>(bytes);
        if (turns == 2) {
            for (int y = 0; y < ph; ++y)
                for (int x = 0; x < pw; ++x)
                    std::memcpy(dst + y * dstPitch + x * bytes, src + (ph - 1 - y) * srcPitch + (pw - 1 - x) * bytes,
                                n);
        } else {
            // Out row y, column x; out is ph wide and pw tall.
            for (int y = 0; y < pw; ++y)
                for (int x = 0; x < ph; ++x) {
                    const int sx = turns == 1 ? y : pw - 1 - y;
                    const int sy = turns == 1 ? ph - 1 - x : x;
                    std::memcpy(dst + y * dstPitch + x * bytes, src + sy * srcPitch + sx * bytes, n);
                }
        }
    }
    return av_frame_copy_props(to, from) >= 0;
}

// The frame upright in s.turned; formats whose planes do not turn as they are
// (packed or 4:2:2 chroma, bit planes, palettes) are widened first.
const AVFrame* turnFrame(StreamState& s, const AVFrame* frame) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    if (d == nullptr) return nullptr;
    if (s.turned == nullptr && (s.turned = av_frame_alloc()) == nullptr) return nullptr;
    const AVFrame* source = frame;
    if ((d->flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL)) != 0 ||
        d->log2_chroma_w != d->log2_chroma_h) {
        // Palette colours are RGB: they widen to planar RGB, and no YUV matrix comes between.
        const bool rgb = (d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) != 0;
        const bool deep = d->comp[0].depth > 8;
        const AVPixelFormat wideFormat =
            rgb ? (deep ? AV_PIX_FMT_GBRP16 : AV_PIX_FMT_GBRP) : (deep ? AV_PIX_FMT_YUV444P16 : AV_PIX_FMT_YUV444P);
        if (s.wide == nullptr && (s.wide = av_frame_alloc()) == nullptr) return nullptr;
        if (s.wide->width != frame->width || s.wide->height != frame->height || s.wide->format != wideFormat) {
            av_frame_unref(s.wide);
            s.wide->format = wideFormat;
            s.wide->width = frame->width;
            s.wide->height = frame->height;
            if (av_frame_get_buffer(s.wide, 0) < 0) return nullptr;
        }
        s.widen = sws_getCachedContext(s.widen, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                       frame->width, frame->height, wideFormat, SWS_POINT, nullptr, nullptr, nullptr);
        if (s.widen == nullptr) return nullptr;
        // The levels stay as they are: the range is applied once, on the way to the output.
        const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(s.widen, coefficients, 0, coefficients, 0, 0, 1 << 16, 1 << 16);
        if (sws_scale(s.widen, frame->data, frame->linesize, 0, frame->height, s.wide->data, s.wide->linesize) <= 0)
            return nullptr;
        if (av_frame_copy_props(s.wide, frame) < 0) return nullptr;
        source = s.wide;
    }
    return turnPlanes(source, s.turned, s.rotation) ? s.turned : nullptr;
}

bool convertVideo(StreamState& s, const AVFrame* decoded, Sample& out) {
    if (decoded->width <= 0 || decoded->height <= 0 || decoded->width > kMaxEdge || decoded->height > kMaxEdge ||
        decoded->format < 0)
        return false;
    const int space = intField(&decoded->colorspace);
    const int range = intField(&decoded->color_range);
    const AVPixelFormat decodedFormat = static_cast<AVPixelFormat>(decoded->format);
    // The older full-range formats say so by themselves.
    const bool fullRange = range == AVCOL_RANGE_JPEG || decodedFormat == AV_PIX_FMT_YUVJ420P ||
                           decodedFormat == AV_PIX_FMT_YUVJ422P || decodedFormat == AV_PIX_FMT_YUVJ444P ||
                           decodedFormat == AV_PIX_FMT_YUVJ440P || decodedFormat == AV_PIX_FMT_YUVJ411P;
    const AVFrame* frame = decoded;
    if (s.rotation != 0 && (frame = turnFrame(s, decoded)) == nullptr) return false;
    const bool rgb = s.current.subtype == Subtype::Rgb32;
    const int w = static_cast<int>(s.current.width);
    const int h = static_cast<int>(s.current.height);
    const int pitch = w * (rgb ? 4 : 2);
    s.sws = sws_getCachedContext(s.sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), w, h,
                                 rgb ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_YUYV422, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (s.sws == nullptr) return false;
    const AVPixFmtDescriptor* source = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    if (rgb && source != nullptr && !(source->flags & AV_PIX_FMT_FLAG_RGB)) {
        // YUV to RGB with the stream's own matrix; a stream that names none, or one
        // no matrix has, is taken as BT.709 from 720 lines on and BT.601 below, as
        // decoders on other systems do.
        const bool named = space > AVCOL_SPC_RGB && space < AVCOL_SPC_NB && space != AVCOL_SPC_UNSPECIFIED &&
                           space != AVCOL_SPC_RESERVED;
        const int matrix = named ? space : decoded->height >= 720 ? SWS_CS_ITU709 : SWS_CS_ITU601;
        sws_setColorspaceDetails(s.sws, sws_getCoefficients(matrix), fullRange ? 1 : 0,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    }
    // Slack past the end: packed 4:2:2 of an odd width writes a whole last pair.
    // A sample used before keeps its memory; sws_scale writes every row anew.
    out.bytes.resize(static_cast<size_t>(pitch) * h + 64);
    uint8_t* planes[4] = {out.bytes.data(), nullptr, nullptr, nullptr};
    int pitches[4] = {pitch, 0, 0, 0};
    if (sws_scale(s.sws, frame->data, frame->linesize, 0, frame->height, planes, pitches) <= 0) return false;
    out.bytes.resize(static_cast<size_t>(pitch) * h);
    return true;
}

bool convertAudio(StreamState& s, const AVFrame* frame, Sample& out) {
    if (frame->sample_rate <= 0 || frame->ch_layout.nb_channels <= 0 || frame->nb_samples <= 0 || frame->format < 0)
        return false;
    if (s.swr == nullptr || s.swrRate != frame->sample_rate || s.swrFormat != frame->format ||
        av_channel_layout_compare(&s.swrLayout, &frame->ch_layout) != 0) {
        s.releaseConverters();
        AVChannelLayout outLayout{};
        av_channel_layout_default(&outLayout, static_cast<int>(s.current.channels));
        const auto outFormat = s.current.subtype == Subtype::Float ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_S16;
        int err = swr_alloc_set_opts2(&s.swr, &outLayout, outFormat, static_cast<int>(s.current.samplesPerSecond),
                                      const_cast<AVChannelLayout*>(&frame->ch_layout),
                                      static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&outLayout);
        if (err < 0 || swr_init(s.swr) < 0) {
            swr_free(&s.swr);
            return false;
        }
        s.swrRate = frame->sample_rate;
        s.swrFormat = frame->format;
        if (av_channel_layout_copy(&s.swrLayout, &frame->ch_layout) < 0) {
            s.releaseConverters();
            return false;
        }
    }
    const int capacity = swr_get_out_samples(s.swr, frame->nb_samples);
    if (capacity <= 0) return false;
    const size_t blockAlign = s.current.channels * s.current.bitsPerSample / 8;
    out.bytes.assign(static_cast<size_t>(capacity) * blockAlign, 0);
    uint8_t* planes[1] = {out.bytes.data()};
    const int made =
        swr_convert(s.swr, planes, capacity, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    if (made <= 0) return false;
    out.bytes.resize(static_cast<size_t>(made) * blockAlign);
    return true;
}

// Decodes the next frame of s into `into` with its time and duration: 1 for a
// frame, 0 at the end of the stream, -1 on a decoder failure.
int decodeFrame(SourceReader::State& st, StreamState& s, AVFrame* into, int64_t& time, int64_t& duration) {
    const AVStream* av = st.format->streams[s.index];
    for (;;) {
        const int err = avcodec_receive_frame(s.codec, into);
        if (err == 0) {
            int64_t pts = into->pts;
            if (s.codec->codec_type == AVMEDIA_TYPE_VIDEO || pts == AV_NOPTS_VALUE) pts = into->best_effort_timestamp;
            time = pts != AV_NOPTS_VALUE ? av_rescale_q(pts, av->time_base, kHundredNs) - st.startTime - s.lag
                                         : s.nextTime;
            if (s.codec->codec_type == AVMEDIA_TYPE_VIDEO) {
                duration = into->pkt_duration > 0 ? av_rescale_q(into->pkt_duration, av->time_base, kHundredNs)
                           : s.current.frameRateNumerator > 0
                               ? av_rescale(10000000, s.current.frameRateDenominator, s.current.frameRateNumerator)
                               : 0;
            } else if (s.granule > 0 && pts != AV_NOPTS_VALUE && into->sample_rate == s.codec->sample_rate &&
                       into->nb_samples > 0) {
                const int rate = into->sample_rate;
                int64_t at = av_rescale(time, rate, 10000000);
                if (s.nextSample == kNoSample || std::abs(at - s.nextSample) > s.tickSamples) {
                    // After a seek: the frame ends on the grid position nearest
                    // to where its stamp puts its end. Its start may be trimmed
                    // (the priming a decoder drops again after a flush), its end not.
                    const int64_t offset = at + into->nb_samples - s.phase + s.granule / 2;
                    const int64_t steps = offset >= 0 ? offset / s.granule : -((-offset + s.granule - 1) / s.granule);
                    at = s.phase + steps * s.granule - into->nb_samples;
                } else {
                    at = s.nextSample;
                }
                s.nextSample = at + into->nb_samples;
                time = av_rescale(at, 10000000, rate);
                duration = av_rescale(s.nextSample, 10000000, rate) - time;
            } else {
                duration = into->sample_rate > 0 ? av_rescale(into->nb_samples, 10000000, into->sample_rate) : 0;
            }
            s.nextTime = time + duration;
            return 1;
        }
        if (err == AVERROR_EOF) return 0;
        if (err != AVERROR(EAGAIN)) return -1;
        if (st.demuxEnded) {
            if (st.drainSent) return 0;
            st.drainSent = true;
            avcodec_send_packet(s.codec, nullptr);
            continue;
        }
        st.untouched = false;
        if (st.readPacket(st.packet) < 0) {
            st.demuxEnded = true;
            continue;
        }
        if (st.packet->stream_index == s.index && (!s.needKey || (st.packet->flags & AV_PKT_FLAG_KEY))) {
            s.needKey = false;
            // A damaged packet is dropped; decoding goes on with the next.
            avcodec_send_packet(s.codec, st.packet);
        }
        av_packet_unref(st.packet);
    }
}

// Fills s.held with the next frame unless it holds one: as decodeFrame.
int fillHeld(SourceReader::State& st, StreamState& s) {
    if (s.held.valid) return 1;
    const int r = decodeFrame(st, s, s.held.frame, s.held.time, s.held.duration);
    s.held.valid = r == 1;
    return r;
}

}  // namespace

SourceReader::SourceReader(std::unique_ptr<State> s) : state(std::move(s)) {}
SourceReader::~SourceReader() = default;

Result SourceReader::create(const std::string& path, bool, std::unique_ptr<SourceReader>& out) {
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        av_log_set_level(AV_LOG_QUIET);
        av_max_alloc(kMaxAllocation);
    });
    out.reset();
    auto st = std::make_unique<State>();
    st->path = path;
    if (const Result r = st->openFormat(); failed(r)) return r;
    st->packet = av_packet_alloc();
    st->frame = av_frame_alloc();
    if (st->packet == nullptr || st->frame == nullptr) return kOutOfMemory;
    findStreams(*st);
    findAudioStart(*st);
    out.reset(new SourceReader(std::move(st)));
    return kOk;
}

Result SourceReader::getDuration(int64_t& duration) const {
    const AVFormatContext* f = state->format;
    if (f == nullptr) return kNotInitialized;
    if (f->duration != AV_NOPTS_VALUE && f->duration > 0) {
        duration = av_rescale_q(f->duration, AV_TIME_BASE_Q, kHundredNs);
        return kOk;
    }
    int64_t longest = -1;
    for (const StreamState* s : {&state->video, &state->audio}) {
        if (s->index < 0) continue;
        const AVStream* stream = f->streams[s->index];
        if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
            longest = std::max(longest, av_rescale_q(stream->duration, stream->time_base, kHundredNs));
    }
    if (longest < 0) return kAttributeNotFound;
    duration = longest;
    return kOk;
}

Result SourceReader::getStreamEnd(uint32_t stream, int64_t& end) const {
    const StreamState* s = state->pick(stream);
    if (s == nullptr || s->index < 0 || state->format == nullptr) return kInvalidStreamNumber;
    const AVStream* av = state->format->streams[s->index];
    if (av->duration == AV_NOPTS_VALUE || av->duration <= 0) return kAttributeNotFound;
    const int64_t start = av->start_time != AV_NOPTS_VALUE ? av->start_time : 0;
    end = av_rescale_q(start + av->duration, av->time_base, kHundredNs) - state->startTime;
    return kOk;
}

Result SourceReader::getStreamSelection(uint32_t stream, bool& selected) const {
    const StreamState* s = state->pick(stream);
    if (s == nullptr) return kInvalidStreamNumber;
    selected = s->selected;
    return kOk;
}

Result SourceReader::setStreamSelection(uint32_t stream, bool selected) {
    if (stream == kAllStreams) {
        state->video.selected = selected;
        state->audio.selected = selected;
        return kOk;
    }
    StreamState* s = state->pick(stream);
    if (s == nullptr) return kInvalidStreamNumber;
    s->selected = selected;
    return kOk;
}

Result SourceReader::setCurrentMediaType(uint32_t stream, const MediaType& type) {
    StreamState* s = state->pick(stream);
    if (s == nullptr) return kInvalidStreamNumber;
    if (s->codec == nullptr) return kInvalidMediaType;
    if (state->format == nullptr) return kNotInitialized;
    const AVStream* av = state->format->streams[s->index];
    MediaType t;
    t.major = type.major;
    t.subtype = type.subtype;
    if (s == &state->video) {
        if (type.major != MajorType::Video || (type.subtype != Subtype::Rgb32 && type.subtype != Subtype::Yuy2))
            return kInvalidMediaType;
        // Frames come upright: a quarter turn swaps the edges.
        const bool across = s->rotation % 2 != 0;
        const int w = across ? s->codec->height : s->codec->width;
        const int h = across ? s->codec->width : s->codec->height;
        if (w <= 0 || h <= 0 || w > kMaxEdge || h > kMaxEdge) return kInvalidMediaType;
        t.width = static_cast<uint32_t>(w);
        t.height = static_cast<uint32_t>(h);
        AVRational rate = av->avg_frame_rate;
        if (rate.num <= 0 || rate.den <= 0) rate = av->r_frame_rate;
        if (rate.num <= 0 || rate.den <= 0) rate = AVRational{25, 1};
        t.frameRateNumerator = static_cast<uint32_t>(rate.num);
        t.frameRateDenominator = static_cast<uint32_t>(rate.den);
        t.hasDefaultStride = true;
        t.defaultStride = w * (type.subtype == Subtype::Rgb32 ? 4 : 2);
    } else {
        if (type.major != MajorType::Audio || (type.subtype != Subtype::Float && type.subtype != Subtype::Pcm))
            return kInvalidMediaType;
        const int channels = s->codec->ch_layout.nb_channels;
        const int rate = s->codec->sample_rate;
        // A rate past any real one would ask callers for gigabytes per second.
        if (channels <= 0 || rate <= 0 || rate > kMaxSampleRate) return kInvalidMediaType;
        // More than two channels are mixed down: the callers take mono or stereo.
        t.channels = static_cast<uint32_t>(std::min(channels, 2));
        t.samplesPerSecond = static_cast<uint32_t>(rate);
        t.bitsPerSample = type.subtype == Subtype::Float ? 32 : 16;
    }
    s->releaseConverters();
    s->current = t;
    s->typeSet = true;
    return kOk;
}

Result SourceReader::getCurrentMediaType(uint32_t stream, MediaType& type) const {
    const StreamState* s = state->pick(stream);
    if (s == nullptr) return kInvalidStreamNumber;
    if (s->typeSet) {
        type = s->current;
    } else {
        type = MediaType{};
        type.major = s == &state->video ? MajorType::Video : MajorType::Audio;
    }
    return kOk;
}

Result SourceReader::setCurrentPosition(int64_t position) {
    State& st = *state;
    ++st.seeks;
    if (st.format == nullptr && failed(st.reopen())) return kNotInitialized;
    position = std::max<int64_t>(position, 0);
    for (StreamState* s : {&st.video, &st.audio}) {
        s->held.clear();
        s->dropBefore = 0;
    }
    // Seek on the stream served so that decoding starts at one of its key frames.
    StreamState* served = st.served();
    const int index = served != nullptr ? served->index : -1;
    const AVRational base = index >= 0 ? st.format->streams[index]->time_base : AV_TIME_BASE_Q;
    // Audio decodes from a little earlier so that the decoder has settled by the position.
    const bool audio = served == &st.audio;
    const int64_t want = audio ? position - served->preroll : position;
    if (audio) served->dropBefore = position;
    // Where a seek lands is checked: a demuxer that searches by byte position or
    // by key flags of its own may land after the position. Such a landing steps
    // further back, and at last decoding starts from the top.
    int64_t attempt = want;
    for (int tries = 0;; ++tries) {
        if (attempt <= 0 || tries >= kSeekTries) {
            // From the top the file is read as when it was opened: a seek to the first
            // time may skip leading packets or the priming trimmed at the start.
            if (st.untouched) {
                st.restart(false);
            } else if (const Result r = st.reopen(); failed(r)) {
                return r;
            }
            break;
        }
        const int64_t target = av_rescale_q(attempt + st.startTime, kHundredNs, base);
        st.dropQueued();
        if (avformat_seek_file(st.format, index, INT64_MIN, target, target, 0) < 0) {
            // Not seekable: start again from the top; the caller reads on to the target.
            if (const Result r = st.reopen(); failed(r)) return r;
            break;
        }
        st.restart(true);
        if (served == nullptr || served->codec == nullptr || fillHeld(st, *served) != 1) break;
        if (served->held.time <= want) break;
        attempt = want - (kSeekStepBack << tries);
    }
    return kOk;
}

Result SourceReader::readSample(uint32_t stream, uint32_t& flags, int64_t& timestamp, std::shared_ptr<Sample>& sample) {
    flags = 0;
    timestamp = 0;
    sample.reset();
    State& st = *state;
    StreamState* s = st.pick(stream);
    if (s == nullptr || !s->selected) return kInvalidStreamNumber;
    if (!s->typeSet || s->codec == nullptr) return kNotInitialized;
    if (st.format == nullptr) {
        flags = kFlagError;
        return kOk;
    }
    const bool isVideo = s == &st.video;
    for (;;) {
        const int r = fillHeld(st, *s);
        if (r != 1) {
            flags = r == 0 ? kFlagEndOfStream : kFlagError;
            return kOk;
        }
        Pending& held = s->held;
        if (!isVideo && held.time + held.duration <= s->dropBefore) {
            held.clear();
            continue;
        }
        int64_t duration = held.duration;
        if (isVideo) {
            // A frame lasts until the next one starts: container durations are
            // rounded or missing, and frame rates vary.
            int64_t nextTime = 0, nextDuration = 0;
            if (decodeFrame(st, *s, st.frame, nextTime, nextDuration) == 1) {
                if (nextTime > held.time) duration = nextTime - held.time;
            } else {
                av_frame_unref(st.frame);
            }
            std::shared_ptr<Sample> out;
            for (std::shared_ptr<Sample>& kept : s->spare)
                if (kept && kept.use_count() == 1) {
                    out = kept;
                    break;
                }
            if (!out) {
                out = std::make_shared<Sample>();
                s->spare[s->nextSpare] = out;
                s->nextSpare ^= 1;
            }
            const bool made = convertVideo(*s, held.frame, *out);
            const int64_t time = held.time;
            held.clear();
            if (st.frame->buf[0] != nullptr) {
                av_frame_move_ref(held.frame, st.frame);
                held.time = nextTime;
                held.duration = nextDuration;
                held.valid = true;
            }
            if (!made) continue;  // an undecodable frame is skipped like a damaged packet
            out->time = time;
            out->duration = duration;
            timestamp = time;
            sample = std::move(out);
            return kOk;
        }
        auto out = std::make_shared<Sample>();
        const bool made = convertAudio(*s, held.frame, *out);
        const int64_t time = held.time;
        held.clear();
        if (!made) continue;
        out->time = time;
        out->duration = duration;
        timestamp = time;
        sample = std::move(out);
        return kOk;
    }
}

int32_t SourceReader::seekCount() const { return state->seeks; }

}  // namespace Platform::mediareader
