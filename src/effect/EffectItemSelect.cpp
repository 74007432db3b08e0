#include "effect/EffectItemSelect.h"

#include <stdexcept>

#include "core/NumberText.h"
#include "core/TextConvert.h"

namespace Effect {

std::shared_ptr<EffectItemSelect::SharedList> EffectItemSelect::SharedList::create() {
    return std::make_shared<SharedList>();
}

void EffectItemSelect::SharedList::add(int32_t index, const std::wstring& name) {
    if (indexMap.count(index)) return;
    ownedNames.push_back(name);
    indexMap.emplace(index, ownedNames.back().c_str());
    rebuildNames();
}

void EffectItemSelect::SharedList::insert(int32_t index, const wchar_t* name) {
    if (indexMap.count(index)) return;
    indexMap.emplace(index, name);
    rebuildNames();
}

void EffectItemSelect::SharedList::rebuildNames() {
    nameMap.clear();
    for (const auto& [i, n] : indexMap) nameMap.emplace(n, i);
}

int32_t EffectItemSelect::SharedList::indexOf(const std::wstring& name) const {
    auto it = nameMap.find(name);
    if (it == nameMap.end()) throw std::out_of_range("invalid unordered_map<K, T> key");
    return it->second;
}

bool EffectItemSelect::SharedList::contains(const std::wstring& name) const { return nameMap.count(name) != 0; }

int32_t EffectItemSelect::SharedList::firstIndex() const { return indexMap.empty() ? 0 : indexMap.begin()->first; }

int32_t EffectItemSelect::SharedList::listedOrFirst(int32_t i) const { return indexMap.count(i) ? i : firstIndex(); }

const wchar_t* EffectItemSelect::SharedList::nameOf(int32_t i) const {
    auto it = indexMap.find(i);
    if (it == indexMap.end()) throw std::out_of_range("invalid map<K, T> key");
    return it->second;
}

EffectItemSelect::EffectItemSelect(ItemList* list, std::wstring name, int32_t index,
                                   std::shared_ptr<const SharedList> options, uint8_t type)
    : EffectItem(list, type, std::move(name)), options(options.get()), index(index), keep(std::move(options)) {}

EffectItemSelect::EffectItemSelect(ItemList* list, std::wstring name, int32_t index, const SharedList* options,
                                   uint8_t type)
    : EffectItem(list, type, std::move(name)), options(options), index(index) {}

void EffectItemSelect::copyFrom(const EffectItem& other) { index = static_cast<const EffectItemSelect&>(other).index; }

bool EffectItemSelect::equals(const EffectItem& other) const {
    return index == static_cast<const EffectItemSelect&>(other).index;
}

std::unique_ptr<EffectItem> EffectItemSelect::clone() const { return std::make_unique<EffectItemSelect>(*this); }

std::string EffectItemSelect::toString() const {
    if (!options) throw std::out_of_range("invalid map<K, T> key");
    return System::wideToUtf8(options->nameOf(index));
}

void EffectItemSelect::fromString(std::string_view text) {
    const std::wstring name = System::utf8ToWide(text);
    if (options && options->contains(name)) index = options->indexOf(name);
}

void EffectItemSelect::fromKtoString(std::string_view value, std::string_view key, const wchar_t* effectName,
                                     bool raw) {
    if (value.size() <= 2 && options) {
        try {
            const int32_t i = System::stoi(value);
            index = options->listedOrFirst(i);
            return;
        } catch (const std::exception&) {
            // not a number: read as a name
        }
    }
    EffectItem::fromKtoString(value, key, effectName, raw);
}

}  // namespace Effect
