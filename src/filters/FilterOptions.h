#pragma once
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "effect/EffectItemSelect.h"

namespace Effect {

// The option lists of the filters' select items: built once from a fixed
// table of {value, name} pairs and shared by every item that offers them.
class FilterOptions {
public:
    struct Option {
        int32_t value;
        const wchar_t* name;  // a literal: the list keeps the pointer
    };
    // Entries in value order; a value given twice keeps its first name.
    static std::shared_ptr<const EffectItemSelect::SharedList> build(std::initializer_list<Option> table);
};

}  // namespace Effect
