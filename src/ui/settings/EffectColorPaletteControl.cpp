#include "ui/settings/EffectColorPaletteControl.h"

#include <algorithm>
#include <cmath>

#include "core/File.h"
#include "core/FileName.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "edit/EditService.h"
#include "edit/UpdateSection.h"
#include "effect/Palette.h"
#include "effect/PaletteManager.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/TextFormat.h"
#include "platform/draw2d/Brush.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/Menu.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/TopLevel.h"
#include "ui/dialogs/DialogItemNameComboBox.h"
#include "ui/dialogs/DialogItemNameText.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/ShowError.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/settings/EffectColorSettingComponent.h"

namespace Component {

namespace {

const wchar_t* message(const wchar_t* text) {
    return Translate::translated(Translate::TranslateService::Table::Message, text);
}

// The panels and renders that show preset colours follow a change of them.
void rebuildPresets(const std::function<void()>& change) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) {
        change();
        return;
    }
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->objectChanged = true;
    change();
}

}  // namespace

EffectColorPaletteControl::EffectColorPaletteControl(Window::ControlContainer& container,
                                                     EffectColorSettingComponent& owner)
    : WindowControlRenderTarget(container, 0, 0, 1, 1), panel(&owner) {
    acceptContextMenu = true;
}

int32_t EffectColorPaletteControl::indexAt(int32_t w, int32_t h, int32_t x, int32_t y) {
    if (w <= 0 || h <= 0) return -1;
    const int32_t column = std::clamp(x * 8 / w, 0, 7), row = std::clamp(y * 8 / h, 0, 7);
    return row * 8 + column;
}

void EffectColorPaletteControl::setPalette(const std::wstring& name) {
    Effect::PaletteManager* manager = Effect::PaletteManager::get();
    if (manager == nullptr) return;
    std::shared_ptr<Effect::Palette> found = manager->findPalette(name);
    if (!found) {
        const std::vector<Effect::Palette*> list = manager->getPaletteList();
        if (!list.empty()) found = manager->findPalette(list.front()->name);
    }
    if (!found) return;
    panel->selectPalette = found->name;
    palette = std::move(found);
}

void EffectColorPaletteControl::selectPalette() {
    Effect::PaletteManager* manager = Effect::PaletteManager::get();
    if (manager == nullptr) return;
    Window::PopupMenu menu;
    for (const Effect::Palette* shown : manager->getPaletteList()) {
        const std::wstring name = shown->name;
        const Window::BaseMenu::Item item = menu.insertItem(name, [this, name] {
            System::Log::info("Component::EffectColorPaletteControl::selectPalette", "change palette : %s",
                              System::wideToUtf8(name).c_str());
            setPalette(name);
            invalidate();
        });
        item.setRadioCheck();
        if (name == panel->selectPalette)
            Platform::window::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    }
    menu.insertSeparator();
    menu.insertItem(L"新しいパレットを作成", [this] {
        createPalette();
        invalidate();
    });
    menu.show();
}

void EffectColorPaletteControl::createPalette() {
    Effect::PaletteManager* manager = Effect::PaletteManager::get();
    if (manager == nullptr || !palette) return;
    Dialog::DialogTemplate dialog(L"パレットを作成 - 色設定");
    Dialog::DialogItemNameText* field = dialog.addItem(L"パレット名", std::wstring());
    if (!dialog.create()) return;
    const std::wstring name = field->text;
    std::wstring path = L"%Default%" + std::wstring(1, System::kPathSeparator) + name + L".palette";
    System::FileName::expandVariable(path);
    if (System::File::exists(path) && !Dialog::showConfirm(L"同名のパレットが存在しています\n上書きしますか？"))
        return;
    System::Log::info("Component::EffectColorPaletteControl::createPalette", "create palette : %s",
                      System::wideToUtf8(name).c_str());
    Effect::Palette created(name);
    created.colors = palette->colors;
    for (Effect::PaletteEntry& entry : created.colors) entry.name.clear();
    manager->savePalette(created);
    rebuildPresets([manager] { manager->loadPalettes(); });
    setPalette(name);
}

