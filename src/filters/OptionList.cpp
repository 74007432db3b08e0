#include "filters/OptionList.h"

namespace Effect {

std::shared_ptr<const EffectItemSelect::SharedList> makeOptionList(
    std::initializer_list<std::pair<int32_t, const wchar_t*>> options) {
    auto list = EffectItemSelect::SharedList::create();
    for (const auto& [value, name] : options) list->insert(value, name);
    return list;
}

std::shared_ptr<const EffectItemSelect::SharedList> borrowOptionList(const EffectItemSelect::SharedList& list) {
    return std::shared_ptr<const EffectItemSelect::SharedList>(std::shared_ptr<void>(), &list);
}

}  // namespace Effect
