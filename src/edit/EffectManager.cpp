#include "edit/EffectManager.h"

#include <algorithm>
#include <cwchar>

#include "core/Exception.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/MovementBase.h"
#include "effect/RenderContext.h"

namespace Edit {

using Effect::EffectBase;

namespace {

bool isLayerRangeControlName(const wchar_t* name) {
    return std::wcscmp(name, L"グループ制御") == 0 || std::wcscmp(name, L"カメラ制御") == 0 ||
           std::wcscmp(name, L"グループ制御(音声)") == 0;
}

[[noreturn]] void throwIndexOutOfRange() {
    throw System::messageException("Effect::EffectItemNumber::clampValueIndex", "item value index out of range.");
}

}  // namespace

EffectManager::EffectManager() : effectService(EffectCatalog::current()) {}

EffectManager::~EffectManager() = default;

EffectCatalog& EffectManager::catalog() const {
    if (!effectService) throw System::messageException("Effect::EffectService::findEffect", "not found effect.");
    return *effectService;
}

std::ptrdiff_t EffectManager::find(const EffectBase& effect) const {
    for (size_t i = 0; i < effects.size(); ++i)
        if (effects[i].get() == &effect) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

bool EffectManager::fitsMedia(int32_t c, int32_t m) {
    return m == c || m == 0 || ((c == 1 || c == 2) && m == 3) || (c == 3 && m != 4);
}

size_t EffectManager::setEffectByDefine(const EffectBase& definition) {
    switch (definition.role) {
    case EffectBase::kInput: return setInputEffect(definition);
    case EffectBase::kOutput: return setOutputEffect(definition);
    case EffectBase::kFilter: return setFilterEffect(definition);
    case EffectBase::kControl: return setControlEffect(definition);
    default: throw System::messageException("Edit::EffectManager::setEffectByDefine", "invalid effect type.");
    }
}

size_t EffectManager::setInputEffect(const EffectBase& definition) {
    if (effects.empty()) {
        // The output is looked up first so that a failure leaves the chain empty.
        const EffectBase& output = catalog().getOutputEffect(definition);
        effects.push_back(definition.instantiate());
        setOutputEffect(output);
        return 0;
    }
    const auto& first = effects.front();
    if (first->role != EffectBase::kInput)
        throw System::messageException("Edit::EffectManager::setInputEffect", "different effect type.");
    if (catalog().isSameKind(definition, *first)) return 0;
    for (size_t i = 1; i < effects.size(); ++i)
        if (!fitsMedia(first->placement, effects[i]->media))
            throw System::messageException("Edit::EffectManager::setInputEffect", "different filter effect type.");
    effects.front() = definition.instantiate();
    return 0;
}

size_t EffectManager::setOutputEffect(const EffectBase& definition) {
    if (effects.empty()) {
        const EffectBase* input =
            definition.media == EffectBase::kVideo ? catalog().getPairedInputEffect(definition) : nullptr;
        if (!input) throw System::messageException("Edit::EffectManager::setOutputEffect", "not exist input effect.");
        effects.push_back(input->instantiate());
    }
    const auto& first = effects.front();
    if (first->role != EffectBase::kInput || !fitsMedia(first->placement, definition.media))
        throw System::messageException("Edit::EffectManager::setOutputEffect", "different effect type.");
    if (effects.size() == 1) {
        effects.push_back(definition.instantiate());
    } else if (effects[1]->role != EffectBase::kOutput) {
        // Position 1 holds a filter: the output goes in front of it rather than over it.
        effects.insert(effects.begin() + 1, definition.instantiate());
    } else if (!catalog().isSameKind(definition, *effects[1])) {
        effects[1] = definition.instantiate();
    }
    return 1;
}

size_t EffectManager::setFilterEffect(const EffectBase& definition) {
    if (!effects.empty() && !fitsMedia(effects.front()->placement, definition.media))
        throw System::messageException("Edit::EffectManager::setFilterEffect", "different effect type.");
    effects.push_back(definition.instantiate());
    return effects.size() - 1;
}

size_t EffectManager::setControlEffect(const EffectBase& definition) {
    if (!effects.empty() &&
        !(effects.front()->role == EffectBase::kControl && effects.front()->placement == EffectBase::kSceneChange))
        throw System::messageException("Edit::EffectManager::setControlEffect", "can not change control effect.");
    auto effect = definition.instantiate();
    effects.clear();
    layerRangeControl = isLayerRangeControlName(definition.name);
    effects.push_back(std::move(effect));
    return 0;
}

size_t EffectManager::finishPlacement(size_t at, int32_t sections, const EffectBase* after) {
    // Effects placed alongside (an input's output) need their keys as well.
    for (const auto& e : effects) setSectionNum(*e, sections);
    if (!after || effects[at]->role != EffectBase::kFilter || at + 1 != effects.size()) return at;
    size_t pos = at;
    while (pos >= 1) {
        const auto& before = effects[pos - 1];
        if (before->role != EffectBase::kFilter || before.get() == after) break;
        std::swap(effects[pos - 1], effects[pos]);
        --pos;
    }
    return pos;
}

size_t EffectManager::addEffect(const std::wstring& name, const EffectBase* after) {
    EffectCatalog& c = catalog();
    const EffectBase& definition = c.findEffect(name);
    const EffectList before = effects;
    const size_t at = setEffectByDefine(definition);
    // An instance kept because it already is of this kind keeps its values.
    if (at >= before.size() || before[at] != effects[at]) effects[at]->setItemData(c.loadDefaultParam(definition));
    return finishPlacement(at, static_cast<const Object&>(*this).sectionCount(), after);
}

size_t EffectManager::loadEffect(const std::wstring& name, const System::IniFile::SectionRef& section,
                                 const Object& layout, const EffectBase* after) {
    const EffectBase& definition = catalog().findEffect(name);
    const size_t at = setEffectByDefine(definition);
    effects[at]->loadIniSectionParameter(section);
    return finishPlacement(at, layout.sectionCount(), after);
}

void EffectManager::removeEffect(const EffectBase& effect) {
    const std::ptrdiff_t i = find(effect);
    if (i < 0) return;
    if (i == 0) {
        if (!(effect.role == EffectBase::kFilter && effects.size() > 1 && effects[1]->role == EffectBase::kFilter))
            return;
        // The next filter becomes the head: the rest must fit it, or the
        // chain could not be placed again when the project is read back.
        for (size_t k = 2; k < effects.size(); ++k)
            if (!fitsMedia(effects[1]->placement, effects[k]->media)) return;
    }
    effects.erase(effects.begin() + i);
}

void EffectManager::removeUnfitEffects() {
    if (effects.empty()) return;
    const int32_t code = effects.front()->placement;
    effects.erase(std::remove_if(effects.begin() + 1, effects.end(),
                                 [&](const auto& e) { return !fitsMedia(code, e->media); }),
                  effects.end());
    const auto& first = effects.front();
    if (first->role == EffectBase::kInput && (effects.size() < 2 || effects[1]->role != EffectBase::kOutput)) {
        EffectCatalog& c = catalog();
        setOutputEffect(c.getOutputEffect(c.findEffect(first->name)));
        setSectionNum(*effects[1], static_cast<const Object&>(*this).sectionCount());
    }
}

bool EffectManager::canMoveDownEffect(const EffectBase& effect) const {
    const std::ptrdiff_t i = find(effect);
    return i >= 0 && effect.role == EffectBase::kFilter && static_cast<size_t>(i) + 1 < effects.size() &&
           effects[i + 1]->role == EffectBase::kFilter;
}

void EffectManager::moveUpEffect(const EffectBase& effect) {
    const std::ptrdiff_t i = find(effect);
    if (i >= 1 && effect.role == EffectBase::kFilter && effects[i - 1]->role == EffectBase::kFilter)
        std::swap(effects[i - 1], effects[i]);
}

void EffectManager::moveDownEffect(const EffectBase& effect) {
    if (canMoveDownEffect(effect)) {
        const std::ptrdiff_t i = find(effect);
        std::swap(effects[i], effects[i + 1]);
    }
}

void EffectManager::setSectionNum(EffectBase& effect, int32_t sectionCount) {
    for (Effect::EffectItem* item : effect.items)
        if (auto* number = item->to<Effect::EffectItemNumber>()) number->resizeValues(sectionCount + 1);
}

int32_t EffectManager::getObjectType() const {
    if (effects.empty()) throw System::messageException("Edit::EffectManager::getObjectType", "not exist effect.");
    const auto& first = *effects.front();
    switch (first.role) {
    case EffectBase::kInput: return first.media == EffectBase::kVideo ? 1 : first.media == EffectBase::kAudio ? 2 : 3;
    case EffectBase::kFilter: return first.media == EffectBase::kVideo ? 4 : first.media == EffectBase::kAudio ? 5 : 6;
    case EffectBase::kControl: return 7;
    default: throw System::messageException("Edit::EffectManager::getObjectType", "illegal top effect.");
    }
}

void EffectManager::copyEffectsTo(Object& target) const {
    // Built aside so that a failure leaves the target's chain as it was.
    EffectList copies;
    copies.reserve(effects.size());
    for (const auto& e : effects) {
        auto copy = catalog().findEffect(e->name).instantiate();
        copy->setItemData(*e);
        copy->disabled = e->disabled;
        copy->hidden = e->hidden;
        copy->locked = e->locked;
        copies.push_back(std::move(copy));
    }
    target.effects = std::move(copies);
    target.layerRangeControl = layerRangeControl;
}

EffectManager::ValueMap EffectManager::getItemValuesAt(Scene& scene, const std::shared_ptr<Object>& object,
                                                       int32_t frame, bool linear) {
    Render::RenderContext context;
    context.scene = &scene;
    context.layer = object->layer;
    context.frame = frame;
    context.preciseFrame = frame;
    context.resetObject(object);
    ValueMap values;
    for (Effect::EffectItemNumber* item : object->numberItems()) {
        const Effect::MovementBase& movement = *item->movement;
        Effect::EffectItemNumber::CapturedValue captured;
        if (!movement.timeControl) {
            captured.value = movement.getValue(*item, item->getPosition(context), context);
        } else if (linear) {
            const auto& v = item->values;
            if (v.empty()) throwIndexOutOfRange();
            const int32_t last = static_cast<int32_t>(v.size()) - 1;
            const int32_t k = context.section.index;
            const double lo = static_cast<double>(v[std::min(std::max(k, 0), last)]) / item->scale;
            const double hi = static_cast<double>(v[std::min(k + 1, last)]) / item->scale;
            captured.value = lo + (context.section.offset / context.section.length) * (hi - lo);
        } else {
            captured.value = movement.getValue(*item, item->getPosition(context), context);
            captured.section = movement.getCurrentSection(*item, context.section);
        }
        values[item] = captured;
    }
    return values;
}

EffectManager::ValueMap EffectManager::getSectionKeyValues(const Object& layout, int32_t a, const Object* other) const {
    ValueMap values;
    const int32_t g = static_cast<int32_t>(layout.midpoints.size());
    for (size_t c = 0; c < effects.size(); ++c) {
        size_t i = 0;
        for (Effect::EffectItem* item : effects[c]->items) {
            auto* number = item->to<Effect::EffectItemNumber>();
            if (!number) {
                ++i;
                continue;
            }
            const int32_t n = static_cast<int32_t>(number->values.size());
            int32_t e = 0;
            if (n >= 2 && a > 0) e = a >= g + 1 ? n - 1 : (n == g + 2 ? a : -1);
            if (e < 1) e = 0;
            if (e >= n) e = n - 1;
            const Effect::EffectItemNumber* key = number;
            if (other) {
                key = nullptr;
                if (c < other->effects.size() && i < other->effects[c]->items.size())
                    key = other->effects[c]->items[i]->to<Effect::EffectItemNumber>();
                if (!key) continue;
            }
            ++i;
            if (n > 0) values[key].value = static_cast<double>(number->values[e]) / number->scale;
        }
    }
    return values;
}

}  // namespace Edit
