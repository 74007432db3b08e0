#include "filters/FilterOptions.h"

namespace Effect {

std::shared_ptr<const EffectItemSelect::SharedList> FilterOptions::build(std::initializer_list<Option> table) {
    std::shared_ptr<EffectItemSelect::SharedList> list = EffectItemSelect::SharedList::create();
    for (const Option& option : table)
        list->insert(option.value, option.name);
    return list;
}

}  // namespace Effect
