#include "effect/EffectItemComboFile.h"

#include <stdexcept>

#include "core/FileName.h"
#include "core/NumberText.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"

namespace Effect {

EffectItemComboFile::EffectItemComboFile(ItemList* list, std::wstring name, int32_t index, const SharedList* options,
                                         uint8_t type)
    : EffectItem(list, type, std::move(name)), options(options), index(index) {}

void EffectItemComboFile::copyFrom(const EffectItem& other) {
    const auto& o = static_cast<const EffectItemComboFile&>(other);
    index = o.index;
    path = o.path;
}

bool EffectItemComboFile::equals(const EffectItem& other) const {
    const auto& o = static_cast<const EffectItemComboFile&>(other);
    return index == o.index && path == o.path;
}

std::unique_ptr<EffectItem> EffectItemComboFile::clone() const { return std::make_unique<EffectItemComboFile>(*this); }

std::string EffectItemComboFile::toString() const {
    if (index == -1) return System::wideToUtf8(path);
    if (!options) throw std::out_of_range("invalid map<K, T> key");
    return System::wideToUtf8(options->nameOf(index));
}

void EffectItemComboFile::fromString(std::string_view text) {
    const std::wstring value = System::utf8ToWide(text);
    if (options && options->contains(value)) {
        index = options->indexOf(value);
        path.clear();
    } else if (value.find(L'.') != std::wstring::npos) {
        EffectItemComboFile::setFilePath(value);
    }
}

void EffectItemComboFile::fromKtoString(std::string_view value, std::string_view key, const wchar_t* effectName,
                                        bool raw) {
    if (value.size() <= 2 && options) {
        try {
            const int32_t i = System::stoi(value);
            setListValue(i);
            return;
        } catch (const std::exception&) {
            // not a number: read as a name
        }
    }
    EffectItem::fromKtoString(value, key, effectName, raw);
}

bool EffectItemComboFile::getFilePath(std::wstring& out) const {
    out = path;
    return true;
}

void EffectItemComboFile::setFilePath(const std::wstring& value) {
    if (value.empty()) return;
    path = value;
    System::FileName::expandVariable(path);
    System::replaceLineBreaks(path);  // kept on one line of the project file
    index = -1;
}

void EffectItemComboFile::setListValue(int32_t value) {
    path.clear();
    index = options ? options->listedOrFirst(value) : value;
}

}  // namespace Effect
