#include "edit/EditObjectCommands.h"

#include "core/IniFile.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/Project.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"

namespace Edit {
namespace {

// The effect standing at the position of the chain, or none past its end.
std::shared_ptr<Effect::EffectBase> effectAt(const Object& object, int32_t position) {
    if (position < 0 || static_cast<size_t>(position) >= object.effects.size()) return nullptr;
    return object.effects[static_cast<size_t>(position)];
}

std::unique_ptr<UpdateSection> openEffectScope(const std::shared_ptr<Object>& object) {
    auto scope = EditService::instance()->openSection();
    scope->effectsChanged = true;
    scope->timeSettingChanged = true;
    scope->colorSettingChanged = true;
    scope->textSettingChanged = true;
    scope->objectChanged = true;
    scope->changedObject = object;
    if (Undo::UndoService* undo = Undo::UndoService::get()) {
        undo->openRecord(*scope);
        undo->addObjectUndoEffect(object);
    }
    return scope;
}

}  // namespace

EditObjectCommands::EditObjectCommands() : previous_(Effect::ObjectCommands::current()) {
    Effect::ObjectCommands::setCurrent(this);
}

EditObjectCommands::~EditObjectCommands() { Effect::ObjectCommands::setCurrent(previous_); }

void EditObjectCommands::createObject(const std::wstring& effectName, int32_t layer, int32_t frame) {
    EditCommand::createObject(effectName, layer, frame);
}

void EditObjectCommands::loadObject(const std::wstring& aliasPath, int32_t layer, int32_t frame) {
    EditCommand::loadObject(aliasPath, layer, frame);
}

void EditObjectCommands::setEffect(const std::shared_ptr<Object>& object, const std::wstring& effectName,
                                   int32_t position, bool replace) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::setEffect", "set effect [%s] layer=%d frame=%d",
                      System::wideToUtf8(effectName).c_str(), object->layer, object->start);
    const auto after = effectAt(*object, position);
    auto scope = openEffectScope(object);
    object->addEffect(effectName, after.get());
    if (replace && after) object->removeEffect(*after);
    object->removeUnfitEffects();
}

void EditObjectCommands::loadEffect(const std::shared_ptr<Object>& object, const std::wstring& aliasPath,
                                    int32_t position, bool replace) {
    if (!object) return;
    System::Log::info("Edit::EditCommand::loadEffect", "load effect [%s] layer=%d frame=%d",
                      System::wideToUtf8(aliasPath).c_str(), object->layer, object->start);
    const auto after = effectAt(*object, position);
    try {
        System::IniFile ini;
        ini.loadFile(aliasPath);
        auto scope = openEffectScope(object);
        object->loadEffectAliasFile(ini, after.get());
        if (replace && after) object->removeEffect(*after);
        object->removeUnfitEffects();
    } catch (const std::exception&) {
        Project::postError(L"エイリアスの読み込みに失敗しました");
    }
}

}  // namespace Edit
