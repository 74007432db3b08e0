#include "edit/Object.h"

#include <algorithm>

#include "core/Exception.h"
#include "edit/Group.h"
#include "edit/IniLines.h"
#include "edit/ProjectConvert.h"
#include "effect/EffectBase.h"
#include "effect/MovementBase.h"

namespace Edit {

using Effect::EffectItemNumber;

Object::Object(int32_t layer, int32_t start, int32_t end) : start(start), end(end), layer(layer) {}

Object::~Object() {
    if (group) group->members.erase(this);
}

void Object::setGroup(const std::shared_ptr<Group>& newGroup) {
    if (group == newGroup) return;
    removeFromGroup();
    group = newGroup;
    if (group) group->members.insert(this);
}

void Object::removeFromGroup() {
    if (!group) return;
    group->members.erase(this);
    group.reset();
}

int32_t Object::getSectionIndex(int32_t frame) const {
    const int64_t offset = static_cast<int64_t>(frame) - start;
    return static_cast<int32_t>(
        std::upper_bound(midpoints.begin(), midpoints.end(), offset, [](int64_t f, int32_t m) { return f < m; }) -
        midpoints.begin());
}

int32_t Object::sectionFirstFrame(int32_t section) const {
    return section <= 0 ? start : start + midpoints[section - 1];
}

int32_t Object::sectionSpan(int32_t section) const {
    const int32_t k = static_cast<int32_t>(midpoints.size());
    if (k == 0) return end - start;
    if (section == 0) return midpoints[0];
    if (section < k) return midpoints[section] - midpoints[section - 1];
    return (end - start) - midpoints[k - 1];
}

bool Object::hasMultiFrameSection(int32_t frame) const {
    for (int32_t i = getSectionIndex(frame); i <= static_cast<int32_t>(midpoints.size()); ++i)
        if (sectionSpan(i) > 1) return true;
    return false;
}

bool Object::canCreateSection(int32_t frame) const {
    return start < frame && frame < end && !std::binary_search(midpoints.begin(), midpoints.end(), frame - start);
}

std::vector<EffectItemNumber*> Object::numberItems() const {
    std::vector<EffectItemNumber*> numbers;
    for (const auto& effect : effects)
        for (Effect::EffectItem* item : effect->items)
            if (auto* number = item->to<EffectItemNumber>()) numbers.push_back(number);
    return numbers;
}

void Object::addSection(int32_t frame, const ValueMap* captured) {
    const int32_t k = static_cast<int32_t>(midpoints.size());
    int32_t i = getSectionIndex(frame);
    while (i <= k && sectionSpan(i) <= 1) ++i;
    if (i > k) return;
    const int32_t s = sectionFirstFrame(i);
    int32_t f = frame <= s ? s + 1 : frame;
    f = std::min(f, s + sectionSpan(i) - 1);
    midpoints.insert(midpoints.begin() + i, f - start);
    for (EffectItemNumber* item : numberItems()) item->insertSectionValue(i, captured);
}

void Object::removeSection(int32_t index) {
    if (index <= 0 || index > static_cast<int32_t>(midpoints.size())) return;
    std::vector<EffectItemNumber*> keyed;
    for (EffectItemNumber* item : numberItems()) {
        if (item->movement->valueCount != -1 || (item->flags & EffectItemNumber::kIgnoreMidpoints)) continue;
        // Checked before anything changes, so a failure leaves the object whole.
        if (item->values.empty())
            throw System::messageException("Effect::EffectItemNumber::clampValueIndex",
                                           "item value index out of range.");
        keyed.push_back(item);
    }
    midpoints.erase(midpoints.begin() + (index - 1));
    for (EffectItemNumber* item : keyed) {
        const size_t at = std::min<size_t>(static_cast<size_t>(index), item->values.size() - 1);
        item->values.erase(item->values.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

bool Object::split(int32_t f, const std::shared_ptr<Object>& first, const std::shared_ptr<Object>& second,
                   Scene& scene) {
    if (f <= start || f > end) return false;
    for (Object* part : {first.get(), second.get()}) {
        copyEffectsTo(*part);
        part->clipping = clipping;
        part->camera = camera;
        part->layer = layer;
        part->start = start;
        part->end = end;
        part->midpoints = midpoints;
    }
    const ValueMap firstValues = getItemValuesAt(scene, first, f - 1, false);
    const ValueMap secondValues = getItemValuesAt(scene, second, f, false);
    const int32_t k = static_cast<int32_t>(midpoints.size());
    for (EffectItemNumber* item : first->numberItems()) item->restoreSectionValue(k + 1, &firstValues);
    for (EffectItemNumber* item : second->numberItems()) item->restoreSectionValue(0, &secondValues);
    for (int32_t i = k; i >= 1; --i) {
        const int32_t p = start + midpoints[i - 1];
        if (p >= f - 1) first->removeSection(i);
        if (p <= f) second->removeSection(i);
    }
    first->end = f - 1;
    second->start = f;
    for (int32_t& m : second->midpoints) m += start - f;
    return true;
}

bool Object::join(Object& previous) {
    if (layer != previous.layer || static_cast<int64_t>(previous.end) + 1 != start) return false;
    const ValueMap endValues = getSectionKeyValues(*this, static_cast<int32_t>(midpoints.size()) + 1, &previous);
    const ValueMap oldEndValues =
        previous.getSectionKeyValues(previous, static_cast<int32_t>(previous.midpoints.size()) + 1, nullptr);
    previous.end = end;
    previous.addSection(start, &oldEndValues);
    const int32_t last = static_cast<int32_t>(previous.midpoints.size()) + 1;
    for (EffectItemNumber* item : previous.numberItems()) item->restoreSectionValue(last, &endValues);
    return true;
}

void Object::sendInputEffectEvent(Effect::ItemEvent& event) {
    if (effects.empty() || effects.front()->role != Effect::EffectBase::kInput) return;
    event.object = shared_from_this();
    event.effect = effects.front();
    event.effect->itemEvent(event);
}

}  // namespace Edit

// ---- project file pieces

namespace Edit {

void Object::saveFrameIniFile(System::File& file) const {
    std::string list = std::to_string(start);
    for (int32_t m : midpoints) list += "," + std::to_string(static_cast<int64_t>(start) + m);
    list += "," + std::to_string(end);
    IniLines::writeRaw(file, "frame=" + list);
}

void Object::saveFlagIniFile(System::File& file) const {
    if (!camera) IniLines::writeInt(file, "camera", 0);
    if (clipping) IniLines::writeInt(file, "clipping", 1);
}

void Object::loadFlagIniFile(const System::IniFile::SectionRef& section) {
    camera = section.findValue("camera").toInt(1) != 0;
    clipping = section.findValue("clipping").toInt(0) != 0;
}

void Object::saveEffectIniFile(System::File& file, const std::string& sectionName) const {
    for (size_t k = 0; k < effects.size(); ++k) {
        IniLines::writeSection(file, sectionName + "." + std::to_string(k));
        effects[k]->saveIniSectionParameter(file);
    }
}

void Object::loadEffectIniFile(System::IniFile& ini, const std::string& sectionName) {
    int32_t k = 0;
    for (;; ++k) {
        const System::IniFile::SectionRef section = ini.getSection(sectionName, k);
        if (section.keys().empty()) break;
        const std::wstring name = section.getValue("effect.name").toString();
        loadEffect(name, section, *this);
    }
    if (k == 0) throw System::messageException("Edit::Object::loadEffectIniFile", "no effect defined.");
    // A later input section replaces the head after the rest was checked
    // against the old one; a chain the new head does not fit would be written
    // in a form that cannot be read back.
    for (size_t i = 1; i < effects.size(); ++i)
        if (!fitsMedia(effects.front()->placement, effects[i]->media))
            throw System::messageException("Edit::Object::loadEffectIniFile", "different effect type.");
}

void Object::loadEffectKtoFile(System::IniFile& ini, const std::string& sectionName) {
    constexpr const char* kScope = "Edit::Object::loadEffectKtoFile";
    const System::IniFile::SectionRef objectSection = ini.getSection(sectionName);
    camera = objectSection.findValue("camera").toInt(1) != 0;
    const bool overlay = objectSection.findValue("overlay").toInt(0) != 0;
    int32_t k = 0;
    for (;; ++k) {
        const System::IniFile::SectionRef section = ini.getSection(sectionName, k);
        if (section.keys().empty()) break;
        const std::wstring name = ProjectConvert::convertEffectName(section);
        const Effect::EffectBase& definition = ProjectConvert::findEffectWithOldName(name);
        // Old filter objects are not imported.
        if (k == 0 && !overlay && definition.role == Effect::EffectBase::kFilter &&
            definition.media != Effect::EffectBase::kCamera)
            throw System::messageException(kScope, "filter object not support");
        const size_t position = setEffectByDefine(definition);
        Effect::EffectBase& effect = *effects[position];
        effect.loadKtoSectionParameter(section);
        setSectionNum(effect, sectionCount());
    }
    if (k == 0) throw System::messageException(kScope, "no effect defined.");
    // A chain whose later effects do not fit its head could not be saved and read back.
    for (size_t i = 1; i < effects.size(); ++i)
        if (!fitsMedia(effects.front()->placement, effects[i]->media))
            throw System::messageException(kScope, "different effect type.");
}

void Object::loadEffectAliasFile(System::IniFile& ini, const Effect::EffectBase* target) {
    int32_t i = 0;
    for (;; ++i) {
        const System::IniFile::SectionRef section = ini.getSection("Effect", i);
        if (section.keys().empty()) break;
        loadEffect(section.getValue("effect.name").toString(), section, *this, target);
    }
    if (i == 0) throw System::messageException("Edit::Object::loadEffectAliasFile", "no effect defined.");
}

}  // namespace Edit
