#include "ui/framework/EffectListMenu.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "core/TranslateService.h"
#include "edit/Object.h"
#include "edit/ObjectEffectCommands.h"
#include "effect/EffectBase.h"
#include "effect/EffectDefine.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectMenuDefine.h"
#include "effect/EffectService.h"
#include "effect/MenuDefineBase.h"
#include "effect/MovementDefine.h"
#include "effect/MovementParamsManager.h"
#include "effect/PaletteManager.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/FontManager.h"

namespace Menu {

namespace W = Platform::window;

namespace {

std::wstring shownLabel(const std::wstring& label) {
    if (label.empty() || !Translate::TranslateService::isActive()) return label;
    return Translate::translated(Translate::TranslateService::Table::Effect, label.c_str());
}

void markCurrent(const Window::BaseMenu::Item& item) {
    item.setRadioCheck();
    W::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
}

// The common builder over any kind of entry with a label, a hide flag and a
// display name.
template <class Entry>
void addEntries(Window::BaseMenu& popup, const std::vector<Entry*>& entries, const std::function<void(Entry&)>& choose,
                const std::function<bool(const Entry&)>& isCurrent) {
    std::map<std::wstring, std::unique_ptr<Window::BaseMenu>> submenus;
    for (Entry* entry : entries) {
        if (entry == nullptr || entry->hide) continue;
        const std::wstring label = shownLabel(entry->label);
        Window::BaseMenu* target = &popup;
        if (!label.empty()) {
            std::unique_ptr<Window::BaseMenu>& sub = submenus[label];
            if (!sub) sub = std::make_unique<Window::BaseMenu>(popup, label);
            target = sub.get();
        }
        const Window::BaseMenu::Item item =
            target->insertItem(entry->getDisplayName(), [entry, choose] { choose(*entry); });
        if (!isCurrent || !isCurrent(*entry)) continue;
        markCurrent(item);
        if (target != &popup) {
            const int32_t position = Window::BaseMenu::getSubMenuPosition(popup.menu, target->menu);
            W::setMenuItemRadioAt(popup.menu, position, true);
            W::checkMenuItemAt(popup.menu, position, true);
        }
    }
}

int32_t positionOf(const Edit::Object& object, const Effect::EffectBase* effect) {
    for (size_t i = 0; i < object.effects.size(); ++i)
        if (object.effects[i].get() == effect) return static_cast<int32_t>(i);
    return -1;
}

// The registered effects of the role passing the medium (and, for scene
// changes, placed as scene changes) that share the current definition's
// untranslated label, by order, the current one marked.
void addSwitchMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object,
                   const Effect::EffectBase& current, uint8_t role, bool sceneChanges, int32_t position, bool replace) {
    Effect::EffectService* service = Effect::EffectService::get();
    if (service == nullptr) return;
    std::vector<Effect::EffectDefine*> list;
    for (const auto& [name, define] : service->effects()) {
        if (define->getKind() != role) continue;
        if (!Effect::EffectService::codePasses(current.media, define->getMedia())) continue;
        if (sceneChanges && define->getPlacement() != 3 && define->getPlacement() != Effect::EffectBase::kSceneChange)
            continue;
        list.push_back(define.get());
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const Effect::EffectDefine* a, const Effect::EffectDefine* b) { return a->order < b->order; });
    const auto found = service->effects().find(current.name);
    const Effect::EffectDefine* currentDefine = found != service->effects().end() ? found->second.get() : nullptr;
    const std::wstring currentLabel = currentDefine != nullptr ? currentDefine->label : std::wstring();
    for (Effect::EffectDefine* define : list) {
        if (define->hide != 0 || define->label != currentLabel) continue;
        const Window::BaseMenu::Item item =
            popup.insertItem(define->getDisplayName(),
                             [define, object, position, replace] { define->addToObject(object, position, replace); });
        item.setRadioCheck();
        if (define == currentDefine) W::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    }
}

}  // namespace

void addEntryMenu(Window::BaseMenu& popup, const std::vector<MenuDefineBase*>& entries,
                  const std::function<void(MenuDefineBase&)>& choose,
                  const std::function<bool(const MenuDefineBase&)>& isCurrent) {
    addEntries<MenuDefineBase>(popup, entries, choose, isCurrent);
}

