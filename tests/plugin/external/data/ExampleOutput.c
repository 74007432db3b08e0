#define _POSIX_C_SOURCE 200809L
/* An example output plug-in: writes the export as a "*.vraw" file
 * (RawFormat.h) with 24-bit frames and 16-bit stereo sound. Built once and
 * installed both as a library ("*.vou2") and as an older plug-in run by the
 * host ("*.vou"). VELMO_EXAMPLE_FAULT makes it misbehave before frame 1, for
 * the tests of the editor's guards: "hang" never returns, "die" kills its
 * process, "garbage" writes a request no host sends into its reply pipe. */
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "RawFormat.h"
#include "plugin/PluginTable.h"

static void toUtf8(const char16_t* in, char* out, size_t room) {
    size_t n = 0;
    for (; *in && n + 4 < room; ++in) {
        uint32_t c = *in;
        if (c < 0x80) {
            out[n++] = (char)c;
        } else if (c < 0x800) {
            out[n++] = (char)(0xC0 | c >> 6);
            out[n++] = (char)(0x80 | (c & 0x3F));
        } else {
            out[n++] = (char)(0xE0 | c >> 12);
            out[n++] = (char)(0x80 | ((c >> 6) & 0x3F));
            out[n++] = (char)(0x80 | (c & 0x3F));
        }
    }
    out[n] = 0;
}

static void misbehave(void) {
    const char* fault = getenv("VELMO_EXAMPLE_FAULT");
    if (fault == NULL) return;
    if (strcmp(fault, "hang") == 0) {
        for (;;) pause();
    } else if (strcmp(fault, "die") == 0) {
        kill(getpid(), SIGKILL);
    } else if (strcmp(fault, "garbage") == 0) {
        /* The host's command line is "<host> <read end> <write end> ": write to its write end. */
        FILE* cmdline = fopen("/proc/self/cmdline", "rb");
        char text[512] = {0};
        size_t n = cmdline ? fread(text, 1, sizeof text - 1, cmdline) : 0;
        if (cmdline) fclose(cmdline);
        size_t at = 0;
        for (int arg = 0; arg < 2 && at < n; ++arg) at += strlen(text + at) + 1;
        if (at < n) {
            const unsigned char request[4] = {99, 0, 0, 0};
            if (write((int)strtol(text + at, NULL, 16), request, sizeof request) < 0) return;
        }
    }
}

static bool rawOutput(OUTPUT_INFO* info) {
    char path[4096];
    toUtf8(info->savefile, path, sizeof path);
    FILE* out = fopen(path, "wb");
    if (!out) return false;
    RawHeader header;
    memcpy(header.magic, "VRAW", 4);
    header.width = (uint32_t)info->w;
    header.height = (uint32_t)info->h;
    header.bitCount = 24;
    header.frameCount = 0;
    header.rate = (uint32_t)info->rate;
    header.scale = (uint32_t)info->scale;
    header.sampleRate = (uint32_t)info->audio_rate;
    header.channels = 2;
    header.samples = 0;
    fwrite(&header, sizeof header, 1, out);
    info->func_set_buffer_size(6, 6);
    const uint32_t size = rawFrameSize(&header);
    for (int32_t i = 0; i < info->n; ++i) {
        if (i == 1) misbehave(); /* before it asks about an abort, so that it never hears of one */
        if (info->func_is_abort()) break;
        fwrite(info->func_get_video(i, 0), 1, size, out);
        ++header.frameCount;
        info->func_rest_time_disp(i + 1, info->n);
    }
    /* The sound in spans that do not line up with frames. */
    const int32_t span = 1000;
    for (int32_t at = 0; at < info->audio_n; at += span) {
        int32_t readed = 0;
        const int32_t want = info->audio_n - at < span ? info->audio_n - at : span;
        const void* samples = info->func_get_audio(at, want, &readed, 1);
        fwrite(samples, 4, (size_t)readed, out);
        header.samples += (uint32_t)readed;
        if (readed < want) break;
    }
    fseek(out, 0, SEEK_SET);
    fwrite(&header, sizeof header, 1, out);
    return fclose(out) == 0;
}

static const char16_t* rawConfigText(void) { return u"24-bit frames, 16-bit stereo"; }

static OutputPluginTable table = {
    OUTPUT_PLUGIN_FLAG_VIDEO | OUTPUT_PLUGIN_FLAG_AUDIO,
    u"Raw Example Writer",
    u"Raw (*.vraw)\0*.vraw\0",
    u"Example raw writer 1.0",
    rawOutput,
    NULL,
    rawConfigText,
};

VELMO_PLUGIN_EXPORT OutputPluginTable* GetOutputPluginTable(void) { return &table; }
