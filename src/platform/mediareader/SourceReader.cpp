#include "platform/mediareader/SourceReader.h"

#include <algorithm>
#include <cerrno>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libavutil/pixdesc.h>
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
    bool needKey = false;  // after a seek, packets before a key frame are dropped

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
    int64_t startTime = 0;  // of the container, 100 ns
    bool demuxEnded = false;
    bool drainSent = false;
    int32_t seeks = 0;

    ~State() {
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
        startTime = format->start_time != AV_NOPTS_VALUE ? av_rescale_q(format->start_time, AV_TIME_BASE_Q, kHundredNs) : 0;
        demuxEnded = false;
        drainSent = false;
        return kOk;
    }

    StreamState* pick(uint32_t stream) {
        if (stream == kFirstVideoStream || (video.index >= 0 && stream == static_cast<uint32_t>(video.index)))
            return video.index >= 0 ? &video : nullptr;
        if (stream == kFirstAudioStream || (audio.index >= 0 && stream == static_cast<uint32_t>(audio.index)))
            return audio.index >= 0 ? &audio : nullptr;
        return nullptr;
    }
};

namespace {

void openDecoder(StreamState& s, const AVStream* stream) {
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (decoder == nullptr) return;
    s.codec = avcodec_alloc_context3(decoder);
    if (s.codec == nullptr) return;
    s.codec->thread_count = 1;
    if (avcodec_parameters_to_context(s.codec, stream->codecpar) < 0 || avcodec_open2(s.codec, decoder, nullptr) < 0)
        avcodec_free_context(&s.codec);
}

void findStreams(SourceReader::State& st) {
    for (unsigned i = 0; i < st.format->nb_streams; ++i) {
        const AVStream* stream = st.format->streams[i];
        const auto type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO && st.video.index < 0 && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
            st.video.index = static_cast<int>(i);
            openDecoder(st.video, stream);
        } else if (type == AVMEDIA_TYPE_AUDIO && st.audio.index < 0) {
            st.audio.index = static_cast<int>(i);
            openDecoder(st.audio, stream);
        }
    }
}

bool convertVideo(StreamState& s, const AVFrame* frame, Sample& out) {
    if (frame->width <= 0 || frame->height <= 0 || frame->width > kMaxEdge || frame->height > kMaxEdge ||
        frame->format < 0)
        return false;
    const bool rgb = s.current.subtype == Subtype::Rgb32;
    const int w = static_cast<int>(s.current.width);
    const int h = static_cast<int>(s.current.height);
    const int pitch = w * (rgb ? 4 : 2);
    s.sws = sws_getCachedContext(s.sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), w, h,
                                 rgb ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_YUYV422, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (s.sws == nullptr) return false;
    const AVPixFmtDescriptor* source = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    if (rgb && source != nullptr && !(source->flags & AV_PIX_FMT_FLAG_RGB)) {
        // YUV to RGB with the stream's own matrix; a stream that names none is taken as
        // BT.709 from 720 lines on and BT.601 below, as decoders on other systems do.
        int space = frame->colorspace;
        if (space == AVCOL_SPC_UNSPECIFIED || space == AVCOL_SPC_RGB || space == AVCOL_SPC_RESERVED)
            space = frame->height >= 720 ? SWS_CS_ITU709 : SWS_CS_ITU601;
        const int fullRange = frame->color_range == AVCOL_RANGE_JPEG ? 1 : 0;
        sws_setColorspaceDetails(s.sws, sws_getCoefficients(space), fullRange, sws_getCoefficients(SWS_CS_DEFAULT), 1,
                                 0, 1 << 16, 1 << 16);
    }
    // Slack past the end: packed 4:2:2 of an odd width writes a whole last pair.
    out.bytes.assign(static_cast<size_t>(pitch) * h + 64, 0);
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
                                      const_cast<AVChannelLayout*>(&frame->ch_layout), static_cast<AVSampleFormat>(frame->format), frame->sample_rate,
                                      0, nullptr);
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
    const int made = swr_convert(s.swr, planes, capacity, const_cast<const uint8_t**>(frame->extended_data),
                                 frame->nb_samples);
    if (made <= 0) return false;
    out.bytes.resize(static_cast<size_t>(made) * blockAlign);
    return true;
}

}  // namespace

SourceReader::SourceReader(std::unique_ptr<State> s) : state(std::move(s)) {}
SourceReader::~SourceReader() = default;