void EffectColorPaletteControl::editPresetName(int32_t index) {
    Effect::PaletteManager* manager = Effect::PaletteManager::get();
    if (manager == nullptr || !palette || index < 0 || index >= Effect::Palette::kSize) return;
    const std::wstring current = palette->colors[size_t(index)].name;
    std::wstring name = current, label;
    if (const Effect::PresetColorDefine* preset = manager->findPresetColor(current)) label = preset->label;
    std::vector<std::wstring> labels;
    for (const std::wstring* l : manager->getPresetColorLabelList()) labels.push_back(*l);
    for (;;) {
        Dialog::DialogTemplate dialog(L"プリセット名を設定 - 色設定");
        Dialog::DialogItemText* nameField = dialog.append(std::make_unique<Dialog::DialogItemNameText>(L"プリセット名", name, false));
        auto* labelField = dialog.append(std::make_unique<Dialog::DialogItemNameComboBox>(L"ラベル", label));
        labelField->choices = labels;
        dialog.buttonMode = 1;
        if (!dialog.create()) return;
        name = nameField->text;
        label = labelField->text;
        if (name.empty() || manager->findPresetColor(name) == nullptr || name == current) break;
        Edit::UpdateSection::stopPlayback();
        if (Dialog::showConfirm(message(L"同名のプリセットが存在しています\n変更しますか？"))) break;
    }
    const std::wstring* given = name.empty() ? nullptr : &name;
    manager->setPresetColorName(given, *palette, index);
    if (given != nullptr)
        if (Effect::PresetColorDefine* preset = manager->findPresetColor(name)) preset->label = label;
}

void EffectColorPaletteControl::save() {
    Effect::PaletteManager* manager = Effect::PaletteManager::get();
    if (manager == nullptr || !palette) return;
    manager->savePalette(*palette);
    rebuildPresets([manager] { manager->reloadPresetColor(); });
}

std::wstring EffectColorPaletteControl::tipText(int32_t index) const {
    if (!palette || index < 0 || index >= Effect::Palette::kSize) return {};
    const Effect::PaletteEntry& entry = palette->colors[size_t(index)];
    std::wstring text;
    if (!entry.name.empty()) text += std::wstring(message(L"プリセット名")) + L" : " + entry.name + L"\n";
    text += std::wstring(message(L"パレット")) + L" : " + palette->name;
    const Media::ColorBytes bytes = Media::rgbToBytes(entry.color.r, entry.color.g, entry.color.b);
    text += L"\nR : " + std::to_wstring(bytes.r) + L"\nG : " + std::to_wstring(bytes.g) + L"\nB : " +
            std::to_wstring(bytes.b);
    return text;
}

void EffectColorPaletteControl::procMouseMove(int32_t x, int32_t y) {
    const int32_t index =
        indexAt(fullRect.w, fullRect.h, x + visibleRect.x - fullRect.x, y + visibleRect.y - fullRect.y);
    if (index == hoverIndex) return;
    hoverIndex = index;
    invalidate();
    if (service != nullptr) service->trackHover(this);
}

void EffectColorPaletteControl::procMouseLeave() {
    if (menuOpen) return;
    hoverIndex = -1;
    invalidate();
}

void EffectColorPaletteControl::procLButtonDown(int32_t, int32_t) {
    if (hoverIndex < 0 || !palette) return;
    panel->setColor(palette->colors[size_t(hoverIndex)].color);
    panel->applyColor();
}

void EffectColorPaletteControl::procMouseHover() {
    if (hoverIndex < 0) return;
    Platform::window::Point at{};
    if (!Platform::window::getCursorPos(at)) return;
    at.y += Platform::window::getSystemMetrics(Platform::window::kSmCyCursor);
    const std::wstring text = tipText(hoverIndex);
    Window::ToolTips::show(at, text.c_str(), 0);
}

