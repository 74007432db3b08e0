#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "effect/Palette.h"

namespace Effect {

// A palette of the registry and the reading and writing of its ".palette"
// file: one line "index=rrggbb" or "index=rrggbb|name" per colour, CR LF ends.
class PaletteDefine {
public:
    explicit PaletteDefine(std::shared_ptr<Palette> palette) : palette_(std::move(palette)) {}

    Palette& palette() const { return *palette_; }
    const std::shared_ptr<Palette>& shared() const { return palette_; }

    // The 64 colours of the file's text; lines that do not parse are skipped.
    static std::vector<PaletteEntry> parsePalette(std::string_view bytes);
    // The file's text for the entries, in index order.
    static std::string formatPalette(const std::vector<PaletteEntry>& entries);
    // Empty when the file does not open (the path is expanded first).
    static std::vector<PaletteEntry> readPaletteFile(const std::wstring& path);
    // Replaces the file; open and write failures throw.
    static void savePaletteFile(const std::wstring& path, const std::vector<PaletteEntry>& entries);

private:
    std::shared_ptr<Palette> palette_;
};

}  // namespace Effect
