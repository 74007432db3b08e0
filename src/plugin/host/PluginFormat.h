#pragma once
#include <cstdint>
#include <string>

// What the editor and the host programs share of plug-in tables: their
// pixel formats and texts.
namespace Plugin {

// The pixel format of the frames a bitmap header describes (24/32-bit RGB,
// "YUY2", "PA64", "HF64", "YC48"); 0 for any other.
int32_t pluginVideoFormat(uint32_t compression, uint16_t bitCount);

// The size of one frame of the pixel format as a bitmap of that size
// (rows padded to 4 bytes); 0 for a format without a bitmap form.
uint32_t pluginFrameSize(int32_t format, int32_t width, int32_t height);
// The pixel format an output plug-in asks frames in (0 for 24-bit RGB, or a
// four-character code); 0 when not taken.
int32_t pluginRequestFormat(uint32_t fourCC);

// A NUL-terminated UTF-16 text (null gives empty).
std::wstring pluginText(const char16_t* text);
// A file filter: pairs of NUL-terminated texts up to an empty one, returned
// with its NULs and one more at the end.
std::wstring pluginFilter(const char16_t* filter);

}  // namespace Plugin
