#include "edit/LayerObjectManager.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "core/Exception.h"
#include "core/IniFile.h"
#include "core/NumberText.h"
#include "core/StringHelper.h"
#include "edit/Group.h"
#include "edit/GroupNumberMap.h"
#include "edit/IniLines.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"

namespace Edit {
namespace {

constexpr const char* kScope = "Edit::LayerObjectManager::loadObjectIniFile";

[[noreturn]] void invalidFrames() { throw System::messageException(kScope, "invalid frame number list."); }

int32_t frameValue(const std::string& text) {
    // Leading blanks allowed, trailing text ignored.
    try {
        return System::stoi(text);
    } catch (const std::invalid_argument&) {
        throw System::messageException(kScope, "invalid stoi argument");
    } catch (const std::out_of_range&) {
        invalidFrames();
    }
}

// Takes a new object out of its slot again after a failed read.
void takeOut(Scene& scene, int32_t layer, const std::shared_ptr<Object>& object) {
    auto& objects = scene.layers[static_cast<size_t>(layer)]->objects;
    objects.erase(std::find(objects.begin(), objects.end(), object));
    object->layer = -1;
    object->removeFromGroup();
}

// Moves the span [a, b] to the first free frames of the layer at or after a,
// keeping its length unless a neighbour cuts it short.
void fitIntoLayer(Scene& scene, int32_t layer, int32_t& start, int32_t& end, const char* scope) {
    if (layer < 0 || layer > LayerObjectManager::kMaxLayer)
        throw System::messageException(scope, "invalid layer number.");
    scene.reserveLayer(layer);
    const SceneLayer& slot = scene.getLayer(layer);
    int64_t a = start, b = end;
    for (size_t i = slot.lowerBoundByEnd(start); i < slot.objects.size(); ++i) {
        const Object& other = *slot.objects[i];
        if (other.layer != layer || other.end < a) continue;
        if (a < other.start) {
            if (b >= other.start) b = other.start - 1;
            break;
        }
        b += other.end - a + 1;
        a = static_cast<int64_t>(other.end) + 1;
    }
    // A span pushed beyond the frame range cannot be placed either.
    if (b < a || a < 0 || b > INT32_MAX) throw System::messageException(scope, "invalid frame number list.");
    start = static_cast<int32_t>(a);
    end = static_cast<int32_t>(b);
}

int64_t aliasFrame(const std::string& text) {
    try {
        return System::stoi(text);
    } catch (const std::exception&) {
        throw System::messageException("Edit::LayerObjectManager::loadObjectAliasFile", "invalid frame number list.");
    }
}

}  // namespace

std::shared_ptr<Object> LayerObjectManager::loadObjectAliasFile(Scene& scene, System::IniFile& ini, int32_t layer,
                                                                int32_t start, int32_t defaultEnd) {
    constexpr const char* kAliasScope = "Edit::LayerObjectManager::loadObjectAliasFile";
    if (!ini.hasSection("Object") || ini.getSection("Object").keys().empty())
        throw System::messageException(kAliasScope, "no object section.");
    const System::IniFile::SectionRef section = ini.getSection("Object");
    const std::vector<std::string> frames = System::splitComma(section.findValue("frame").text);
    int64_t first = 0;
    int32_t end = defaultEnd;
    if (frames.size() >= 2) {
        first = aliasFrame(frames.front());
        const int64_t length = std::max<int64_t>(1, aliasFrame(frames.back()) - first);
        if (static_cast<int64_t>(start) + length > INT32_MAX)
            throw System::messageException(kAliasScope, "invalid frame number list.");
        end = static_cast<int32_t>(start + length);
    }
    fitIntoLayer(scene, layer, start, end, kAliasScope);

    auto object = scene.createObject(layer, start, end);
    try {
        object->loadFlagIniFile(section);
        for (size_t i = 1; i + 1 < frames.size(); ++i) {
            const int64_t frame = static_cast<int64_t>(start) + (aliasFrame(frames[i]) - first);
            if (frame < start || frame > end || !object->canCreateSection(static_cast<int32_t>(frame)))
                throw System::messageException(kAliasScope, "invalid frame number list.");
            object->addSection(static_cast<int32_t>(frame));
        }
        object->loadEffectIniFile(ini, "Object");
    } catch (...) {
        takeOut(scene, layer, object);
        throw;
    }
    return object;
}

std::shared_ptr<Object> LayerObjectManager::loadObjectAliasFileEffect(Scene& scene, System::IniFile& ini, int32_t layer,
                                                                      int32_t start, int32_t defaultEnd) {
    constexpr const char* kEffectScope = "Edit::LayerObjectManager::loadObjectAliasFileEffect";
    int32_t end = defaultEnd;
    fitIntoLayer(scene, layer, start, end, kEffectScope);
    auto object = scene.createObject(layer, start, end);
    try {
        object->loadEffectAliasFile(ini, nullptr);
        // A later input replaces the head after the rest was placed; a chain
        // the head does not fit could not be saved and read back.
        for (size_t i = 1; i < object->effects.size(); ++i)
            if (!EffectManager::fitsMedia(object->effects.front()->placement, object->effects[i]->media))
                throw System::messageException(kEffectScope, "different effect type.");
    } catch (...) {
        takeOut(scene, layer, object);
        throw;
    }
    return object;
}

void LayerObjectManager::saveObjectIniFile(System::File& file, int32_t sceneId, const std::string& sectionName,
                                           const Object& object, GroupNumberMap& groups, const Object* focusObject) {
    IniLines::writeSection(file, sectionName);
    IniLines::writeInt(file, "layer", object.layer);
    if (sceneId != 0) IniLines::writeInt(file, "scene", sceneId);
    if (&object == focusObject) IniLines::writeInt(file, "focus", 1);
    object.saveFrameIniFile(file);
    object.saveFlagIniFile(file);
    if (object.group) IniLines::writeInt(file, "group", groups.getNumber(object.group));
    object.saveEffectIniFile(file, sectionName);
}

void LayerObjectManager::saveObjectAliasFile(System::File& file, const Object& object, bool withFrames) {
    IniLines::writeSection(file, "Object");
    if (withFrames) object.saveFrameIniFile(file);
    object.saveFlagIniFile(file);
    object.saveEffectIniFile(file, "Object");
}

void LayerObjectManager::saveEffectAliasFile(System::File& file, const Effect::EffectBase& effect) {
    IniLines::writeSection(file, "Effect.0");
    effect.saveIniSectionParameter(file);
}

std::shared_ptr<Object> LayerObjectManager::loadObjectIniFile(Scene& scene, System::IniFile& ini,
                                                              const std::string& sectionName, GroupNumberMap& groups) {
    const System::IniFile::SectionRef section = ini.getSection(sectionName);
    const int32_t layer = section.getValue("layer").toInt();
    if (layer < 0 || layer > kMaxLayer) throw System::messageException(kScope, "invalid layer number.");
    const std::vector<std::string> frames = System::splitComma(section.getValue("frame").text);
    if (frames.size() < 2) throw System::messageException(kScope, "not enough frame number list.");
    const int32_t start = frameValue(frames.front());
    const int32_t end = frameValue(frames.back());
    if (end < start || start < 0) invalidFrames();
    // Objects of one layer neither overlap nor share a start.
    const SceneLayer& slot = scene.getLayer(layer);
    for (const auto& other : slot.objects)
        if (other->layer == layer && other->start <= end && start <= other->end)
            throw System::messageException(kScope, "object overlaps another object.");

    auto object = scene.createObject(layer, start, end);
    try {
        object->loadFlagIniFile(section);
        for (size_t i = 1; i + 1 < frames.size(); ++i) {
            const int32_t frame = frameValue(frames[i]);
            if (!object->canCreateSection(frame)) invalidFrames();
            object->addSection(frame);
        }
        if (const int32_t number = section.findValue("group").toInt(0); number != 0) {
            object->removeFromGroup();
            object->setGroup(groups.getGroup(number));
        }
        object->loadEffectIniFile(ini, sectionName);
    } catch (...) {
        auto& objects = scene.layers[static_cast<size_t>(layer)]->objects;
        objects.erase(std::find(objects.begin(), objects.end(), object));
        object->layer = -1;
        object->removeFromGroup();
        throw;
    }
    return object;
}

std::shared_ptr<Object> LayerObjectManager::loadObjectKtoFile(Scene& scene, System::IniFile& ini,
                                                              const std::string& sectionName, GroupNumberMap& groups) {
    constexpr const char* kKtoScope = "Edit::LayerObjectManager::loadObjectKtoFile";
    const System::IniFile::SectionRef section = ini.getSection(sectionName);
    // The file counts from 1; 64-bit so that the lowest value cannot wrap.
    const int64_t layer = static_cast<int64_t>(section.getValue("layer").toInt()) - 1;
    const int64_t start = static_cast<int64_t>(section.getValue("start").toInt()) - 1;
    const int64_t end = static_cast<int64_t>(section.getValue("end").toInt()) - 1;
    if (end < start || start < 0) throw System::messageException(kKtoScope, "invalid frame number list.");
    if (layer < 0 || layer > kMaxLayer) throw System::messageException(kKtoScope, "invalid layer number.");
    const auto layerIndex = static_cast<int32_t>(layer);
    for (const auto& other : scene.getLayer(layerIndex).objects)
        if (other->layer == layerIndex && other->start <= end && start <= other->end)
            throw System::messageException(kKtoScope, "object overlaps another object.");

    auto object = scene.createObject(layerIndex, static_cast<int32_t>(start), static_cast<int32_t>(end));
    try {
        if (const int32_t number = section.findValue("group").toInt(0); number != 0) {
            object->removeFromGroup();
            object->setGroup(groups.getGroup(number));
        }
        object->loadEffectKtoFile(ini, sectionName);
    } catch (...) {
        takeOut(scene, layerIndex, object);
        throw;
    }
    return object;
}

}  // namespace Edit
