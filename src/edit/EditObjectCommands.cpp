#include "edit/EditObjectCommands.h"

#include "edit/Object.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectEffectCommands.h"
#include "effect/EffectBase.h"

namespace Edit {
namespace {

// The effect standing at the position of the chain, or none past its end.
std::shared_ptr<Effect::EffectBase> effectAt(const Object& object, int32_t position) {
    if (position < 0 || static_cast<size_t>(position) >= object.effects.size()) return nullptr;
    return object.effects[static_cast<size_t>(position)];
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
    if (object) EditCommand::setEffect(object, effectName, effectAt(*object, position), replace);
}

void EditObjectCommands::loadEffect(const std::shared_ptr<Object>& object, const std::wstring& aliasPath,
                                    int32_t position, bool replace) {
    if (object) EditCommand::loadEffect(object, aliasPath, effectAt(*object, position), replace);
}

}  // namespace Edit
