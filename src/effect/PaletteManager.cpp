#include "effect/PaletteManager.h"

#include <algorithm>
#include <utility>

#include "core/ErrorPresenter.h"
#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"

namespace Effect {

namespace {

PaletteManager::ChangeScope gChangeScope;

void showError(const std::wstring& text) {
    if (!System::presentErrorIfInstalled(text)) System::Log::error("Effect::PaletteManager", L"%ls", text.c_str());
}

std::wstring stemOf(const std::wstring& path) {
    std::wstring name = path;
    if (const size_t slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) name.erase(0, slash + 1);
    if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.erase(dot);
    return name;
}

std::wstring defaultFolder() { return System::FileName::getExpandedPath(L"%Default%") + System::kPathSeparator; }

}  // namespace

PaletteManager::ChangeScope PaletteManager::setChangeScope(ChangeScope scope) {
    return std::exchange(gChangeScope, std::move(scope));
}

std::shared_ptr<Palette> PaletteManager::makeDefaultPalette() {
    static const struct {
        const wchar_t* name;
        float r, g, b;
    } rows[] = {{L"white", 1, 1, 1}, {L"red", 1, 0, 0},  {L"yellow", 1, 1, 0},  {L"green", 0, 1, 0},
                {L"aqua", 0, 1, 1},  {L"blue", 0, 0, 1}, {L"magenta", 1, 0, 1}, {L"black", 0, 0, 0}};
    auto palette = std::make_shared<Palette>(L"default");
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            const float strength = 1.0f - 0.125f * static_cast<float>(column);
            PaletteEntry& entry = palette->colors[row * 8 + column];
            entry.color = {rows[row].r * strength, rows[row].g * strength, rows[row].b * strength, 1.0f};
            if (column == 0) entry.name = rows[row].name;
        }
    return palette;
}

void PaletteManager::loadPalettes() {
    palettes_.clear();
    for (const System::File::FileEntry& file : System::findFilesByPattern(defaultFolder() + L"*.palette"))
        registerPalette(file.name);
    if (palettes_.empty()) {
        std::shared_ptr<Palette> palette = makeDefaultPalette();
        palettes_.emplace(palette->name, std::make_unique<PaletteDefine>(palette));
        savePalette(*palette);
    }
    reloadPresetColor();
}

void PaletteManager::registerPalette(const std::wstring& path) {
    try {
        std::wstring expanded = path;
        System::FileName::expandVariable(expanded);
        const std::wstring name = stemOf(expanded);
        std::vector<PaletteEntry> entries = PaletteDefine::readPaletteFile(expanded);
        if (entries.empty()) return;
        if (palettes_.count(name)) {
            showError(L"Failed to register palette. [" + name + L"]\n\nDuplicate params with the same key exist.");
            return;
        }
        auto palette = std::make_shared<Palette>(name);
        palette->colors = std::move(entries);
        palettes_.emplace(name, std::make_unique<PaletteDefine>(std::move(palette)));
        System::Log::info("Effect::PaletteManager::registerPalette", "register palette [%s]",
                          System::wideToUtf8(name).c_str());
    } catch (const std::exception& e) {
        showError(L"Failed to register palette. [" + path + L"]\n\n" + System::utf8ToWide(e.what()));
    }
}

void PaletteManager::reloadPresetColor() {
    presetColors_.clear();
    ++generation;
    for (const auto& [key, define] : palettes_)
        for (const PaletteEntry& entry : define->palette().colors) {
            if (entry.name.empty()) continue;
            const int32_t order = counter_++;
            if (!presetColors_.count(entry.name))
                presetColors_.emplace(entry.name, std::make_unique<PresetColorDefine>(entry.name, entry.color, order));
            System::Log::info("Effect::PaletteManager::reloadPresetColor", "register preset color [%s]",
                              System::wideToUtf8(entry.name).c_str());
        }
}

std::vector<Palette*> PaletteManager::getPaletteList() const {
    std::vector<Palette*> list;
    for (const auto& [key, define] : palettes_) list.push_back(&define->palette());
    std::sort(list.begin(), list.end(), [](const Palette* a, const Palette* b) { return a->name < b->name; });
    return list;
}

std::vector<PresetColorDefine*> PaletteManager::getPresetColorMenuList() const {
    std::vector<PresetColorDefine*> list;
    for (const auto& [key, define] : presetColors_) list.push_back(define.get());
    std::sort(list.begin(), list.end(),
              [](const PresetColorDefine* a, const PresetColorDefine* b) { return a->order < b->order; });
    return list;
}

std::vector<const std::wstring*> PaletteManager::getPresetColorLabelList() const {
    std::vector<const std::wstring*> labels;
    for (const PresetColorDefine* define : getPresetColorMenuList()) {
        if (define->label.empty()) continue;
        if (std::none_of(labels.begin(), labels.end(), [&](const std::wstring* l) { return *l == define->label; }))
            labels.push_back(&define->label);
    }
    return labels;
}

void PaletteManager::setPresetColorName(const std::wstring* name, Palette& palette, int32_t index) {
    if (index < 0 || index >= Palette::kSize) return;
    if (name) {
        // A copy: the name may be one of the entries about to be cleared.
        const std::wstring taken = *name;
        for (const auto& [key, define] : palettes_) {
            Palette& other = define->palette();
            bool lost = false;
            for (PaletteEntry& entry : other.colors)
                if (entry.name == taken) {
                    entry.name.clear();
                    lost = true;
                }
            if (lost && &other != &palette) savePalette(other);
        }
        palette.colors[index].name = taken;
    } else {
        palette.colors[index].name.clear();
    }
    savePalette(palette);
    if (gChangeScope)
        gChangeScope([this] { reloadPresetColor(); });
    else
        reloadPresetColor();
}

void PaletteManager::savePalette(const Palette& palette) {
    try {
        PaletteDefine::savePaletteFile(L"%Default%" + std::wstring(1, System::kPathSeparator) + palette.name +
                                           L".palette",
                                       palette.colors);
    } catch (const std::exception&) {
        showError(L"パレットの保存に失敗しました");
    }
}

const PresetColorDefine* PaletteManager::findPresetColor(const std::wstring& name) const {
    const auto found = presetColors_.find(name);
    return found == presetColors_.end() ? nullptr : found->second.get();
}

PresetColorDefine* PaletteManager::findPresetColor(const std::wstring& name) {
    const auto found = presetColors_.find(name);
    return found == presetColors_.end() ? nullptr : found->second.get();
}

std::shared_ptr<Palette> PaletteManager::findPalette(const std::wstring& name) const {
    const auto found = palettes_.find(name);
    return found == palettes_.end() ? nullptr : found->second->shared();
}

bool PaletteManager::findPresetColor(const std::wstring& name, Media::ColorRgba& out) const {
    const PresetColorDefine* define = findPresetColor(name);
    if (!define) return false;
    out = define->color;
    return true;
}

}  // namespace Effect
