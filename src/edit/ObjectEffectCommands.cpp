#include "edit/ObjectEffectCommands.h"

#include <utility>

#include "core/Exception.h"
#include "core/IniFile.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Project.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectService.h"
#include "effect/MovementBase.h"
#include "effect/MovementDefine.h"
#include "effect/MovementLookup.h"

namespace Edit::EditCommand {
namespace {

using ObjectPtr = std::shared_ptr<Object>;
using Effect::EffectItemNumber;

NumberInput gNumberInput;
TimeControlTarget gTimeControlTarget;

Undo::UndoService* undo() { return Undo::UndoService::get(); }

// The scope of a change to the chain or its items: every panel that shows
// the object follows. Records the object as `record` says.
std::unique_ptr<UpdateSection> openObjectScope(const ObjectPtr& object,
                                               void (Undo::UndoService::*record)(const std::shared_ptr<Object>&)) {
    auto scope = EditService::instance()->openSection();
    scope->effectsChanged = true;
    scope->timeSettingChanged = true;
    scope->colorSettingChanged = true;
    scope->textSettingChanged = true;
    scope->objectChanged = true;
    scope->changedObject = object;
    if (undo()) {
        undo()->openRecord(*scope);
        (undo()->*record)(object);
    }
    return scope;
}

// The item and the items linked with it (the item alone when none are).
std::vector<EffectItemNumber*> linkedItems(EffectItemNumber& item) {
    if (item.group && !item.group->members.empty()) return item.group->members;
    return {&item};
}

int32_t boundaryCount(const Object& object) { return static_cast<int32_t>(object.midpoints.size()) + 2; }

}  // namespace

void setEffect(const ObjectPtr& object, const std::wstring& effectName,
               const std::shared_ptr<Effect::EffectBase>& after, bool replace) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::setEffect", "set effect [%s] layer=%d frame=%d",
                      System::wideToUtf8(effectName).c_str(), object->layer, object->start);
    auto scope = openObjectScope(object, &Undo::UndoService::addObjectUndoEffect);
    object->addEffect(effectName, after.get());
    if (replace && after) object->removeEffect(*after);
    object->removeUnfitEffects();
}

void loadEffect(const ObjectPtr& object, const std::wstring& path, const std::shared_ptr<Effect::EffectBase>& after,
                bool replace) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::loadEffect", "load effect [%s] layer=%d frame=%d",
                      System::wideToUtf8(path).c_str(), object->layer, object->start);
    try {
        System::IniFile ini;
        ini.loadFile(path);
        auto scope = openObjectScope(object, &Undo::UndoService::addObjectUndoEffect);
        object->loadEffectAliasFile(ini, after.get());
        if (replace && after) object->removeEffect(*after);
        object->removeUnfitEffects();
    } catch (const std::exception&) {
        Project::postError(L"エイリアスの読み込みに失敗しました");
    }
}

void setMovement(const ObjectPtr& object, EffectItemNumber& item, const std::wstring& name) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::setMovement", "set move type [%s] layer=%d frame=%d",
                      System::wideToUtf8(name).c_str(), object->layer, object->start);
    const Effect::MovementBase* movement = Effect::findMovement(name);
    if (!movement) throw System::messageException("Effect::EffectService::findMovement", "not found movement.");
    if (movement == item.movement) return;
    {
        auto scope = openObjectScope(object, &Undo::UndoService::addObjectUndoSection);
        const std::vector<EffectItemNumber*> items = linkedItems(item);
        for (EffectItemNumber* i : items) {
            i->movement = movement;
            i->resizeValues(boundaryCount(*object));
        }
        for (EffectItemNumber* i : items) i->updateMovementFlags(*object);
    }
    if (movement->timeControl && gTimeControlTarget) gTimeControlTarget(object, item);
}

void toggleMovementFlag(const ObjectPtr& object, EffectItemNumber& item, uint32_t bit) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::toggleMovementFlag", "toggle move flag [%u] layer=%d frame=%d", bit,
                      object->layer, object->start);
    auto scope = openObjectScope(object, &Undo::UndoService::addObjectUndoSection);
    const bool wasSet = (item.flags & bit) != 0;
    for (EffectItemNumber* i : linkedItems(item)) {
        if (((i->flags & bit) != 0) != wasSet) continue;
        i->flags ^= bit;
        i->resizeValues(boundaryCount(*object));
    }
}

void setMovementSettings(const ObjectPtr& object, EffectItemNumber& item, const std::vector<double>& settings) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::setMovementSettings", "set movement settings layer=%d frame=%d",
                      object->layer, object->start);
    auto scope = EditService::instance()->openSection();
    scope->timeSettingChanged = true;
    scope->objectChanged = true;
    scope->changedObject = object;
    if (undo()) {
        undo()->openRecord(*scope);
        undo()->addObjectUndoSection(object);
    }
    for (EffectItemNumber* i : linkedItems(item)) i->settings = settings;
}

void inputMovementSettings(const ObjectPtr& object, EffectItemNumber& item) {
    if (!object) return;
    std::vector<double> settings = item.getMovementSettings();
    if (settings.empty()) return;
    std::wstring title = item.movement->name;
    if (const Effect::EffectService* effects = Effect::EffectService::get()) {
        try {
            title = effects->findMovement(title).getDisplayName();
        } catch (const std::exception&) {
        }
    }
    double value = settings.front();
    if (!gNumberInput || !gNumberInput(title, L"設定値", value, -2147483648.0, 2147483647.0)) return;
    settings.front() = value;
    setMovementSettings(object, item, settings);
}

NumberInput setNumberInput(NumberInput input) { return std::exchange(gNumberInput, std::move(input)); }

TimeControlTarget setTimeControlTarget(TimeControlTarget target) {
    return std::exchange(gTimeControlTarget, std::move(target));
}

}  // namespace Edit::EditCommand
