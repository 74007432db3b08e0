#include "effect/EffectItemFile.h"

#include "core/FileName.h"
#include "core/StringHelper.h"
#include "core/TextConvert.h"

namespace Effect {

EffectItemFile::EffectItemFile(ItemList* list, std::wstring name, std::wstring initial)
    : EffectItem(list, kFile, std::move(name)), path(std::move(initial)) {
    System::FileName::expandVariable(path);
}

void EffectItemFile::copyFrom(const EffectItem& other) { path = static_cast<const EffectItemFile&>(other).path; }

bool EffectItemFile::equals(const EffectItem& other) const {
    return path == static_cast<const EffectItemFile&>(other).path;
}

std::unique_ptr<EffectItem> EffectItemFile::clone() const { return std::make_unique<EffectItemFile>(*this); }

std::string EffectItemFile::toString() const { return System::wideToUtf8(path); }

void EffectItemFile::fromString(std::string_view text) { EffectItemFile::setFilePath(System::utf8ToWide(text)); }

bool EffectItemFile::getFilePath(std::wstring& out) const {
    out = path;
    return true;
}

void EffectItemFile::setFilePath(const std::wstring& value) {
    path = value;
    System::FileName::expandVariable(path);
    System::replaceLineBreaks(path);  // kept on one line of the project file
}

}  // namespace Effect
