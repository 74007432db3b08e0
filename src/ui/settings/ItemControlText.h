#pragma once
// Texts and placements the item rows share: the item's shown name, the name
// part of a path, an option's text, the file dialog's filter and the share of
// the line a button-like row takes.
#include <cstdint>
#include <functional>
#include <string>

#include "effect/EffectItemSelect.h"

namespace Component {

class EffectItemBaseControl;
}  // namespace Component
namespace Edit {
class UpdateSection;
}
namespace Component {

// The item's name, through the effect table while a language is active.
std::wstring itemLabel(const Effect::EffectItem& item);
// The text after the last path separator.
std::wstring fileNamePart(const std::wstring& path);
// The text of a key of an option list, translated; a key the list does not
// hold throws std::out_of_range "invalid map<K, T> key".
std::wstring optionText(const Effect::EffectItemSelect::SharedList* options, int32_t key);
// The open dialog's filter from an item's "Name (*.a;*.b)" text.
std::wstring dialogFilter(const wchar_t* itemFilter);
// A row of a button-like item whose width is a share of the line: the rows
// before it in the same effect that also take a share fill the line from the
// left; a row that reaches the end closes it. The frame keeps its left margin
// only at the line's start.
// A click change of the row's effect that tells the effect nothing: one edit
// scope with its own undo step holding the effect as it was, then `change`.
// The row may be gone once this returns (the panel rebuilt).
void commitWithoutEvent(EffectItemBaseControl& row, const std::function<void(Edit::UpdateSection& scope)>& change);
void placeInLine(EffectItemBaseControl& row, const Effect::EffectItem& item, float width);

}  // namespace Component
