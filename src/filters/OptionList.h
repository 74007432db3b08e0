#pragma once
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>

#include "effect/EffectItemSelect.h"

namespace Effect {

// An option list of a select item from its (value, name) pairs: kept in
// value order, a value given twice keeping its first name. The names are
// literals that outlive the list.
std::shared_ptr<const EffectItemSelect::SharedList> makeOptionList(
    std::initializer_list<std::pair<int32_t, const wchar_t*>> options);

// A list that lives elsewhere for the whole run (the figure list), in the
// form a select item keeps; the item does not own it.
std::shared_ptr<const EffectItemSelect::SharedList> borrowOptionList(const EffectItemSelect::SharedList& list);

}  // namespace Effect
