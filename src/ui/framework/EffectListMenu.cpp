#include "ui/framework/EffectListMenu.h"

#include <map>
#include <memory>
#include <string>

#include "core/TranslateService.h"
#include "effect/EffectMenuDefine.h"
#include "effect/EffectService.h"
#include "effect/MenuDefineBase.h"

namespace Menu {

void addEntryMenu(Window::BaseMenu& popup, const std::vector<MenuDefineBase*>& entries,
                  const std::function<void(MenuDefineBase&)>& choose) {
    std::map<std::wstring, std::unique_ptr<Window::BaseMenu>> submenus;
    for (MenuDefineBase* entry : entries) {
        if (entry == nullptr || entry->hide != 0) continue;
        std::wstring label = entry->label;
        if (!label.empty() && Translate::TranslateService::isActive())
            label = Translate::translated(Translate::TranslateService::Table::Effect, label.c_str());
        Window::BaseMenu* target = &popup;
        if (!label.empty()) {
            std::unique_ptr<Window::BaseMenu>& sub = submenus[label];
            if (!sub) sub = std::make_unique<Window::BaseMenu>(popup, label);
            target = sub.get();
        }
        target->insertItem(entry->getDisplayName(), [entry, choose] { choose(*entry); });
    }
}

void addObjectMenu(Window::BaseMenu& popup, int32_t layer, int32_t frame, uint8_t listKind) {
    Effect::EffectService* service = Effect::EffectService::get();
    if (service == nullptr) return;
    addEntryMenu(popup, service->getEffectMenuList(listKind, 0, 0), [layer, frame](MenuDefineBase& entry) {
        if (auto* effect = dynamic_cast<Effect::EffectMenuDefine*>(&entry)) effect->createObject(layer, frame);
    });
}

}  // namespace Menu
