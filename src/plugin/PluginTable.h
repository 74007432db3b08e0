/* The interface of input and output plug-in libraries, in C so that plug-in
 * authors compile against it with any compiler. A plug-in is a shared object
 * in the plug-in folder: "*.vin2" / "*.vin" for input, "*.vou2" / "*.vou"
 * for output. It exports GetInputPluginTable or GetOutputPluginTable, which
 * returns its table of operations. Texts are NUL-terminated UTF-16; a file
 * filter is description/pattern pairs, each NUL-terminated, ended by an
 * empty text. All structures are little-endian with 64-bit pointers.
 *
 * The editor loads "*.vin2" and "*.vou2" itself. A "*.vin" or "*.vou" plug-in
 * exports the same table but runs in its own host program ("pipe32vin",
 * "pipe32vou") that talks to the editor over pipes, so a plug-in that hangs
 * or dies takes only its host with it. */
#ifndef VELMO_PLUGIN_TABLE_H
#define VELMO_PLUGIN_TABLE_H

#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#include <uchar.h>
#endif

#ifdef __cplusplus
namespace Plugin {
#endif

/* A device-independent bitmap header (40 bytes). Rows are padded to 4
 * bytes; 24- and 32-bit RGB rows are stored bottom-up. */
typedef struct PluginBitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression; /* 0 RGB, or a four-character code, first letter in the low byte */
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} PluginBitmapInfoHeader;

/* A wave format (18 bytes, packed). Format tag 1 is integer PCM, 3 IEEE float. */
#pragma pack(push, 1)
typedef struct PluginWaveFormat {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
} PluginWaveFormat;
#pragma pack(pop)

/* Input plug-in table flags. */
#define INPUT_PLUGIN_FLAG_VIDEO 0x1
#define INPUT_PLUGIN_FLAG_AUDIO 0x2
#define INPUT_PLUGIN_FLAG_CONCURRENT 0x10 /* one file may be read from several threads at once */

/* What func_info_get fills (48 bytes; zeroed by the caller). */
typedef struct INPUT_INFO {
    int32_t flag; /* 0x1 the file has video, 0x2 audio */
    int32_t rate; /* frame rate numerator and denominator */
    int32_t scale;
    int32_t n; /* frame count */
    PluginBitmapInfoHeader* format; /* the frames' layout: 24/32-bit RGB, "YUY2", "PA64", "HF64", "YC48" */
    int32_t format_size;
    int32_t audio_n; /* samples per channel */
    PluginWaveFormat* audio_format; /* 16-bit PCM or 32-bit float, mono or stereo */
    int32_t audio_format_size;
    int32_t reserved;
} INPUT_INFO;

typedef void* INPUT_HANDLE;

typedef struct InputPluginTable {
    int32_t flag;
    const char16_t* name;
    const char16_t* filefilter;
    const char16_t* information;
    INPUT_HANDLE (*func_open)(const char16_t* file);
    bool (*func_close)(INPUT_HANDLE ih);
    bool (*func_info_get)(INPUT_HANDLE ih, INPUT_INFO* iip);
    /* Writes one frame laid out as info.format describes; returns the bytes written. */
    int32_t (*func_read_video)(INPUT_HANDLE ih, int32_t frame, void* buf);
    /* Writes length interleaved samples from start; returns the samples written. */
    int32_t (*func_read_audio)(INPUT_HANDLE ih, uint32_t start, uint32_t length, void* buf);
    /* Shows the plug-in's settings; may be null. */
    bool (*func_config)(void* owner_window, void* module);
} InputPluginTable;

/* Output plug-in table flags. */
#define OUTPUT_PLUGIN_FLAG_VIDEO 0x1
#define OUTPUT_PLUGIN_FLAG_AUDIO 0x2

/* What func_output gets (88 bytes). The callbacks are valid only during func_output. */
typedef struct OUTPUT_INFO {
    int32_t flag; /* 3: video and audio */
    int32_t w, h;
    int32_t rate, scale;
    int32_t n; /* frames of the export */
    int32_t audio_rate;
    int32_t audio_ch; /* 2 */
    int32_t audio_n; /* samples of the export */
    const char16_t* savefile;
    /* The frame (0 is the first of the export) as a bitmap: format 0 is
     * 24-bit RGB bottom-up; "YUY2", "PA64", "HF64", "YC48" as named. Valid
     * until the next video request. An unsupported format gives zeros. */
    void* (*func_get_video)(int32_t frame, uint32_t format);
    /* length stereo samples from start (0 is the first of the export) in
     * format 1 (16-bit) or 3 (float); *readed says how many came (fewer at
     * the end). Valid until the next audio request. */
    void* (*func_get_audio)(int32_t start, int32_t length, int32_t* readed, uint32_t format);
    /* Non-zero when the user asked to stop. */
    int32_t (*func_is_abort)(void);
    void (*func_rest_time_disp)(int32_t now, int32_t total);
    /* How many frames of video and audio to render ahead. */
    void (*func_set_buffer_size)(int32_t video_size, int32_t audio_size);
} OUTPUT_INFO;

typedef struct OutputPluginTable {
    int32_t flag;
    const char16_t* name;
    const char16_t* filefilter;
    const char16_t* information;
    bool (*func_output)(OUTPUT_INFO* oip);
    /* Shows the plug-in's settings; may be null. */
    bool (*func_config)(void* owner_window, void* module);
    /* A one-line summary of the settings; may be null. */
    const char16_t* (*func_get_config_text)(void);
} OutputPluginTable;

#ifdef __cplusplus
static_assert(sizeof(PluginBitmapInfoHeader) == 40);
static_assert(sizeof(PluginWaveFormat) == 18);
static_assert(sizeof(INPUT_INFO) == 48);
static_assert(sizeof(InputPluginTable) == 80);
static_assert(sizeof(OUTPUT_INFO) == 88);
static_assert(sizeof(OutputPluginTable) == 56);
}  // namespace Plugin
#define VELMO_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#else
_Static_assert(sizeof(INPUT_INFO) == 48, "INPUT_INFO");
_Static_assert(sizeof(InputPluginTable) == 80, "InputPluginTable");
_Static_assert(sizeof(OUTPUT_INFO) == 88, "OUTPUT_INFO");
_Static_assert(sizeof(OutputPluginTable) == 56, "OutputPluginTable");
#define VELMO_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

/* The exported functions (declare one of them in the plug-in):
 *   VELMO_PLUGIN_EXPORT InputPluginTable* GetInputPluginTable(void);
 *   VELMO_PLUGIN_EXPORT OutputPluginTable* GetOutputPluginTable(void); */
#define INPUT_PLUGIN_TABLE_FUNCTION "GetInputPluginTable"
#define OUTPUT_PLUGIN_TABLE_FUNCTION "GetOutputPluginTable"

#endif
