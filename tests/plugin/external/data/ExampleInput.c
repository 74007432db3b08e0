#define _POSIX_C_SOURCE 200809L
/* An example input plug-in: reads "*.vraw" files (RawFormat.h). Built once
 * and installed both as a library ("*.vin2") and as an older plug-in run by
 * the host ("*.vin"). The environment variable VELMO_EXAMPLE_FAULT makes it
 * misbehave at frame 1, for the tests of the editor's guards: "hang"
 * never returns, "die" kills its process, "segv" faults, "garbage" writes
 * junk into its host's reply pipe. */
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "RawFormat.h"
#include "plugin/PluginTable.h"

typedef struct File {
    FILE* stream;
    RawHeader header;
    PluginBitmapInfoHeader video;
    PluginWaveFormat audio;
} File;

/* UTF-16 to UTF-8 for fopen. */
static void toUtf8(const char16_t* in, char* out, size_t room) {
    size_t n = 0;
    for (; *in && n + 4 < room; ++in) {
        uint32_t c = *in;
        if (c >= 0xD800 && c < 0xDC00 && in[1] >= 0xDC00 && in[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (in[1] - 0xDC00);
            ++in;
        }
        if (c < 0x80) {
            out[n++] = (char)c;
        } else if (c < 0x800) {
            out[n++] = (char)(0xC0 | c >> 6);
            out[n++] = (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out[n++] = (char)(0xE0 | c >> 12);
            out[n++] = (char)(0x80 | ((c >> 6) & 0x3F));
            out[n++] = (char)(0x80 | (c & 0x3F));
        } else {
            out[n++] = (char)(0xF0 | c >> 18);
            out[n++] = (char)(0x80 | ((c >> 12) & 0x3F));
            out[n++] = (char)(0x80 | ((c >> 6) & 0x3F));
            out[n++] = (char)(0x80 | (c & 0x3F));
        }
    }
    out[n] = 0;
}

static void misbehave(int frame) {
    const char* fault = getenv("VELMO_EXAMPLE_FAULT");
    if (fault == NULL || frame != 1) return;
    if (strcmp(fault, "hang") == 0) {
        for (;;) pause();
    } else if (strcmp(fault, "die") == 0) {
        kill(getpid(), SIGKILL);
    } else if (strcmp(fault, "segv") == 0) {
        volatile int* nothing = NULL;
        *nothing = 1;
    } else if (strcmp(fault, "garbage") == 0) {
        /* The host's command line is "<host> <read end> <write end> ": write to its write end. */
        FILE* cmdline = fopen("/proc/self/cmdline", "rb");
        char text[512] = {0};
        size_t n = cmdline ? fread(text, 1, sizeof text - 1, cmdline) : 0;
        if (cmdline) fclose(cmdline);
        size_t at = 0;
        for (int arg = 0; arg < 2 && at < n; ++arg) at += strlen(text + at) + 1;
        if (at < n) {
            int fd = (int)strtol(text + at, NULL, 16);
            const unsigned char junk[8] = {0xFF, 0xFF, 0xFF, 0x7F, 0xDE, 0xAD, 0xBE, 0xEF};
            if (write(fd, junk, sizeof junk) < 0) return;
        }
    }
}

static INPUT_HANDLE rawOpen(const char16_t* name) {
    char path[4096];
    toUtf8(name, path, sizeof path);
    FILE* stream = fopen(path, "rb");
    if (!stream) return NULL;
    File* file = calloc(1, sizeof *file);
    if (fread(&file->header, sizeof file->header, 1, stream) != 1 || memcmp(file->header.magic, "VRAW", 4) != 0 ||
        (file->header.bitCount != 24 && file->header.bitCount != 32)) {
        fclose(stream);
        free(file);
        return NULL;
    }
    file->stream = stream;
    file->video.biSize = 40;
    file->video.biWidth = (int32_t)file->header.width;
    file->video.biHeight = (int32_t)file->header.height;
    file->video.biPlanes = 1;
    file->video.biBitCount = (uint16_t)file->header.bitCount;
    file->video.biSizeImage = rawFrameSize(&file->header);
    file->audio.wFormatTag = 1;
    file->audio.nChannels = (uint16_t)file->header.channels;
    file->audio.nSamplesPerSec = file->header.sampleRate;
    file->audio.wBitsPerSample = 16;
    file->audio.nBlockAlign = (uint16_t)(file->header.channels * 2);
    file->audio.nAvgBytesPerSec = file->header.sampleRate * file->audio.nBlockAlign;
    return file;
}

static bool rawClose(INPUT_HANDLE handle) {
    File* file = handle;
    fclose(file->stream);
    free(file);
    return true;
}

static bool rawInfo(INPUT_HANDLE handle, INPUT_INFO* info) {
    File* file = handle;
    info->flag = 1 | (file->header.channels ? 2 : 0);
    info->rate = (int32_t)file->header.rate;
    info->scale = (int32_t)file->header.scale;
    info->n = (int32_t)file->header.frameCount;
    info->format = &file->video;
    info->format_size = sizeof file->video;
    info->audio_n = (int32_t)file->header.samples;
    info->audio_format = &file->audio;
    info->audio_format_size = sizeof file->audio;
    return true;
}

static int32_t rawReadVideo(INPUT_HANDLE handle, int32_t frame, void* buffer) {
    File* file = handle;
    misbehave(frame);
    if (frame < 0) frame = 0;
    if ((uint32_t)frame >= file->header.frameCount) frame = (int32_t)file->header.frameCount - 1;
    const uint32_t size = rawFrameSize(&file->header);
    fseek(file->stream, (long)(sizeof(RawHeader) + (uint64_t)size * (uint32_t)frame), SEEK_SET);
    return (int32_t)fread(buffer, 1, size, file->stream);
}

static int32_t rawReadAudio(INPUT_HANDLE handle, uint32_t start, uint32_t length, void* buffer) {
    File* file = handle;
    if (start >= file->header.samples) return 0;
    uint32_t n = file->header.samples - start;
    if (n > length) n = length;
    const uint32_t align = file->header.channels * 2;
    const uint64_t at = sizeof(RawHeader) + (uint64_t)rawFrameSize(&file->header) * file->header.frameCount +
                        (uint64_t)start * align;
    fseek(file->stream, (long)at, SEEK_SET);
    return (int32_t)(fread(buffer, align, n, file->stream));
}

/* It has no settings; the entry lets the tests show them through both kinds. */
static bool rawConfig(void* owner, void* module) {
    (void)owner, (void)module;
    return true;
}

static InputPluginTable table = {
    INPUT_PLUGIN_FLAG_VIDEO | INPUT_PLUGIN_FLAG_AUDIO,
    u"Raw Example Reader",
    u"Raw (*.vraw)\0*.vraw\0",
    u"Example raw reader 1.0",
    rawOpen,
    rawClose,
    rawInfo,
    rawReadVideo,
    rawReadAudio,
    rawConfig,
};

VELMO_PLUGIN_EXPORT InputPluginTable* GetInputPluginTable(void) { return &table; }