void EffectColorPaletteControl::procContextMenu(int32_t x, int32_t y) {
    if (hoverIndex < 0 || !palette) {
        panel->procContextMenu(x, y);
        return;
    }
    const int32_t k = hoverIndex;
    Window::PopupMenu menu;
    menu.insertItem(L"現在の色を登録", [this, k] {
        palette->colors[size_t(k)].color = panel->color;
        save();
    });
    menu.insertSeparator();
    menu.insertItem(L"コピー", [this, k] { panel->copyColor = palette->colors[size_t(k)].color; });
    menu.insertItem(L"貼り付け", [this, k] {
        palette->colors[size_t(k)].color = panel->copyColor;
        save();
    });
    menu.insertSeparator();
    menu.insertItem(L"プリセット名を設定", [this, k] { editPresetName(k); });
    const Window::BaseMenu::Item clear = menu.insertItem(L"プリセット名を解除", [this, k] {
        palette->colors[size_t(k)].name.clear();
        save();
    });
    if (palette->colors[size_t(k)].name.empty())
        Platform::window::enableMenuItem(clear.menu, static_cast<uint32_t>(clear.id), false);
    menuOpen = true;
    menu.show();
    menuOpen = false;
    procMouseLeave();
    invalidate();
}

void EffectColorPaletteControl::procPaint() {
    if (!canPaint() || fullRect.w <= 0 || fullRect.h <= 0) return;
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, h = fullRect.h;
    fillRectangle(0, 0, w, h, brush(Window::StyleBrushList::Grouping));
    if (w < 16 || h < 16 || !palette) return;
    Resource::ResourceService* resources = Resource::ResourceService::get();
    Resource::TextFormat* format = resources != nullptr && Resource::ResourceService::kControl < resources->textFormats.size()
                                       ? resources->textFormats[Resource::ResourceService::kControl].get()
                                       : nullptr;
    bool namesFit = false;
    if (format != nullptr) {
        Resource::TextLayout probe;
        probe.create(*format, L"Ag", 2);
        namesFit = 2 * std::ceil(probe.getSize().height) < float(h / 8);
    }
    const Platform::draw2d::SolidColorBrush shade({0, 0, 0, 128.0f / 255.0f});
    for (int32_t i = 0; i < 8; ++i)
        for (int32_t j = 0; j < 8; ++j) {
            const Effect::PaletteEntry& entry = palette->colors[size_t(i * 8 + j)];
            const int32_t x0 = j * w / 8, x1 = (j + 1) * w / 8, y0 = i * h / 8, y1 = (i + 1) * h / 8;
            const Platform::draw2d::SolidColorBrush fill({entry.color.r, entry.color.g, entry.color.b, 1.0f});
            fillRectangle(x0 + 1, y0 + 1, x1, y1, fill);
            if (entry.name.empty()) continue;
            if (namesFit && format != nullptr) {
                Resource::TextLayout layout;
                layout.create(*format, entry.name.c_str(), static_cast<int32_t>(entry.name.size()));
                const auto L = static_cast<int32_t>(std::ceil(layout.getSize().height));
                fillRectangle(x0 + 1, y1 - L - 1, x1, y1, shade);
                target->drawTextLayout({float(Media::RenderTarget::originX + x0 + 2),
                                        float(Media::RenderTarget::originY + y1 - L - 1)},
                                       *layout.get(), brush(Window::StyleBrushList::Text));
            } else {
                const float v = EffectColorSettingComponent::contrastGrey(entry.color);
                const Platform::draw2d::SolidColorBrush grey({v, v, v, 1.0f});
                const float ox = float(Media::RenderTarget::originX), oy = float(Media::RenderTarget::originY);
                target->drawRectangle({ox + float(x0) + 2.5f, oy + float(y0) + 2.5f, ox + float(x1) - 1.5f,
                                       oy + float(y1) - 1.5f},
                                      grey, 1.75f, nullptr);
            }
        }
    if (hoverIndex >= 0) {
        const int32_t i = hoverIndex / 8, j = hoverIndex % 8;
        const int32_t l = j * w / 8 + 2, t = i * h / 8 + 2, r = (j + 1) * w / 8 - 1, b = (i + 1) * h / 8 - 1;
        drawRectangle(l, t, r, b, brush(Window::StyleBrushList::AnchorEdge), 3, nullptr);
        drawRectangle(l, t, r, b, brush(Window::StyleBrushList::AnchorHover), 2, nullptr);
    }
}

}  // namespace Component
