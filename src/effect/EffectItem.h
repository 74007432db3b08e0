#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Effect {

class EffectItem;
using ItemList = std::vector<EffectItem*>;

// One named, typed parameter of an effect. Its text form is one line of the
// effect's section in project files, so the forms are a file format.
class EffectItem {
public:
    enum TypeCode : uint8_t {
        kInteger = 0,
        kNumber = 1,
        kCheck = 2,
        kCheckButton = 3,
        kText = 4,
        kString = 5,
        kFile = 6,
        kColor = 7,
        kSelect = 8,
        kSelectButton = 9,
        kScene = 11,
        kLayerRange = 12,
        kFigure = 13,
        kColorUnset = 14,
        kMask = 15,
        kFont = 16,
        kScriptFigure = 17,
        kButton = 18,
        kScriptString1 = 100,
        kScriptString2 = 101,
        kHiddenInteger = 200,
    };

    uint8_t type;
    std::wstring name;
    uint8_t notify = 0;  // a user change sends item event 1 to the effect

    // Appends the item to its effect's list; a null list makes a detached item.
    EffectItem(ItemList* list, uint8_t type, std::wstring name);
    EffectItem& operator=(const EffectItem&) = delete;

    virtual ~EffectItem();
    // Both take an item of the same class (callers pair items by position).
    virtual void copyFrom(const EffectItem& other) = 0;
    virtual bool equals(const EffectItem& other) const = 0;
    // A value snapshot of the class that holds the value, every field included.
    virtual std::unique_ptr<EffectItem> clone() const = 0;
    virtual std::string toString() const = 0;
    virtual void fromString(std::string_view text) = 0;
    // A value of the earlier generation's exchange file.
    virtual void fromKtoString(std::string_view value, std::string_view key, const wchar_t* effectName, bool raw);
    // False when the item holds no path.
    virtual bool getFilePath(std::wstring& path) const;
    virtual void setFilePath(const std::wstring& path);

    // The item as class T: none when the type code is not one of T's, the
    // item when it is a T; "invalid effect item type." when the code matches
    // and the class does not (a snapshot clone of a derived kind).
    template <class T>
    T* to() {
        if (!T::hasType(type)) return nullptr;
        if (T* item = dynamic_cast<T*>(this)) return item;
        throwInvalidType();
    }

protected:
    EffectItem(const EffectItem& other);

private:
    [[noreturn]] static void throwInvalidType();
};

}  // namespace Effect
