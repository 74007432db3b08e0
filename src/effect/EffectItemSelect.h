#pragma once
#include <list>
#include <map>
#include <unordered_map>

#include "effect/EffectItem.h"

namespace Effect {

// One option of an option list shared by all items of one option set.
class EffectItemSelect : public EffectItem {
public:
    class SharedList {
    public:
        std::map<int32_t, const wchar_t*> indexMap;
        std::list<std::wstring> ownedNames;
        // Rebuilt after every insertion; of two indexes with one name the lower wins.
        std::unordered_map<std::wstring, int32_t> nameMap;

        static std::shared_ptr<SharedList> create();
        // Copies the name. An index already present keeps its first name.
        void add(int32_t index, const std::wstring& name);
        // The name must outlive the list.
        void insert(int32_t index, const wchar_t* name);
        // Throws out_of_range for a name not in the list.
        int32_t indexOf(const std::wstring& name) const;
        bool contains(const std::wstring& name) const;
        // The smallest index; 0 for an empty list.
        int32_t firstIndex() const;
        // The index when the list has it, else the first index.
        int32_t listedOrFirst(int32_t index) const;
        // Throws out_of_range for an index not in the list.
        const wchar_t* nameOf(int32_t index) const;

    private:
        void rebuildNames();
    };

    const SharedList* options = nullptr;
    int32_t index = 0;
    std::shared_ptr<const SharedList> keep;  // keeps a list made for the item alive

    static bool hasType(uint8_t code) { return code == kSelect || code == kSelectButton || code == kFont; }

    EffectItemSelect(ItemList* list, std::wstring name, int32_t index, std::shared_ptr<const SharedList> options,
                     uint8_t type = kSelect);
    EffectItemSelect(const EffectItemSelect& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
    // A value of at most two characters is an option index.
    void fromKtoString(std::string_view value, std::string_view key, const wchar_t* effectName, bool raw) override;

protected:
    // For the font item: a list that lives until the process ends.
    EffectItemSelect(ItemList* list, std::wstring name, int32_t index, const SharedList* options, uint8_t type);
};

}  // namespace Effect
