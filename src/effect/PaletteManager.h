#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "effect/PaletteDefine.h"
#include "effect/PresetColorDefine.h"
#include "media/text/PresetColorSource.h"

namespace Effect {

// The palettes of "%Default%/*.palette" and the preset colours they name.
// The preset colours are rebuilt from the palettes after every change and
// never edited on their own; a preset name belongs to one palette entry.
class PaletteManager : public Media::PresetColorSource {
public:
    // Runs the change inside an edit scope that refreshes the panels and
    // renders using preset colours; the editing layer installs it. Without
    // one the change runs bare. Returns the one installed before.
    using ChangeScope = std::function<void(const std::function<void()>& change)>;
    static ChangeScope setChangeScope(ChangeScope scope);

    // The registry of the effect service while it exists.
    static PaletteManager* get();

    // Rebuilds everything from disk; writes the built-in "default" palette
    // when no file registers.
    void loadPalettes();
    void registerPalette(const std::wstring& path);
    void reloadPresetColor();

    // By name, in code-unit order.
    std::vector<Palette*> getPaletteList() const;
    // By menu order.
    std::vector<PresetColorDefine*> getPresetColorMenuList() const;
    // The distinct non-empty labels in menu order.
    std::vector<const std::wstring*> getPresetColorLabelList() const;
    // Gives entry index of the palette the name (taken from any other entry
    // holding it), or with none clears its name; saves what changed.
    void setPresetColorName(const std::wstring* name, Palette& palette, int32_t index);
    // Writes "%Default%/<name>.palette"; a failure is shown, not thrown.
    void savePalette(const Palette& palette);

    // By exact name; none when there is no such palette.
    std::shared_ptr<Palette> findPalette(const std::wstring& name) const;
    const PresetColorDefine* findPresetColor(const std::wstring& name) const;
    PresetColorDefine* findPresetColor(const std::wstring& name);
    bool findPresetColor(const std::wstring& name, Media::ColorRgba& out) const override;

    // The palette "default" written when there is none.
    static std::shared_ptr<Palette> makeDefaultPalette();

private:
    std::unordered_map<std::wstring, std::unique_ptr<PaletteDefine>> palettes_;
    std::unordered_map<std::wstring, std::unique_ptr<PresetColorDefine>> presetColors_;
    int32_t counter_ = 0;
};

}  // namespace Effect
