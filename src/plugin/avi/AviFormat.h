#pragma once
#include <cstdint>

#include "media/image/BitmapInfoHeader.h"

// The RIFF chunk codes and fixed sizes the AVI reader and writer share.
namespace Plugin::Avi {

using Media::fourCC;

inline constexpr uint32_t kRiff = fourCC("RIFF");
inline constexpr uint32_t kList = fourCC("LIST");
inline constexpr uint32_t kJunk = fourCC("JUNK");
inline constexpr uint32_t kAvi = fourCC("AVI ");
inline constexpr uint32_t kAvix = fourCC("AVIX");
inline constexpr uint32_t kHdrl = fourCC("hdrl");
inline constexpr uint32_t kAvih = fourCC("avih");
inline constexpr uint32_t kStrl = fourCC("strl");
inline constexpr uint32_t kStrh = fourCC("strh");
inline constexpr uint32_t kStrf = fourCC("strf");
inline constexpr uint32_t kIndx = fourCC("indx");
inline constexpr uint32_t kOdml = fourCC("odml");
inline constexpr uint32_t kDmlh = fourCC("dmlh");
inline constexpr uint32_t kMovi = fourCC("movi");
inline constexpr uint32_t kIdx1 = fourCC("idx1");
inline constexpr uint32_t kVids = fourCC("vids");
inline constexpr uint32_t kAuds = fourCC("auds");
inline constexpr uint32_t kVideoChunk = fourCC("00db");
inline constexpr uint32_t kAudioChunk = fourCC("01wb");
inline constexpr uint32_t kVideoIndex = fourCC("ix00");
inline constexpr uint32_t kAudioIndex = fourCC("ix01");

inline constexpr uint32_t kMainHeaderSize = 56;
inline constexpr uint32_t kStreamHeaderSize = 64;
inline constexpr uint32_t kStreamHeaderMinimum = 56;  // up to and including the frame rectangle
inline constexpr uint32_t kSuperIndexEntries = 100;
inline constexpr uint32_t kSuperIndexSize = 24 + 16 * kSuperIndexEntries;  // 1624
inline constexpr uint32_t kOdmlSize = 260;                                  // "odml", "dmlh", 248, 248 bytes
inline constexpr uint32_t kIndexHeaderSize = 24;
inline constexpr uint32_t kKeyFrameFlag = 0x10;   // idx1
inline constexpr uint32_t kNotKeyBit = 0x80000000;  // standard index sizes

// Little-endian stores and loads of the file's fields.
inline void put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void put64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t get64(const uint8_t* p) { return get32(p) | static_cast<uint64_t>(get32(p + 4)) << 32; }

}  // namespace Plugin::Avi