Result SourceReader::create(const std::string& path, bool, std::unique_ptr<SourceReader>& out) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    out.reset();
    auto st = std::make_unique<State>();
    st->path = path;
    if (const Result r = st->openFormat(); failed(r)) return r;
    st->packet = av_packet_alloc();
    st->frame = av_frame_alloc();
    if (st->packet == nullptr || st->frame == nullptr) return kOutOfMemory;
    findStreams(*st);
    out.reset(new SourceReader(std::move(st)));
    return kOk;
}

Result SourceReader::getDuration(int64_t& duration) const {
    const AVFormatContext* f = state->format;
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
    const AVStream* av = state->format->streams[s->index];
    MediaType t;
    t.major = type.major;
    t.subtype = type.subtype;
    if (s == &state->video) {
        if (type.major != MajorType::Video || (type.subtype != Subtype::Rgb32 && type.subtype != Subtype::Yuy2))
            return kInvalidMediaType;
        const int w = s->codec->width, h = s->codec->height;
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
    // Seek on the stream served so that decoding starts at one of its key frames.
    const StreamState* served = st.video.index >= 0 && st.video.selected ? &st.video
                                : st.audio.index >= 0 && st.audio.selected ? &st.audio
                                                                            : nullptr;
    const int index = served != nullptr ? served->index : -1;
    const AVRational base = index >= 0 ? st.format->streams[index]->time_base : AV_TIME_BASE_Q;
    const int64_t target = av_rescale_q(std::max<int64_t>(position, 0) + st.startTime, kHundredNs, base);
    for (StreamState* s : {&st.video, &st.audio}) s->needKey = true;
    if (avformat_seek_file(st.format, index, INT64_MIN, target, target, 0) < 0) {
        // Not seekable: start again from the top; the caller reads on to the target.
        if (const Result r = st.openFormat(); failed(r)) return r;
    }
    for (StreamState* s : {&st.video, &st.audio})
        if (s->codec != nullptr) avcodec_flush_buffers(s->codec);
    st.demuxEnded = false;
    st.drainSent = false;
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
    const AVStream* av = st.format->streams[s->index];
    const bool isVideo = s == &st.video;
    for (;;) {
        int err = avcodec_receive_frame(s->codec, st.frame);
        if (err == 0) {
            auto out = std::make_shared<Sample>();
            const int64_t pts = st.frame->best_effort_timestamp;
            int64_t time = pts != AV_NOPTS_VALUE ? av_rescale_q(pts, av->time_base, kHundredNs) - st.startTime
                                                 : s->nextTime;
            int64_t duration;
            if (isVideo) {
                duration = st.frame->pkt_duration > 0 ? av_rescale_q(st.frame->pkt_duration, av->time_base, kHundredNs)
                                                      : av_rescale(10000000, s->current.frameRateDenominator,
                                                                   s->current.frameRateNumerator);
            } else {
                duration = st.frame->sample_rate > 0
                               ? av_rescale(st.frame->nb_samples, 10000000, st.frame->sample_rate)
                               : 0;
            }
            const bool made = isVideo ? convertVideo(*s, st.frame, *out) : convertAudio(*s, st.frame, *out);
            av_frame_unref(st.frame);
            if (!made) continue;  // an undecodable frame is skipped like a damaged packet
            out->time = time;
            out->duration = duration;
            s->nextTime = time + duration;
            timestamp = time;
            sample = std::move(out);
            return kOk;
        }
        if (err == AVERROR_EOF) {
            flags = kFlagEndOfStream;
            return kOk;
        }
        if (err != AVERROR(EAGAIN)) {
            flags = kFlagError;
            return kOk;
        }
        if (st.demuxEnded) {
            if (st.drainSent) {
                flags = kFlagEndOfStream;
                return kOk;
            }
            st.drainSent = true;
            avcodec_send_packet(s->codec, nullptr);
            continue;
        }
        if (av_read_frame(st.format, st.packet) < 0) {
            st.demuxEnded = true;
            continue;
        }
        if (st.packet->stream_index == s->index && (!s->needKey || (st.packet->flags & AV_PKT_FLAG_KEY))) {
            s->needKey = false;
            // A damaged packet is dropped; decoding goes on with the next.
            avcodec_send_packet(s->codec, st.packet);
        }
        av_packet_unref(st.packet);
    }
}

int32_t SourceReader::seekCount() const { return state->seeks; }

}  // namespace Platform::mediareader
