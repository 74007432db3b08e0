#include "platform/codecs/AudioCodec.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavformat/avformat.h>
}

namespace Platform::codecs {

namespace {

struct DriverEntry {
    uint16_t tag;
    AVCodecID codecId;
    const AVCodec* codec;
};

// One driver per wave format tag that an installed decoder reads; tags 1 and
// 3 are listed too (as the system's own PCM drivers would be).
const std::vector<DriverEntry>& drivers() {
    static const std::vector<DriverEntry> table = [] {
        std::vector<DriverEntry> list;
        const AVCodecTag* const tags[] = {avformat_get_riff_audio_tags(), nullptr};
        std::map<uint16_t, bool> seen;
        for (unsigned tag = 1; tag <= 0xFFFF; ++tag) {
            const AVCodecID id = av_codec_get_id(tags, tag);
            if (id == AV_CODEC_ID_NONE) continue;
            const AVCodec* codec = avcodec_find_decoder(id);
            if (!codec) continue;
            list.push_back({static_cast<uint16_t>(tag), id, codec});
        }
        return list;
    }();
    return table;
}

const DriverEntry* driverById(uint32_t id) {
    const auto& list = drivers();
    return id >= 1 && id <= list.size() ? &list[id - 1] : nullptr;
}

}  // namespace

struct AudioDriver {
    uint32_t id;
};

struct AudioStream {
    AVCodecContext* context = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    uint16_t channels = 0;
    uint32_t blockAlign = 0;
    std::vector<uint8_t> pending;  // decoded bytes not yet delivered
    size_t pendingStart = 0;
};

MmResult enumDrivers(DriverEnumCallback callback, void* context) {
    if (!callback) return kMmInvalidParam;
    for (uint32_t id = 1; id <= drivers().size(); ++id)
        if (!callback(id, context, kDriverSupportCodec)) break;
    return kMmOk;
}

MmResult openDriver(AudioDriver*& driver, uint32_t driverId) {
    driver = nullptr;
    if (!driverById(driverId)) return kMmInvalidHandle;
    driver = new (std::nothrow) AudioDriver{driverId};
    return driver ? kMmOk : kMmNoMemory;
}

MmResult enumFormatTags(AudioDriver* driver, FormatTagEnumCallback callback, void* context) {
    if (!driver || !callback) return kMmInvalidParam;
    const DriverEntry* entry = driverById(driver->id);
    if (!entry) return kMmInvalidHandle;
    callback(driver->id, entry->tag, context);
    return kMmOk;
}

MmResult driverMetric(uint32_t driverId, uint32_t metric, uint32_t& value) {
    if (!driverById(driverId)) return kMmInvalidHandle;
    if (metric != kMetricDriverPriority) return kMmInvalidParam;
    value = driverId;
    return kMmOk;
}

MmResult closeDriver(AudioDriver* driver) {
    if (!driver) return kMmInvalidHandle;
    delete driver;
    return kMmOk;
}

MmResult openStream(AudioStream*& stream, AudioDriver* driver, const WaveFormat& source, const WaveFormat& destination,
                    uint32_t /*flags*/) {
    // Damaged streams are reported by result, not on the console.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    stream = nullptr;
    if (!driver) return kMmInvalidHandle;
    const DriverEntry* entry = driverById(driver->id);
    if (!entry) return kMmInvalidHandle;
    if (entry->tag != source.formatTag) return kAcmNotPossible;
    if (destination.formatTag != kWaveFormatPcm || destination.bitsPerSample != 16 ||
        destination.channels != source.channels || destination.samplesPerSec != source.samplesPerSec)
        return kAcmNotPossible;
    // Whole blocks are what a converter is fed; a format without a block size cannot be split.
    if (source.channels == 0 || source.channels > 8 || source.samplesPerSec == 0 || source.blockAlign == 0)
        return kAcmNotPossible;
    if (source.extra.size() > (1u << 16)) return kMmInvalidParam;

    auto s = std::make_unique<AudioStream>();
    s->context = avcodec_alloc_context3(entry->codec);
    s->packet = av_packet_alloc();
    s->frame = av_frame_alloc();
    if (!s->context || !s->packet || !s->frame) {
        closeStream(s.release());
        return kMmNoMemory;
    }
    AVCodecContext* c = s->context;
    av_channel_layout_default(&c->ch_layout, source.channels);
    c->sample_rate = static_cast<int>(std::min<uint32_t>(source.samplesPerSec, 1u << 30));
    c->block_align = source.blockAlign;
    c->bit_rate = static_cast<int64_t>(source.avgBytesPerSec) * 8;
    c->bits_per_coded_sample = source.bitsPerSample;
    c->codec_tag = source.formatTag;
    c->thread_count = 1;
    if (!source.extra.empty()) {
        c->extradata = static_cast<uint8_t*>(av_mallocz(source.extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!c->extradata) {
            closeStream(s.release());
            return kMmNoMemory;
        }
        std::memcpy(c->extradata, source.extra.data(), source.extra.size());
        c->extradata_size = static_cast<int>(source.extra.size());
    }
    if (avcodec_open2(c, entry->codec, nullptr) < 0) {
        closeStream(s.release());
        return kAcmNotPossible;
    }
    s->channels = source.channels;
    s->blockAlign = source.blockAlign;
    stream = s.release();
    return kMmOk;
}

MmResult prepareHeader(AudioStream* stream, StreamHeader& header) {
    if (!stream) return kMmInvalidHandle;
    if (header.prepared) return kMmOk;
    if ((!header.source && header.sourceLength) || (!header.destination && header.destinationLength))
        return kMmInvalidParam;
    header.prepared = true;
    return kMmOk;
}

MmResult unprepareHeader(AudioStream* stream, StreamHeader& header) {
    if (!stream) return kMmInvalidHandle;
    header.prepared = false;
    return kMmOk;
}

namespace {

// Appends a decoded frame as interleaved 16-bit samples; false when the
// frame's shape is not what the stream was opened for.
bool appendFrame(AudioStream& s, const AVFrame& frame) {
    const int channels = frame.ch_layout.nb_channels;
    if (channels != s.channels || frame.nb_samples <= 0) return channels == s.channels;
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const size_t count = static_cast<size_t>(frame.nb_samples) * channels;
    const size_t at = s.pending.size();
    s.pending.resize(at + count * 2);
    auto* out = reinterpret_cast<int16_t*>(s.pending.data() + at);
    const bool planar = av_sample_fmt_is_planar(format);
    for (int i = 0; i < frame.nb_samples; ++i) {
        for (int ch = 0; ch < channels; ++ch) {
            const int plane = planar ? ch : 0;
            const size_t index = planar ? i : static_cast<size_t>(i) * channels + ch;
            const uint8_t* base = frame.extended_data[plane];
            int32_t v = 0;
            switch (av_get_packed_sample_fmt(format)) {
            case AV_SAMPLE_FMT_U8: v = (static_cast<int32_t>(base[index]) - 128) << 8; break;
            case AV_SAMPLE_FMT_S16: v = reinterpret_cast<const int16_t*>(base)[index]; break;
            case AV_SAMPLE_FMT_S32: v = reinterpret_cast<const int32_t*>(base)[index] >> 16; break;
            case AV_SAMPLE_FMT_FLT: {
                const float f = reinterpret_cast<const float*>(base)[index];
                v = f != f ? 0 : static_cast<int32_t>(std::clamp(f, -1.0f, 1.0f) * 32767.0f);
                break;
            }
            case AV_SAMPLE_FMT_DBL: {
                const double d = reinterpret_cast<const double*>(base)[index];
                v = d != d ? 0 : static_cast<int32_t>(std::clamp(d, -1.0, 1.0) * 32767.0);
                break;
            }
            default: s.pending.resize(at); return false;
            }
            *out++ = static_cast<int16_t>(v);
        }
    }
    return true;
}

void deliver(AudioStream& s, StreamHeader& header) {
    const size_t available = s.pending.size() - s.pendingStart;
    const size_t room = header.destinationLength - header.destinationLengthUsed;
    // Whole sample frames only, so channels never swap at a call boundary.
    const size_t frameBytes = static_cast<size_t>(s.channels) * 2;
    const size_t n = std::min(available, room / frameBytes * frameBytes);
    if (n) std::memcpy(header.destination + header.destinationLengthUsed, s.pending.data() + s.pendingStart, n);
    header.destinationLengthUsed += static_cast<uint32_t>(n);
    s.pendingStart += n;
    if (s.pendingStart == s.pending.size()) {
        s.pending.clear();
        s.pendingStart = 0;
    }
}

}  // namespace

MmResult convert(AudioStream* stream, StreamHeader& header, uint32_t /*flags*/) {
    if (!stream) return kMmInvalidHandle;
    if (!header.prepared || header.sourceLengthUsed > header.sourceLength ||
        header.destinationLengthUsed > header.destinationLength)
        return kMmInvalidParam;
    AudioStream& s = *stream;
    deliver(s, header);
    while (s.pending.empty() && header.sourceLength - header.sourceLengthUsed >= s.blockAlign) {
        // A copy with the padding the decoders may read past the end.
        if (av_new_packet(s.packet, static_cast<int>(s.blockAlign)) < 0) return kMmNoMemory;
        std::memcpy(s.packet->data, header.source + header.sourceLengthUsed, s.blockAlign);
        header.sourceLengthUsed += s.blockAlign;
        const int sent = avcodec_send_packet(s.context, s.packet);
        av_packet_unref(s.packet);
        if (sent < 0 && sent != AVERROR_INVALIDDATA) return kMmError;
        for (;;) {
            const int got = avcodec_receive_frame(s.context, s.frame);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) break;
            // A damaged block is skipped, as the decoder would do with a gap.
            if (got < 0) break;
            const bool ok = appendFrame(s, *s.frame);
            av_frame_unref(s.frame);
            if (!ok) return kMmError;
        }
        deliver(s, header);
    }
    return kMmOk;
}

MmResult closeStream(AudioStream* stream) {
    if (!stream) return kMmInvalidHandle;
    avcodec_free_context(&stream->context);
    av_packet_free(&stream->packet);
    av_frame_free(&stream->frame);
    delete stream;
    return kMmOk;
}

}  // namespace Platform::codecs
