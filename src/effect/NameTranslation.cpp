#include "effect/NameTranslation.h"

#include <atomic>

namespace Effect {

namespace {
std::atomic<NameTranslator> gTranslator{nullptr};
}

void setNameTranslator(NameTranslator translator) { gTranslator.store(translator); }

std::wstring translateName(const wchar_t* name) {
    if (!name) return {};
    if (const NameTranslator t = gTranslator.load()) return t(name);
    return name;
}

}  // namespace Effect