void addObjectMenu(Window::BaseMenu& popup, int32_t layer, int32_t frame, uint8_t listKind) {
    Effect::EffectService* service = Effect::EffectService::get();
    if (service == nullptr) return;
    addEntryMenu(popup, service->getEffectMenuList(listKind, 0, 0), [layer, frame](MenuDefineBase& entry) {
        if (auto* effect = dynamic_cast<Effect::EffectMenuDefine*>(&entry)) effect->createObject(layer, frame);
    });
}

void addFilterEffectMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object, uint8_t listKind,
                         uint8_t media, const Effect::EffectBase* position) {
    Effect::EffectService* service = Effect::EffectService::get();
    if (service == nullptr || !object) return;
    // List 1 marks the source the object has, list 2 the output that goes with it.
    const Effect::EffectBase* current = nullptr;
    if ((listKind == 1 || listKind == 2) && !object->effects.empty() &&
        object->effects.front()->role == Effect::EffectBase::kInput) {
        const size_t index = listKind == 1 ? 0 : 1;
        if (index < object->effects.size()) current = object->effects[index].get();
    }
    const int32_t at = position != nullptr ? positionOf(*object, position) : -1;
    addEntryMenu(
        popup, service->getEffectMenuList(listKind, media, 0),
        [object, at](MenuDefineBase& entry) {
            if (auto* effect = dynamic_cast<Effect::EffectMenuDefine*>(&entry)) effect->addToObject(object, at, false);
        },
        [current](const MenuDefineBase& entry) {
            auto* effect = dynamic_cast<const Effect::EffectMenuDefine*>(&entry);
            return current != nullptr && effect != nullptr && effect->isDefineOf(*current);
        });
}

void addSwitchFilterMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object,
                         const Effect::EffectBase& current) {
    if (!object) return;
    addSwitchMenu(popup, object, current, Effect::EffectBase::kFilter, false, positionOf(*object, &current), true);
}

void addSwitchObjectMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object,
                         const Effect::EffectBase& current) {
    if (!object) return;
    addSwitchMenu(popup, object, current, Effect::EffectBase::kInput, false, -1, false);
}

void addSwitchSceneChangeMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object,
                              const Effect::EffectBase& current) {
    if (!object) return;
    addSwitchMenu(popup, object, current, Effect::EffectBase::kControl, true, -1, false);
}

void addMovementMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object,
                     Effect::EffectItemNumber& item) {
    Effect::EffectService* service = Effect::EffectService::get();
    if (service == nullptr) return;
    std::vector<MenuDefineBase*> entries;
    for (const Effect::MovementDefine* define : service->getMovementMenuList(item.movementListAdjuster))
        entries.push_back(const_cast<Effect::MovementDefine*>(define));
    const Effect::MovementBase* current = item.movement;
    addEntryMenu(
        popup, entries,
        [object, &item](MenuDefineBase& entry) { Edit::EditCommand::setMovement(object, item, entry.getName()); },
        [current](const MenuDefineBase& entry) {
            auto* define = dynamic_cast<const Effect::MovementDefine*>(&entry);
            return define != nullptr && define->movement().get() == current;
        });
}

void addMovementParamsMenu(Window::BaseMenu& popup,
                           const std::function<void(const Effect::MovementParamsDefine&)>& choose) {
    const Effect::MovementParamsManager* presets = Effect::MovementParamsManager::get();
    if (presets == nullptr) return;
    addEntries<Effect::MovementParamsDefine>(
        popup, presets->getMenuList(), [choose](Effect::MovementParamsDefine& preset) { choose(preset); }, {});
}

void addPresetColorMenu(Window::BaseMenu& popup, const std::function<void(const Effect::PresetColorDefine&)>& choose) {
    const Effect::PaletteManager* palettes = Effect::PaletteManager::get();
    if (palettes == nullptr) return;
    addEntries<Effect::PresetColorDefine>(
        popup, palettes->getPresetColorMenuList(), [choose](Effect::PresetColorDefine& color) { choose(color); }, {});
}

void addFontMenu(Window::BaseMenu& popup, const std::function<void(const Media::FontDefine&)>& choose,
                 const std::wstring& currentName) {
    Media::Direct2DService* direct2D = Media::Direct2DService::get();
    if (direct2D == nullptr) return;
    std::vector<Media::FontDefine*> entries;
    for (const Media::FontDefine* font : direct2D->fontManager.getFontListByName())
        entries.push_back(const_cast<Media::FontDefine*>(font));
    addEntries<Media::FontDefine>(
        popup, entries, [choose](Media::FontDefine& font) { choose(font); },
        [&currentName](const Media::FontDefine& font) { return font.getName() == currentName; });
}

}  // namespace Menu
