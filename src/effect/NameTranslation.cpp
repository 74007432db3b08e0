#include "effect/NameTranslation.h"

#include <atomic>

namespace Effect {

namespace {
std::atomic<NameTranslator> gTranslator{nullptr};
}

NameTranslator setNameTranslator(NameTranslator translator) { return gTranslator.exchange(translator); }

std::wstring translateName(const wchar_t* name) {
    if (!name) return {};
    if (const NameTranslator t = gTranslator.load()) return t(name);
    return name;
}

}  // namespace Effect
