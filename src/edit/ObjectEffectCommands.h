#pragma once
// The commands that change an object's effect chain (an effect of a
// definition or of a saved effect file, optionally in place of another) and
// the movement of its number items (type, flag bits, settings). Each records
// the object for undo and is one edit scope and one undo step. UI thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Effect {
class EffectBase;
class EffectItemNumber;
}  // namespace Effect
namespace Edit {
class Object;
}

namespace Edit::EditCommand {

// A new effect of the named definition; a filter stands right behind
// `after`. With replace it takes after's place. An unknown name throws.
void setEffect(const std::shared_ptr<Object>& object, const std::wstring& effectName,
               const std::shared_ptr<Effect::EffectBase>& after, bool replace);
// The effects of a saved effect file; a failure posts
// "エイリアスの読み込みに失敗しました".
void loadEffect(const std::shared_ptr<Object>& object, const std::wstring& path,
                const std::shared_ptr<Effect::EffectBase>& after, bool replace);
// The movement of the item and the items linked with it; an unknown name
// throws "not found movement." before anything changes.
void setMovement(const std::shared_ptr<Object>& object, Effect::EffectItemNumber& item, const std::wstring& name);
// Flips one flag bit (1 加速, 2 減速, 4 中間点無視) so that the item and its
// linked items all end in the item's new state.
void toggleMovementFlag(const std::shared_ptr<Object>& object, Effect::EffectItemNumber& item, uint32_t bit);
void setMovementSettings(const std::shared_ptr<Object>& object, Effect::EffectItemNumber& item,
                         const std::vector<double>& settings);
// Asks for the first movement setting and applies it.
void inputMovementSettings(const std::shared_ptr<Object>& object, Effect::EffectItemNumber& item);

// The one-number dialog: title, field label and value, limited to
// [minimum, maximum]; false for Cancel. The window layer installs it;
// without one the question counts as cancelled. Returns the one before.
using NumberInput = std::function<bool(const std::wstring& title, const std::wstring& label, double& value,
                                       double minimum, double maximum)>;
NumberInput setNumberInput(NumberInput input);

// Told, once its scope has closed, that setMovement gave the item a movement
// with a time curve; the time-control panel installs it. Returns the one before.
using TimeControlTarget = std::function<void(const std::shared_ptr<Object>& object, Effect::EffectItemNumber& item)>;
TimeControlTarget setTimeControlTarget(TimeControlTarget target);

}  // namespace Edit::EditCommand
