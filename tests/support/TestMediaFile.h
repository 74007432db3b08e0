#pragma once
// Writes a small media file for tests: flat grey video frames whose level
// tells the frame index, and a 16-bit PCM sine tone.
#include <cmath>
#include <stdexcept>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

struct TestMediaFile {
    std::string container = "matroska";
    int videoFrames = 0;  // 0: no video stream
    int width = 64, height = 48;
    int cb = 128, cr = 128;  // chroma of every frame
    AVRational frameRate{30, 1};
    int gop = 5;
    double audioSeconds = 0;  // 0: no audio stream
    int sampleRate = 8000;
    int channels = 2;

    // Luma level of frame i.
    static int level(int i) { return 16 + (i * 8) % 224; }

    void write(const std::string& path) const {
        AVFormatContext* fmt = nullptr;
        check(avformat_alloc_output_context2(&fmt, nullptr, container.c_str(), path.c_str()), "output");
        AVCodecContext* venc = nullptr;
        AVCodecContext* aenc = nullptr;
        AVStream* vs = nullptr;
        AVStream* as = nullptr;
        if (videoFrames > 0) {
            venc = avcodec_alloc_context3(avcodec_find_encoder(AV_CODEC_ID_MPEG4));
            venc->width = width;
            venc->height = height;
            venc->pix_fmt = AV_PIX_FMT_YUV420P;
            venc->time_base = AVRational{frameRate.den, frameRate.num};
            venc->framerate = frameRate;
            venc->gop_size = gop;
            venc->max_b_frames = 0;
            venc->qmin = venc->qmax = 2;
            if (fmt->oformat->flags & AVFMT_GLOBALHEADER) venc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
            check(avcodec_open2(venc, venc->codec, nullptr), "video encoder");
            vs = avformat_new_stream(fmt, nullptr);
            vs->time_base = venc->time_base;
            vs->avg_frame_rate = frameRate;
            avcodec_parameters_from_context(vs->codecpar, venc);
        }
        if (audioSeconds > 0) {
            aenc = avcodec_alloc_context3(avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE));
            aenc->sample_rate = sampleRate;
            aenc->sample_fmt = AV_SAMPLE_FMT_S16;
            av_channel_layout_default(&aenc->ch_layout, channels);
            aenc->time_base = AVRational{1, sampleRate};
            check(avcodec_open2(aenc, aenc->codec, nullptr), "audio encoder");
            as = avformat_new_stream(fmt, nullptr);
            as->time_base = aenc->time_base;
            avcodec_parameters_from_context(as->codecpar, aenc);
        }
        check(avio_open(&fmt->pb, path.c_str(), AVIO_FLAG_WRITE), "open");
        check(avformat_write_header(fmt, nullptr), "header");
        AVPacket* pkt = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        auto drain = [&](AVCodecContext* enc, AVStream* st) {
            while (avcodec_receive_packet(enc, pkt) == 0) {
                av_packet_rescale_ts(pkt, enc->time_base, st->time_base);
                pkt->stream_index = st->index;
                check(av_interleaved_write_frame(fmt, pkt), "write");
            }
        };
        const int audioTotal = static_cast<int>(audioSeconds * sampleRate);
        int audioDone = 0, videoDone = 0;
        while (videoDone < videoFrames || audioDone < audioTotal) {
            // Interleave by time so that the muxer need not buffer much.
            const double vt = venc ? double(videoDone) * frameRate.den / frameRate.num : 1e9;
            const double at = aenc ? double(audioDone) / sampleRate : 1e9;
            if (videoDone < videoFrames && (vt <= at || audioDone >= audioTotal)) {
                av_frame_unref(frame);
                frame->format = AV_PIX_FMT_YUV420P;
                frame->width = width;
                frame->height = height;
                check(av_frame_get_buffer(frame, 0), "frame");
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) frame->data[0][y * frame->linesize[0] + x] = level(videoDone);
                for (int p = 1; p < 3; ++p)
                    for (int y = 0; y < (height + 1) / 2; ++y)
                        for (int x = 0; x < (width + 1) / 2; ++x)
                            frame->data[p][y * frame->linesize[p] + x] = static_cast<uint8_t>(p == 1 ? cb : cr);
                frame->pts = videoDone++;
                check(avcodec_send_frame(venc, frame), "encode");
                drain(venc, vs);
            } else {
                const int n = std::min(1000, audioTotal - audioDone);
                av_frame_unref(frame);
                frame->format = AV_SAMPLE_FMT_S16;
                frame->nb_samples = n;
                frame->sample_rate = sampleRate;
                av_channel_layout_default(&frame->ch_layout, channels);
                check(av_frame_get_buffer(frame, 0), "frame");
                auto* s = reinterpret_cast<int16_t*>(frame->data[0]);
                for (int i = 0; i < n; ++i)
                    for (int c = 0; c < channels; ++c)
                        s[i * channels + c] = static_cast<int16_t>(
                            16000 * std::sin(2 * 3.14159265358979 * 440 * (audioDone + i) / sampleRate));
                frame->pts = audioDone;
                audioDone += n;
                check(avcodec_send_frame(aenc, frame), "encode");
                drain(aenc, as);
            }
        }
        if (venc) {
            avcodec_send_frame(venc, nullptr);
            drain(venc, vs);
        }
        if (aenc) {
            avcodec_send_frame(aenc, nullptr);
            drain(aenc, as);
        }
        check(av_write_trailer(fmt), "trailer");
        av_frame_free(&frame);
        av_packet_free(&pkt);
        avcodec_free_context(&venc);
        avcodec_free_context(&aenc);
        avio_closep(&fmt->pb);
        avformat_free_context(fmt);
    }

private:
    static void check(int err, const char* what) {
        if (err < 0) throw std::runtime_error(std::string("test media: ") + what);
    }
};
