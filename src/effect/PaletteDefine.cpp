#include "effect/PaletteDefine.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "effect/PresetFileText.h"

namespace Effect {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

// "rrggbb" with blanks around it.
bool parseColor(std::string_view text, Media::ColorRgba& out) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.size() != 6) return false;
    float channels[3];
    for (int i = 0; i < 3; ++i) {
        const int high = hexDigit(text[2 * i]);
        const int low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        channels[i] = static_cast<float>(high * 16 + low) / 255.0f;
    }
    out = {channels[0], channels[1], channels[2], 1.0f};
    return true;
}

// Leading blanks and a sign allowed, reading stops at the first non-digit.
bool parseIndex(const std::string& text, int32_t& out) {
    try {
        out = std::stoi(text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

int channelByte(float value) {
    const double scaled = std::round(static_cast<double>(value) * 255.0);
    if (!(scaled >= 0)) return 0;
    return scaled > 255 ? 255 : static_cast<int>(scaled);
}

}  // namespace

std::vector<PaletteEntry> PaletteDefine::parsePalette(std::string_view bytes) {
    std::vector<PaletteEntry> entries(Palette::kSize);
    for (std::string_view line : splitPresetText(bytes, '\n')) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;
        const std::vector<std::string_view> halves = splitPresetText(line, '=');
        if (halves.size() != 2) continue;
        int32_t index = 0;
        if (!parseIndex(std::string(halves[0]), index) || index < 0 || index >= Palette::kSize) continue;
        const std::vector<std::string_view> pieces = splitPresetText(halves[1], '|');
        PaletteEntry entry;
        if (!parseColor(pieces[0], entry.color)) continue;
        if (pieces.size() >= 2) entry.name = System::utf8ToWide(std::string(pieces[1]));
        entries[index] = std::move(entry);
    }
    return entries;
}

std::string PaletteDefine::formatPalette(const std::vector<PaletteEntry>& entries) {
    std::string text;
    for (size_t i = 0; i < entries.size(); ++i) {
        const PaletteEntry& entry = entries[i];
        char line[64];
        std::snprintf(line, sizeof line, "%zu=%02x%02x%02x", i, channelByte(entry.color.r), channelByte(entry.color.g),
                      channelByte(entry.color.b));
        text += line;
        if (!entry.name.empty()) text += "|" + System::wideToUtf8(entry.name);
        text += "\r\n";
    }
    return text;
}

std::vector<PaletteEntry> PaletteDefine::readPaletteFile(const std::wstring& path) {
    return parsePalette(readPresetFileText(path));
}

void PaletteDefine::savePaletteFile(const std::wstring& path, const std::vector<PaletteEntry>& entries) {
    System::Log::info("Effect::PaletteDefine::savePaletteFile", "save palette file : %s",
                      System::wideToUtf8(path).c_str());
    writePresetFileText(path, formatPalette(entries));
}

}  // namespace Effect
