#include "ui/settings/ItemControlText.h"

#include <stdexcept>

#include "core/TranslateService.h"
#include "edit/EditService.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemButton.h"
#include "effect/EffectItemCheckButton.h"
#include "effect/EffectItemSelectButton.h"
#include "ui/settings/EffectItemBaseControl.h"

namespace Component {

namespace {

// The share of the line an item asks for; 0 for an item that takes a line.
float lineShare(Effect::EffectItem& item) {
    if (auto* check = dynamic_cast<Effect::EffectItemCheckButton*>(&item)) return check->layout.width;
    if (auto* select = dynamic_cast<Effect::EffectItemSelectButton*>(&item)) return select->layout.width;
    if (auto* button = dynamic_cast<Effect::EffectItemButton*>(&item)) return button->layout.width;
    return 0.0f;
}

constexpr float kLineEnd = 0.999f;

}  // namespace

std::wstring itemLabel(const Effect::EffectItem& item) {
    const wchar_t* text = Translate::translated(Translate::TranslateService::Table::Effect, item.name.c_str());
    return text != nullptr ? std::wstring(text) : item.name;
}

std::wstring fileNamePart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring optionText(const Effect::EffectItemSelect::SharedList* options, int32_t key) {
    if (options == nullptr) throw std::out_of_range("invalid map<K, T> key");
    const auto found = options->indexMap.find(key);
    if (found == options->indexMap.end() || found->second == nullptr) throw std::out_of_range("invalid map<K, T> key");
    const wchar_t* text = Translate::translated(Translate::TranslateService::Table::Effect, found->second);
    return text != nullptr ? std::wstring(text) : std::wstring(found->second);
}

std::wstring dialogFilter(const wchar_t* itemFilter) {
    std::wstring name = itemFilter != nullptr ? itemFilter : L"AllFile (*.*)";
    std::wstring pattern = L"*.*";
    const size_t open = name.rfind(L'('), close = name.rfind(L')');
    if (open != std::wstring::npos && close != std::wstring::npos && close > open + 1)
        pattern = name.substr(open + 1, close - open - 1);
    std::wstring filter = name;
    filter.push_back(L'\0');
    filter += pattern;
    filter.push_back(L'\0');
    return filter;
}

void commitWithoutEvent(EffectItemBaseControl& row, const std::function<void(Edit::UpdateSection&)>& change) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) return;
    const std::shared_ptr<Effect::EffectBase> kept = row.effect();
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    scope->objectChanged = true;
    scope->changedObject = row.object();
    if (Undo::UndoService* undo = Undo::UndoService::get()) {
        undo->openRecord(*scope);
        undo->addEffectUndoUpdate(kept);
    }
    change(*scope);
}

void placeInLine(EffectItemBaseControl& row, const Effect::EffectItem& item, float width) {
    float left = 0.0f;
    if (width > 0.0f) {
        for (Effect::EffectItem* before : row.effect()->items) {
            if (before == &item) break;
            const float share = lineShare(*before);
            left = share > 0.0f ? left + share : 0.0f;
            if (left >= kLineEnd) left = 0.0f;
        }
    }
    const float right = width > 0.0f && left + width < kLineEnd ? left + width : 1.0f;
    row.shareLeft = left;
    row.shareRight = right;
    if (left > 0.0f) row.frame.layoutX = 0;
}

}  // namespace Component
