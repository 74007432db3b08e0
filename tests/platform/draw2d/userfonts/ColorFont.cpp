#include "ColorFont.h"

#include <algorithm>
#include <utility>

namespace {

struct Writer {
    std::vector<uint8_t> b;
    void u8(uint32_t v) { b.push_back(uint8_t(v)); }
    void u16(uint32_t v) {
        u8(v >> 8);
        u8(v);
    }
    void u32(uint32_t v) {
        u16(v >> 16);
        u16(v & 0xFFFF);
    }
    void tag(const char* t) {
        for (int i = 0; i < 4; ++i) u8(uint8_t(t[i]));
    }
    void pad() {
        while (b.size() % 4) u8(0);
    }
};

std::vector<uint8_t> square() {
    // One contour (100, 0) (500, 0) (500, 400) (100, 400), on-curve points, 16-bit deltas.
    Writer w;
    w.u16(1);
    w.u16(100), w.u16(0), w.u16(500), w.u16(400);
    w.u16(3);  // last point of the contour
    w.u16(0);  // no instructions
    for (int i = 0; i < 4; ++i) w.u8(0x01);
    for (int dx : {100, 400, 0, -400}) w.u16(uint16_t(int16_t(dx)));
    for (int dy : {0, 0, 400, 0}) w.u16(uint16_t(int16_t(dy)));
    w.pad();
    return w.b;
}

}  // namespace

std::vector<uint8_t> colorTestFont() {
    std::vector<std::pair<const char*, std::vector<uint8_t>>> tables;
    Writer t;
    // COLR version 0: glyph 1 is glyph 2 in palette colour 0, then glyph 3 in the text's colour.
    t = {};
    t.u16(0), t.u16(1), t.u32(14), t.u32(20), t.u16(2);
    t.u16(1), t.u16(0), t.u16(2);
    t.u16(2), t.u16(0);
    t.u16(3), t.u16(0xFFFF);
    tables.push_back({"COLR", t.b});
    // CPAL version 0: one palette of one colour, opaque red (B, G, R, A).
    t = {};
    t.u16(0), t.u16(1), t.u16(1), t.u16(1), t.u32(14), t.u16(0);
    t.u8(0), t.u8(0), t.u8(255), t.u8(255);
    tables.push_back({"CPAL", t.b});
    // cmap: Windows Unicode, format 4, 'A' -> glyph 1.
    t = {};
    t.u16(0), t.u16(1), t.u16(3), t.u16(1), t.u32(12);
    t.u16(4), t.u16(32), t.u16(0), t.u16(4), t.u16(4), t.u16(1), t.u16(0);
    t.u16(0x41), t.u16(0xFFFF), t.u16(0), t.u16(0x41), t.u16(0xFFFF);
    t.u16(uint16_t(int16_t(1 - 0x41))), t.u16(1), t.u16(0), t.u16(0);
    tables.push_back({"cmap", t.b});
    t = {};
    for (int i = 0; i < 4; ++i) {
        const auto g = square();
        t.b.insert(t.b.end(), g.begin(), g.end());
    }
    const uint32_t glyphSize = uint32_t(square().size());
    tables.push_back({"glyf", t.b});
    t = {};
    t.u32(0x00010000), t.u32(0x00010000), t.u32(0), t.u32(0x5F0F3CF5), t.u16(0x000B), t.u16(1000);
    t.u32(0), t.u32(0), t.u32(0), t.u32(0);
    t.u16(0), t.u16(0), t.u16(500), t.u16(400), t.u16(0), t.u16(8), t.u16(2), t.u16(1), t.u16(0);
    tables.push_back({"head", t.b});
    t = {};
    t.u32(0x00010000), t.u16(800), t.u16(uint16_t(int16_t(-200))), t.u16(0), t.u16(600), t.u16(0), t.u16(0);
    t.u16(500), t.u16(1), t.u16(0), t.u16(0), t.u16(0), t.u16(0), t.u16(0), t.u16(0), t.u16(0), t.u16(4);
    tables.push_back({"hhea", t.b});
    t = {};
    for (int i = 0; i < 4; ++i) t.u16(600), t.u16(100);
    tables.push_back({"hmtx", t.b});
    t = {};
    for (uint32_t i = 0; i <= 4; ++i) t.u32(i * glyphSize);
    tables.push_back({"loca", t.b});
    t = {};
    t.u32(0x00010000), t.u16(4), t.u16(4), t.u16(1);
    for (int i = 0; i < 11; ++i) t.u16(i == 2 ? 2 : 0);  // maxZones 2, the rest 0
    tables.push_back({"maxp", t.b});
    // name: family (1) and style (2), Windows Unicode English, UTF-16BE.
    const std::u16string family = u"ColorTest", style = u"Regular";
    t = {};
    t.u16(0), t.u16(2), t.u16(6 + 2 * 12);
    t.u16(3), t.u16(1), t.u16(0x409), t.u16(1), t.u16(uint16_t(family.size() * 2)), t.u16(0);
    t.u16(3), t.u16(1), t.u16(0x409), t.u16(2), t.u16(uint16_t(style.size() * 2)), t.u16(uint16_t(family.size() * 2));
    for (char16_t c : family) t.u16(c);
    for (char16_t c : style) t.u16(c);
    tables.push_back({"name", t.b});

    Writer font;
    const uint16_t count = uint16_t(tables.size());
    font.u32(0x00010000), font.u16(count), font.u16(128), font.u16(3), font.u16(count * 16 - 128);
    uint32_t offset = 12 + 16 * count;
    for (auto& [tag, data] : tables) {
        font.tag(tag), font.u32(0), font.u32(offset), font.u32(uint32_t(data.size()));
        offset += uint32_t((data.size() + 3) / 4 * 4);
    }
    for (auto& [tag, data] : tables) {
        font.b.insert(font.b.end(), data.begin(), data.end());
        font.pad();
    }
    return font.b;
}
