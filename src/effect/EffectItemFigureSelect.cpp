#include "effect/EffectItemFigureSelect.h"

#include "effect/ModelQueries.h"

namespace Effect {

const EffectItemComboFile::SharedList& EffectItemFigureSelect::getFigureList() {
    static const SharedList* list = [] {
        // The names first: a query that throws leaves nothing allocated.
        std::vector<std::wstring> names;
        modelQueries().figureNames(names);
        auto* l = new SharedList;  // lives until the process ends
        for (size_t i = 0; i < names.size(); ++i) l->add(static_cast<int32_t>(i), names[i]);
        return l;
    }();
    return *list;
}

namespace {

int32_t figureIndex(const wchar_t* figure) {
    const auto& list = EffectItemFigureSelect::getFigureList();
    if (figure && list.contains(figure)) return list.indexOf(figure);
    return 1;
}

}  // namespace

EffectItemFigureSelect::EffectItemFigureSelect(ItemList* list, std::wstring name, const wchar_t* figure, uint8_t type)
    : EffectItemComboFile(list, std::move(name), figureIndex(figure), &getFigureList(), type) {}

}  // namespace Effect
